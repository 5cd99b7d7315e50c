// The `quillmark` command's arguments.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// A command line that cannot be understood; the message says why.
class UsageError : public std::runtime_error {
public:
    UsageError(std::string command, const std::string& message)
        : std::runtime_error(message), command_(std::move(command)) {}
    // The subcommand whose help to point at, or "" for the command itself.
    const std::string& Command() const { return command_; }

private:
    std::string command_;
};

enum class Subcommand { kNone, kExport, kAbout };

struct CommandLine {
    Subcommand subcommand = Subcommand::kNone;
    bool help = false;
    bool version = false;
    bool verbose = false;
    // export
    std::string document;
    std::string output;
    bool everywhere = false;  // --target wpfe
    bool rightShift = false;
    bool leftShiftTapped = false;
    bool open = false;
    // where the plug-in is
    std::optional<std::string> plugin;
    std::optional<std::string> resources;
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

extern const char kMainHelp[];
extern const char kExportHelp[];
extern const char kAboutHelp[];

}  // namespace cli
