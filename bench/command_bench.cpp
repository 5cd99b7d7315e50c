#include "command_bench.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <vector>

#include "document/json_writer.h"
#include "export_bench.h"
#include "export_session.h"
#include "subprocess.h"

#ifndef QUILLMARK_COMMAND
#error "QUILLMARK_COMMAND must name the quillmark command"
#endif

namespace bench {

namespace {

std::map<std::string, CommandFigures>& Runs() {
    static std::map<std::string, CommandFigures> runs;
    return runs;
}

// Writes the workload's document as JSON once; answers the file.
std::string JsonFileOf(Workload& workload) {
    const std::string path = ScratchDirectory() + "/" + workload.name + ".json";
    if (!std::filesystem::exists(path)) {
        std::ofstream out(path, std::ios::binary);
        document::WriteDocumentJson(workload.build(), out);
        if (!out.flush()) throw std::runtime_error("cannot write " + path);
    }
    return path;
}

// quillmark export FILE -o SCRATCH/command.xaml
std::vector<std::string> ExportCommand(const std::string& file) {
    return {QUILLMARK_COMMAND, "export", file, "-o", ScratchDirectory() + "/command.xaml"};
}

}  // namespace

void TimeCommandExport(benchmark::State& state, const std::string& file, CommandFigures& figures) {
    figures.inputBytes = static_cast<long long>(std::filesystem::file_size(file));
    const std::vector<std::string> command = ExportCommand(file);
    for (auto _ : state) {
        const ProcessRun run = RunProcess(command);
        if (run.exitStatus != 0) {
            state.SkipWithError("the command failed");
            return;
        }
        figures.cpuSeconds += run.cpuSeconds;
        ++figures.runs;
    }
    // Once more after the timed runs (the loop has stopped the clock), for the peak memory.
    figures.peakKiB = std::max(figures.peakKiB, PeakOfCommand(command));
    state.counters["peak_MiB"] = double(figures.peakKiB) / 1024.0;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * figures.inputBytes);
}

namespace {

void CommandBenchmark(benchmark::State& state, const std::string& name, std::string (*input)()) {
    TimeCommandExport(state, input(), Runs()[name]);
}

Workload& WorkloadNamed(const std::string& name) {
    for (Workload& workload : Workloads()) {
        if (workload.name == name) return workload;
    }
    throw std::runtime_error("no workload " + name);
}

// The command's goal with its two times taken in turn, as the SVG reader's is: each iteration
// runs the command on the file, then exports the document in-process as export/NAME does (one
// session, exported once before the loop). This machine's speed moves by a third within
// minutes, which command_json/NAME and export/NAME, run minutes apart, see as a change of their
// ratio. The iteration's time is the command's; the counter `ratio` is the sum of the
// command's times over the sum of the exports'.
void CommandInTurn(benchmark::State& state, Workload& workload) {
    using Clock = std::chrono::steady_clock;
    const std::string file = JsonFileOf(workload);
    const std::vector<std::string> command = ExportCommand(file);
    const std::string output = ScratchDirectory() + "/in-turn.xaml";
    ExportSession session(workload.build());
    if (session.Export(output) != kNoErr) {
        state.SkipWithError("the export failed");
        return;
    }
    double commandSeconds = 0, exportSeconds = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        if (RunProcess(command).exitStatus != 0) {
            state.SkipWithError("the command failed");
            return;
        }
        const Clock::time_point exportStart = Clock::now();
        if (session.Export(output) != kNoErr) {
            state.SkipWithError("the export failed");
            return;
        }
        const Clock::time_point end = Clock::now();
        const double seconds = std::chrono::duration<double>(exportStart - start).count();
        commandSeconds += seconds;
        exportSeconds += std::chrono::duration<double>(end - exportStart).count();
        state.SetIterationTime(seconds);
    }
    if (exportSeconds > 0) state.counters["ratio"] = commandSeconds / exportSeconds;
    state.counters["export_ms"] = benchmark::Counter(exportSeconds * 1e3, benchmark::Counter::kAvgIterations);
}

std::string EmptyDocument() {
    const std::string path = ScratchDirectory() + "/empty-layer.json";
    std::ofstream(path) << R"({"layers": [{"type": "group"}]})";
    return path;
}

}  // namespace

const std::map<std::string, CommandFigures>& CommandRuns() {
    return Runs();
}

void RegisterCommandBenchmarks() {
    benchmark::RegisterBenchmark("command_start", [](benchmark::State& state) {
        CommandBenchmark(state, "command_start", EmptyDocument);
    })->UseRealTime()->Unit(benchmark::kMillisecond);
    static const char* const kNames[] = {"a_curves_16191x100", "b_one_path_32767", "c_gradients_2000"};
    for (const char* name : kNames) {
        const std::string benchmarkName = std::string("command_json/") + name;
        benchmark::RegisterBenchmark(benchmarkName.c_str(), [benchmarkName, workloadName = std::string(name)](
                                                                benchmark::State& state) {
            static std::string file;  // one workload's file at a time
            file = JsonFileOf(WorkloadNamed(workloadName));
            CommandBenchmark(state, benchmarkName, [] { return file; });
        })->UseRealTime()->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("command_json_in_turn/a_curves_16191x100", [](benchmark::State& state) {
        CommandInTurn(state, WorkloadNamed("a_curves_16191x100"));
    })->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
}

}  // namespace bench
