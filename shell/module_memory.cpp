// The module's global allocation and release operators: all of the module's storage,
// the standard library's included, comes from the host. Only the module has them. The
// standard header declares them with default visibility, so the module's export map keeps
// them local (a Windows module exports only what it marks): neither the host nor other
// modules bind to them, and the module binds to no one else's.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>

#include "shell/records.h"

namespace {

// operator new may not answer null for a zero-sized request.
void* AllocateOrNull(std::size_t size) noexcept {
    return HostAlloc(size == 0 ? 1 : size);
}

void* AllocateOrThrow(std::size_t size) {
    void* block = AllocateOrNull(size);
    // Thrown only into standard-library code; PluginMain turns it into an out-of-memory answer.
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

// Over-aligned blocks: the host's block is larger by the alignment and a pointer, and the
// start of the host's block is kept just below the aligned address.
void* AllocateAlignedOrNull(std::size_t size, std::align_val_t alignment) noexcept {
    // At least pointer alignment, so that the kept pointer is itself aligned.
    const std::size_t align = std::max(static_cast<std::size_t>(alignment), alignof(void*));
    const std::size_t extra = align + sizeof(void*);
    if (size > SIZE_MAX - extra) return nullptr;
    void* block = HostAlloc(size + extra);
    if (block == nullptr) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(block) + sizeof(void*);
    const std::uintptr_t aligned = (start + align - 1) & ~static_cast<std::uintptr_t>(align - 1);
    reinterpret_cast<void**>(aligned)[-1] = block;
    return reinterpret_cast<void*>(aligned);
}

void* AllocateAlignedOrThrow(std::size_t size, std::align_val_t alignment) {
    void* block = AllocateAlignedOrNull(size, alignment);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void Release(void* block) noexcept {
    if (block != nullptr) HostFree(block);
}

void ReleaseAligned(void* block) noexcept {
    if (block != nullptr) HostFree(static_cast<void**>(block)[-1]);
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return AllocateAlignedOrThrow(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return AllocateAlignedOrThrow(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment,
                                          const std::nothrow_t&) noexcept {
    return AllocateAlignedOrNull(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment,
                                            const std::nothrow_t&) noexcept {
    return AllocateAlignedOrNull(size, alignment);
}

void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete(void* block, std::align_val_t) noexcept { ReleaseAligned(block); }
void operator delete[](void* block, std::align_val_t) noexcept { ReleaseAligned(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept {
    ReleaseAligned(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
    ReleaseAligned(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    ReleaseAligned(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    ReleaseAligned(block);
}

#if defined(__GLIBCXX__)
// The C++ runtime linked into the module takes one block from the C library when the module
// loads: its reserve for throwing exceptions when memory is short. Unloading the module would
// lose that block, so it is given back as the module goes.
namespace __gnu_cxx {
void __freeres() noexcept;
}

namespace {

struct RuntimeReserveRelease {
    ~RuntimeReserveRelease() { __gnu_cxx::__freeres(); }
} sRuntimeReserveRelease;

}  // namespace
#endif
