#include "document/svg/tree/input.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

#include "document/svg/tree/errors.h"
#include "document/svg/tree/names.h"

namespace document::svg {
namespace {

bool IsGzip(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f &&
           static_cast<unsigned char>(bytes[1]) == 0x8b;
}

// Inflates every gzip member of `bytes` (concatenated members are one stream to gzip).
void Inflate(std::string_view bytes, const TreeOptions& options, std::string& out) {
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        ThrowSvgError(options.fileName, "cannot start the gzip decompressor");
    }
    struct End {
        z_stream* stream;
        ~End() { inflateEnd(stream); }
    } end{&stream};

    out.clear();
    size_t consumed = 0;
    constexpr size_t kChunk = 256 * 1024;
    for (;;) {
        const size_t input = std::min<size_t>(bytes.size() - consumed, UINT_MAX);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + consumed));
        stream.avail_in = static_cast<uInt>(input);
        if (out.size() >= options.maxInflatedBytes) {
            ThrowSvgError(options.fileName, "the compressed file inflates to more than " +
                                                std::to_string(options.maxInflatedBytes >> 20) +
                                                " MiB; it is refused as a likely zip bomb");
        }
        const size_t before = out.size();
        const size_t room = std::min(kChunk, options.maxInflatedBytes - before);
        out.resize(before + room);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + before);
        stream.avail_out = static_cast<uInt>(room);
        const int status = inflate(&stream, Z_NO_FLUSH);
        out.resize(before + room - stream.avail_out);
        consumed += input - stream.avail_in;
        if (status == Z_STREAM_END) {
            // Another member may follow; padding zeros after the last one are tolerated.
            const std::string_view rest = bytes.substr(consumed);
            if (rest.empty() || !IsGzip(rest)) return;
            inflateReset(&stream);
            continue;
        }
        if (status == Z_BUF_ERROR && consumed == bytes.size() && stream.avail_out != 0) {
            ThrowSvgError(options.fileName, "the compressed data is cut short");
        }
        if (status != Z_OK && status != Z_BUF_ERROR) {
            ThrowSvgError(options.fileName, std::string("the compressed data is corrupt (") +
                                                (stream.msg ? stream.msg : "gzip error") + ")");
        }
    }
}

bool HasUtf16ByteOrderMark(std::string_view text) {
    if (text.size() < 2) return false;
    const auto first = static_cast<unsigned char>(text[0]);
    const auto second = static_cast<unsigned char>(text[1]);
    return (first == 0xff && second == 0xfe) || (first == 0xfe && second == 0xff);
}

}  // namespace

std::string_view PrepareInput(std::string_view bytes, const TreeOptions& options,
                              std::string& inflated) {
    std::string_view text = bytes;
    if (IsGzip(bytes)) {
        Inflate(bytes, options, inflated);
        text = inflated;
    }
    if (TrimSpace(text).empty()) {
        ThrowSvgError(options.fileName, IsGzip(bytes) ? "the compressed file holds nothing"
                                                      : "the file is empty");
    }
    // XML text in UTF-8 (or any 8-bit encoding) never holds a NUL byte; UTF-16, which does,
    // starts with a byte order mark.
    if (!HasUtf16ByteOrderMark(text)) {
        if (const size_t nul = text.find('\0'); nul != std::string_view::npos) {
            ThrowSvgError(options.fileName, "this is not a text file (it has a NUL byte at offset " +
                                                std::to_string(nul) + "), so it is no SVG");
        }
    }
    return text;
}

}  // namespace document::svg
