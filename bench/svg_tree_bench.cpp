// The SVG tree reader against expat alone on the same text, so that the ratio shows what the
// tree, the cascade and <use> instantiation add to the XML parse; and the time a "billion
// laughs" file takes to be refused.
#include <benchmark/benchmark.h>
#include <expat.h>

#include <string>

#include "document/svg/tree/tree.h"

namespace bench {
namespace {

// A drawing like an editor's export: groups of styled paths with classes, a sheet, some uses.
std::string SyntheticDrawing(int groups) {
    std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" viewBox="0 0 1000 1000">
<style>.a { fill: #336699; stroke: black } .b { stroke-width: 2 } #g7 path { fill: red } path.a.b { opacity: 0.5 }</style>
<defs><path id="shape" d="M0 0L10 0L10 10Z" fill="green"/></defs>
)";
    for (int g = 0; g < groups; ++g) {
        svg += "<g id=\"g" + std::to_string(g) + "\" transform=\"translate(" + std::to_string(g) + " 1)\">";
        for (int p = 0; p < 10; ++p) {
            svg += R"(<path class="a b" style="fill-opacity:0.8;stroke-linejoin:round" )"
                   R"(d="M10.5 20.25C30.125 40 50 60.5 70 80.75L90 100Z" stroke-miterlimit="4"/>)";
        }
        svg += R"(<use xlink:href="#shape" x="5" y="5"/></g>)";
        svg += '\n';
    }
    return svg + "</svg>\n";
}

void ExpatAlone(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        XML_Parser parser = XML_ParserCreateNS(nullptr, '\x01');
        XML_SetElementHandler(parser, [](void*, const XML_Char*, const XML_Char**) {},
                              [](void*, const XML_Char*) {});
        const XML_Status status = XML_Parse(parser, text.data(), int(text.size()), 1);
        XML_ParserFree(parser);
        if (status != XML_STATUS_OK) state.SkipWithError("expat refused the drawing");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void TreeReader(benchmark::State& state, const std::string& text) {
    document::svg::TreeOptions options;
    options.fileName = "synthetic.svg";
    for (auto _ : state) {
        document::svg::LossReport losses;
        document::svg::Tree tree = document::svg::ParseSvgTree(text, options, losses);
        benchmark::DoNotOptimize(tree.Root().children.size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

const std::string& Drawing() {
    static const std::string drawing = SyntheticDrawing(5000);  // about 9 MB, 60000 elements
    return drawing;
}

void BM_ExpatAlone(benchmark::State& state) { ExpatAlone(state, Drawing()); }
void BM_SvgTree(benchmark::State& state) { TreeReader(state, Drawing()); }

void BM_SvgTreeBillionLaughs(benchmark::State& state) {
    std::string svg = "<?xml version=\"1.0\"?>\n<!DOCTYPE svg [\n<!ENTITY l0 \"lol\">\n";
    for (int level = 1; level <= 10; ++level) {
        svg += "<!ENTITY l" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i) svg += "&l" + std::to_string(level - 1) + ";";
        svg += "\">\n";
    }
    svg += "]>\n<svg xmlns=\"http://www.w3.org/2000/svg\"><title>&l10;</title></svg>\n";
    document::svg::TreeOptions options;
    options.fileName = "laughs.svg";
    for (auto _ : state) {
        document::svg::LossReport losses;
        try {
            document::svg::ParseSvgTree(svg, options, losses);
            state.SkipWithError("the billion laughs were read");
        } catch (const document::svg::SvgError&) {
        }
    }
}

}  // namespace

BENCHMARK(BM_ExpatAlone)->Name("svg/expat_alone")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SvgTree)->Name("svg/tree")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SvgTreeBillionLaughs)->Name("svg/billion_laughs_refused")->Unit(benchmark::kMillisecond);

}  // namespace bench
