// The JSON loader in-process: a large document read in pieces (the default) against the same
// text read whole, and the fast reader alone on containers nested in a row, each larger than a
// piece (the case the bound on rereading is for).
#include <benchmark/benchmark.h>

#include <limits>
#include <string>

#include "document/json_loader.h"
#include "document/json_text.h"
#include "document/json_writer.h"
#include "synthetic_documents.h"

namespace bench {
namespace {

constexpr size_t kPadding = 64;
constexpr size_t kWhole = std::numeric_limits<size_t>::max();

// The text followed by the padding the fast reader may read, so that it is not copied.
std::string Padded(std::string text) {
    text.append(kPadding, '\0');
    return text;
}

const std::string& PathsJson() {
    static const std::string text = Padded(document::DocumentToJson(CurvedPaths(4000, 100)));
    return text;
}

// 60000 arrays, one inside the other, around 20000 points: 320 KB.
const std::string& NestedJson() {
    static const std::string text = [] {
        std::string points = "[";
        for (int i = 0; i < 20000; ++i) points += i == 0 ? "[1.5,2.5]" : ",[1.5,2.5]";
        points += "]";
        return Padded("{\"a\":" + std::string(60000, '[') + points + std::string(60000, ']') + "}");
    }();
    return text;
}

void LoadPaths(benchmark::State& state, size_t pieceSize) {
    const std::string_view text(PathsJson().data(), PathsJson().size() - kPadding);
    for (auto _ : state) {
        document::Document document = document::LoadDocumentText(text, kPadding, document::JsonReader::kFast, nullptr, pieceSize);
        benchmark::DoNotOptimize(document.layers.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

class CountedEvents final : public document::JsonEvents {
public:
    void StartObject(size_t) override { ++count; }
    void Key(std::string_view) override { ++count; }
    void EndObject() override { ++count; }
    void StartArray(size_t) override { ++count; }
    void EndArray() override { ++count; }
    void Number(const document::JsonNumber&) override { ++count; }
    void String(std::string_view) override { ++count; }
    void Bool(bool) override { ++count; }
    void Null() override { ++count; }
    std::string CurrentPath() const override { return ""; }
    size_t count = 0;
};

void ReadNested(benchmark::State& state, size_t pieceSize) {
    const std::string_view text(NestedJson().data(), NestedJson().size() - kPadding);
    for (auto _ : state) {
        CountedEvents events;
        if (!document::ReadJsonFastInPieces(text, document::kMaxJsonNesting, pieceSize, events)) {
            state.SkipWithError("the fast reader refused the text");
            return;
        }
        benchmark::DoNotOptimize(events.count);
    }
}

BENCHMARK_CAPTURE(LoadPaths, pieces, document::kJsonPieceSize)
    ->Name("json_read/pieces_4000x100")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(LoadPaths, whole, kWhole)->Name("json_read/whole_4000x100")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ReadNested, pieces, document::kJsonPieceSize)
    ->Name("json_read/nested_pieces")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ReadNested, whole, kWhole)->Name("json_read/nested_whole")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace bench
