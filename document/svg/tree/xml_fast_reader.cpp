#include "document/svg/tree/xml_fast_reader.h"

#include <pugixml.hpp>

#include <cstring>
#include <memory>
#include <vector>

#include "document/svg/tree/line_counter.h"
#include "document/svg/tree/line_ends.h"
#include "document/svg/tree/parse_buffer.h"
#include "document/svg/tree/xml_plain_text.h"

namespace document::svg {
namespace {

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";

std::string_view NameOf(const pugi::xml_node& node) { return node.name(); }
std::string_view ValueOf(const pugi::xml_node& node) { return node.value(); }

struct Binding {
    std::string_view prefix;  // empty for the default namespace
    std::string_view uri;
};

// Namespace scopes: the bindings of the open elements, innermost last.
class Namespaces {
public:
    size_t Mark() const { return bindings_.size(); }
    void Release(size_t mark) { bindings_.resize(mark); }

    // Takes one xmlns or xmlns:p attribute; false for a declaration expat refuses.
    bool Declare(std::string_view prefix, std::string_view uri) {
        if (uri == kXmlnsNamespace || (uri == kXmlNamespace) != (prefix == "xml")) return false;
        if (prefix == "xmlns" || (!prefix.empty() && uri.empty())) return false;
        bindings_.push_back({prefix, uri});
        return true;
    }

    // The URI of a prefix; false when it is not bound.
    bool Resolve(std::string_view prefix, std::string_view& uri) const {
        if (prefix == "xml") {
            uri = kXmlNamespace;
            return true;
        }
        for (auto binding = bindings_.rbegin(); binding != bindings_.rend(); ++binding) {
            if (binding->prefix == prefix) {
                uri = binding->uri;
                return true;
            }
        }
        uri = {};
        return prefix.empty();  // no default namespace: no namespace
    }

private:
    std::vector<Binding> bindings_;
};

// Where the element being given starts, as a byte offset into the text, told as a line and
// column of the text as it was read.
class Position : public XmlPosition {
public:
    void MoveTo(size_t offset) {
        offset_ = offset;
        lineKnown_ = false;
    }
    long Line() const override {
        if (!lineKnown_) {
            line_ = LineAt(offset_);
            lineKnown_ = true;
        }
        return line_;
    }
    long Column() const override { return ColumnAt(offset_); }

protected:
    ~Position() = default;
    virtual long LineAt(size_t offset) const = 0;
    virtual long ColumnAt(size_t offset) const = 0;

private:
    size_t offset_ = 0;
    mutable long line_ = 1;
    mutable bool lineKnown_ = false;
};

// Positions counted in the text itself, which the parser left as it was (it read a copy).
class CountedPosition final : public Position {
public:
    explicit CountedPosition(std::string_view text) : lines_(text) {}

private:
    long LineAt(size_t offset) const override { return lines_.LineAt(offset); }
    long ColumnAt(size_t offset) const override { return lines_.ColumnAt(offset); }

    mutable LineCounter lines_;
};

// Positions in text the parser has written into: lines from the line ends listed before it
// did; a column, asked for only for an error, from the text read again.
class ListedPosition final : public Position {
public:
    ListedPosition(LineEnds& lines, const std::function<std::string()>& readAgain) : lines_(lines), readAgain_(readAgain) {}

private:
    long LineAt(size_t offset) const override { return lines_.LineAt(offset); }
    long ColumnAt(size_t offset) const override {
        const std::string text = readAgain_();
        return LineCounter(text).ColumnAt(offset);
    }

    LineEnds& lines_;
    const std::function<std::string()>& readAgain_;
};

// Walks pugixml's tree into the events expat would give, each given as it is reached. At the
// first node that it cannot give as expat would, the walk stops and answers false: the events
// given so far are those expat gives before that place.
class Walker {
public:
    // `text` is the parsed text (as the parser left it), `position` tells where its offsets are.
    Walker(std::string_view text, XmlHandler& handler, Position& position)
        : text_(text), handler_(handler), position_(position) {}

    // The document node's children: an optional declaration first, comments, PIs, at most one
    // plain DOCTYPE before the one element.
    bool Document(const pugi::xml_document& document, size_t declarationOffset) {
        bool doctype = false;
        pugi::xml_node root;
        for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
            switch (node.type()) {
                case pugi::node_declaration:
                    if (node != document.first_child() || node.offset_debug() != ptrdiff_t(declarationOffset)) return false;
                    break;
                case pugi::node_doctype:
                    if (doctype || root || !IsPlainDoctype(ValueOf(node)) || !SpaceBefore(node)) return false;
                    doctype = true;
                    break;
                case pugi::node_comment:
                case pugi::node_pi:
                    if (!Other(node)) return false;
                    break;
                case pugi::node_element:
                    if (root) return false;
                    root = node;
                    break;
                default:
                    return false;  // text outside the element
            }
        }
        return root && Tree(root);
    }

private:
    // Whether white space precedes the node's content in the text, as XML wants after
    // "<!DOCTYPE" (pugixml's value starts after it, whether there is any or not). Where the
    // parser wrote its end mark there, the answer is no and expat reads the file: declining
    // is always safe.
    bool SpaceBefore(const pugi::xml_node& node) const {
        const ptrdiff_t at = node.offset_debug();
        if (at < 1 || size_t(at) > text_.size()) return false;
        const char c = text_[size_t(at) - 1];
        return c == ' ' || c == '\t' || c == '\n' || c == '\r';
    }

