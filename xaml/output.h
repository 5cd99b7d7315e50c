// The output stream of one export: the open file and a buffer of our own that is handed to
// it in large blocks. Text goes out in the order it is produced; a failed write is
// remembered so the export can report it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "host/host_types.h"
#include "xaml/number_format.h"

constexpr size_t kOutputBufferSize = 256 * 1024;

struct XamlOutput {
    FILE* file;
    bool failed;  // a write to the file failed
    size_t used;
    char buffer[kOutputBufferSize];
};

void InitOutput(XamlOutput* out, FILE* file);
// Hands the buffered text to the file and flushes it; answers false if any write failed.
bool FlushOutput(XamlOutput* out);
// Hands the buffered text to the file when it cannot take `needed` more bytes.
void MakeRoom(XamlOutput* out, size_t needed);

inline void WriteBytes(XamlOutput* out, const char* text, size_t length) {
    if (length > kOutputBufferSize - out->used) {
        MakeRoom(out, length);
        if (length > kOutputBufferSize) {
            if (std::fwrite(text, 1, length, out->file) != length) out->failed = true;
            return;
        }
    }
    std::memcpy(out->buffer + out->used, text, length);
    out->used += length;
}

// Writes a literal text; the length is known at compile time.
template <size_t N>
inline void WriteText(XamlOutput* out, const char (&text)[N]) {
    WriteBytes(out, text, N - 1);
}

inline void WriteString(XamlOutput* out, const char* text) {
    WriteBytes(out, text, std::strlen(text));
}

// Writes a number as "%f" does.
inline void WriteNumber(XamlOutput* out, double value) {
    if (kOutputBufferSize - out->used < kFixed6MaxLength) MakeRoom(out, kFixed6MaxLength);
    out->used += FormatFixed6(value, out->buffer + out->used);
}

// Writes "x,y", with one check for room for both numbers.
inline void WritePoint(XamlOutput* out, HostReal x, HostReal y) {
    constexpr size_t kLongest = 2 * kFixed6MaxLength + 1;
    if (kOutputBufferSize - out->used < kLongest) MakeRoom(out, kLongest);
    char* text = out->buffer + out->used;
    text += FormatFixed6(x, text);
    *text++ = ',';
    text += FormatFixed6(y, text);
    out->used = static_cast<size_t>(text - out->buffer);
}
