// The shell's helpers, linked straight from the plug-in library: length-prefixed text and
// the host-backed memory operations.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/records.h"

namespace {

TEST(LengthPrefixedText, EmptyTextIsASingleZeroByte) {
    char text[4] = {'\0', 'x', 'y', 'z'};
    EXPECT_EQ(ToLengthPrefixed(text), text);
    EXPECT_EQ(text[0], '\0');
    EXPECT_EQ(FromLengthPrefixed(text), text);
    EXPECT_STREQ(text, "");
}

TEST(LengthPrefixedText, LongestTextThatFitsRoundTrips) {
    std::string original(255, ' ');
    for (size_t i = 0; i < original.size(); ++i) original[i] = static_cast<char>('a' + i % 26);
    char text[257];
    std::memcpy(text, original.c_str(), original.size() + 1);

    ASSERT_EQ(ToLengthPrefixed(text), text);
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 255u);
    EXPECT_EQ(std::string(text + 1, 255), original);

    ASSERT_EQ(FromLengthPrefixed(text), text);
    EXPECT_EQ(std::string(text), original);
}

TEST(LengthPrefixedText, TooLongTextIsRefusedAndLeftAlone) {
    std::string original(256, 'q');
    original[0] = 'A';
    char text[258];
    std::memcpy(text, original.c_str(), original.size() + 1);
    EXPECT_EQ(ToLengthPrefixed(text), nullptr);
    EXPECT_EQ(std::string(text), original);
}

TEST(LengthPrefixedText, ConversionBackStopsAtTheLength) {
    // Bytes after the counted characters are not part of the text.
    char text[] = {3, 'a', 'b', 'c', 'd', 'e'};
    FromLengthPrefixed(text);
    EXPECT_STREQ(text, "abc");
}

// A basic suite whose allocations come from a small arena and can be refused.
struct ArenaHost {
    static inline bool refuse = false;
    static inline int allocations = 0;
    static inline int releases = 0;
    alignas(16) static inline char arena[256];

    static HostErr Allocate(size_t size, void** block) {
        if (refuse || size > sizeof arena) {
            *block = nullptr;
            return kOutOfMemoryErr;
        }
        ++allocations;
        *block = arena;
        return kNoErr;
    }
    static HostErr Free(void*) {
        ++releases;
        return kNoErr;
    }
    static constexpr BasicSuite suite{nullptr, nullptr, nullptr, Allocate, Free};
};

TEST(HostMemory, NothingIsAllocatedBeforeTheFirstMessage) {
    // Each test runs in a process of its own: no message has brought a basic suite yet.
    ASSERT_EQ(sBasicSuite, nullptr);
    EXPECT_EQ(HostAlloc(16), nullptr);
    HostFree(ArenaHost::arena);  // no suite to give it to: ignored
}

TEST(HostMemory, AllocationsGoToTheHostAndARefusalAnswersNull) {
    sBasicSuite = &ArenaHost::suite;
    ArenaHost::refuse = false;
    void* block = HostAlloc(32);
    EXPECT_EQ(block, ArenaHost::arena);
    HostFree(block);
    EXPECT_EQ(ArenaHost::allocations, 1);
    EXPECT_EQ(ArenaHost::releases, 1);

    ArenaHost::refuse = true;
    EXPECT_EQ(HostAlloc(32), nullptr);
    sBasicSuite = nullptr;
}

}  // namespace
