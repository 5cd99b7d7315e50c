// The kept inputs of one format, and what every replay checks of an error message.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz/driver/export_run.h"
#include "fuzz/driver/fuzz_input.h"

namespace crash_test {

struct ReplayFile {
    std::string path;
    std::string name;  // the file name, usable in a test's name
};

// How a failing test names its file.
inline void PrintTo(const ReplayFile& file, std::ostream* out) {
    *out << file.path;
}

// The files in tests/crash/<format>, sorted; none when the folder is missing.
std::vector<ReplayFile> ReplayFiles(const std::string& format);
std::string ReadBytes(const std::string& path);
// The test's name of a file: letters and digits kept, anything else as '_'.
std::string TestName(const ReplayFile& file);

// Exports the document `load` reads (a fresh one each time: a document holds its art uniquely)
// as the fuzz target did, under the input's host fault, then in each mode without one. Every
// export must use the host cleanly; a failing check names the mode and the fault.
void ExpectCleanExports(const std::function<document::Document()>& load, const fuzz::FuzzInput& input);

// Whether an error message is clean: it starts with the file's name, goes on to say where in
// the file (a line, or the path of a value), and is not a parser library's own text.
// Answers the reason when it is not, or an empty string.
std::string UncleanMessage(const std::string& message, const std::string& fileName);

}  // namespace crash_test
