// Fuzz target: a JSON document, read and exported through the plug-in under a host fault.
// The reader must accept the document or refuse it with a DocumentError that names the place
// (never the JSON library's own message); whatever it accepts must export cleanly. The fast
// reader, given the text in small pieces, must report what it reports reading it whole.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/json_loader.h"
#include "document/json_text.h"
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
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::FuzzInput input = fuzz::DecodeInput({reinterpret_cast<const char*>(data), size});
    CheckPiecesAgainstWhole(input.document);
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
