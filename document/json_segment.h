// Segments, the objects that make up nearly all of a large document
// ({"anchor": [x, y], "in": [x, y], "out": [x, y], "corner": false}), read from their text in
// one pass rather than member by member through the parser's walk and the loader's events.
// Only the plain form is read here: each of the four keys at most once and without escapes,
// points of short decimals or integers (json_point.h) that round to finite 32-bit reals, and
// a literal true or false. Anything else is left to the parser and the loader, which read it
// as before and say what is wrong with it.
#pragma once

#include <cstring>
#include <vector>

#include "document/host_real_range.h"
#include "document/json_point.h"
#include "host/host_types.h"

namespace document::json_segment {

// Reads a point's text into `point`; one past its bracket, or nullptr.
inline const char* ReadRealPoint(const char* text, RealPoint& point) {
    if (*text != '[') return nullptr;
    double x = 0, y = 0;
    const char* end = json_point::ReadPoint<true>(text, x, y);
    if (end == nullptr || !RoundsToFiniteReal(x) || !RoundsToFiniteReal(y)) return nullptr;
    point = RealPoint{static_cast<HostReal>(x), static_cast<HostReal>(y)};
    return end;
}

// Reads `true` or `false`; what follows is the caller's to check.
inline const char* ReadLiteralBool(const char* text, bool& value) {
    if (std::memcmp(text, "true", 4) == 0) {
        value = true;
        return text + 4;
    }
    if (std::memcmp(text, "false", 5) == 0) {
        value = false;
        return text + 5;
    }
    return nullptr;
}

// Reads the segment object at `text` (its '{'); the text must be followed by padding, as the
// fast reader's is (keys and literals are compared a few bytes at a time). Returns one past
// its '}', or nullptr, `segment` left as it was, for anything but the plain form.
inline const char* ReadSegment(const char* text, PathSegment& segment) {
    using json_point::SkipSpace;
    enum : unsigned { kAnchor = 1, kIn = 2, kOut = 4, kCorner = 8 };
    unsigned seen = 0;
    RealPoint anchor{}, in{}, out{};
    bool corner = true;
    const char* p = SkipSpace(text + 1);
    while (true) {
        if (*p != '"') return nullptr;
        ++p;
        unsigned key = 0;
        if (std::memcmp(p, "anchor\"", 7) == 0) {
            key = kAnchor;
            p += 7;
        } else if (std::memcmp(p, "in\"", 3) == 0) {
            key = kIn;
            p += 3;
        } else if (std::memcmp(p, "out\"", 4) == 0) {
            key = kOut;
            p += 4;
        } else if (std::memcmp(p, "corner\"", 7) == 0) {
            key = kCorner;
            p += 7;
        } else {
            return nullptr;
        }
        if ((seen & key) != 0) return nullptr;  // which of two values counts is the loader's to say
        seen |= key;
        p = SkipSpace(p);
        if (*p != ':') return nullptr;
        p = SkipSpace(p + 1);
        switch (key) {
            case kAnchor: p = ReadRealPoint(p, anchor); break;
            case kIn: p = ReadRealPoint(p, in); break;
            case kOut: p = ReadRealPoint(p, out); break;
            default: p = ReadLiteralBool(p, corner); break;
        }
        if (p == nullptr) return nullptr;
        p = SkipSpace(p);
        if (*p == '}') break;
        if (*p != ',') return nullptr;
        p = SkipSpace(p + 1);
    }
    if ((seen & kAnchor) == 0) return nullptr;
    segment.p = anchor;
    segment.in = (seen & kIn) != 0 ? in : anchor;
    segment.out = (seen & kOut) != 0 ? out : anchor;
    segment.corner = corner ? 1 : 0;
    return p + 1;
}

// Reads the array of segments at `text` (its '['), each an object in the plain form or a
// point `[x, y]` (a corner), into `segments`, which it empties first: at most `maxCount`.
// Returns one past its ']', or nullptr for anything else (a segment of another form, more
// segments), having read some of them then.
inline const char* ReadSegments(const char* text, size_t maxCount, std::vector<PathSegment>& segments) {
    using json_point::SkipSpace;
    segments.clear();
    const char* p = SkipSpace(text + 1);
    if (*p == ']') return p + 1;
    while (true) {
        if (segments.size() == maxCount) return nullptr;
        PathSegment segment;
        if (*p == '{') {
            p = ReadSegment(p, segment);
        } else {
            p = ReadRealPoint(p, segment.p);
            segment.in = segment.out = segment.p;
            segment.corner = 1;
        }
        if (p == nullptr) return nullptr;
        segments.push_back(segment);
        p = SkipSpace(p);
        if (*p == ']') return p + 1;
        if (*p != ',') return nullptr;
        p = SkipSpace(p + 1);
    }
}

}  // namespace document::json_segment
