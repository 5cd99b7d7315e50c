// number_format_exhaustive: FormatFixed6 against std::to_chars (fixed, 6 decimals) for every
// 32-bit pattern read as a 32-bit real. Opt-in and not part of the test command: it takes
// minutes (docs/performance.md has the measured time).
//
//   number_format_exhaustive [--threads N] [--first HEX] [--last HEX]
//
// NaN and the infinities are compared with the texts FormatFixed6 promises for them (those of
// 0 and of the largest finite real of the same sign). Exits 1 at the first differences found.
#include <atomic>
#include <bit>
#include <cfloat>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "xaml/number_format.h"

namespace {

constexpr uint64_t kBlock = uint64_t{1} << 20;  // patterns a thread takes at a time

size_t Reference(float value, char* text) {
    double expected = value;
    if (std::isnan(expected)) expected = 0.0;
    if (std::isinf(expected)) expected = std::copysign(static_cast<double>(FLT_MAX), expected);
    return static_cast<size_t>(
        std::to_chars(text, text + kFixed6MaxLength, expected, std::chars_format::fixed, 6).ptr - text);
}

struct Check {
    uint64_t first = 0;
    uint64_t last = 0xFFFFFFFF;
    std::atomic<uint64_t> next{0};
    std::atomic<uint64_t> checked{0};
    std::atomic<uint64_t> differences{0};
    std::mutex report;
};

void Run(Check& check) {
    char text[kFixed6MaxLength];
    char expected[kFixed6MaxLength];
    for (;;) {
        const uint64_t start = check.first + check.next.fetch_add(kBlock);
        if (start > check.last || check.differences.load() >= 10) return;
        const uint64_t end = std::min(start + kBlock - 1, check.last);
        for (uint64_t bits = start; bits <= end; ++bits) {
            const float value = std::bit_cast<float>(static_cast<uint32_t>(bits));
            const size_t length = FormatFixed6(value, text);
            const size_t expectedLength = Reference(value, expected);
            if (length == expectedLength && std::memcmp(text, expected, length) == 0) continue;
            std::lock_guard<std::mutex> lock(check.report);
            check.differences.fetch_add(1);
            std::printf("0x%08llx: %.*s, expected %.*s\n", static_cast<unsigned long long>(bits),
                        static_cast<int>(length), text, static_cast<int>(expectedLength), expected);
        }
        const uint64_t done = check.checked.fetch_add(end - start + 1) + (end - start + 1);
        if (done % (uint64_t{1} << 28) < kBlock) {
            std::lock_guard<std::mutex> lock(check.report);
            std::printf("%llu of %llu patterns checked\n", static_cast<unsigned long long>(done),
                        static_cast<unsigned long long>(check.last - check.first + 1));
            std::fflush(stdout);
        }
    }
}

bool ParseOption(int argc, char** argv, int& i, const char* name, uint64_t& value, int base) {
    if (std::strcmp(argv[i], name) != 0 || i + 1 >= argc) return false;
    value = std::strtoull(argv[++i], nullptr, base);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Check check;
    uint64_t threads = 2;
    for (int i = 1; i < argc; ++i) {
        if (!ParseOption(argc, argv, i, "--threads", threads, 10) && !ParseOption(argc, argv, i, "--first", check.first, 16) &&
            !ParseOption(argc, argv, i, "--last", check.last, 16)) {
            std::fprintf(stderr, "usage: %s [--threads N] [--first HEX] [--last HEX]\n", argv[0]);
            return 2;
        }
    }
    if (threads == 0 || check.first > check.last || check.last > 0xFFFFFFFF) {
        std::fprintf(stderr, "%s: need at least one thread and 0 <= first <= last <= ffffffff\n", argv[0]);
        return 2;
    }

    const auto started = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (uint64_t t = 0; t < threads; ++t) workers.emplace_back(Run, std::ref(check));
    for (std::thread& worker : workers) worker.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::printf("%llu patterns checked with %llu threads in %.1f s: %llu differences\n",
                static_cast<unsigned long long>(check.checked.load()), static_cast<unsigned long long>(threads),
                seconds, static_cast<unsigned long long>(check.differences.load()));
    return check.differences.load() == 0 ? 0 : 1;
}
