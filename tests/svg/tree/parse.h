// Parsing SVG text in the tree tests, and looking elements up by id.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "document/svg/tree/tree.h"

namespace document::svg::testing {

inline Tree Parse(std::string_view svg, LossReport* losses = nullptr, TreeOptions options = {}) {
    LossReport ignored;
    options.fileName = "test.svg";
    return ParseSvgTree(svg, options, losses ? *losses : ignored);
}

// The element with this id; fails the test when there is none.
inline const Element& ById(const Tree& tree, std::string_view id) {
    const Element* element = tree.FindById(id);
    if (element == nullptr) throw std::runtime_error("no element with id " + std::string(id));
    return *element;
}

// The kinds a report holds, each with its count, as "kind xN" joined by "; ".
inline std::string Kinds(const LossReport& losses) {
    std::string text;
    for (const auto& entry : losses.Entries()) {
        if (!text.empty()) text += "; ";
        text += entry.kind + " x" + std::to_string(entry.count) + " at " + entry.first;
    }
    return text;
}

}  // namespace document::svg::testing