    // Comments and processing instructions are not reported; they only must be well formed.
    static bool Other(const pugi::xml_node& node) {
        if (node.type() == pugi::node_comment) {
            const std::string_view text = ValueOf(node);
            return text.find("--") == std::string_view::npos && (text.empty() || text.back() != '-');
        }
        const std::string_view target = NameOf(node);
        if (target.size() == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' && (target[2] | 0x20) == 'l') {
            return false;
        }
        return IsPlainQualifiedName(target) && target.find(':') == std::string_view::npos;
    }

    // The element and all it holds, depth first without recursion (nesting can be tens of
    // thousands deep).
    bool Tree(pugi::xml_node root) {
        std::vector<size_t> marks;
        pugi::xml_node node = root;
        for (;;) {
            marks.push_back(namespaces_.Mark());
            if (!Start(node)) return false;
            // Texts and the like of this element, up to its first child element.
            pugi::xml_node child;
            if (!NextElement(node.first_child(), child)) return false;
            if (child) {
                node = child;
                continue;
            }
            // No child element left: close elements until one has a next sibling element.
            for (;;) {
                End(marks);
                if (node == root) return true;
                pugi::xml_node sibling;
                if (!NextElement(node.next_sibling(), sibling)) return false;
                if (sibling) {
                    node = sibling;
                    break;
                }
                node = node.parent();
            }
        }
    }

    // The first element from `from` on among its siblings (null when none), taking the texts
    // and the like before it; false when one of them is declined.
    bool NextElement(pugi::xml_node from, pugi::xml_node& element) {
        bool textBefore = false;  // a text since the last element
        for (; from && from.type() != pugi::node_element; from = from.next_sibling()) {
            if (!Leaf(from, textBefore)) return false;
        }
        element = from;
        return true;
    }

    // A child that is not an element. Two texts with no element between them are declined:
    // white space between them, which pugixml drops, would have been text of theirs.
    bool Leaf(const pugi::xml_node& node, bool& textBefore) {
        switch (node.type()) {
            case pugi::node_pcdata:
            case pugi::node_cdata: {
                const std::string_view text = ValueOf(node);
                if (textBefore) return false;
                if (node.type() == pugi::node_pcdata && text.find("]]>") != std::string_view::npos) return false;
                textBefore = true;
                handler_.Text(text);
                return true;
            }
            case pugi::node_comment:
            case pugi::node_pi:
                return Other(node);
            default:
                return false;
        }
    }

    bool Start(const pugi::xml_node& element) {
        // Names are measured and checked in one pass, which also finds their colon.
        size_t length = 0, colon = 0;
        const char* const elementQualified = element.name();
        if (!ScanPlainQualifiedName(elementQualified, length, colon)) return false;
        const std::string_view qualified(elementQualified, length);
        const size_t qualifiedColon = colon;
        // The attributes as written, each asked of pugixml once. Declarations are taken first:
        // they apply to the element's own name and attributes.
        raw_.clear();
        for (pugi::xml_attribute attribute = element.first_attribute(); attribute; attribute = attribute.next_attribute()) {
            const char* const nameStart = attribute.name();
            if (!ScanPlainQualifiedName(nameStart, length, colon)) return false;
            // A '<' in a value is an error unless written &lt;, which pugixml does not tell. One
            // pass finds it or the value's end: values (path data above all) are most of the text.
            const char* const valueStart = attribute.value();
            const char* const valueEnd = strchrnul(valueStart, '<');
            if (*valueEnd != '\0') return false;
            const RawAttribute& written = raw_.emplace_back(
                RawAttribute{std::string_view(nameStart, length), colon, std::string_view(valueStart, size_t(valueEnd - valueStart))});
            const std::string_view name = written.name;
            if (!IsDeclaration(name)) continue;
            // The same declaration twice is an error.
            for (size_t i = 0; i + 1 < raw_.size(); ++i) {
                if (raw_[i].name == name) return false;
            }
            if (!namespaces_.Declare(name.size() == 5 ? std::string_view() : name.substr(6), written.value)) return false;
        }
        XmlName elementName;
        if (!Split(qualified, qualifiedColon, true, elementName)) return false;
        attributes_.clear();
        for (const RawAttribute& written : raw_) {
            if (IsDeclaration(written.name)) continue;
            XmlAttribute taken;
            if (!Split(written.name, written.colon, false, taken.name)) return false;
            taken.value = written.value;
            // The same attribute twice, under one name or two prefixes of one namespace, is an
            // error.
            for (const XmlAttribute& other : attributes_) {
                if (other.name.local == taken.name.local && other.name.ns == taken.name.ns) return false;
            }
            attributes_.push_back(taken);
        }
        position_.MoveTo(size_t(element.offset_debug()) - 1);
        handler_.StartElement(elementName, attributes_, position_);
        return true;
    }

