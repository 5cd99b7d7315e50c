#include "cli/compare_command.h"

#include <charconv>
#include <cstdio>
#include <iostream>

#include "cli/command_line.h"
#include "compare/side_by_side.h"

namespace cli {

const char kCompareHelp[] =
    "Usage: quillmark compare DRAWING.svg FILE.xaml [OPTION]...\n"
    "Draws the SVG file (with librsvg) and the XAML file (with the previewer) in the frame of\n"
    "the export, the drawing's bounds without strokes, at the same size, and tells the share of\n"
    "pixels that differ: a pixel differs when a channel of the two over white, or their\n"
    "alpha, differs by more than the tolerance.\n"
    "\n"
    "  -o, --output FILE       write a PNG of the SVG's picture, the XAML's and their\n"
    "                          difference (differing pixels red) side by side\n"
    "      --size N            pixels of the pictures' longer side (default 256)\n"
    "      --tolerance T       the difference per channel still called equal, 0 to 255\n"
    "                          (default 32: the edges two renderers smooth apart)\n"
    "      --threshold P       the share of differing pixels, in percent, still called a\n"
    "                          match (default 1)\n"
    "  -h, --help              show this help\n"
    "\n"
    "Exit status: 0 when the share is within the threshold, 1 beyond it, 2 for a bad\n"
    "command line or a file that cannot be read or drawn.\n";

namespace {

constexpr int kExitMatch = 0;
constexpr int kExitDiffers = 1;
constexpr int kExitUsage = 2;
constexpr int kLargestSize = 8192;

template <typename Number>
Number ParseNumber(const std::string& option, std::string text, Number low, Number high, bool percent = false) {
    if (percent && !text.empty() && text.back() == '%') text.pop_back();
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !(value >= low) || !(value <= high)) {
        throw UsageError("compare", "invalid value '" + text + "' of " + option + " (expected " + std::to_string(low) +
                                        " to " + std::to_string(high) + ")");
    }
    return value;
}

std::string Percent(double share) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f%%", share * 100);
    return text;
}

std::string Threshold(double threshold) {
    char text[32];
    std::snprintf(text, sizeof text, "%g%%", threshold * 100);
    return text;
}

}  // namespace

CompareLine ParseCompareLine(const std::vector<std::string>& arguments) {
    CompareLine line;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&](const std::string& name) -> std::string {
            const std::string attached = name + "=";
            if (argument.rfind(attached, 0) == 0) return argument.substr(attached.size());
            if (name == "--output" && argument.size() > 2 && argument.rfind("-o", 0) == 0) return argument.substr(2);
            if (i + 1 >= arguments.size()) throw UsageError("compare", "option '" + name + "' needs a value");
            return arguments[++i];
        };
        auto is = [&](const char* name) { return argument == name || argument.rfind(std::string(name) + "=", 0) == 0; };
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            operands.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            line.help = true;
        } else if (is("--output") || argument.rfind("-o", 0) == 0) {
            line.sideBySide = value("--output");
            if (line.sideBySide.empty()) throw UsageError("compare", "option '--output' needs a file");
        } else if (is("--size")) {
            line.options.size = ParseNumber("--size", value("--size"), 1, kLargestSize);
        } else if (is("--tolerance")) {
            line.options.tolerance = ParseNumber("--tolerance", value("--tolerance"), 0, 255);
        } else if (is("--threshold")) {
            line.options.threshold = ParseNumber("--threshold", value("--threshold"), 0.0, 100.0, true) / 100;
        } else {
            throw UsageError("compare", "unknown option '" + argument + "'");
        }
    }
    if (line.help) return line;
    if (operands.size() < 2) throw UsageError("compare", operands.empty() ? "no drawing given" : "no XAML file given");
    if (operands.size() > 2) throw UsageError("compare", "unexpected argument '" + operands[2] + "'");
    line.svg = operands[0];
    line.xaml = operands[1];
    return line;
}

int RunCompare(const std::vector<std::string>& arguments) {
    CompareLine line;
    try {
        line = ParseCompareLine(arguments);
    } catch (const UsageError& error) {
        std::cerr << "quillmark: " << error.what() << "\nTry 'quillmark compare --help' for more information.\n";
        return kExitUsage;
    }
    if (line.help) {
        std::cout << kCompareHelp;
        return kExitMatch;
    }
    compare::Comparison comparison;
    try {
        comparison = compare::CompareDrawings(line.svg, line.xaml, line.options);
    } catch (const compare::CompareInputError& error) {
        std::cerr << "quillmark: " << error.what() << "\n";
        return kExitUsage;
    } catch (const compare::PictureFailure& error) {
        std::cerr << "quillmark: " << error.what() << "\n";
        return kExitUsage;
    }
    if (!comparison.SizesAgree()) {
        std::cerr << "quillmark: note: " << line.xaml << " is " << comparison.xamlWidth << " x " << comparison.xamlHeight
                  << ", the bounds of " << line.svg << " are " << comparison.frame.Width() << " x "
                  << comparison.frame.Height() << ": not its export?\n";
    }
    for (const std::string& loss : comparison.losses) {
        std::cerr << "quillmark: note: " << line.svg << ": left out of the host's document, so not drawn by the export: "
                  << loss << "\n";
    }
    const compare::Difference& difference = comparison.difference;
    const bool matches = comparison.Matches(line.options);
    std::cout << Percent(difference.Share()) << " of the pixels differ (" << difference.differing << " of "
              << difference.Pixels() << ", " << difference.width << " x " << difference.height << ", tolerance "
              << line.options.tolerance << "/255): " << (matches ? "within" : "beyond") << " the threshold of "
              << Threshold(line.options.threshold) << "\n";
    if (!line.sideBySide.empty()) {
        try {
            const compare::SurfacePtr side = compare::SideBySide(comparison.svgPicture.get(),
                                                                 comparison.xamlPicture->Surface(), comparison.difference);
            compare::WritePng(side.get(), line.sideBySide);
        } catch (const compare::PictureFailure& error) {
            std::cerr << "quillmark: " << error.what() << "\n";
            return kExitUsage;
        }
    }
    return matches ? kExitMatch : kExitDiffers;
}

}  // namespace cli
