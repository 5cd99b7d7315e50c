// Fuzz target: a JSON document, read and exported through the plug-in under a host fault.
// The reader must accept the document or refuse it with a DocumentError that names the place
// (never the JSON library's own message); whatever it accepts must export cleanly. The fast
// reader, given the text in small pieces, must report what it reports reading it whole, and the
// loader, reading the text from a file through a small window, must build the same document or
// give the same message as reading it whole.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "document/json_loader.h"
#include "document/json_text.h"
#include "document/json_writer.h"
#include "document/text_file.h"
#include "fuzz/driver/clean_error.h"
#include "fuzz/driver/export_run.h"
#include "fuzz/driver/fuzz_input.h"

namespace {

// Every event as a line of text.
class EventLog final : public document::JsonEvents {
public:
    void StartObject(size_t offset) override { log_ += "{" + std::to_string(offset) + "\n"; }
    void Key(std::string_view key) override { log_.append("k").append(key).append("\n"); }
    void EndObject() override { log_ += "}\n"; }
    void StartArray(size_t offset) override { log_ += "[" + std::to_string(offset) + "\n"; }
    void EndArray() override { log_ += "]\n"; }
    void Number(const document::JsonNumber& number) override {
        char text[96];
        std::snprintf(text, sizeof text, "n%d %a %llu %lld\n", int(number.kind), number.value,
                      static_cast<unsigned long long>(number.unsignedValue), static_cast<long long>(number.signedValue));
        log_ += text;
    }
    void String(std::string_view text) override { log_.append("s").append(text).append("\n"); }
    void Bool(bool value) override { log_ += value ? "t\n" : "f\n"; }
    void Null() override { log_ += "0\n"; }
    std::string CurrentPath() const override { return ""; }

    std::string log_;
};

// The same, with the segments arrays of art cut out of the pieces: each cut array is read by the
// portable reader and written down as its events, with offsets in the whole text.
class CuttingLog final : public document::JsonEvents {
public:
    explicit CuttingLog(std::string_view text) : text_(text) {}
    void StartObject(size_t offset) override { log_.StartObject(offset + base_); }
    void Key(std::string_view key) override { log_.Key(key); }
    void EndObject() override { log_.EndObject(); }
    void StartArray(size_t offset) override { log_.StartArray(offset + base_); }
    void EndArray() override { log_.EndArray(); }
    void Number(const document::JsonNumber& number) override { log_.Number(number); }
    void String(std::string_view text) override { log_.String(text); }
    void Bool(bool value) override { log_.Bool(value); }
    void Null() override { log_.Null(); }
    std::string CurrentPath() const override { return ""; }
    bool CutsSegmentsArrays() const override { return true; }
    void CutArray(std::string_view cut, bool) override {
        base_ = size_t(cut.data() - text_.data());
        try {
            document::ReadJsonPortable(cut, document::kMaxJsonNesting, *this);
        } catch (const document::DocumentError&) {
            refused_ = true;
        }
        base_ = 0;
    }

    EventLog log_;
    bool refused_ = false;  // a cut array is not valid JSON

private:
    std::string_view text_;
    size_t base_ = 0;  // the offset of the cut being read
};

void CheckPiecesAgainstWhole(std::string_view text) {
    if (!document::HasFastJsonReader()) return;
    const std::string padded = std::string(text) + std::string(64, '\0');
    const std::string_view view(padded.data(), text.size());
    EventLog whole;
    const bool wholeRead = document::ReadJsonFastInPieces(view, document::kMaxJsonNesting, SIZE_MAX, whole);
    // A piece size from the text's length, so that every size from 1 to 40 is tried.
    EventLog pieces;
    const bool piecesRead = document::ReadJsonFastInPieces(view, document::kMaxJsonNesting, text.size() % 40 + 1, pieces);
    if (wholeRead != piecesRead || (wholeRead && whole.log_ != pieces.log_)) {
        std::fprintf(stderr, "read in pieces: %s, whole: %s\n", piecesRead ? "accepted" : "refused",
                     wholeRead ? "accepted" : "refused");
        std::abort();
    }
    CuttingLog cutting(view);
    const bool cutRead =
        document::ReadJsonFastInPieces(view, document::kMaxJsonNesting, text.size() % 40 + 1, cutting) && !cutting.refused_;
    if (wholeRead != cutRead || (wholeRead && whole.log_ != cutting.log_.log_)) {
        std::fprintf(stderr, "read in pieces with cuts: %s, whole: %s\n", cutRead ? "accepted" : "refused",
                     wholeRead ? "accepted" : "refused");
        std::abort();
    }
}

// The document as JSON, or the message that refused it.
template <typename Load>
std::string Outcome(Load load) {
    try {
        return "document\n" + document::DocumentToJson(load());
    } catch (const document::DocumentError& error) {
        return std::string("error\n") + error.what();
    }
}

void CheckWindowAgainstWhole(std::string_view text) {
    if (!document::HasFastJsonReader()) return;
    // A file in memory, rewritten for each input, read by its name under /proc.
    static const int fd = memfd_create("quillmark-fuzz-json", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, text.data(), text.size(), 0) != ssize_t(text.size())) std::abort();
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    // A window and pieces of sizes from the text's length, so that small ones of every size are
    // tried and the window moves on many times; every other text has its segments read aside.
    const size_t capacity = text.size() % 97 + 16;
    const size_t asideFrom = text.size() % 2 == 0 ? 0 : SIZE_MAX;
    const std::string windowed = Outcome([&] {
        document::FileWindow window(path, capacity, capacity / 2 + 1);
        return document::LoadDocumentFromWindow(window, nullptr, nullptr, text.size() % 13 + 1, asideFrom);
    });
    const std::string whole = Outcome([&] { return document::LoadDocumentText(text, 0, document::JsonReader::kFast); });
    if (windowed != whole) {
        std::fprintf(stderr, "read through a window:\n%s\nread whole:\n%s\n", windowed.c_str(), whole.c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::FuzzInput input = fuzz::DecodeInput({reinterpret_cast<const char*>(data), size});
    CheckPiecesAgainstWhole(input.document);
    CheckWindowAgainstWhole(input.document);
    document::Document document;
    try {
        document = document::LoadDocument(std::string(input.document));
    } catch (const document::DocumentError& error) {
        if (fuzz::IsLibraryMessage(error.what())) {
            std::fprintf(stderr, "the reader's message is the JSON library's own: %s\n", error.what());
            std::abort();
        }
        return 0;
    }
    fuzz::AbortOnViolations(fuzz::ExportDocument(std::move(document), input));
    return 0;
}
