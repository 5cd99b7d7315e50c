// The SVG value grammars on text as drawings hold it: bytes per second of path data (every
// command, compact and spaced), of transform lists and of colours.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "document/svg/values/color.h"
#include "document/svg/values/path_data.h"
#include "document/svg/values/transform.h"

namespace {

// Path data of `commands` commands, cycling through every kind, with coordinates of up to
// three decimals in the compact form editors write ("M12.5-3.25l.5.5").
std::string SyntheticPathData(int commands) {
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> coordinate(-50000, 50000);
    auto number = [&] {
        const double value = coordinate(random) / 1000.0;
        std::string text = std::to_string(value);
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
        return text;
    };
    auto numbers = [&](int count) {
        std::string out;
        for (int i = 0; i < count; ++i) out += (i > 0 && random() % 2 ? "," : " ") + number();
        return out;
    };
    static const char* const kCycle[] = {"l", "C", "s", "q", "T", "h", "V", "c", "a", "L", "Q", "t", "S", "z"};
    std::string d = "M" + numbers(2);
    for (int i = 0; i < commands; ++i) {
        const std::string command = kCycle[i % std::size(kCycle)];
        d += command;
        switch (command[0]) {
            case 'l': case 'L': case 't': case 'T': d += numbers(2); break;
            case 'h': case 'H': case 'v': case 'V': d += numbers(1); break;
            case 'c': case 'C': d += numbers(6); break;
            case 's': case 'S': case 'q': case 'Q': d += numbers(4); break;
            case 'a': case 'A': d += numbers(3) + " 0 1" + numbers(2); break;
            default: break;
        }
    }
    return d;
}

void BM_SvgPathData(benchmark::State& state) {
    const std::string d = SyntheticPathData(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        {
            document::svg::PathData data = document::svg::ParsePathData(d);
            benchmark::DoNotOptimize(data.subpaths.data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(d.size()));
}
BENCHMARK(BM_SvgPathData)->Arg(100)->Arg(10000);

void BM_SvgTransform(benchmark::State& state) {
    const std::string text = "translate(120.5, -30.25) rotate(-12.5 40 40) scale(1.5, 0.75) skewX(8) "
                             "matrix(0.8 0.6 -0.6 0.8 10 20)";
    for (auto _ : state) benchmark::DoNotOptimize(document::svg::ParseTransform(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_SvgTransform);

void BM_SvgColor(benchmark::State& state) {
    const std::vector<std::string> colors = {"#ffcc00", "rgb(12, 34, 56)", "lightgoldenrodyellow", "hsla(210, 50%, 40%, 0.5)",
                                             "url(#gradient) #f00", "currentColor", "#abc", "steelblue"};
    size_t bytes = 0;
    for (const std::string& color : colors) bytes += color.size();
    for (auto _ : state) {
        for (const std::string& color : colors) benchmark::DoNotOptimize(document::svg::ParsePaint(color));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(colors.size()));
}
BENCHMARK(BM_SvgColor);

}  // namespace
