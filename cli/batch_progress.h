// What a batch shows on standard error: the messages of each file, a progress bar redrawn in
// place when standard error is a terminal, and the closing summary.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "cli/file_export.h"

namespace cli {

class BatchProgress {
public:
    // `terminal`: draw the bar (only where standard error is a terminal).
    BatchProgress(size_t total, bool terminal);

    // A file's result: its messages are printed and it is counted.
    void Finished(const std::string& input, const FileResult& result);
    // A note that belongs to no file.
    void Note(const std::string& line);
    // Prints the summary line; answers whether any file failed.
    bool Summary();

    // Whether standard error is a terminal.
    static bool StandardErrorIsTerminal();

private:
    void Draw(const std::string& current);
    void ClearBar();

    size_t total_;
    bool terminal_;
    bool barShown_ = false;
    size_t done_ = 0;
    size_t exported_ = 0;
    size_t warned_ = 0;
    size_t failed_ = 0;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace cli
