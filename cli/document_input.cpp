#include "cli/document_input.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>

#include "cli/heap_ahead.h"
#include "document/json_loader.h"
#include "document/text_file.h"

#if defined(QUILLMARK_WITH_SVG)
#include "document/svg/svg_reader.h"
#endif

namespace cli {

namespace {

// The most the heap is grown by ahead of an SVG drawing.
constexpr size_t kSvgHeapAhead = size_t(64) << 20;
// What is read first of a file larger than the window, to tell its kind: a drawing is then read
// whole at once, rather than after a window's worth of its bytes.
constexpr size_t kFirstBytes = size_t(64) << 10;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void SkipSpace(std::string_view& text) {
    while (!text.empty() && IsXmlSpace(text.front())) text.remove_prefix(1);
}

// Skips past `end`; false when the text ends first.
bool SkipPast(std::string_view& text, std::string_view end) {
    const size_t at = text.find(end);
    if (at == std::string_view::npos) return false;
    text.remove_prefix(at + end.size());
    return true;
}

// Skips a DOCTYPE, whose internal subset in brackets may hold '>' of its own declarations.
bool SkipDoctype(std::string_view& text) {
    int brackets = 0;
    char quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++brackets;
        } else if (c == ']') {
            --brackets;
        } else if (c == '>' && brackets <= 0) {
            text.remove_prefix(i + 1);
            return true;
        }
    }
    return false;
}

DocumentKind SniffXml(std::string_view text, std::string* why) {
    const auto unknown = [why](const std::string& reason) {
        if (why != nullptr) *why = reason;
        return DocumentKind::kUnknown;
    };
    while (true) {
        SkipSpace(text);
        if (text.empty()) return unknown("XML without a root element");
        if (StartsWith(text, "<?")) {
            if (!SkipPast(text, "?>")) return unknown("XML whose declaration does not end");
        } else if (StartsWith(text, "<!--")) {
            if (!SkipPast(text, "-->")) return unknown("XML whose comment does not end");
        } else if (StartsWith(text, "<!DOCTYPE") || StartsWith(text, "<!doctype")) {
            if (!SkipDoctype(text)) return unknown("XML whose DOCTYPE does not end");
        } else if (StartsWith(text, "<")) {
            break;
        } else {
            return unknown("text that is neither SVG nor JSON");
        }
    }
    text.remove_prefix(1);
    size_t length = 0;
    while (length < text.size() && !IsXmlSpace(text[length]) && text[length] != '>' && text[length] != '/') ++length;
    const std::string_view name = text.substr(0, length);
    const size_t colon = name.rfind(':');
    const std::string_view local = colon == std::string_view::npos ? name : name.substr(colon + 1);
    if (local == "svg") return DocumentKind::kSvg;
    return unknown("XML whose root element is <" + std::string(name.substr(0, 40)) + ">, not <svg>");
}


}  // namespace

