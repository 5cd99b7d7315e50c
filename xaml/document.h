// The export driver: writes the whole host document as one XAML file.
#pragma once

#include "host/host_types.h"

// Writes the document to `path` for WPF (everywhere = false) or WPF/E (true). Answers 0, or
// one of the export's own codes when the file could not be written in full or is incomplete.
HostErr WriteDocument(const char* path, bool everywhere);
