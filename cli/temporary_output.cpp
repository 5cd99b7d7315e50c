#include "cli/temporary_output.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <random>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace cli {

namespace fs = std::filesystem;

namespace {

// Creates the file only if it does not exist yet; answers the errno of a failure, or 0.
int CreateExclusively(const fs::path& path) {
#if defined(_WIN32)
    const int descriptor = _wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (descriptor < 0) return errno;
    _close(descriptor);
#else
    // Created with the permissions any new file gets (the umask applies), as the plug-in's own would.
    const int descriptor = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor < 0) return errno;
    close(descriptor);
#endif
    return 0;
}

}  // namespace

std::string RandomNameSuffix() {
    static std::mt19937 random(std::random_device{}() ^ static_cast<unsigned>(getpid()));
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 6; ++i) suffix += kLetters[random() % (sizeof kLetters - 1)];
    return suffix;
}

TemporaryOutput::TemporaryOutput(fs::path destination) : destination_(std::move(destination)) {
    fs::path folder = destination_.parent_path();
    if (folder.empty()) folder = ".";
    int error = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Short, so that the path still fits where the destination's does; hidden, so that a
        // folder walk never picks it up.
        temporary_ = destination_.parent_path() / (".qm" + RandomNameSuffix() + ".tmp");
        error = CreateExclusively(temporary_);
        if (error != EEXIST) break;
    }
    if (error != 0) {
        temporary_.clear();
        throw OutputError("cannot create a file in the folder " + folder.string() + ": " + std::strerror(error));
    }
}

TemporaryOutput::~TemporaryOutput() {
    if (committed_ || temporary_.empty()) return;
    std::error_code ignored;
    fs::remove(temporary_, ignored);
}

void TemporaryOutput::Commit() {
    std::error_code error;
    fs::rename(temporary_, destination_, error);
    if (error) throw OutputError("cannot move the finished file to " + destination_.string() + ": " + error.message());
    committed_ = true;
}

}  // namespace cli
