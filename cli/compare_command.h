// The `quillmark compare` command: a drawing and its export drawn side by side and compared.
#pragma once

#include <string>
#include <vector>

#include "compare/comparison.h"

namespace cli {

extern const char kCompareHelp[];

struct CompareLine {
    bool help = false;
    std::string svg, xaml;
    std::string sideBySide;  // -o: the PNG of both pictures and their difference
    compare::CompareOptions options;
};

// The arguments after "compare". Throws UsageError.
CompareLine ParseCompareLine(const std::vector<std::string>& arguments);

// Runs the command on the arguments after "compare": the exit status, 0 within the threshold,
// 1 beyond it, 2 for a bad command line or input that cannot be compared.
int RunCompare(const std::vector<std::string>& arguments);

}  // namespace cli
