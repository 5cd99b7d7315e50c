// The memory of the document model: the heap bytes a loaded document holds against the bytes
// of the segments it holds. The benchmark's allocations are counted (global operator new and
// delete are replaced in quillmark_bench).
#pragma once

#include <string>
#include <vector>

namespace bench {

struct ModelFigures {
    std::string name;
    long long segments = 0;
    long long segmentBytes = 0;  // segments * sizeof(PathSegment)
    long long modelBytes = 0;    // heap bytes the loaded document holds, allocator overhead included
    long long allocations = 0;   // heap blocks the loaded document holds
};

// Loads (a), (b), (c) and documents of many tiny paths from their JSON text and measures each.
std::vector<ModelFigures> MeasureModels();

}  // namespace bench
