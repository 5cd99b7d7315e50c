#include "cli/command_line.h"

namespace cli {

#ifdef _WIN32
#define QM_VIEWER "the shell's \"open\" verb"
#define QM_RESOURCES_DEFAULT "the module's own"
#else
#define QM_VIEWER "xdg-open"
#define QM_RESOURCES_DEFAULT "Quillmark.res beside the module"
#endif

const char kMainHelp[] =
    "Usage: quillmark COMMAND [OPTION]...\n"
    "Runs the Quillmark XAML export plug-in in a substitute host that reads the document\n"
    "from a JSON file.\n"
    "\n"
    "Commands:\n"
    "  export DOCUMENT.json -o OUTPUT.xaml   export a document to XAML\n"
    "  about                                 show the plug-in's About box\n"
    "\n"
    "Options:\n"
    "  -h, --help      show this help (or a command's: quillmark export --help)\n"
    "      --version   show the version\n"
    "\n"
    "Exit status: 0 on success, 1 when the plug-in reports an error, 2 for a bad command\n"
    "line, a bad document or a missing plug-in.\n";

const char kExportHelp[] =
    "Usage: quillmark export DOCUMENT.json -o OUTPUT.xaml [OPTION]...\n"
    "Exports the document to XAML through the plug-in, as the host's Export command does.\n"
    "\n"
    "  -o, --output FILE       the XAML file to write (at most 299 bytes of path)\n"
    "  -t, --target TARGET     wpf (default): a Viewbox around a Canvas of Paths;\n"
    "                          wpfe: a bare Canvas for WPF/E\n"
    "      --right-shift       hold the right Shift key during the export: for wpf, a\n"
    "                          Rectangle filled with a DrawingBrush of GeometryDrawings\n"
    "      --left-shift-tapped tap the left Shift key: the plug-in does not ask to open\n"
    "                          the file afterwards\n"
    "      --open              let the plug-in's request to open the file open it with the\n"
    "                          desktop's viewer (" QM_VIEWER "); otherwise -v reports it\n"
    "      --plugin FILE       the plug-in module (default: Quillmark.aip beside quillmark)\n"
    "      --resources FILE    the plug-in's resources (default: " QM_RESOURCES_DEFAULT ")\n"
    "  -v, --verbose           report the registered formats, open requests and host notes\n"
    "  -h, --help              show this help\n"
    "\n"
    "The document format is described in docs/document-format.md.\n";

const char kAboutHelp[] =
    "Usage: quillmark about [OPTION]...\n"
    "Shows the texts of the plug-in's About box.\n"
    "\n"
    "      --plugin FILE       the plug-in module (default: Quillmark.aip beside quillmark)\n"
    "      --resources FILE    the plug-in's resources (default: " QM_RESOURCES_DEFAULT ")\n"
    "  -v, --verbose           report host notes\n"
    "  -h, --help              show this help\n";

namespace {

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

void ParseSubcommand(CommandLine& line, const std::vector<std::string>& arguments, const std::string& command) {
    ArgumentCursor cursor(arguments, command);
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
        } else if (Matches(argument, "plugin", nullptr, &length)) {
            line.plugin = cursor.ValueOf(argument, "--plugin", length);
        } else if (Matches(argument, "resources", nullptr, &length)) {
            line.resources = cursor.ValueOf(argument, "--resources", length);
        } else if (command == "export" && Matches(argument, "output", "-o", &length)) {
            line.output = cursor.ValueOf(argument, "--output", length);
        } else if (command == "export" && Matches(argument, "target", "-t", &length)) {
            const std::string target = cursor.ValueOf(argument, "--target", length);
            if (target != "wpf" && target != "wpfe") {
                throw UsageError(command, "invalid target '" + target + "' (expected wpf or wpfe)");
            }
            line.everywhere = target == "wpfe";
        } else if (command == "export" && argument == "--right-shift") {
            line.rightShift = true;
        } else if (command == "export" && argument == "--left-shift-tapped") {
            line.leftShiftTapped = true;
        } else if (command == "export" && argument == "--open") {
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
    if (operands.empty()) throw UsageError(command, "no document given");
    if (operands.size() > 1) throw UsageError(command, "unexpected argument '" + operands[1] + "'");
    line.document = operands[0];
    if (line.output.empty()) throw UsageError(command, "no output file given (-o OUTPUT.xaml)");
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
    } else if (first == "about") {
        line.subcommand = Subcommand::kAbout;
    } else if (!first.empty() && first[0] == '-') {
        throw UsageError("", "unknown option '" + first + "'");
    } else {
        throw UsageError("", "unknown command '" + first + "'");
    }
    ParseSubcommand(line, std::vector<std::string>(arguments.begin() + 1, arguments.end()), first);
    return line;
}

}  // namespace cli
