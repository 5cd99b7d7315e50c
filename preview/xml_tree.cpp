#include "preview/xml_tree.h"

#include <expat.h>

#include <algorithm>
#include <exception>

#include "preview/preview.h"

namespace preview {
namespace {

constexpr char kNamespaceSeparator = '\x01';

void SplitName(const XML_Char* full, std::string& ns, std::string& local) {
    const std::string_view name(full);
    const size_t separator = name.find(kNamespaceSeparator);
    if (separator == std::string_view::npos) {
        ns.clear();
        local = name;
    } else {
        ns = name.substr(0, separator);
        local = name.substr(separator + 1);
    }
}

class TreeBuilder {
public:
    TreeBuilder(const std::string& fileName)
        : fileName_(fileName), parser_(XML_ParserCreateNS(nullptr, kNamespaceSeparator)) {
        if (parser_ == nullptr) throw std::bad_alloc();
        XML_SetUserData(parser_, this);
        // XAML has no use for a document type: refusing it refuses every entity declaration,
        // so nothing is ever expanded or fetched.
        XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
        XML_SetStartDoctypeDeclHandler(parser_, &TreeBuilder::OnDoctype);
        XML_SetElementHandler(parser_, &TreeBuilder::OnStart, &TreeBuilder::OnEnd);
        XML_SetCharacterDataHandler(parser_, &TreeBuilder::OnText);
    }
    ~TreeBuilder() { XML_ParserFree(parser_); }
    TreeBuilder(const TreeBuilder&) = delete;
    TreeBuilder& operator=(const TreeBuilder&) = delete;

    std::unique_ptr<XmlElement> Build(std::string_view bytes) {
        if (bytes.find_first_not_of(" \t\r\n") == std::string_view::npos) {
            throw XamlError(fileName_, 1, "the file is empty");
        }
        constexpr size_t kChunk = size_t(1) << 30;
        do {
            const size_t size = std::min(bytes.size(), kChunk);
            const bool last = size == bytes.size();
            const XML_Status status = XML_Parse(parser_, bytes.data(), int(size), last);
            if (failure_) std::rethrow_exception(failure_);
            if (status != XML_STATUS_OK) {
                throw XamlError(fileName_, int(XML_GetCurrentLineNumber(parser_)),
                                std::string("not well-formed XML: ") + XML_ErrorString(XML_GetErrorCode(parser_)));
            }
            bytes.remove_prefix(size);
        } while (!bytes.empty());
        return std::move(root_);
    }

private:
    int Line() const { return int(XML_GetCurrentLineNumber(parser_)); }

    template <typename Call>
    void Guarded(Call call) {
        if (failure_) return;
        try {
            call();
        } catch (...) {
            failure_ = std::current_exception();
            XML_StopParser(parser_, XML_FALSE);
        }
    }

    static void XMLCALL OnDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
        auto& builder = *static_cast<TreeBuilder*>(self);
        builder.Guarded([&] {
            throw XamlError(builder.fileName_, builder.Line(), "a document type declaration is not allowed in XAML");
        });
    }

    static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** attributes) {
        auto& builder = *static_cast<TreeBuilder*>(self);
        builder.Guarded([&] {
            if (int(builder.open_.size()) >= kMaxXmlDepth) {
                throw XamlError(builder.fileName_, builder.Line(),
                                "elements are nested deeper than " + std::to_string(kMaxXmlDepth) + " levels");
            }
            auto element = std::make_unique<XmlElement>();
            SplitName(name, element->ns, element->name);
            element->line = builder.Line();
            for (const XML_Char** attribute = attributes; *attribute; attribute += 2) {
                XmlAttribute& added = element->attributes.emplace_back();
                SplitName(attribute[0], added.ns, added.name);
                added.value = attribute[1];
            }
            XmlElement* raw = element.get();
            if (builder.open_.empty()) {
                builder.root_ = std::move(element);
            } else {
                builder.open_.back()->children.push_back(std::move(element));
            }
            builder.open_.push_back(raw);
        });
    }

    static void XMLCALL OnEnd(void* self, const XML_Char*) {
        auto& builder = *static_cast<TreeBuilder*>(self);
        builder.Guarded([&] { builder.open_.pop_back(); });
    }

    static void XMLCALL OnText(void* self, const XML_Char* text, int length) {
        auto& builder = *static_cast<TreeBuilder*>(self);
        builder.Guarded([&] {
            const std::string_view chunk(text, size_t(length));
            if (chunk.find_first_not_of(" \t\r\n") == std::string_view::npos) return;
            const std::string where = builder.open_.empty() ? "outside the elements" : "in <" + builder.open_.back()->name + ">";
            throw XamlError(builder.fileName_, builder.Line(), "text is not allowed " + where);
        });
    }

    const std::string& fileName_;
    XML_Parser parser_;
    std::unique_ptr<XmlElement> root_;
    std::vector<XmlElement*> open_;
    std::exception_ptr failure_;
};

}  // namespace

std::unique_ptr<XmlElement> ReadXmlTree(std::string_view bytes, const std::string& fileName) {
    TreeBuilder builder(fileName);
    return builder.Build(bytes);
}

}  // namespace preview
