// The pixel difference of two pictures: which pixels differ by more than a tolerance.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace compare {

// Two pixels differ when any channel of the two composited over white (what a viewer shows)
// or their alpha (which tells white paint from none) differs by more than `tolerance`, in
// 1/255 steps.
bool PixelsDiffer(uint32_t premultipliedA, uint32_t premultipliedB, int tolerance);

struct Difference {
    int width = 0, height = 0;  // the larger of the two pictures' sides
    int64_t differing = 0;
    std::vector<uint8_t> marks;  // row by row, 1 where the pixels differ

    int64_t Pixels() const { return static_cast<int64_t>(width) * height; }
    double Share() const { return Pixels() > 0 ? static_cast<double>(differing) / static_cast<double>(Pixels()) : 0; }
    bool Differs(int x, int y) const { return marks[static_cast<size_t>(y) * width + x] != 0; }
};

// Compares two ARGB32 image surfaces pixel by pixel; where one is smaller, its missing pixels
// are transparent.
Difference ComparePictures(cairo_surface_t* a, cairo_surface_t* b, int tolerance);

}  // namespace compare
