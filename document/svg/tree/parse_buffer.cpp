#include "document/svg/tree/parse_buffer.h"

namespace document::svg {
namespace {

// Below this the allocator's own heap, reused from file to file in a batch, is cheaper.
constexpr size_t kHugePagesFrom = size_t(4) << 20;

}  // namespace

ParseBuffer::ParseBuffer(size_t size) : size_(size) {
    if (size_ >= kHugePagesFrom) {
        large_ = std::make_unique<HugePageMemory>(size_ + 1);
        data_ = large_->Data();
    } else {
        small_ = std::make_unique_for_overwrite<char[]>(size_ + 1);
        data_ = small_.get();
    }
    data_[size_] = '\0';
}

}  // namespace document::svg
