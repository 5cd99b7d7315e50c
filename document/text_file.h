// A file's bytes in memory: read into memory of their own (large files into memory that asks
// for huge pages, where the platform has them).
// Some bytes past the end are readable (zero), as the fast JSON reader needs.
#pragma once

#include <cstddef>
#include <cstdint>
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
    // The same bytes, to be written into (by a parser that works in place).
    char* WritableText() { return data_; }
    // Readable zero bytes after the text.
    size_t Padding() const { return padding_; }

private:
    // Reads the descriptor to its end into `read_`; `expected` is the size fstat gave.
    void ReadWhole(int fd, size_t expected);
    // Reads the `expected` bytes fstat gave (fewer if the file is shorter by now) into `large_`.
    void ReadLarge(int fd, size_t expected);

    char* data_ = nullptr;
    size_t size_ = 0;
    size_t padding_ = 0;
    std::unique_ptr<HugePageMemory> large_;  // from 4 MiB on
    std::unique_ptr<char[]> read_;
    std::string copy_;
};

// A regular file read a chunk at a time into one buffer that is used again and again: a window
// over the file's text that moves forward as the text is read, so that a large file is never
// held whole (no fresh memory to clear for it). Pipes and devices cannot be read twice, nor
// can any file on Windows: there Regular() is false and nothing is read.
class FileWindow {
public:
    // Readable zero bytes after the text in the window.
    static constexpr size_t kPadding = 64;

    // `capacity` is the most bytes the window holds (fewer for a smaller file: its size when
    // opened and one byte more); `chunk` the most one read adds to it.
    // Throws DocumentError ("cannot open the file", "cannot read the file").
    FileWindow(const std::string& path, size_t capacity, size_t chunk);
    ~FileWindow();
    FileWindow(const FileWindow&) = delete;
    FileWindow& operator=(const FileWindow&) = delete;

    bool Regular() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    size_t Capacity() const { return capacity_; }
    size_t Chunk() const { return chunk_; }
    // The size the file had when opened; it may change while it is read.
    size_t SizeWhenOpened() const { return sizeWhenOpened_; }

    // The bytes of the file from offset Base() on that the window holds, followed by kPadding
    // zero bytes.
    std::string_view View() const { return {buffer_.get(), filled_}; }
    // The same bytes, to be written into (by a parser that works in place).
    char* WritableView() { return buffer_.get(); }
    size_t Base() const { return base_; }
    size_t End() const { return base_ + filled_; }
    // Whether the file has been read to its end: View() reaches it.
    bool Complete() const { return complete_; }

    // Forgets the bytes before offset `keepFrom` (at least Base(), at most End()) and reads one
    // more chunk (at most `most` bytes). False when nothing more was read: the file has ended
    // (Complete()), or the window is full from `keepFrom` on. Throws DocumentError ("cannot
    // read the file").
    bool Extend(size_t keepFrom, size_t most = SIZE_MAX);

private:
    std::string path_;
    int fd_ = -1;
    size_t sizeWhenOpened_ = 0;
    size_t capacity_;
    size_t chunk_;
    std::unique_ptr<char[]> buffer_;  // capacity_ + kPadding bytes
    size_t base_ = 0;
    size_t filled_ = 0;
    bool complete_ = false;
};

}  // namespace document
