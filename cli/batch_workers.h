// A batch exported by worker processes, several files at once: the plug-in runs one export
// at a time in a process, so parallel exports need processes of their own. Each worker is
// this program started again with the hidden worker subcommand; it loads the module once and
// takes files over a pipe, one at a time, answering one result each.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/file_export.h"

namespace cli {

struct WorkerJob {
    size_t index;  // passed back with the result
    std::string input;
    std::string output;
};

// Whether this platform runs workers (elsewhere a batch runs in one process).
bool WorkersAvailable();

// Exports the jobs in `count` workers, stopping any that spends more than `timeout` seconds on
// one file (0: no limit); `finished` receives every job's result (in the order they
// finish). Answers false when no worker could start (each says why on standard error).
// `workerFailed` tells whether a worker ended badly between files (when its plug-in's last
// shut-down failed, say: it explains on standard error).
bool RunInWorkers(const std::vector<WorkerJob>& jobs, int count, double timeout, const std::vector<std::string>& workerArguments,
                  const std::function<void(size_t, FileResult)>& finished, bool& workerFailed);

// The worker's side: reads jobs from standard input, answers on standard output. Answers the
// exit status.
int RunWorker(const CommandLine& line, const char* argv0);

}  // namespace cli
