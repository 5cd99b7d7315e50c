#include "command_bench.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "document/json_writer.h"
#include "export_bench.h"
#include "export_session.h"

#ifndef QUILLMARK_COMMAND
#error "QUILLMARK_COMMAND must name the quillmark command"
#endif

extern char** environ;

namespace bench {

namespace {

std::map<std::string, CommandFigures>& Runs() {
    static std::map<std::string, CommandFigures> runs;
    return runs;
}

// Runs the command to its end; answers its peak resident size in KiB as the kernel reports it
// to the parent, or -1 when it failed. That peak starts at this process's own (a spawned
// process keeps the peak of the one it started as), so it is read through /usr/bin/time,
// whose child starts small, by PeakOfCommand.
long RunCommand(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int error = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return -1;
    int status = 0;
    struct rusage usage {};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return usage.ru_maxrss;
}

// The command's own peak resident size in KiB, or -1 when it cannot be measured.
long PeakOfCommand(const std::vector<std::string>& arguments) {
    const std::string report = ScratchDirectory() + "/peak.txt";
    std::vector<std::string> timed = {"/usr/bin/time", "-f", "%M", "-o", report};
    timed.insert(timed.end(), arguments.begin(), arguments.end());
    if (RunCommand(timed) < 0) return -1;
    std::ifstream in(report);
    long peak = -1;
    in >> peak;
    return peak;
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

void CommandBenchmark(benchmark::State& state, const std::string& name, std::string (*input)()) {
    const std::string file = input();
    const std::string output = ScratchDirectory() + "/command.xaml";
    CommandFigures& figures = Runs()[name];
    figures.inputBytes = static_cast<long long>(std::filesystem::file_size(file));
    const std::vector<std::string> command = {QUILLMARK_COMMAND, "export", file, "-o", output};
    for (auto _ : state) {
        if (RunCommand(command) < 0) {
            state.SkipWithError("the command failed");
            return;
        }
    }
    // Once more after the timed runs (the loop has stopped the clock), for the peak memory.
    figures.peakKiB = std::max(figures.peakKiB, PeakOfCommand(command));
    state.counters["peak_MiB"] = double(figures.peakKiB) / 1024.0;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * figures.inputBytes);
}

Workload& WorkloadNamed(const std::string& name) {
    for (Workload& workload : Workloads()) {
        if (workload.name == name) return workload;
    }
    throw std::runtime_error("no workload " + name);
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
}

}  // namespace bench
