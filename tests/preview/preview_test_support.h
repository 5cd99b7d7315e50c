// Helpers of the previewer's tests: a XAML body drawn inside a Canvas of a given size, and
// the channels of a picture's pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "preview/preview.h"

namespace preview_test {

constexpr char kWpf[] = "http://schemas.microsoft.com/winfx/2006/xaml/presentation";

inline std::string InCanvas(const std::string& body, int width = 100, int height = 100) {
    return std::string("<Canvas xmlns=\"") + kWpf + "\" Width=\"" + std::to_string(width) + "\" Height=\"" +
           std::to_string(height) + "\">" + body + "</Canvas>";
}

inline preview::Picture DrawText(const std::string& xaml, double scale = 1) {
    const preview::Scene scene = preview::ReadXaml(xaml, "test.xaml");
    preview::DrawOptions options;
    options.scale = scale;
    return preview::Draw(scene, options);
}

inline preview::Picture DrawBody(const std::string& body, int width = 100, int height = 100) {
    return DrawText(InCanvas(body, width, height));
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline int Alpha(uint32_t pixel) { return int(pixel >> 24); }
inline int Red(uint32_t pixel) { return int(pixel >> 16 & 0xff); }
inline int Green(uint32_t pixel) { return int(pixel >> 8 & 0xff); }
inline int Blue(uint32_t pixel) { return int(pixel & 0xff); }

// Whether two unpremultiplied pixels differ by at most `tolerance` in every channel (colour
// channels of nearly transparent pixels are not compared).
inline bool Near(uint32_t a, uint32_t b, int tolerance = 3) {
    if (std::abs(Alpha(a) - Alpha(b)) > tolerance) return false;
    if (Alpha(a) < 16 && Alpha(b) < 16) return true;
    return std::abs(Red(a) - Red(b)) <= tolerance && std::abs(Green(a) - Green(b)) <= tolerance &&
           std::abs(Blue(a) - Blue(b)) <= tolerance;
}

inline std::string Hex(uint32_t pixel) {
    char text[16];
    std::snprintf(text, sizeof text, "#%08x", pixel);
    return text;
}

#define EXPECT_PIXEL(picture, x, y, expected)                                                      \
    EXPECT_PRED3([](uint32_t a, uint32_t b, int t) { return ::preview_test::Near(a, b, t); },      \
                 (picture).PixelAt((x), (y)), uint32_t(expected), 3)                                \
        << "pixel (" << (x) << "," << (y) << ") is " << ::preview_test::Hex((picture).PixelAt((x), (y)))

}  // namespace preview_test
