// A file's bytes in memory: large files mapped where the platform maps files, without a copy;
// small ones, pipes and devices read.
// Some bytes past the end are readable (zero), as the fast JSON reader needs.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

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

    const char* data_ = nullptr;
    size_t size_ = 0;
    size_t padding_ = 0;
    size_t mappedSize_ = 0;  // 0 when the bytes are in `read_` or `copy_`
    std::unique_ptr<char[]> read_;
    std::string copy_;
};

}  // namespace document