    // xmlns and xmlns:p, which declare namespaces rather than being attributes.
    static bool IsDeclaration(std::string_view name) {
        return name.size() >= 5 && name.substr(0, 5) == "xmlns" && (name.size() == 5 || name[5] == ':');
    }

    void End(std::vector<size_t>& marks) {
        namespaces_.Release(marks.back());
        marks.pop_back();
        handler_.EndElement();
    }

    // "p:local", whose colon is at `colon` (or npos), into its namespace and local name; an
    // unprefixed attribute is in none.
    bool Split(std::string_view qualified, size_t colon, bool element, XmlName& name) const {
        std::string_view prefix;
        if (colon != std::string_view::npos) {
            prefix = qualified.substr(0, colon);
            if (prefix == "xmlns") return false;
            name.local = qualified.substr(colon + 1);
        } else {
            name.local = qualified;
            if (!element) {
                name.ns = {};
                return true;
            }
        }
        return namespaces_.Resolve(prefix, name.ns);
    }

    // An attribute as written: its qualified name, where its colon is, and its value.
    struct RawAttribute {
        std::string_view name;
        size_t colon;
        std::string_view value;
    };

    std::string_view text_;
    XmlHandler& handler_;
    Position& position_;
    Namespaces namespaces_;
    std::vector<RawAttribute> raw_;         // the current element's attributes as written
    std::vector<XmlAttribute> attributes_;  // and as given: declarations out, names split
};

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_pi | pugi::parse_comments | pugi::parse_declaration |
                                  pugi::parse_doctype | pugi::parse_fragment;

// Where an XML declaration's content starts, when the text has one.
size_t DeclarationOffset(std::string_view text) { return text.substr(0, 3) == "\xEF\xBB\xBF" ? 5 : 2; }

}  // namespace

bool TryReadXmlFast(std::string_view text, const std::string&, XmlHandler& handler) {
    // pugixml's tree points into the buffer it parsed, which therefore lives as long.
    struct Parsed {
        explicit Parsed(size_t size) : buffer(size) {}
        ParseBuffer buffer;
        pugi::xml_document document;
    };
    const auto parsed = std::make_shared<Parsed>(text.size());
    // The text is checked as it is copied for the parser.
    if (!CopyPlainXmlText(text, parsed->buffer.Data())) return false;
    if (!parsed->document.load_buffer_inplace(parsed->buffer.Data(), parsed->buffer.SizeWithNul(), kParseOptions, pugi::encoding_utf8)) {
        return false;
    }
    // Names, values and texts all point into the parsed copy of the text.
    handler.KeepText(parsed);
    CountedPosition position(text);
    return Walker(text, handler, position).Document(parsed->document, DeclarationOffset(text));
}

InPlaceRead TryReadXmlFastInPlace(const WritableXml& text, const std::string&, XmlHandler& handler) {
    const std::string_view bytes(text.data, text.size);
    if (!IsPlainXmlText(bytes)) return InPlaceRead::kDeclined;
    // The list of line ends costs 4 bytes a line: where lines average under 8 bytes it would
    // take half as much memory as a copy of the text, which is then read instead.
    LineEnds lines;
    if (!lines.List(bytes, text.size / 8 + 16)) return InPlaceRead::kNotInPlace;
    const size_t declarationOffset = DeclarationOffset(bytes);
    struct Parsed {
        std::shared_ptr<const void> text;
        pugi::xml_document document;
    };
    const auto parsed = std::make_shared<Parsed>();
    parsed->text = text.owner;
    // From here on the text is pugixml's.
    if (!parsed->document.load_buffer_inplace(text.data, text.size + 1, kParseOptions, pugi::encoding_utf8)) {
        return InPlaceRead::kDeclinedAfterChange;
    }
    handler.KeepText(parsed);
    ListedPosition position(lines, text.readAgain);
    return Walker(bytes, handler, position).Document(parsed->document, declarationOffset) ? InPlaceRead::kRead
                                                                                           : InPlaceRead::kDeclinedAfterChange;
}

}  // namespace document::svg
