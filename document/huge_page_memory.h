// Zeroed memory of its own that asks for huge pages (2 MiB, one fault each, where the system
// gives them on request): on a virtual machine the first touch of every 4 KiB page is dear, so
// large buffers that are filled once (a file's text, a parser's copy of it) live in this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#if !defined(_WIN32)
#include <sys/mman.h>
#endif

namespace document {

class HugePageMemory {
public:
    // Throws std::bad_alloc when the system has no memory to give.
    explicit HugePageMemory(size_t size) {
#if !defined(_WIN32)
        // One huge page more is reserved to find a huge page's boundary in it.
        length_ = (size + kHugePage - 1) / kHugePage * kHugePage + kHugePage;
        base_ = mmap(nullptr, length_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base_ == MAP_FAILED) throw std::bad_alloc();
        data_ = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(base_) + kHugePage - 1) / kHugePage * kHugePage);
#if defined(MADV_HUGEPAGE)
        madvise(data_, length_ - kHugePage, MADV_HUGEPAGE);
#endif
#else
        data_ = new char[size == 0 ? 1 : size]();
#endif
    }
    ~HugePageMemory() {
#if !defined(_WIN32)
        munmap(base_, length_);
#else
        delete[] data_;
#endif
    }
    HugePageMemory(const HugePageMemory&) = delete;
    HugePageMemory& operator=(const HugePageMemory&) = delete;

    char* Data() const { return data_; }

private:
    static constexpr size_t kHugePage = size_t(2) << 20;
    void* base_ = nullptr;
    size_t length_ = 0;
    char* data_ = nullptr;
};

}  // namespace document
