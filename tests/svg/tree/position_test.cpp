// Where elements are: the line every element keeps for messages and the line and column of
// errors at an element, whatever the file's line ends, and wherever the element comes from.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>
#include <string>

#include "document/svg/tree/line_counter.h"
#include "document/svg/tree/line_ends.h"
#include "parse.h"

namespace document::svg::testing {
namespace {

// The lines of the elements a, b, c, d of `svg`, joined by spaces.
std::string Lines(const std::string& svg) {
    const Tree tree = Parse(svg);
    std::string lines;
    for (const char* id : {"a", "b", "c", "d"}) {
        if (!lines.empty()) lines += ' ';
        lines += std::to_string(ById(tree, id).line);
    }
    return lines;
}

std::string ErrorOf(const std::string& svg, TreeOptions options = {}) {
    try {
        Parse(svg, nullptr, options);
    } catch (const SvgError& error) {
        return error.what();
    }
    return "no error";
}

TEST(Positions, LinesCountEveryKindOfLineEnd) {
    const std::string body = R"(<svg xmlns="http://www.w3.org/2000/svg">N<g id="a"/>N<!-- aNbN -->N<rect id="b" width="1"N height="1"/>)"
                             R"(NN<text>xNy<![CDATA[N]]></text><g id="c"/><path d="M0 0NL1 1"/>N<circle id="d"/></svg>)";
    for (const std::string& end : {std::string("\n"), std::string("\r\n"), std::string("\r")}) {
        std::string svg;
        for (char c : body) c == 'N' ? svg += end : svg += c;
        EXPECT_EQ(Lines(svg), "2 6 11 13") << "line ends of " << end.size() << " bytes";
    }
    // Mixed in one file, a CR LF split nowhere, and a CR before a tag.
    EXPECT_EQ(Lines("<svg xmlns=\"http://www.w3.org/2000/svg\">\r\n<g id=\"a\"/>\r\r\n<g id=\"b\"/>\n\r<g id=\"c\"/>\r<g id=\"d\"/></svg>"),
              "2 4 6 7");
}

TEST(Positions, ElementsAfterLongAttributesAndMultiByteText) {
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\">\n<path id=\"a\" d=\"M0 0";
    for (int i = 0; i < 5000; ++i) svg += i % 100 == 0 ? "\nL1 2" : " L1 2";
    svg += "\"/>\n<text>\xC3\xA9t\xC3\xA9\n\xE2\x82\xAC</text>\n<g id=\"b\"/><g id=\"c\"/>\n\n<g id=\"d\"/></svg>";
    EXPECT_EQ(Lines(svg), "3 56 56 58");
}

TEST(Positions, ElementsOfAnEntityAndOfUtf16Text) {
    // An element in an internal entity's replacement text, and those after its use.
    EXPECT_EQ(Lines("<!DOCTYPE svg [\n<!ENTITY shape \"<g id='b'/>\">\n]>\n<svg xmlns=\"http://www.w3.org/2000/svg\">\n"
                    "<g id=\"a\"/>&shape;\n<g id=\"c\"/>\n<g id=\"d\"/></svg>")
                  .substr(0, 1),
              "5");
    const std::string ascii = "<svg xmlns=\"http://www.w3.org/2000/svg\">\n<g id=\"a\"/>\r\n<g id=\"b\"/>\r<g id=\"c\"/>\n\n<g id=\"d\"/></svg>";
    std::string utf16 = "\xFF\xFE";
    for (char c : ascii) utf16 += c, utf16 += '\0';
    EXPECT_EQ(Lines(utf16), "2 3 4 6");
    EXPECT_EQ(Lines(ascii), "2 3 4 6");
}

TEST(Positions, ErrorsAtAnElementNameItsLineAndColumn) {
    EXPECT_EQ(ErrorOf("\r\n\r\n  <html/>"), "test.svg, line 3, column 3: the root element is <html>, not <svg>: this is no SVG file");
    TreeOptions shallow;
    shallow.maxDepth = 2;
    EXPECT_EQ(ErrorOf("<svg xmlns=\"http://www.w3.org/2000/svg\">\n<g>\xC3\xA9\xC3\xA9<g/></g></svg>", shallow),
              "test.svg, line 2, column 6: elements are nested deeper than 2 levels");
    TreeOptions few;
    few.maxElements = 2;
    EXPECT_EQ(ErrorOf("<svg xmlns=\"http://www.w3.org/2000/svg\">\n<g/>\r\n   <g/></svg>", few),
              "test.svg, line 3, column 4: the file has more than 2 elements");
}

TEST(Positions, LineCountsAgreeWithCountingByHandAtEveryOffset) {
    // Line ends of every kind at every distance from one another and from the start, so that
    // every way of counting a stretch (in blocks, in words, byte by byte) meets them.
    std::mt19937 random(7);
    std::string text;
    while (text.size() < 3000) {
        const auto pick = random() % 10;
        text += pick == 0 ? "\n" : pick == 1 ? "\r\n" : pick == 2 ? "\r" : pick == 3 ? "\n\n" : "x";
    }
    // The list of line ends (for text parsed in place) answers as the counter does, offsets
    // asked for out of order included.
    LineEnds listed;
    ASSERT_TRUE(listed.List(text, text.size()));
    std::vector<long> lines;
    for (const size_t step : {size_t(1), size_t(7), size_t(64), size_t(200)}) {
        LineCounter counter(text);
        long expected = 1;
        size_t counted = 0;
        for (size_t offset = 0; offset <= text.size(); offset += step) {
            for (; counted < offset; ++counted) {
                if (text[counted] == '\n' || (text[counted] == '\r' && (counted + 1 == text.size() || text[counted + 1] != '\n'))) ++expected;
            }
            ASSERT_EQ(counter.LineAt(offset), expected) << "offset " << offset << ", step " << step;
            ASSERT_EQ(listed.LineAt(offset), expected) << "offset " << offset << ", step " << step;
            if (step == 1) lines.push_back(expected);
        }
    }
    for (size_t offset = text.size() + 1; offset-- > 0;) ASSERT_EQ(listed.LineAt(offset), lines[offset]) << "offset " << offset;
    for (const size_t offset : {size_t(2999), size_t(5), size_t(1500), size_t(0), size_t(3000)}) {
        ASSERT_EQ(listed.LineAt(offset), lines[std::min(offset, text.size())]) << "offset " << offset;
    }
    // A list longer than allowed is not made.
    LineEnds few;
    EXPECT_FALSE(few.List(text, size_t(lines.back() - 2)));
    EXPECT_TRUE(few.List(text, size_t(lines.back() - 1)));
}

}  // namespace
}  // namespace document::svg::testing
