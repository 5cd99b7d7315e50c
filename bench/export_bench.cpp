#include "export_bench.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "export_session.h"
#include "number_scan.h"
#include "document/json_loader.h"
#include "synthetic_documents.h"
#include "xaml/number_format.h"

#ifndef QUILLMARK_EXAMPLES_DIR
#error "QUILLMARK_EXAMPLES_DIR must name the examples folder"
#endif

namespace bench {

namespace {

namespace fs = std::filesystem;

// The largest JSON document of examples/, or an empty path.
fs::path LargestExample() {
    fs::path largest;
    std::error_code error;
    std::uintmax_t largestSize = 0;
    for (const auto& entry : fs::directory_iterator(QUILLMARK_EXAMPLES_DIR, error)) {
        if (entry.path().extension() != ".json") continue;
        const std::uintmax_t size = entry.file_size(error);
        if (!error && size > largestSize) largest = entry.path(), largestSize = size;
    }
    return largest;
}

std::vector<Workload> MakeWorkloads() {
    std::vector<Workload> workloads;
    workloads.emplace_back("a_curves_16191x100",
                         "(a) one layer, its root group holding 16191 closed paths of 100 curved segments "
                         "(16192 art list rows), solid fills",
                         [] { return CurvedPaths(16191, 100); });
    workloads.emplace_back("b_one_path_32767", "(b) one closed path of 32767 curved segments",
                         [] { return CurvedPaths(1, 32767); });
    workloads.emplace_back("c_gradients_2000",
                         "(c) 2000 closed paths of 10 curved segments, gradient fills of 8 stops "
                         "(linear and radial in turn), dashed strokes",
                         [] { return GradientDashedPaths(2000, 10, 8); });
    const fs::path example = LargestExample();
    if (!example.empty()) {
        // The JSON is read once; each benchmark loads it before its timed part.
        auto text = std::make_shared<std::string>(ReadFile(example.string()));
        workloads.emplace_back("d_example_" + example.stem().string(),
                             "(d) the largest example, examples/" + example.filename().string(), [text] {
                                 document::Document document = document::LoadDocument(*text);
                                 StoreLayerBounds(document);
                                 return document;
                             });
    }
    return workloads;
}

std::string ExportPath() {
    return ScratchDirectory() + "/export.xaml";
}

// bytes_per_second, and the time per number written as an inverted rate.
void SetCounters(benchmark::State& state, const Workload& workload) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(workload.output.size()));
    state.counters["per_number"] = benchmark::Counter(static_cast<double>(workload.numbers.size()),
                                                      benchmark::Counter::kIsIterationInvariantRate |
                                                          benchmark::Counter::kInvert);
}

void ExportBenchmark(benchmark::State& state, Workload* workload) {
    Prepare(*workload);
    ExportSession session(workload->build());
    const std::string path = ExportPath();
    for (auto _ : state) {
        if (session.Export(path) != kNoErr) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    SetCounters(state, *workload);
}

// The limit: the same bytes, already in memory, written to the same kind of file.
void FwriteBenchmark(benchmark::State& state, Workload* workload) {
    Prepare(*workload);
    const std::string path = ScratchDirectory() + "/fwrite.xaml";
    const std::string& bytes = workload->output;
    for (auto _ : state) {
        FILE* file = std::fopen(path.c_str(), "w");
        const bool written = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (file == nullptr || std::fclose(file) != 0 || !written) {
            state.SkipWithError("cannot write the file");
            break;
        }
    }
    SetCounters(state, *workload);
}

// The baseline: the export's numbers formatted with printf's "%f" into a buffer.
void PrintfBenchmark(benchmark::State& state, Workload* workload) {
    Prepare(*workload);
    char text[kFixed6MaxLength + 1];
    for (auto _ : state) {
        size_t total = 0;
        for (float value : workload->numbers) {
            total += static_cast<size_t>(std::snprintf(text, sizeof text, "%f", static_cast<double>(value)));
            benchmark::DoNotOptimize(text);
        }
        benchmark::DoNotOptimize(total);
    }
    SetCounters(state, *workload);
}

// The export's own formatter on the same numbers: its share of the export.
void FormatBenchmark(benchmark::State& state, Workload* workload) {
    Prepare(*workload);
    char text[kFixed6MaxLength];
    for (auto _ : state) {
        size_t total = 0;
        for (float value : workload->numbers) {
            total += FormatFixed6(value, text);
            benchmark::DoNotOptimize(text);
        }
        benchmark::DoNotOptimize(total);
    }
    SetCounters(state, *workload);
}

}  // namespace

std::vector<Workload>& Workloads() {
    static std::vector<Workload> workloads = MakeWorkloads();
    return workloads;
}

void Prepare(Workload& workload) {
    if (workload.prepared) return;
    {
        ExportSession session(workload.build());
        if (session.Export(ExportPath()) != kNoErr) throw std::runtime_error("the export of " + workload.name + " failed");
    }
    workload.output = ReadFile(ExportPath());
    workload.numbers = ScanFixed6Numbers(workload.output);
    workload.prepared = true;
}

void RegisterExportBenchmarks() {
    for (Workload& workload : Workloads()) {
        for (const auto& [prefix, function] :
             {std::pair{"export/", &ExportBenchmark}, std::pair{"fwrite/", &FwriteBenchmark},
              std::pair{"printf/", &PrintfBenchmark}, std::pair{"format/", &FormatBenchmark}}) {
            benchmark::RegisterBenchmark((prefix + workload.name).c_str(), function, &workload)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
}

}  // namespace bench
