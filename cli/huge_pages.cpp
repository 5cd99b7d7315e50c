#include "cli/huge_pages.h"

#include <cstdlib>  // first: it says which C library this is

#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#define QUILLMARK_RESTART_FOR_HUGE_PAGES 1
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#endif

namespace cli {

#if defined(QUILLMARK_RESTART_FOR_HUGE_PAGES)
namespace {

constexpr char kTunables[] = "GLIBC_TUNABLES";
constexpr char kHugePages[] = "glibc.malloc.hugetlb=1";
// Set for the new start only, so that it never starts over again, whatever the C library makes
// of its tunables (it drops them for programs that change their privileges).
constexpr char kRestarted[] = "QUILLMARK_RESTARTED";

// Whether huge pages are given to memory that asks for them and only to that: the kernel's
// setting then reads "always [madvise] never". With "[always]" every process has them already.
bool HugePagesOnRequest() {
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    std::getline(setting, text);
    return text.find("[madvise]") != std::string::npos;
}

// Whether the files among the arguments (the documents, and an output that exists already)
// hold a megabyte or more. Folders are not walked: a batch reuses its heap from file to file.
bool LargeFilesNamed(int argc, char** argv) {
    constexpr off_t kLarge = off_t(1) << 20;
    off_t total = 0;
    for (int i = 1; i < argc; ++i) {
        struct stat status {};
        if (stat(argv[i], &status) == 0 && S_ISREG(status.st_mode)) total += status.st_size;
        if (total >= kLarge) return true;
    }
    return false;
}

}  // namespace

void RestartWithHugePages(int argc, char** argv) {
    if (std::getenv(kRestarted) != nullptr) {
        unsetenv(kRestarted);
        return;
    }
    const char* tunables = std::getenv(kTunables);
    const std::string before = tunables != nullptr ? tunables : "";
    if (before.find("glibc.malloc.hugetlb") != std::string::npos || !LargeFilesNamed(argc, argv) ||
        !HugePagesOnRequest()) {
        return;
    }
    const std::string value = before.empty() ? kHugePages : before + ":" + kHugePages;
    // The program's own file, by name: under a tool that runs programs (a profiler, say)
    // /proc/self/exe would be the tool's.
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return;
    self[length] = '\0';
    if (setenv(kTunables, value.c_str(), 1) != 0 || setenv(kRestarted, "1", 1) != 0) return;
    execv(self, argv);
    // Not started over: carry on as this process, as it was.
    if (tunables != nullptr) {
        setenv(kTunables, before.c_str(), 1);
    } else {
        unsetenv(kTunables);
    }
    unsetenv(kRestarted);
}
#else
void RestartWithHugePages(int, char**) {}
#endif

}  // namespace cli
