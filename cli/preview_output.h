// Pictures of XAML files: `quillmark preview` and `export --preview`, in the pictures module
// (cli/pictures.h). The PNG is written under a temporary name and renamed into place, so that a
// failure leaves no picture behind.
#pragma once

#include <stdexcept>
#include <string>

#include "cli/command_line.h"

namespace cli {

// A preview that could not be made; the message names the file (and line) at fault.
class PreviewError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PreviewSize {
    double width = 0;  // pixels; 0: from scale
    double scale = 0;  // pixels per XAML unit; 0: 1
    uint32_t background = 0;
};

// Reads the XAML file and writes its picture. Throws PreviewError.
void WritePreview(const std::string& xamlPath, const std::string& pngPath, const PreviewSize& size);

// `quillmark preview`: its exit status.
int RunPreview(const CommandLine& line);

}  // namespace cli
