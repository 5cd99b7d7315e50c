// The events of an XML reading written out as text, one line an event: how the two parsers of
// the XML layer are compared (tests, the comparison tool, the differential fuzz target).
#pragma once

#include <string>

#include "document/svg/tree/xml_reader.h"

namespace document::svg {

class XmlEventRecord final : public XmlHandler {
public:
    void StartElement(const XmlName& name, std::span<const XmlAttribute> attributes,
                      const XmlPosition& where) override {
        FlushText();
        text_ += "<" + Name(name) + " line " + std::to_string(where.Line()) + "\n";
        for (const XmlAttribute& attribute : attributes) {
            text_ += "  " + Name(attribute.name) + "=[" + std::string(attribute.value) + "]\n";
        }
    }
    void EndElement() override {
        FlushText();
        text_ += ">\n";
    }
    // Text is recorded as one piece between two tags, without white space at either end:
    // expat hands it in pieces, and the fast parser leaves out text of white space only.
    void Text(std::string_view text) override { pendingText_ += text; }
    void Restart() override {
        text_.clear();
        pendingText_.clear();
    }

    const std::string& Events() {
        FlushText();
        return text_;
    }

private:
    static std::string Name(const XmlName& name) {
        return name.ns.empty() ? std::string(name.local) : "{" + std::string(name.ns) + "}" + std::string(name.local);
    }
    void FlushText() {
        const size_t first = pendingText_.find_first_not_of(" \t\n\r");
        if (first != std::string::npos) {
            const size_t last = pendingText_.find_last_not_of(" \t\n\r");
            text_ += "text [" + pendingText_.substr(first, last - first + 1) + "]\n";
        }
        pendingText_.clear();
    }

    std::string text_;
    std::string pendingText_;
};

}  // namespace document::svg
