#include "document/text_file.h"

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
// Files smaller than this are read into memory rather than mapped: for a drawing of some
// kilobytes, mapping and unmapping (the unmapping flushes the processor's address cache) cost
// more than copying the bytes.
constexpr size_t kMapFrom = size_t(1) << 20;

#if defined(MAP_POPULATE)
// The whole file is read anyway: its pages mapped at once cost far less than a fault each.
constexpr int kPopulate = MAP_POPULATE;
#else
constexpr int kPopulate = 0;
#endif

#ifndef _WIN32
// Closes the descriptor when the mapping is made or has failed; the mapping keeps the file.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

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
    if (S_ISREG(status.st_mode) && size_t(status.st_size) < kMapFrom) {
        ReadWhole(fd.get(), size_t(status.st_size));
        return;
    }
    if (S_ISREG(status.st_mode)) {
        size_ = size_t(status.st_size);
        const size_t page = size_t(sysconf(_SC_PAGESIZE));
        // Zero pages reserved past the end, then the file mapped over their start: whatever the
        // file's size, the padding after it is readable.
        mappedSize_ = (size_ + kPadding + page - 1) / page * page;
        void* area = mmap(nullptr, mappedSize_, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (area == MAP_FAILED) throw DocumentError("cannot read the file (out of address space)");
        if (size_ > 0 && mmap(area, size_, PROT_READ, MAP_PRIVATE | MAP_FIXED | kPopulate, fd.get(), 0) == MAP_FAILED) {
            munmap(area, mappedSize_);
            throw DocumentError("cannot read the file");
        }
        madvise(area, size_, MADV_SEQUENTIAL);
        data_ = static_cast<const char*>(area);
        padding_ = mappedSize_ - size_;
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

TextFile::~TextFile() {
#ifndef _WIN32
    if (mappedSize_ > 0) munmap(const_cast<char*>(data_), mappedSize_);
#endif
}

}  // namespace document
