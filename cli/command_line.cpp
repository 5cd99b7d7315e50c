#include "cli/command_line.h"

namespace cli {

#ifdef _WIN32
#define QM_VIEWER "the shell's \"open\" verb"
#define QM_RESOURCES_DEFAULT "the module's own"
#else
#define QM_VIEWER "xdg-open"
#define QM_RESOURCES_DEFAULT "Quillmark.res beside the module"
#endif

#ifdef QUILLMARK_WITH_SVG
#define QM_DOCUMENT "DRAWING.svg"
#define QM_READS "an SVG file or a JSON document"
#define QM_KINDS                                                                             \
    "A document is an SVG file (.svg, or .svgz compressed) or a JSON document\n"            \
    "(docs/document-format.md); its content tells which, whatever the file's name.\n"
#define QM_FOLDER_FILES ".svg, .svgz and .json"
#else
#define QM_DOCUMENT "DOCUMENT.json"
#define QM_READS "a JSON document"
#define QM_KINDS "A document is a JSON document (docs/document-format.md); this build reads no SVG.\n"
#define QM_FOLDER_FILES ".json"
#endif

#ifdef QUILLMARK_WITH_COMPARE
#define QM_COMPARE "  compare DRAWING.svg FILE.xaml         draw both, tell how much they differ\n"
#else
#define QM_COMPARE ""
#endif

const char kMainHelp[] =
    "Usage: quillmark COMMAND [OPTION]...\n"
    "Runs the Quillmark XAML export plug-in in a substitute host that reads the document\n"
    "from " QM_READS ".\n"
    "\n"
    "Commands:\n"
    "  export " QM_DOCUMENT " -o OUTPUT.xaml      export a document to XAML\n"
    "  export DOCUMENT|FOLDER... --out-dir DIR\n"
    "                                        export many documents, one XAML file each\n"
    "  import " QM_DOCUMENT " -o OUTPUT.json      write the document as the host holds it, in JSON\n"
    "  about                                 show the plug-in's About box\n"
    "  preview FILE.xaml -o FILE.png         draw a XAML file as WPF would, into a PNG\n"
    QM_COMPARE
    "\n"
    "Options:\n"
    "  -h, --help      show this help (or a command's: quillmark export --help)\n"
    "      --version   show the version\n"
    "\n"
    "Exit status: 0 on success, 1 when the plug-in reports an error (or, for a batch, when\n"
    "any file failed), 2 for a bad command line, a bad document or a missing plug-in.\n";

const char kExportHelp[] =
    "Usage: quillmark export " QM_DOCUMENT " -o OUTPUT.xaml [OPTION]...\n"
    "  or:  quillmark export DOCUMENT|FOLDER... --out-dir DIR [-j N] [OPTION]...\n"
    "Exports documents to XAML through the plug-in, as the host's Export command does.\n"
    QM_KINDS
    "What the host's document cannot hold is left out, with a warning for each kind.\n"
    "\n"
    "  -o, --output FILE       the XAML file to write (at most 299 bytes of path)\n"
    "      --out-dir DIR       export a batch: each DOCUMENT becomes DIR/NAME.xaml, and\n"
    "                          the " QM_FOLDER_FILES " files of each FOLDER and its\n"
    "                          sub-folders are exported with the sub-folders kept\n"
    "  -j, --jobs N            export N files at once, in N worker processes (batch only)\n"
    "      --timeout SECONDS   stop the export of a batch's file that takes longer and count\n"
    "                          it as failed (the batch's files are then exported by workers)\n"
    "      --strict            refuse a document that holds anything the host's document\n"
    "                          cannot: nothing is written, and it counts as an error\n"
    "  -t, --target TARGET     wpf (default): a Viewbox around a Canvas of Paths;\n"
    "                          wpfe: a bare Canvas for WPF/E\n"
    "      --right-shift       hold the right Shift key during the export: for wpf, a\n"
    "                          Rectangle filled with a DrawingBrush of GeometryDrawings\n"
    "      --left-shift-tapped tap the left Shift key: the plug-in does not ask to open\n"
    "                          the file afterwards\n"
    "      --open              let the plug-in's request to open the file open it with the\n"
    "                          desktop's viewer (" QM_VIEWER "); otherwise -v reports it\n"
    "      --preview FILE.png  also draw the exported XAML into this PNG (quillmark preview);\n"
    "                          in a batch --preview takes no file: each XAML file's picture\n"
    "                          is written beside it, of the same name ending in .png\n"
    "                          (not in the Windows build, which has no previewer)\n"
    "      --plugin FILE       the plug-in module (default: Quillmark.aip beside quillmark)\n"
    "      --resources FILE    the plug-in's resources (default: " QM_RESOURCES_DEFAULT ")\n"
    "  -v, --verbose           report the registered formats, open requests and host notes\n"
    "  -h, --help              show this help\n"
    "\n"
    "A XAML file is written whole or not at all: a failed export leaves the file that was\n"
    "there before. A batch goes on past a file that fails, shows its progress on a terminal\n"
    "and ends with a summary; its exit status is 1 when any file failed.\n";

const char kImportHelp[] =
    "Usage: quillmark import " QM_DOCUMENT " -o OUTPUT.json [OPTION]...\n"
    "Writes the document as the substitute host holds it, in the JSON form of\n"
    "docs/document-format.md, to inspect or edit it; exporting that JSON writes the same\n"
    "XAML as exporting the original. " QM_KINDS
    "\n"
    "  -o, --output FILE       the JSON file to write, or - for standard output\n"
    "      --strict            refuse a document that holds anything the host's document\n"
    "                          cannot (exit status 2, nothing written)\n"
    "  -h, --help              show this help\n";

const char kAboutHelp[] =
    "Usage: quillmark about [OPTION]...\n"
    "Shows the texts of the plug-in's About box.\n"
    "\n"
    "      --plugin FILE       the plug-in module (default: Quillmark.aip beside quillmark)\n"
    "      --resources FILE    the plug-in's resources (default: " QM_RESOURCES_DEFAULT ")\n"
    "  -v, --verbose           report host notes\n"
    "  -h, --help              show this help\n";

const char kPreviewHelp[] =
    "Usage: quillmark preview FILE.xaml -o FILE.png [--width N | --scale S] [--background COLOUR]\n"
    "Draws a XAML file of the forms the exporter writes as WPF would draw it, into a PNG\n"
    "picture (docs/preview.md). The Windows build has no previewer.\n"
    "\n"
    "  -o, --output FILE       the PNG file to write\n"
    "      --width N           the picture's width in pixels (the height follows)\n"
    "      --scale S           pixels per XAML unit (default 1: the file's own size)\n"
    "      --background COLOUR painted under the drawing: #rrggbb, #aarrggbb or a name\n"
    "                          such as white or transparent (default: transparent)\n"
    "  -h, --help              show this help\n"
    "\n"
    "A XAML file the previewer cannot read is refused with its line (exit status 2), and\n"
    "no picture is written.\n";

namespace {

constexpr int kMaxJobs = 64;

class ArgumentCursor {
public:
    ArgumentCursor(const std::vector<std::string>& arguments, std::string command)
        : arguments_(arguments), command_(std::move(command)) {}

