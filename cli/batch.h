// `quillmark export ... --out-dir DIR`: many documents, one XAML file each, the module loaded
// once (once per worker with -j).
#pragma once

#include "cli/command_line.h"

namespace cli {

// Answers the exit status: 0 when every document was exported, 1 when any failed, 2 when the
// batch could not run at all (no output folder, no plug-in).
int RunBatch(const CommandLine& line, const char* argv0);

}  // namespace cli
