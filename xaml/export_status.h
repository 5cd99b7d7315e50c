// Codes of the export's own failures. Each has a code text and a message in the error
// string list, so the error dialog can say what went wrong.
#pragma once

#include "host/host_types.h"

// The output file (or the temporary file beside it) could not be created.
constexpr HostErr kExportCreateErr = FourCharCode('X', 'C', 'R', 'T');
// A write or the closing of the output failed, for instance on a full disk.
constexpr HostErr kExportWriteErr = FourCharCode('X', 'W', 'R', 'T');
// The file was written, but the document holds more art objects than one export can take.
constexpr HostErr kExportIncompleteErr = FourCharCode('X', 'F', 'U', 'L');
