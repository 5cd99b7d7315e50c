// The `quillmark` command on SVG files, as a subprocess, against the in-process export of the
// same documents; and a batch of every drawing of the clip-art package in one command against
// the sum of its in-process reads and exports.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "command_bench.h"

namespace bench {

// Registers, for (a) and (b) written as SVG path data and the largest clip-art drawings:
// command_svg/NAME (the command's whole export), svg_export/NAME (the in-process export of
// the document read before the timed part) and svg_read_export/NAME (in-process read and
// export). And batch/clipart (the whole package in one command) and batch_inprocess/clipart.
void RegisterSvgCommandBenchmarks();

// Keyed by benchmark name (command_svg/NAME, batch/clipart); filled as the benchmarks run.
const std::map<std::string, CommandFigures>& SvgCommandRuns();

// Each SVG workload's name and description, in order.
std::vector<std::pair<std::string, std::string>> SvgWorkloadNames();

// The clip-art folder, and how many drawings the batch found in it.
const std::string& ClipartFolder();
long ClipartFileCount();

}  // namespace bench
