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

namespace {

std::string RandomNameSuffix() {
    static std::mt19937 random(std::random_device{}() ^ static_cast<unsigned>(getpid()));
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 6; ++i) suffix += kLetters[random() % (sizeof kLetters - 1)];
    return suffix;
}

}  // namespace

fs::path MakeUniqueHiddenName(const fs::path& folder, const std::string& ending,
                              const std::function<int(const fs::path&)>& make) {
    int error = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path name = folder / (".qm" + RandomNameSuffix() + ending);
        error = make(name);
        if (error == 0) return name;
        if (error != EEXIST) break;
    }
    const fs::path shown = folder.empty() ? fs::path(".") : folder;
    throw OutputError("cannot create a file in the folder " + shown.string() + ": " + std::strerror(error));
}

PendingOutput::~PendingOutput() {
    if (committed_ || pending_.empty()) return;
    std::error_code ignored;
    fs::remove(pending_, ignored);
}

void PendingOutput::Commit() {
    std::error_code error;
    fs::rename(pending_, destination_, error);
    if (error) throw OutputError("cannot move the finished file to " + destination_.string() + ": " + error.message());
    committed_ = true;
}

TemporaryOutput::TemporaryOutput(fs::path destination)
    : PendingOutput(MakeUniqueHiddenName(destination.parent_path(), ".tmp", CreateExclusively), destination) {}

}  // namespace cli
