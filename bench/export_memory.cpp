#include "export_memory.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "export_session.h"

namespace bench {

namespace {

// A "Vm..." line of /proc/self/status, in KiB; -1 when absent.
long StatusKiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size() + 1, field + ":") == 0) return std::stol(line.substr(field.size() + 1));
    }
    return -1;
}

// Sets the peak resident size back to the current one.
bool ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

long MeasureInChild(const std::function<document::Document()>& build) {
    ExportSession session(build());
    const std::string path = ScratchDirectory() + "/memory.xaml";
    if (!ResetPeak()) return -1;
    const long before = StatusKiB("VmRSS");
    if (session.Export(path) != kNoErr) return -1;
    const long peak = StatusKiB("VmHWM");
    return before < 0 || peak < 0 ? -1 : peak - before;
}

}  // namespace

long ExportPeakGrowthKiB(const std::function<document::Document()>& build) {
    int channel[2];
    if (pipe(channel) != 0) return -1;
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        close(channel[0]);
        long growth = -1;
        try {
            growth = MeasureInChild(build);
        } catch (...) {
        }
        const bool sent = write(channel[1], &growth, sizeof growth) == static_cast<ssize_t>(sizeof growth);
        // The exit handler that removes a scratch folder does not run here: the child removes the
        // one it made itself (named by its own process id), never the parent's.
        const std::filesystem::path scratch = ScratchDirectory();
        if (scratch.filename() == "quillmark-bench-" + std::to_string(getpid())) {
            std::error_code ignored;
            std::filesystem::remove_all(scratch, ignored);
        }
        _exit(sent ? 0 : 1);  // not exit(): the parent's exit handlers are not the child's to run
    }
    close(channel[1]);
    long growth = -1;
    if (read(channel[0], &growth, sizeof growth) != static_cast<ssize_t>(sizeof growth)) growth = -1;
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return growth;
}

}  // namespace bench
