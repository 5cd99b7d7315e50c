// The XML of a XAML file as a tree of elements, read with expat set up never to load anything:
// no document type declaration is accepted (so no entity can be declared or expanded), text
// other than blanks is refused, and nesting is bounded.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace preview {

struct XmlAttribute {
    std::string ns;  // the namespace URI; empty for none
    std::string name;
    std::string value;
};

struct XmlElement {
    std::string ns;
    std::string name;  // the local name, "Path" or "Path.Fill"
    int line = 0;
    std::vector<XmlAttribute> attributes;
    std::vector<std::unique_ptr<XmlElement>> children;
};

// Elements may nest this deep, far more than any exported drawing needs.
constexpr int kMaxXmlDepth = 512;

// Throws XamlError for a file that is not well-formed, is empty, declares a document type,
// holds text or nests too deep.
std::unique_ptr<XmlElement> ReadXmlTree(std::string_view bytes, const std::string& fileName);

}  // namespace preview
