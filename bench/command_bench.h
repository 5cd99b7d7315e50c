// The `quillmark` command run as a subprocess on documents written to files, against the
// in-process export of the same documents: what reading the file and starting the command add.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace bench {

// Figures of the command's runs that the benchmark library does not keep.
struct CommandFigures {
    long peakKiB = -1;       // the largest peak resident size of a run
    long long inputBytes = 0;  // the size of the document's file
    double cpuSeconds = 0;     // the children's CPU time over all timed runs
    long runs = 0;
};

// Times `quillmark export FILE -o SCRATCH` as a subprocess, adding its CPU time and runs and,
// after the timed loop, its peak memory to `figures`.
void TimeCommandExport(benchmark::State& state, const std::string& file, CommandFigures& figures);

// Registers command_json/NAME for (a), (b) and (c), command_start (a document of one empty
// layer: the process, the module and its resources, and nothing to read or write), and
// command_json_in_turn/NAME for (a): the command and the in-process export taken in turn.
void RegisterCommandBenchmarks();

// Keyed by benchmark name; filled as the benchmarks run.
const std::map<std::string, CommandFigures>& CommandRuns();

}  // namespace bench
