// The heap grown ahead of a large document: its pages must be in memory once the thread is
// done, the memory must serve allocations as any other, and the thread must stop when the
// document is read.
#include "cli/heap_ahead.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace cli {
namespace {

// Resident kibibytes of this process, or 0 where the system does not tell.
long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    if (!(statm >> pages >> resident)) return 0;
    return resident * 4;
}

#if defined(__GLIBC__) && defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
// The flags of the mapping that holds `address` (the VmFlags line of /proc/self/smaps), or "".
std::string FlagsOfMappingAt(uintptr_t address) {
    std::ifstream smaps("/proc/self/smaps");
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        uintptr_t start = 0, end = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> start >> dash >> end && dash == '-') {
            inside = start <= address && address < end;
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            return line;
        }
    }
    return "";
}

bool HugePagesOnRequest() {
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    std::getline(setting, text);
    return text.find("[madvise]") != std::string::npos || text.find("[always]") != std::string::npos;
}
#endif

TEST(HeapFaultedAhead, BelowTheThreadsSizeTheHeapIsGrownWithHugePagesAndNothingFaultedIn) {
    // Just below the size from which the thread is worth its start. First in the file, before a
    // heap grown by the next test could serve it unseen.
    const long before = ResidentKiB();
    { const HeapFaultedAhead heap(31u << 20); }
    EXPECT_LT(ResidentKiB() - before, 2 * 1024);
#if defined(__GLIBC__) && defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
    if (!HugePagesOnRequest()) GTEST_SKIP() << "this system gives no huge pages on request";
    // The grown part's last huge page asks for huge pages ("hg"): one fault for 2 MiB.
    const uintptr_t end = reinterpret_cast<uintptr_t>(sbrk(0));
    const uintptr_t lastHugePage = (end & ~((uintptr_t(2) << 20) - 1)) - 1;
    EXPECT_NE(FlagsOfMappingAt(lastHugePage).find(" hg"), std::string::npos) << FlagsOfMappingAt(lastHugePage);
#endif
}

TEST(HeapFaultedAhead, FaultsTheGrownHeapInAndServesAllocations) {
#if !defined(__GLIBC__) || !defined(__linux__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the heap is grown ahead only by glibc's allocator on Linux";
#else
    const long before = ResidentKiB();
    if (before == 0) GTEST_SKIP() << "no /proc/self/statm";
    {
        HeapFaultedAhead heap(64u << 20);
        heap.Wait();
    }
    const long after = ResidentKiB();
    EXPECT_GT(after - before, 48 * 1024) << "resident KiB before " << before << ", after " << after;
    // What was faulted in is the heap's own: blocks from it are usable, and hold what is written.
    std::vector<std::unique_ptr<char[]>> blocks;
    for (int i = 0; i < 1000; ++i) {
        blocks.push_back(std::make_unique<char[]>(40000));
        std::memset(blocks.back().get(), i & 0xFF, 40000);
    }
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(blocks[size_t(i)][39999], char(i & 0xFF));
    EXPECT_LT(ResidentKiB() - after, 16 * 1024);  // the blocks took pages already in memory
#endif
}

TEST(HeapFaultedAhead, StopsWhenTheDocumentIsRead) {
#if !defined(__GLIBC__) || !defined(__linux__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the heap is grown ahead only by glibc's allocator on Linux";
#else
    const long before = ResidentKiB();
    if (before == 0) GTEST_SKIP() << "no /proc/self/statm";
    // Gone at once: at most the few megabytes of the request under way are faulted in, not the
    // half gigabyte asked for.
    const auto heapEnd = [] { return reinterpret_cast<uintptr_t>(sbrk(0)); };
    const uintptr_t endBefore = heapEnd();
    { const HeapFaultedAhead heap(512u << 20); }
    if (heapEnd() - endBefore < (uintptr_t(256) << 20)) {
        GTEST_SKIP() << "the heap was not grown: an earlier test in this process left it room enough";
    }
    EXPECT_LT(ResidentKiB() - before, 128 * 1024);
#endif
}

}  // namespace
}  // namespace cli
