#include "cli/heap_ahead.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__) && defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <system_error>
#include <thread>

#define QUILLMARK_HEAP_AHEAD MADV_POPULATE_WRITE
#endif

namespace cli {

struct HeapFaultedAhead::Thread {
#if defined(QUILLMARK_HEAP_AHEAD)
    std::atomic<bool> stop{false};  // the document is read: what is left is not wanted now
    std::thread thread;
#endif
};

namespace {

// Below this nothing is done: a huge page or two would not pay for the work.
constexpr size_t kGrowFrom = 4u << 20;
// Below this the thread costs more than the faults it takes over.
constexpr size_t kWorthIt = 32u << 20;
// The most the heap is grown by ahead (twice this must be an int).
constexpr size_t kMostAhead = size_t(512) << 20;
// glibc's default extra growth of the heap.
constexpr size_t kDefaultTopPad = 128u << 10;
constexpr uintptr_t kHugePage = uintptr_t(2) << 20;

}  // namespace

HeapFaultedAhead::HeapFaultedAhead(size_t bytes) {
#if defined(QUILLMARK_HEAP_AHEAD)
    bytes = std::min(bytes, kMostAhead);
    // A heap that has the room already (a batch's, after a large document) is left as it is.
    if (bytes < kGrowFrom || mallinfo2().keepcost >= bytes) return;
    // The heap keeps what is freed at its top (rather than giving it back at once) and serves
    // blocks of up to 32 MiB itself (rather than mapping each afresh), as a batch's does.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    // Threads that build the model (the JSON reader's) take their memory from this heap too,
    // rather than from heaps of their own, faulted in page by page.
    mallopt(M_ARENA_MAX, 1);
    const int grow = int(bytes);
    mallopt(M_TRIM_THRESHOLD, 2 * grow);
    // A block larger than the heap's free top makes it grow now, by the block and the top pad.
    mallopt(M_TOP_PAD, grow);
    const size_t top = mallinfo2().keepcost;
    void* probe = std::malloc(top + 64);
    mallopt(M_TOP_PAD, int(kDefaultTopPad));
    if (probe == nullptr) return;
    const long page = sysconf(_SC_PAGESIZE);
    const auto start = reinterpret_cast<uintptr_t>(probe) & ~uintptr_t(page - 1);
    const auto end = reinterpret_cast<uintptr_t>(sbrk(0));
    std::free(probe);
    if (end <= start) return;
    // Huge pages for the whole huge pages of the new part: one fault for 2 MiB rather than one
    // for 4 KiB. Fails harmlessly where the system gives none.
    const uintptr_t hugeStart = (start + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t hugeEnd = end & ~(kHugePage - 1);
    if (hugeEnd > hugeStart) madvise(reinterpret_cast<void*>(hugeStart), hugeEnd - hugeStart, MADV_HUGEPAGE);
    if (end - start < kWorthIt) return;
    try {
        thread_ = std::make_unique<Thread>();
        thread_->thread = std::thread([start, end, &stop = thread_->stop] {
            // A few megabytes a request: the system holds the process's map of its memory
            // while it faults the pages in, and a thread that maps memory meanwhile (to start
            // a thread, or for a large block) waits for the whole request.
            constexpr uintptr_t kStep = uintptr_t(4) << 20;
            // Once the document is read, the rest is not waited for: the export begins.
            for (uintptr_t at = start; at < end && !stop.load(std::memory_order_relaxed); at += kStep) {
                // Fails harmlessly where the system does not know the request, or where the
                // heap shrank meanwhile.
                if (madvise(reinterpret_cast<void*>(at), std::min(kStep, end - at), MADV_POPULATE_WRITE) != 0) return;
            }
        });
    } catch (const std::system_error&) {
        // No thread: the reader faults its pages in itself, as it would anyway.
    }
#else
    (void)bytes;
#endif
}

void HeapFaultedAhead::Wait() {
#if defined(QUILLMARK_HEAP_AHEAD)
    if (thread_ && thread_->thread.joinable()) thread_->thread.join();
#endif
}

HeapFaultedAhead::~HeapFaultedAhead() {
#if defined(QUILLMARK_HEAP_AHEAD)
    if (!thread_ || !thread_->thread.joinable()) return;
    thread_->stop.store(true, std::memory_order_relaxed);
    thread_->thread.join();
#endif
}

}  // namespace cli
