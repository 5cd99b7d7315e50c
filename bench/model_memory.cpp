#include "model_memory.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "document/json_loader.h"
#include "document/json_writer.h"
#include "synthetic_documents.h"

namespace {

std::atomic<long long> liveBytes{0};
std::atomic<long long> liveBlocks{0};
// Blocks are counted only while a model is measured: the count costs every allocation an
// atomic update and a size query, which would slow the timed benchmarks' own allocations.
// A measurement reads the difference across its window, which counts what the window
// allocated and did not free, less what it freed of earlier blocks, as if counting never
// stopped.
std::atomic<bool> counting{false};

// What the allocator holds for a block: its usable size and the size word before it.
long long HeldBytes(void* block) {
    return static_cast<long long>(malloc_usable_size(block) + sizeof(size_t));
}

void* Allocate(size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    if (counting.load(std::memory_order_relaxed)) {
        liveBytes.fetch_add(HeldBytes(block), std::memory_order_relaxed);
        liveBlocks.fetch_add(1, std::memory_order_relaxed);
    }
    return block;
}

void Release(void* block) {
    if (block == nullptr) return;
    if (counting.load(std::memory_order_relaxed)) {
        liveBytes.fetch_sub(HeldBytes(block), std::memory_order_relaxed);
        liveBlocks.fetch_sub(1, std::memory_order_relaxed);
    }
    std::free(block);
}

}  // namespace

void* operator new(size_t size) {
    return Allocate(size);
}
void* operator new[](size_t size) {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    Release(block);
}
void operator delete[](void* block) noexcept {
    Release(block);
}
void operator delete(void* block, size_t) noexcept {
    Release(block);
}
void operator delete[](void* block, size_t) noexcept {
    Release(block);
}

namespace bench {

namespace {

long long CountSegments(const document::Art& art) {
    long long count = static_cast<long long>(art.segments.size());
    for (const auto& child : art.children) count += CountSegments(*child);
    if (art.result) count += CountSegments(*art.result);
    return count;
}

ModelFigures Measure(const std::string& name, const document::Document& built) {
    const std::string json = document::DocumentToJson(built);
    ModelFigures figures;
    figures.name = name;
    counting.store(true);
    const long long bytesBefore = liveBytes.load();
    const long long blocksBefore = liveBlocks.load();
    {
        const document::Document loaded = document::LoadDocument(json);
        figures.modelBytes = liveBytes.load() - bytesBefore;
        figures.allocations = liveBlocks.load() - blocksBefore;
        counting.store(false);
        for (const auto& layer : loaded.layers) figures.segments += CountSegments(*layer);
    }
    figures.segmentBytes = figures.segments * static_cast<long long>(sizeof(PathSegment));
    return figures;
}

}  // namespace

std::vector<ModelFigures> MeasureModels() {
    std::vector<ModelFigures> figures;
    figures.push_back(Measure("a_curves_16191x100", CurvedPaths(16191, 100)));
    figures.push_back(Measure("b_one_path_32767", CurvedPaths(1, 32767)));
    figures.push_back(Measure("c_gradients_2000", GradientDashedPaths(2000, 10, 8)));
    figures.push_back(Measure("paths_of_10_segments_x10000", CurvedPaths(10000, 10)));
    figures.push_back(Measure("paths_of_1_segment_x10000", CurvedPaths(10000, 1)));
    return figures;
}

}  // namespace bench
