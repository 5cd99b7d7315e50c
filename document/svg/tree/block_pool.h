// Append-only storage in blocks: what is added never moves, and a block holds many items, so
// the tree's elements and their attribute lists cost no allocation each.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <span>
#include <vector>

namespace document::svg {

// Items that never move once added, walked in the order they were added. Each is made in
// place when added, so a block costs one allocation and no construction of unused items.
template <class T, size_t kBlockItems = 128>
class BlockList {
public:
    BlockList() = default;
    BlockList(const BlockList&) = delete;
    BlockList& operator=(const BlockList&) = delete;
    ~BlockList() {
        for (size_t i = 0; i < size_; ++i) At(i).~T();
    }

    template <class... Args>
    T& emplace_back(Args&&... args) {
        // Not value-initialised: that would clear the whole block before each item is made.
        if (size_ % kBlockItems == 0) blocks_.push_back(std::unique_ptr<Block>(new Block));
        T* item = new (&blocks_.back()->items[size_ % kBlockItems].item) T(std::forward<Args>(args)...);
        ++size_;
        return *item;
    }
    size_t size() const { return size_; }

    template <class Item>
    class Iterator {
    public:
        Iterator(const BlockList* list, size_t index) : list_(list), index_(index) {}
        Item& operator*() const { return const_cast<BlockList*>(list_)->At(index_); }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return index_ != other.index_; }

    private:
        const BlockList* list_;
        size_t index_;
    };
    Iterator<T> begin() { return {this, 0}; }
    Iterator<T> end() { return {this, size_}; }
    Iterator<const T> begin() const { return {this, 0}; }
    Iterator<const T> end() const { return {this, size_}; }

private:
    struct Block {
        union Slot {
            Slot() {}
            ~Slot() {}
            T item;
        } items[kBlockItems];
    };
    T& At(size_t index) { return blocks_[index / kBlockItems]->items[index % kBlockItems].item; }

    std::vector<std::unique_ptr<Block>> blocks_;
    size_t size_ = 0;
};

// Runs of items handed out in one piece each; a run never moves.
template <class T, size_t kBlockItems = 1024>
class RunPool {
public:
    std::span<T> Take(size_t count) {
        if (count == 0) return {};
        if (count > kBlockItems / 4) {
            // A long run gets a block of its own, so the current block's room is kept.
            large_.push_back(std::make_unique<T[]>(count));
            return {large_.back().get(), count};
        }
        if (free_ < count) {
            blocks_.push_back(std::make_unique<T[]>(kBlockItems));
            next_ = blocks_.back().get();
            free_ = kBlockItems;
        }
        std::span<T> run(next_, count);
        next_ += count;
        free_ -= count;
        return run;
    }

private:
    std::vector<std::unique_ptr<T[]>> blocks_;
    std::vector<std::unique_ptr<T[]>> large_;
    T* next_ = nullptr;
    size_t free_ = 0;
};

}  // namespace document::svg
