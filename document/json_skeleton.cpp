#include "document/json_skeleton.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace document::json_skeleton {

namespace {

constexpr size_t kBlock = 64;

// Bit i of each mask stands for byte i of a block of 64.
struct BlockMasks {
    uint64_t quotes;
    uint64_t backslashes;
    uint64_t opens;   // '[' and '{'
    uint64_t closes;  // ']' and '}'
};

// '[' and '{' differ only in bit 5, as do ']' and '}': setting it compares each pair at once.
constexpr char kOpenWithBit5 = '{';
constexpr char kCloseWithBit5 = '}';

#if defined(__SSE2__)
uint64_t Matches(const __m128i (&chunks)[4], __m128i pattern) {
    uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) {
        const auto bits = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(chunks[i], pattern)));
        mask |= uint64_t(bits) << (16 * i);
    }
    return mask;
}

BlockMasks Classify(const char* block) {
    __m128i chunks[4];
    __m128i folded[4];
    const __m128i bit5 = _mm_set1_epi8(0x20);
    for (int i = 0; i < 4; ++i) {
        chunks[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
        folded[i] = _mm_or_si128(chunks[i], bit5);
    }
    return {Matches(chunks, _mm_set1_epi8('"')), Matches(chunks, _mm_set1_epi8('\\')),
            Matches(folded, _mm_set1_epi8(kOpenWithBit5)), Matches(folded, _mm_set1_epi8(kCloseWithBit5))};
}
#else
BlockMasks Classify(const char* block) {
    BlockMasks masks{};
    for (size_t i = 0; i < kBlock; ++i) {
        const uint64_t bit = uint64_t(1) << i;
        const char c = block[i];
        if (c == '"') masks.quotes |= bit;
        if (c == '\\') masks.backslashes |= bit;
        if ((c | 0x20) == kOpenWithBit5) masks.opens |= bit;
        if ((c | 0x20) == kCloseWithBit5) masks.closes |= bit;
    }
    return masks;
}
#endif

// Bit i is set when bits 0 to i of `x` hold an odd number of ones: for quotes, the bytes of a
// string from its opening quote up to (not including) its closing one.
uint64_t PrefixXor(uint64_t x) {
    for (int shift = 1; shift < 64; shift *= 2) x ^= x << shift;
    return x;
}

struct ScanState {
    size_t depth = 0;
    bool inString = false;
    bool escape = false;  // the last byte was a backslash inside a string
};

// Byte by byte, for blocks with backslashes. Returns true, with `end`, when the container closes.
bool ScanBytes(const char* text, size_t from, size_t to, ScanState& state, size_t& end) {
    for (size_t i = from; i < to; ++i) {
        const char c = text[i];
        if (state.inString) {
            if (state.escape) {
                state.escape = false;
            } else if (c == '\\') {
                state.escape = true;
            } else if (c == '"') {
                state.inString = false;
            }
        } else if (c == '"') {
            state.inString = true;
        } else if ((c | 0x20) == kOpenWithBit5) {
            ++state.depth;
        } else if ((c | 0x20) == kCloseWithBit5 && --state.depth == 0) {
            end = i + 1;
            return true;
        }
    }
    return false;
}

ValueExtent Closed(size_t start, size_t end, size_t limit) {
    if (end - start > limit) return {Extent::kLarge};
    return {Extent::kEnds, end};
}

ValueExtent FindContainerEnd(std::string_view text, size_t start, size_t limit) {
    const char* data = text.data();
    ScanState state;
    for (size_t position = start; position < text.size(); position += kBlock) {
        if (position - start >= limit) return {Extent::kLarge};
        const size_t count = std::min(kBlock, text.size() - position);
        const uint64_t valid = count == kBlock ? ~uint64_t(0) : (uint64_t(1) << count) - 1;
        const BlockMasks masks = Classify(data + position);
        if (state.escape || (masks.backslashes & valid) != 0) {
            size_t end = 0;
            if (ScanBytes(data, position, position + count, state, end)) return Closed(start, end, limit);
            continue;
        }
        // Without backslashes every quote opens or closes a string.
        const uint64_t inside = PrefixXor(masks.quotes & valid) ^ (state.inString ? ~uint64_t(0) : 0);
        state.inString = (inside >> 63) != 0;
        const uint64_t closes = masks.closes & valid & ~inside;
        // Bracket by bracket (a few to a block): counting them with popcount would call a
        // library function on processors this build does not assume.
        for (uint64_t brackets = (masks.opens & valid & ~inside) | closes; brackets != 0; brackets &= brackets - 1) {
            const int bit = std::countr_zero(brackets);
            state.depth = state.depth + 1 - 2 * size_t((closes >> bit) & 1);
            if (state.depth == 0) return Closed(start, position + size_t(bit) + 1, limit);
        }
    }
    return {Extent::kInvalid};
}

bool EndsScalar(char c) {
    return c == ',' || c == ']' || c == '}' || IsWhitespace(c);
}

bool StartsScalar(char c) {
    return c == '-' || (c >= '0' && c <= '9') || c == 't' || c == 'f' || c == 'n';
}

}  // namespace

size_t FindStringEnd(std::string_view text, size_t start, bool& escaped) {
    escaped = false;
    for (size_t i = start + 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            escaped = true;
            ++i;
        } else if (text[i] == '"') {
            return i + 1;
        }
    }
    return text.size() + 1;
}

ValueExtent FindValueEnd(std::string_view text, size_t start, size_t limit) {
    if (start >= text.size()) return {Extent::kInvalid};
    const char first = text[start];
    if (first == '[' || first == '{') return FindContainerEnd(text, start, limit);
    if (first == '"') {
        bool escaped = false;
        const size_t end = FindStringEnd(text, start, escaped);
        if (end > text.size()) return {Extent::kInvalid};
        return {Extent::kEnds, end};
    }
    if (!StartsScalar(first)) return {Extent::kInvalid};
    size_t end = start + 1;
    while (end < text.size() && !EndsScalar(text[end])) ++end;
    return {Extent::kEnds, end};
}

}  // namespace document::json_skeleton
