#include "document/svg/tree/parse_buffer.h"

#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace document::svg {
namespace {

// Below this the allocator's own heap, reused from file to file in a batch, is cheaper.
constexpr size_t kMapFrom = size_t(4) << 20;

}  // namespace

ParseBuffer::ParseBuffer(std::string_view text) : size_(text.size()) {
#if defined(__linux__)
    if (size_ >= kMapFrom) {
        void* area = mmap(nullptr, size_ + 1, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (area != MAP_FAILED) {
            // Huge pages where the system gives them on request: one fault for 2 MiB.
            madvise(area, size_ + 1, MADV_HUGEPAGE);
            data_ = static_cast<char*>(area);
            mapped_ = true;
        }
    }
#endif
    if (data_ == nullptr) data_ = new char[size_ + 1];
    std::memcpy(data_, text.data(), size_);
    data_[size_] = '\0';
}

ParseBuffer::~ParseBuffer() {
#if defined(__linux__)
    if (mapped_) {
        munmap(data_, size_ + 1);
        return;
    }
#endif
    delete[] data_;
}

}  // namespace document::svg
