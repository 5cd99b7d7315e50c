#include "format_bench.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "xaml/number_format.h"

namespace bench {

namespace {

// Coordinates as drawings hold them, from -1234.5678 to 5000.
const std::vector<float>& Coordinates() {
    static const std::vector<float> values = [] {
        std::mt19937 random(20261208);
        std::uniform_real_distribution<float> coordinate(-1234.5678f, 5000.0f);
        std::vector<float> result(4096);
        for (float& value : result) value = coordinate(random);
        return result;
    }();
    return values;
}

size_t WithFormatFixed6(float value, char* text) {
    return FormatFixed6(value, text);
}

size_t WithToChars(float value, char* text) {
    const auto result =
        std::to_chars(text, text + kFixed6MaxLength, static_cast<double>(value), std::chars_format::fixed, 6);
    return static_cast<size_t>(result.ptr - text);
}

size_t WithSnprintf(float value, char* text) {
    return static_cast<size_t>(std::snprintf(text, kFixed6MaxLength + 1, "%f", static_cast<double>(value)));
}

template <size_t (*Format)(float, char*)>
void FormatterBenchmark(benchmark::State& state) {
    const std::vector<float>& values = Coordinates();
    char text[kFixed6MaxLength + 1];
    char expected[kFixed6MaxLength + 1];
    for (float value : values) {
        const size_t length = Format(value, text);
        if (length != WithSnprintf(value, expected) || std::memcmp(text, expected, length) != 0) {
            state.SkipWithError("a number differs from printf's text");
            return;
        }
    }
    for (auto _ : state) {
        size_t total = 0;
        for (float value : values) {
            total += Format(value, text);
            benchmark::DoNotOptimize(text);
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
    state.counters["per_number"] = benchmark::Counter(static_cast<double>(values.size()),
                                                      benchmark::Counter::kIsIterationInvariantRate |
                                                          benchmark::Counter::kInvert);
}

}  // namespace

void RegisterFormatterBenchmarks() {
    benchmark::RegisterBenchmark("formatter/FormatFixed6", FormatterBenchmark<WithFormatFixed6>)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("formatter/to_chars", FormatterBenchmark<WithToChars>)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("formatter/snprintf", FormatterBenchmark<WithSnprintf>)->Unit(benchmark::kMicrosecond);
}

}  // namespace bench
