// A file's bytes in memory: read into memory of their own (large files into memory that asks
// for huge pages, where the platform has them).
// Some bytes past the end are readable (zero), as the fast JSON reader needs.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "document/huge_page_memory.h"

namespace document {

class TextFile {
public:
    // Throws DocumentError ("cannot open the file", "cannot read the file").
    explicit TextFile(const std::string& path);
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    std::string_view Text() const { return {data_, size_}; }
    // Readable zero bytes after the text.
    size_t Padding() const { return padding_; }

private:
    // Reads the descriptor to its end into `read_`; `expected` is the size fstat gave.
    void ReadWhole(int fd, size_t expected);
    // Reads the `expected` bytes fstat gave (fewer if the file is shorter by now) into `large_`.
    void ReadLarge(int fd, size_t expected);

    const char* data_ = nullptr;
    size_t size_ = 0;
    size_t padding_ = 0;
    std::unique_ptr<HugePageMemory> large_;  // from 4 MiB on
    std::unique_ptr<char[]> read_;
    std::string copy_;
};

}  // namespace document
