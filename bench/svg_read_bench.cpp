// The SVG reader against the export it feeds: reading a large SVG from memory and exporting the
// document, beside exporting the same document alone. The reader's goal is a read + export of
// at most 3 times the export alone.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "document/svg/svg_reader.h"
#include "export_session.h"

namespace bench {
namespace {

// `paths` closed paths of `curves` cubic segments each, in groups of 100 with a transform,
// filled and stroked: the kind of file a drawing program writes.
std::string LargeSvg(int paths, int curves) {
    std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="2000" height="2000" viewBox="0 0 2000 2000">)";
    char number[64];
    for (int p = 0; p < paths; ++p) {
        if (p % 100 == 0) {
            if (p > 0) svg += "</g>";
            std::snprintf(number, sizeof number, "<g transform=\"translate(%d %d)\">", (p / 100) % 20 * 90, p / 2000 * 90);
            svg += number;
        }
        svg += R"(<path fill="#3a7bd5" stroke="#000" stroke-width="0.5" d="M 0 0)";
        for (int c = 0; c < curves; ++c) {
            const double x = c * 0.8, y = (c % 7) * 1.3;
            std::snprintf(number, sizeof number, " C %.3f %.3f %.3f %.3f %.3f %.3f", x + 0.2, y + 3.1, x + 0.5, y - 2.4,
                          x + 0.8, y + 0.7);
            svg += number;
        }
        svg += " Z\"/>";
    }
    svg += "</g></svg>";
    return svg;
}

const std::string& Svg() {
    static const std::string svg = LargeSvg(4000, 100);
    return svg;
}

std::string OutputPath() {
    return ScratchDirectory() + "/svg.xaml";
}

void SvgExportAlone(benchmark::State& state) {
    ExportSession session(document::svg::ReadSvg(Svg(), "large.svg").document);
    const std::string path = OutputPath();
    for (auto _ : state) {
        if (session.Export(path) != kNoErr) state.SkipWithError("the export failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Svg().size()));
}

void SvgReadAndExport(benchmark::State& state) {
    const std::string path = OutputPath();
    for (auto _ : state) {
        ExportSession session(document::svg::ReadSvg(Svg(), "large.svg").document);
        if (session.Export(path) != kNoErr) state.SkipWithError("the export failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Svg().size()));
}

void SvgReadAlone(benchmark::State& state) {
    for (auto _ : state) {
        document::svg::ReadResult result = document::svg::ReadSvg(Svg(), "large.svg");
        benchmark::DoNotOptimize(result.document.layers.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Svg().size()));
}

BENCHMARK(SvgExportAlone)->Name("svg/export_alone_4000x100")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SvgReadAndExport)->Name("svg/read_and_export_4000x100")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SvgReadAlone)->Name("svg/read_alone_4000x100")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace bench
