#include "cli/batch_progress.h"

#include <cstdio>
#include <iostream>
#include <sstream>

#if defined(_WIN32)
#include <io.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace cli {

namespace {

size_t TerminalWidth() {
#if !defined(_WIN32)
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 20) return size.ws_col;
#endif
    return 80;
}

}  // namespace

bool BatchProgress::StandardErrorIsTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

BatchProgress::BatchProgress(size_t total, bool terminal)
    : total_(total), terminal_(terminal), start_(std::chrono::steady_clock::now()) {
    if (terminal_ && total_ > 0) Draw("");
}

void BatchProgress::ClearBar() {
    if (!barShown_) return;
    std::cerr << "\r\033[K";
    barShown_ = false;
}

// [#########...........]  12/100  folder/drawing.svg
void BatchProgress::Draw(const std::string& current) {
    constexpr size_t kBarWidth = 24;
    const size_t filled = total_ == 0 ? kBarWidth : done_ * kBarWidth / total_;
    std::ostringstream line;
    line << "[" << std::string(filled, '#') << std::string(kBarWidth - filled, '.') << "] " << done_ << "/" << total_;
    if (failed_ > 0) line << ", " << failed_ << " failed";
    std::string text = line.str();
    if (!current.empty()) text += "  " + current;
    const size_t width = TerminalWidth() - 1;
    if (text.size() > width) text = text.substr(0, width);
    std::cerr << "\r\033[K" << text << std::flush;
    barShown_ = true;
}

void BatchProgress::Finished(const std::string& input, const FileResult& result) {
    ++done_;
    switch (result.status) {
        case FileStatus::kExported: ++exported_; break;
        case FileStatus::kExportedWithWarnings: ++warned_; break;
        case FileStatus::kDocumentFailed:
        case FileStatus::kExportFailed: ++failed_; break;
    }
    ClearBar();
    std::cerr << result.messages;
    if (terminal_) {
        Draw(input);
    } else {
        std::cerr << std::flush;
    }
}

void BatchProgress::Note(const std::string& line) {
    ClearBar();
    std::cerr << line << "\n";
    if (terminal_) Draw("");
}

bool BatchProgress::Summary() {
    ClearBar();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    char time[32];
    std::snprintf(time, sizeof time, "%.2f s", seconds);
    std::cerr << "quillmark: " << done_ << (done_ == 1 ? " document" : " documents") << " in " << time << ": "
              << exported_ << " exported, " << warned_ << " exported with warnings, " << failed_ << " failed\n";
    return failed_ > 0;
}

}  // namespace cli
