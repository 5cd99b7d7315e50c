#include "document/svg/tree/xml_reader.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <exception>
#include <vector>

#include "document/svg/tree/errors.h"
#include "document/svg/tree/line_counter.h"
#include "document/svg/tree/xml_fast_reader.h"

namespace document::svg {
namespace {

// Expat joins a namespace URI and a local name with this character, which XML text cannot
// hold, so it never appears in either part.
constexpr char kNamespaceSeparator = '\x01';

XmlName SplitName(const XML_Char* name) {
    const std::string_view full(name);
    const size_t separator = full.find(kNamespaceSeparator);
    if (separator == std::string_view::npos) return {{}, full};
    return {full.substr(0, separator), full.substr(separator + 1)};
}

class ExpatParser {
public:
    ExpatParser(const std::string& fileName, XmlHandler& handler)
        : fileName_(fileName), handler_(handler),
          parser_(XML_ParserCreateNS(nullptr, kNamespaceSeparator)) {
        if (parser_ == nullptr) throw std::bad_alloc();
        XML_SetUserData(parser_, this);
        // Internal entities of the document's own DTD subset are expanded (some editors write
        // xmlns="&ns_svg;"); external ones are never fetched: there is no external entity
        // handler, and parameter entities (external DTD subsets) are never parsed.
        XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
        // Expansion is refused once it passes 100 times the input; expat starts checking after
        // 8 MiB of output by default, 1 MiB here, which no entity use of an ordinary drawing
        // reaches, so that a "billion laughs" is stopped sooner.
        XML_SetBillionLaughsAttackProtectionActivationThreshold(parser_, 1 << 20);
        XML_SetElementHandler(parser_, &ExpatParser::OnStart, &ExpatParser::OnEnd);
        XML_SetCharacterDataHandler(parser_, &ExpatParser::OnText);
    }
    ~ExpatParser() { XML_ParserFree(parser_); }
    ExpatParser(const ExpatParser&) = delete;
    ExpatParser& operator=(const ExpatParser&) = delete;

    void Parse(std::string_view text) {
        text_ = text;
        lines_ = LineCounter(text);
        // UTF-16 text has line ends of two bytes; expat counts those.
        countLines_ = !(text.size() >= 2 && ((uint8_t(text[0]) == 0xFF && uint8_t(text[1]) == 0xFE) ||
                                             (uint8_t(text[0]) == 0xFE && uint8_t(text[1]) == 0xFF)));
        // Expat takes at most INT_MAX bytes a call.
        constexpr size_t kChunk = size_t(1) << 30;
        do {
            const size_t size = std::min(text.size(), kChunk);
            const bool last = size == text.size();
            const XML_Status status = XML_Parse(parser_, text.data(), int(size), last);
            if (failure_) std::rethrow_exception(failure_);
            if (status != XML_STATUS_OK) ThrowParseError();
            text.remove_prefix(size);
        } while (!text.empty());
    }

private:
    [[noreturn]] void ThrowParseError() {
        const XML_Error code = XML_GetErrorCode(parser_);
        std::string what = XML_ErrorString(code);
        if (code == XML_ERROR_AMPLIFICATION_LIMIT_BREACH) {
            what = "entity expansion beyond the allowed bound (" + what +
                   "); the file is refused as a likely \"billion laughs\" attack";
        }
        ThrowSvgErrorAt(fileName_, long(XML_GetCurrentLineNumber(parser_)),
                        long(XML_GetCurrentColumnNumber(parser_)) + 1, what);
    }

    // Runs a handler call, turning an exception into a stop of the parser (exceptions must
    // not cross expat's C frames).
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

    static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** attributes) {
        auto& parser = *static_cast<ExpatParser*>(self);
        parser.Guarded([&] {
            parser.attributes_.clear();
            for (const XML_Char** attribute = attributes; *attribute; attribute += 2) {
                parser.attributes_.push_back({SplitName(attribute[0]), attribute[1]});
            }
            parser.handler_.StartElement(SplitName(name), parser.attributes_, parser.position_);
        });
    }

    static void XMLCALL OnEnd(void* self, const XML_Char*) {
        auto& parser = *static_cast<ExpatParser*>(self);
        parser.Guarded([&] { parser.handler_.EndElement(); });
    }

    static void XMLCALL OnText(void* self, const XML_Char* text, int length) {
        auto& parser = *static_cast<ExpatParser*>(self);
        parser.Guarded([&] { parser.handler_.Text(std::string_view(text, size_t(length))); });
    }

    // The current event's line, counted here: expat's own count walks the text character by
    // character again, a tenth of the whole read. Where the event is not in the text as given
    // (an element of an entity's replacement text), and for UTF-16, expat answers.
    long CurrentLine() const {
        const XML_Index index = XML_GetCurrentByteIndex(parser_);
        if (!countLines_ || index < 0 || size_t(index) < countedTo_ || size_t(index) > text_.size()) {
            return long(XML_GetCurrentLineNumber(parser_));
        }
        countedTo_ = size_t(index);
        return lines_.LineAt(countedTo_);
    }

    class Position final : public XmlPosition {
    public:
        explicit Position(const ExpatParser& parser) : parser_(parser) {}
        long Line() const override { return parser_.CurrentLine(); }
        long Column() const override { return long(XML_GetCurrentColumnNumber(parser_.parser_)) + 1; }

    private:
        const ExpatParser& parser_;
    };

    const std::string& fileName_;
    XmlHandler& handler_;
    XML_Parser parser_;
    Position position_{*this};
    std::string_view text_;
    bool countLines_ = false;
    mutable size_t countedTo_ = 0;
    mutable LineCounter lines_{{}};
    std::vector<XmlAttribute> attributes_;
    std::exception_ptr failure_;
};

}  // namespace

void ReadXmlWithExpat(std::string_view text, const std::string& fileName, XmlHandler& handler) {
    ExpatParser parser(fileName, handler);
    parser.Parse(text);
}

void ReadXml(std::string_view text, const std::string& fileName, XmlHandler& handler) {
    if (!TryReadXmlFast(text, fileName, handler)) {
        handler.Restart();
        ReadXmlWithExpat(text, fileName, handler);
    }
}

void ReadXmlInPlace(const WritableXml& text, const std::string& fileName, XmlHandler& handler) {
    switch (TryReadXmlFastInPlace(text, fileName, handler)) {
        case InPlaceRead::kRead:
            return;
        case InPlaceRead::kNotInPlace:
            ReadXml({text.data, text.size}, fileName, handler);
            return;
        case InPlaceRead::kDeclined:
            ReadXmlWithExpat({text.data, text.size}, fileName, handler);
            return;
        case InPlaceRead::kDeclinedAfterChange: {
            const std::string original = text.readAgain();
            handler.Restart();
            ReadXmlWithExpat(original, fileName, handler);
            return;
        }
    }
}

}  // namespace document::svg
