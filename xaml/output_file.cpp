#include "xaml/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <climits>
#include <cstdlib>
#include <unistd.h>
#endif

namespace {

bool CopyPath(char* destination, const char* source) {
    const size_t length = std::strlen(source);
    if (length >= kOutputPathCapacity) return false;
    std::memcpy(destination, source, length + 1);
    return true;
}

#ifdef _WIN32
int CreateExclusive(const char* path, int /*mode*/) {
    return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT, _S_IREAD | _S_IWRITE);
}
FILE* OpenDescriptor(int descriptor) {
    return _fdopen(descriptor, "w");
}
int ProcessId() {
    return static_cast<int>(GetCurrentProcessId());
}
bool MoveOver(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}
#else
int CreateExclusive(const char* path, int mode) {
    return open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}
FILE* OpenDescriptor(int descriptor) {
    return fdopen(descriptor, "w");
}
int ProcessId() {
    return static_cast<int>(getpid());
}
bool MoveOver(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}
#endif

// Resolves a symbolic link so that the file it points to is replaced, not the link.
bool ResolveTarget(const char* path, char* resolved) {
#ifndef _WIN32
    struct stat linkStatus;
    if (lstat(path, &linkStatus) == 0 && S_ISLNK(linkStatus.st_mode)) {
        char buffer[PATH_MAX];
        if (realpath(path, buffer) != nullptr) return CopyPath(resolved, buffer);
    }
#endif
    return CopyPath(resolved, path);
}

}  // namespace

bool OpenOutputFile(OutputFile* output, const char* path) {
    output->file = nullptr;
    output->replace = false;
    output->tempPath[0] = '\0';
    if (!ResolveTarget(path, output->finalPath)) return false;

    struct stat status;
    const bool exists = stat(output->finalPath, &status) == 0;
    if (exists && (status.st_mode & S_IFMT) != S_IFREG) {
        // A device or a pipe is written in place, never replaced.
        output->file = std::fopen(output->finalPath, "w");
        return output->file != nullptr;
    }

    // Keep the permissions of a file that is replaced; a new file gets the usual ones.
    const int mode = exists ? static_cast<int>(status.st_mode & 07777) : 0666;
    static unsigned attempt;
    for (int tries = 0; tries < 100; ++tries) {
        std::snprintf(output->tempPath, sizeof output->tempPath, "%s.%d-%u.tmp", output->finalPath, ProcessId(),
                      ++attempt);
        const int descriptor = CreateExclusive(output->tempPath, mode);
        if (descriptor < 0) {
            if (errno == EEXIST) continue;
            break;
        }
#ifndef _WIN32
        if (exists) fchmod(descriptor, static_cast<mode_t>(mode));
#endif
        output->file = OpenDescriptor(descriptor);
        if (output->file == nullptr) {
#ifdef _WIN32
            _close(descriptor);
#else
            close(descriptor);
#endif
            std::remove(output->tempPath);
            break;
        }
        output->replace = true;
        return true;
    }
    output->tempPath[0] = '\0';
    return false;
}

bool CloseOutputFile(OutputFile* output, bool keep) {
    if (output->file == nullptr) return false;
    bool written = std::fclose(output->file) == 0 && keep;
    output->file = nullptr;
    if (!output->replace) return written;
    if (written) written = MoveOver(output->tempPath, output->finalPath);
    if (!written) std::remove(output->tempPath);
    return written;
}
