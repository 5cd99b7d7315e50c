// Runs the `quillmark` command (or any program) as a subprocess for the command benchmarks.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct ProcessRun {
    int exitStatus = -1;      // -1 when it could not start or did not exit normally
    long peakKiB = -1;        // as the kernel reports it to the parent (see PeakOfCommand)
    double cpuSeconds = 0;    // user and system time of the child
};

// Runs the program to its end, its standard output to /dev/null, its standard error to a file of
// the scratch folder.
ProcessRun RunProcess(const std::vector<std::string>& arguments);

// The command's own peak resident size in KiB, or -1 when it cannot be measured. A spawned
// process keeps the peak of the one it started as, so the peak is read through /usr/bin/time,
// whose child starts small. Exit statuses up to `acceptedStatus` count as success.
long PeakOfCommand(const std::vector<std::string>& arguments, int acceptedStatus = 0);

}  // namespace bench
