// The picture features of the command (`quillmark preview`, `quillmark compare` and
// `export --preview`) live in a module of their own beside the command, so that only a command
// that draws loads librsvg, cairo and the dozens of libraries under them. This is what the
// module hands the command.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"

namespace cli {

// The module and the command are always built together, by the same compiler against the same
// shared C++ runtime, so C++ types cross between them as they would inside one program.
struct PictureFunctions {
    // `quillmark compare` on the arguments after "compare": its exit status. Null when the
    // module was built without the comparison.
    int (*runCompare)(const std::vector<std::string>& arguments);
    // `quillmark preview`: its exit status.
    int (*runPreview)(const CommandLine& line);
    // Draws the XAML file into the PNG at the file's own size: why it could not, or nothing.
    // The PNG is written whole or not at all.
    std::optional<std::string> (*writePreview)(const std::string& xamlPath, const std::string& pngPath);
};

// The module's one exported function.
constexpr char kPictureFunctionsEntry[] = "QuillmarkPictureFunctions";

}  // namespace cli

extern "C" const cli::PictureFunctions* QuillmarkPictureFunctions();
