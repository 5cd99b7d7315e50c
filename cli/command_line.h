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

enum class Subcommand { kNone, kExport, kImport, kAbout, kWorker, kPreview };

// The hidden subcommand of the worker processes of a parallel batch (`export -j N`): it takes
// files to export from standard input and answers one result per file on standard output.
constexpr char kWorkerCommand[] = "batch-worker";

struct CommandLine {
    Subcommand subcommand = Subcommand::kNone;
    bool help = false;
    bool version = false;
    bool verbose = false;
    // export and import
    std::vector<std::string> documents;  // files, and for a batch export also folders
    std::string output;
    bool strict = false;  // anything the document format cannot hold is an error
    // export
    std::optional<std::string> outDir;  // a batch: one XAML file per document in this folder
    int jobs = 1;
    double timeout = 0;  // seconds a batch's file may take before its worker is stopped; 0: no limit
    bool everywhere = false;  // --target wpfe
    bool rightShift = false;
    bool leftShiftTapped = false;
    bool open = false;
    // Also a picture of the exported XAML: this PNG file; "" in a batch: one beside each XAML
    // file, of the same name.
    std::optional<std::string> preview;
    // preview (the XAML file is documents[0], the PNG the output)
    double previewWidth = 0;  // pixels; 0: from the scale
    double previewScale = 0;  // pixels per XAML unit; 0: 1
    std::optional<std::string> background;
    // where the plug-in is
    std::optional<std::string> plugin;
    std::optional<std::string> resources;
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The arguments that start a worker process exporting with the same settings as `line`.
std::vector<std::string> WorkerArguments(const CommandLine& line);

// Whether the export exports a batch (into --out-dir) rather than one file.
inline bool IsBatch(const CommandLine& line) { return line.outDir.has_value(); }

extern const char kMainHelp[];
extern const char kExportHelp[];
extern const char kImportHelp[];
extern const char kAboutHelp[];
extern const char kPreviewHelp[];

}  // namespace cli
