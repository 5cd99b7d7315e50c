// A writable copy of the text for a parser that works in place (it ends names and values with
// NUL bytes where they stand). A large copy asks for huge pages: new memory touched a page at a
// time costs a fault for every 4 KiB, which on virtual machines is dear.
#pragma once

#include <cstddef>
#include <memory>

#include "document/huge_page_memory.h"

namespace document::svg {

class ParseBuffer {
public:
    // Room for `size` bytes of text, to be written through Data(), and the NUL after them.
    explicit ParseBuffer(size_t size);

    // The text and a NUL byte after it. Handed to pugixml with the NUL counted: given a buffer
    // without one, it overwrites the last byte with its own end mark and reads what stood there
    // only as far as its end-of-document checks go, so a stray character there went unseen.
    char* Data() { return data_; }
    size_t SizeWithNul() const { return size_ + 1; }

private:
    char* data_ = nullptr;
    size_t size_ = 0;
    std::unique_ptr<HugePageMemory> large_;  // from 4 MiB on
    std::unique_ptr<char[]> small_;
};

}  // namespace document::svg
