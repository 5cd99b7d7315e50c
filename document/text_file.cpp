#include "document/text_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "document/json_loader.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace document {

namespace {

constexpr size_t kPadding = 64;
// Files from this size on are read into memory that asks for huge pages (2 MiB, one fault each):
// on a virtual machine every first touch of a 4 KiB page is dear, and reading a file into such
// memory was measured faster than mapping the file, both in a fresh process (89 MB: 18 ms
// against 32 ms) and when files follow one another. Smaller files are read into the
// allocator's memory, which a process reading file after file reuses (a 1.5 MB drawing: 0.3 ms
// against 0.4 ms into memory of its own each time), and which the command asks huge pages of
// for large inputs (cli/heap_ahead.h).
constexpr size_t kLargeFrom = size_t(4) << 20;

#ifndef _WIN32
// Closes the descriptor when the file has been read or has failed.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Gives up closing the descriptor, to its new owner.
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};
#endif

}  // namespace

TextFile::TextFile(const std::string& path) {
#ifndef _WIN32
    const Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) throw DocumentError("cannot open the file");
    struct stat status {};
    if (fstat(fd.get(), &status) != 0) throw DocumentError("cannot read the file");
    if (S_ISREG(status.st_mode)) {
        if (size_t(status.st_size) < kLargeFrom) {
            ReadWhole(fd.get(), size_t(status.st_size));
        } else {
            ReadLarge(fd.get(), size_t(status.st_size));
        }
        return;
    }
    // Pipes and devices are read like any stream below.
#endif
    std::ifstream file(path, std::ios::binary);
    if (!file) throw DocumentError("cannot open the file");
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) throw DocumentError("cannot read the file");
    copy_ = std::move(text).str();
    size_ = copy_.size();
    copy_.append(kPadding, '\0');
    data_ = copy_.data();
    padding_ = kPadding;
}

#ifndef _WIN32
void TextFile::ReadWhole(int fd, size_t expected) {
    // Not zeroed first: only the bytes read and the padding are ever looked at. One byte more
    // than expected, so that a file that grew since fstat is noticed and read on.
    size_t capacity = expected + 1;
    read_ = std::make_unique_for_overwrite<char[]>(capacity + kPadding);
    size_t filled = 0;
    while (true) {
        if (filled == capacity) {
            capacity *= 2;
            auto larger = std::make_unique_for_overwrite<char[]>(capacity + kPadding);
            std::memcpy(larger.get(), read_.get(), filled);
            read_ = std::move(larger);
        }
        const ssize_t n = read(fd, read_.get() + filled, capacity - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw DocumentError("cannot read the file");
        if (n == 0) break;
        filled += size_t(n);
    }
    std::memset(read_.get() + filled, 0, kPadding);
    data_ = read_.get();
    size_ = filled;
    padding_ = kPadding;
}
#endif

#ifndef _WIN32
void TextFile::ReadLarge(int fd, size_t expected) {
    // Room for the padding after the text; what is not read into stays zero.
    try {
        large_ = std::make_unique<HugePageMemory>(expected + kPadding);
    } catch (const std::bad_alloc&) {
        throw DocumentError("cannot read the file (out of memory)");
    }
    char* text = large_->Data();
    size_t filled = 0;
    while (filled < expected) {
        const ssize_t n = read(fd, text + filled, expected - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw DocumentError("cannot read the file");
        if (n == 0) break;
        filled += size_t(n);
    }
    data_ = text;
    size_ = filled;
    padding_ = expected + kPadding - filled;
}
#endif

TextFile::~TextFile() = default;

FileWindow::FileWindow(const std::string& path, size_t capacity, size_t chunk)
    : path_(path), capacity_(std::max<size_t>(capacity, 1)), chunk_(std::max<size_t>(chunk, 1)) {
#ifndef _WIN32
    Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) throw DocumentError("cannot open the file");
    struct stat status {};
    if (fstat(fd.get(), &status) != 0) throw DocumentError("cannot read the file");
    if (!S_ISREG(status.st_mode)) return;
    sizeWhenOpened_ = size_t(status.st_size);
    // No larger than the file needs: its bytes, and one more to see that it has not grown.
    capacity_ = std::min(capacity_, sizeWhenOpened_ + 1);
    // Not zeroed: only the bytes read and the padding after them are ever looked at.
    buffer_ = std::make_unique_for_overwrite<char[]>(capacity_ + kPadding);
    std::memset(buffer_.get(), 0, kPadding);
    fd_ = fd.Release();
#endif
}

FileWindow::~FileWindow() {
#ifndef _WIN32
    if (fd_ >= 0) close(fd_);
#endif
}

bool FileWindow::Extend(size_t keepFrom, size_t most) {
    if (complete_ || fd_ < 0) return false;
    char* buffer = buffer_.get();
    const size_t kept = End() - keepFrom;
    // Kept bytes are moved to the front only when the room after them is short of a chunk, so
    // that each byte is moved about (kept / capacity) times.
    if (keepFrom > base_ && capacity_ - filled_ < chunk_) {
        std::memmove(buffer, buffer + (keepFrom - base_), kept);
        base_ = keepFrom;
        filled_ = kept;
    }
    const size_t room = std::min({chunk_, capacity_ - filled_, most});
    if (room == 0) return false;
#ifndef _WIN32
    while (true) {
        const ssize_t n = read(fd_, buffer + filled_, room);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw DocumentError("cannot read the file");
        if (n == 0) complete_ = true;
        filled_ += size_t(n);
        break;
    }
#endif
    std::memset(buffer + filled_, 0, kPadding);
    return !complete_;
}

}  // namespace document