DocumentKind SniffDocument(std::string_view bytes, std::string* why) {
    if (bytes.size() >= 2 && uint8_t(bytes[0]) == 0x1F && uint8_t(bytes[1]) == 0x8B) return DocumentKind::kSvg;
    // XML in UTF-16 starts with its byte order mark; the SVG reader decodes it.
    if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF")) return DocumentKind::kSvg;
    std::string_view text = bytes;
    if (StartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
    SkipSpace(text);
    if (text.empty()) {
        if (why != nullptr) *why = bytes.empty() ? "the file is empty" : "the file holds only white space";
        return DocumentKind::kUnknown;
    }
    if (text.front() == '{' || text.front() == '[') return DocumentKind::kJson;
    if (text.front() == '<') return SniffXml(text, why);
    if (why != nullptr) *why = "neither SVG nor JSON";
    return DocumentKind::kUnknown;
}

bool ReadsSvg() {
#if defined(QUILLMARK_WITH_SVG)
    return true;
#else
    return false;
#endif
}

namespace {

InputDocument ReadJson(const std::function<document::Document()>& load) {
    InputDocument input;
    input.kind = DocumentKind::kJson;
    try {
        input.document = load();
    } catch (const document::DocumentError& error) {
        throw InputError(error.what());
    }
    return input;
}

#if defined(QUILLMARK_WITH_SVG)
// The regular file's bytes again, as the SVG reader that parsed them in place may need them:
// read from the file, which must not have changed size meanwhile.
std::string ReadRegularFileAgain(const std::string& path, size_t size) {
    std::unique_ptr<document::TextFile> file;
    try {
        file = std::make_unique<document::TextFile>(path);
    } catch (const document::DocumentError& error) {
        throw document::svg::SvgError(path + ": " + error.what());
    }
    if (file->Text().size() != size) throw document::svg::SvgError(path + ": the file changed while it was read");
    return std::string(file->Text());
}
#endif

// `writable`, when given, holds `bytes` with a NUL byte after them, read from the regular file
// at `path`: the reader then parses them where they stand (and changes them) rather than in a
// copy, and reads the file again in the rare case that it needs them as they were.
InputDocument ReadSvg([[maybe_unused]] std::string_view bytes, [[maybe_unused]] char* writable,
                      [[maybe_unused]] const std::string& path) {
#if defined(QUILLMARK_WITH_SVG)
    InputDocument input;
    input.kind = DocumentKind::kSvg;
    try {
        document::svg::ReadResult result;
        if (writable != nullptr) {
            document::svg::WritableXml text;
            text.data = writable;
            text.size = bytes.size();
            text.readAgain = [&path, size = bytes.size()] { return ReadRegularFileAgain(path, size); };
            result = document::svg::ReadSvgInPlace(text, path);
        } else {
            result = document::svg::ReadSvg(bytes, path);
        }
        input.document = std::move(result.document);
        for (const auto& entry : result.losses.Entries()) input.losses.push_back({entry.kind, entry.count, entry.first});
    } catch (const document::svg::SvgError& error) {
        // The reader names the file itself.
        std::string message = error.what();
        if (StartsWith(message, path + ": ")) message.erase(0, path.size() + 2);
        throw InputError(message);
    }
    return input;
#else
    throw InputError("an SVG document, which this build of quillmark does not read (it reads JSON)");
#endif
}

[[noreturn]] void Unknown(const std::string& why) {
    throw InputError("not a document quillmark reads (" + why + "; expected " + (ReadsSvg() ? "SVG or JSON" : "JSON") +
                     ")");
}

// The file read whole: pipes and devices, and what the window does not tell apart (`regular`).
InputDocument ReadWhole(const std::string& path, bool regular) {
    std::unique_ptr<document::TextFile> file;
    try {
        file = std::make_unique<document::TextFile>(path);
    } catch (const document::DocumentError& error) {
        throw InputError(error.what());
    }
    const std::string_view bytes = file->Text();
    std::string why;
    switch (SniffDocument(bytes, &why)) {
        case DocumentKind::kJson:
            return ReadJson([&] { return document::LoadDocumentText(bytes, file->Padding(), document::JsonReader::kFast); });
        case DocumentKind::kSvg: return ReadSvg(bytes, regular ? file->WritableText() : nullptr, path);
        case DocumentKind::kUnknown: break;
    }
    Unknown(why);
}

}  // namespace

InputDocument ReadInputDocument(const std::string& path) {
    // A regular file is read through a window of its first bytes, from which its kind is told:
    // a large JSON file is read on through that window, never held whole.
    std::unique_ptr<document::FileWindow> window;
    std::string why;
    DocumentKind kind = DocumentKind::kUnknown;
    try {
        window = std::make_unique<document::FileWindow>(path, document::kJsonWindowSize, document::kJsonWindowSize);
        if (!window->Regular()) return ReadWhole(path, false);
        // A file the window holds is read at once; of a larger one, the first bytes.
        window->Extend(0, window->SizeWhenOpened() < window->Capacity() ? SIZE_MAX : kFirstBytes);
        kind = SniffDocument(window->View(), &why);
        // Where the first bytes do not tell the kind, as many as the window holds may. (A larger
        // file's kind is told again from all its text when it is read whole below.)
        if (kind == DocumentKind::kUnknown || (kind == DocumentKind::kSvg && window->SizeWhenOpened() < window->Capacity())) {
            while (window->Extend(0)) {
            }
            if (kind == DocumentKind::kUnknown) kind = SniffDocument(window->View(), &why);
        }
    } catch (const document::DocumentError& error) {
        throw InputError(error.what());
    }
    if (kind == DocumentKind::kJson) {
        // The model takes about a quarter of its JSON's size: segments of 28 bytes, written in
        // some 120.
        const HeapFaultedAhead heap(window->SizeWhenOpened() / 4);
        return ReadJson([&] { return document::LoadDocumentFromWindow(*window); });
    }
    // Only a large file's kind may lie past its first bytes (after much white space, or a
    // long XML prologue); SVG is read whole.
    if (!window->Complete()) {
        // An SVG drawing's reader and model take some times its size (8 for a drawing of 1.5 MB
        // in thousands of small paths, less for long path data).
        const HeapFaultedAhead heap(kind == DocumentKind::kSvg ? std::min(window->SizeWhenOpened() * 8, kSvgHeapAhead) : 0);
        return ReadWhole(path, true);
    }
    if (kind == DocumentKind::kSvg) return ReadSvg(window->View(), window->WritableView(), path);
    Unknown(why);
}

}  // namespace cli
