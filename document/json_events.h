// The stream of values a JSON reader reports, in document order, without building a tree.
// Both readers (the portable one and the fast one) report through this interface, so that the
// document loader behind it is one and the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace document {

struct JsonNumber {
    enum Kind { kUnsigned, kSigned, kReal };
    Kind kind = kReal;
    double value = 0;      // every kind: the nearest double
    uint64_t unsignedValue = 0;  // kUnsigned
    int64_t signedValue = 0;     // kSigned (always negative: non-negative integers are kUnsigned)
    // "-0" is a real, so that its sign is kept.
};

// Offsets are byte offsets into the text being read.
class JsonEvents {
public:
    virtual ~JsonEvents() = default;
    virtual void StartObject(size_t offset) = 0;
    virtual void Key(std::string_view key) = 0;
    virtual void EndObject() = 0;
    virtual void StartArray(size_t offset) = 0;
    virtual void EndArray() = 0;
    virtual void Number(const JsonNumber& number) = 0;
    virtual void String(std::string_view text) = 0;
    virtual void Bool(bool value) = 0;
    virtual void Null() = 0;
    // Offers the text of an object about to be reported, at its '{' and followed by the reader's
    // padding: true when the events have read the whole object from it (and checked it is valid
    // JSON), which is then not reported. What they make of it must be what its reports would
    // make. Only the fast reader offers objects.
    virtual bool ReadObjectText(const char* text) {
        (void)text;
        return false;
    }
    // The same for an array.
    virtual bool ReadArrayText(const char* text) {
        (void)text;
        return false;
    }
    // Whether the fast reader may cut the arrays of art's "segments" members out of the text its
    // parser reads (json_segment_cuts.h). Each is then handed over whole through CutArray when
    // the walk reaches its place, its text unchecked, and is not reported.
    virtual bool CutsSegmentsArrays() const { return false; }
    // `text` runs from the array's '[' to its ']', followed by readable bytes (the document's
    // text, then the reader's padding); `roomToNest` tells whether the nesting limit leaves room
    // for the two levels of containers that segments take inside it. The events must read it
    // or throw.
    virtual void CutArray(std::string_view text, bool roomToNest) {
        (void)text;
        (void)roomToNest;
    }
    // The JSON path of the value being read, for messages about a value the reader refuses.
    virtual std::string CurrentPath() const = 0;
};

}  // namespace document
