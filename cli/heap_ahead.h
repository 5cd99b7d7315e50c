// The heap grown ahead of reading a large document, and its new pages faulted in on another
// core while the document is read.
#pragma once

#include <cstddef>
#include <memory>

namespace cli {

// Grows the C library's heap by about `bytes` at once, asks the system for huge pages for the
// new part, and, from 32 MiB on, has a thread of its own fault the new pages in (asking the
// system to, without touching what they hold), so that the memory the document model then
// takes from the heap is ready when the reader reaches it. Does nothing below a few megabytes,
// when the heap's free top holds `bytes` already, or where the C library or the system cannot
// do it (not glibc on Linux 5.14 or later). The destructor stops the thread (what it has not
// faulted in yet is left) and waits for it.
//
// Why: each new page is cleared by the system on first use, and on virtual machines that is
// dear: a sixth of the command's time on a JSON document of 200 MB went to clearing the
// model's memory, on the one core that was also reading. A huge page (2 MiB) costs one fault
// where 4 KiB pages cost 512: SVG drawings of 1.5 MB were exported 2 to 3 ms sooner (10 to
// 12 ms) than by a second start of the command with the C library asking for them itself.
class HeapFaultedAhead {
public:
    explicit HeapFaultedAhead(size_t bytes);
    ~HeapFaultedAhead();
    // Waits until the thread has faulted in all it was to.
    void Wait();
    HeapFaultedAhead(const HeapFaultedAhead&) = delete;
    HeapFaultedAhead& operator=(const HeapFaultedAhead&) = delete;

private:
    struct Thread;
    std::unique_ptr<Thread> thread_;
};

}  // namespace cli
