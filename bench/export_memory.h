// How much resident memory one export adds, measured in a child process.
#pragma once

#include <functional>

#include "document/document.h"

namespace bench {

// Builds the document in a child process, then exports it and answers how far the child's
// resident memory rose during the export above what it held just before (KiB); -1 when the
// system cannot tell (no /proc peak reset).
long ExportPeakGrowthKiB(const std::function<document::Document()>& build);

}  // namespace bench