    bool Done() const { return next_ >= arguments_.size(); }
    const std::string& Take() { return arguments_[next_++]; }

    // The value of an option given as "--name VALUE", "--name=VALUE", "-o VALUE" or "-oVALUE".
    std::string ValueOf(const std::string& argument, const std::string& option, size_t nameLength) {
        if (argument.size() > nameLength) {
            const bool longForm = argument[1] == '-';
            return argument.substr(longForm ? nameLength + 1 : nameLength);
        }
        if (Done()) throw UsageError(command_, "option '" + option + "' needs a value");
        return Take();
    }

private:
    const std::vector<std::string>& arguments_;
    std::string command_;
    size_t next_ = 0;
};

// Whether `argument` is the option, alone or with an attached value.
bool Matches(const std::string& argument, const char* longName, const char* shortName, size_t* nameLength) {
    const std::string full = std::string("--") + longName;
    if (argument == full || argument.rfind(full + "=", 0) == 0) {
        *nameLength = full.size();
        return true;
    }
    if (shortName != nullptr && argument.rfind(shortName, 0) == 0) {
        *nameLength = 2;
        return true;
    }
    return false;
}

int ParseJobs(const std::string& command, const std::string& value) {
    int jobs = 0;
    size_t used = 0;
    try {
        jobs = std::stoi(value, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != value.size() || jobs < 1 || jobs > kMaxJobs) {
        throw UsageError(command, "invalid number of jobs '" + value + "' (expected 1 to " + std::to_string(kMaxJobs) + ")");
    }
    return jobs;
}

// `value` read whole as a number; false when it is not one (or not all of it).
bool ReadWholeNumber(const std::string& value, double& number) {
    size_t used = 0;
    try {
        number = std::stod(value, &used);
    } catch (const std::exception&) {
        return false;
    }
    return used == value.size();
}

double ParseSeconds(const std::string& command, const std::string& value) {
    double seconds = 0;
    if (!ReadWholeNumber(value, seconds) || !(seconds > 0) || seconds > 1e6) {
        throw UsageError(command, "invalid timeout '" + value + "' (expected a number of seconds)");
    }
    return seconds;
}

double ParsePositive(const std::string& command, const std::string& option, const std::string& value, double most) {
    double number = 0;
    if (!ReadWholeNumber(value, number) || !(number > 0) || number > most) {
        throw UsageError(command, "invalid " + option + " '" + value + "' (expected a positive number)");
    }
    return number;
}

// Whether the command line exports a batch: --preview then takes no file.
bool HasOutDir(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (argument == "--out-dir" || argument.rfind("--out-dir=", 0) == 0) return true;
    }
    return false;
}

void ParseSubcommand(CommandLine& line, const std::vector<std::string>& arguments, const std::string& command) {
    ArgumentCursor cursor(arguments, command);
    const bool exports = command == "export" || command == kWorkerCommand;
    const bool previews = command == "preview";
    const bool reads = exports || command == "import" || previews;
    const bool batch = command == kWorkerCommand || HasOutDir(arguments);
    std::vector<std::string> operands;
    bool optionsEnded = false;
    while (!cursor.Done()) {
        const std::string& argument = cursor.Take();
        size_t length = 0;
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            operands.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            line.help = true;
        } else if (argument == "-v" || argument == "--verbose") {
            line.verbose = true;
        } else if (exports && Matches(argument, "preview", nullptr, &length)) {
            if (batch) {
                if (argument.size() > length) {
                    throw UsageError(command, "--preview takes no file in a batch: each XAML file's picture is written beside it");
                }
                line.preview = "";
            } else {
                line.preview = cursor.ValueOf(argument, "--preview", length);
                if (line.preview->empty()) throw UsageError(command, "option '--preview' needs a PNG file");
            }
        } else if (previews && Matches(argument, "width", nullptr, &length)) {
            line.previewWidth = ParsePositive(command, "width", cursor.ValueOf(argument, "--width", length), 16384);
        } else if (previews && Matches(argument, "scale", nullptr, &length)) {
            line.previewScale = ParsePositive(command, "scale", cursor.ValueOf(argument, "--scale", length), 1e6);
        } else if (previews && Matches(argument, "background", nullptr, &length)) {
            line.background = cursor.ValueOf(argument, "--background", length);
        } else if (command != "import" && !previews && Matches(argument, "plugin", nullptr, &length)) {
            line.plugin = cursor.ValueOf(argument, "--plugin", length);
        } else if (command != "import" && !previews && Matches(argument, "resources", nullptr, &length)) {
            line.resources = cursor.ValueOf(argument, "--resources", length);
        } else if (reads && Matches(argument, "output", "-o", &length)) {
            line.output = cursor.ValueOf(argument, "--output", length);
        } else if (reads && !previews && argument == "--strict") {
            line.strict = true;
        } else if (exports && Matches(argument, "out-dir", nullptr, &length)) {
            line.outDir = cursor.ValueOf(argument, "--out-dir", length);
            if (line.outDir->empty()) throw UsageError(command, "option '--out-dir' needs a folder");
        } else if (exports && Matches(argument, "jobs", "-j", &length)) {
            line.jobs = ParseJobs(command, cursor.ValueOf(argument, "--jobs", length));
        } else if (exports && Matches(argument, "timeout", nullptr, &length)) {
            line.timeout = ParseSeconds(command, cursor.ValueOf(argument, "--timeout", length));
        } else if (exports && Matches(argument, "target", "-t", &length)) {
            const std::string target = cursor.ValueOf(argument, "--target", length);
            if (target != "wpf" && target != "wpfe") {
                throw UsageError(command, "invalid target '" + target + "' (expected wpf or wpfe)");
            }
            line.everywhere = target == "wpfe";
        } else if (exports && argument == "--right-shift") {
            line.rightShift = true;
        } else if (exports && argument == "--left-shift-tapped") {
            line.leftShiftTapped = true;
        } else if (exports && argument == "--open") {
            line.open = true;
        } else {
            throw UsageError(command, "unknown option '" + argument + "'");
        }
    }
    if (line.help) return;
    if (command == "about") {
        if (!operands.empty()) throw UsageError(command, "unexpected argument '" + operands[0] + "'");
        return;
    }
    if (command == kWorkerCommand) {
        if (!operands.empty()) throw UsageError(command, "unexpected argument '" + operands[0] + "'");
        return;
    }
    if (previews) {
        if (operands.empty()) throw UsageError(command, "no XAML file given");
        if (operands.size() > 1) throw UsageError(command, "unexpected argument '" + operands[1] + "'");
        if (line.output.empty()) throw UsageError(command, "no output file given (-o FILE.png)");
        if (line.previewWidth > 0 && line.previewScale > 0) {
            throw UsageError(command, "--width and --scale both set the picture's size; give one");
        }
        line.documents = operands;
        return;
    }
    if (operands.empty()) throw UsageError(command, "no document given");
    line.documents = operands;
    if (command == "import") {
        if (operands.size() > 1) throw UsageError(command, "unexpected argument '" + operands[1] + "'");
        if (line.output.empty()) throw UsageError(command, "no output file given (-o OUTPUT.json, or - for standard output)");
        return;
    }
    if (line.outDir) {
        if (!line.output.empty()) throw UsageError(command, "-o names one file; a batch is written into --out-dir");
        if (line.open) throw UsageError(command, "--open opens one exported file; it cannot be used with --out-dir");
        return;
    }
    if (line.timeout > 0 && command == "export") {
        throw UsageError(command, "--timeout applies to the files of a batch (--out-dir DIR)");
    }
    if (operands.size() > 1) {
        throw UsageError(command, "unexpected argument '" + operands[1] + "' (several documents are exported with --out-dir DIR)");
    }
    if (line.output.empty()) throw UsageError(command, "no output file given (-o OUTPUT.xaml, or --out-dir DIR)");
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    if (arguments.empty()) throw UsageError("", "no command given");
    const std::string& first = arguments[0];
    if (first == "-h" || first == "--help" || first == "help") {
        line.help = true;
        return line;
    }
    if (first == "--version") {
        line.version = true;
        return line;
    }
    if (first == "export") {
        line.subcommand = Subcommand::kExport;
    } else if (first == "import") {
        line.subcommand = Subcommand::kImport;
    } else if (first == kWorkerCommand) {
        line.subcommand = Subcommand::kWorker;
    } else if (first == "about") {
        line.subcommand = Subcommand::kAbout;
    } else if (first == "preview") {
        line.subcommand = Subcommand::kPreview;
    } else if (!first.empty() && first[0] == '-') {
        throw UsageError("", "unknown option '" + first + "'");
    } else {
        throw UsageError("", "unknown command '" + first + "'");
    }
    ParseSubcommand(line, std::vector<std::string>(arguments.begin() + 1, arguments.end()), first);
    return line;
}

std::vector<std::string> WorkerArguments(const CommandLine& line) {
    std::vector<std::string> arguments = {kWorkerCommand};
    if (line.everywhere) arguments.insert(arguments.end(), {"--target", "wpfe"});
    if (line.rightShift) arguments.push_back("--right-shift");
    if (line.leftShiftTapped) arguments.push_back("--left-shift-tapped");
    if (line.strict) arguments.push_back("--strict");
    if (line.verbose) arguments.push_back("--verbose");
    if (line.preview) arguments.push_back("--preview");
    if (line.plugin) arguments.push_back("--plugin=" + *line.plugin);
    if (line.resources) arguments.push_back("--resources=" + *line.resources);
    return arguments;
}

}  // namespace cli
