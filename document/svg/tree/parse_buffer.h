// A writable copy of the text for a parser that works in place (it ends names and values with
// NUL bytes where they stand). A large copy asks for huge pages: new memory touched a page at a
// time costs a fault for every 4 KiB, which on virtual machines is dear.
#pragma once

#include <cstddef>
#include <string_view>

namespace document::svg {

class ParseBuffer {
public:
    explicit ParseBuffer(std::string_view text);
    ~ParseBuffer();
    ParseBuffer(const ParseBuffer&) = delete;
    ParseBuffer& operator=(const ParseBuffer&) = delete;

    char* Data() { return data_; }
    size_t Size() const { return size_; }

private:
    char* data_ = nullptr;
    size_t size_ = 0;
    bool mapped_ = false;
};

}  // namespace document::svg
