// Fuzz target: the SVG value grammars on any text. Each grammar reads the whole input; the
// fuzzer's sanitisers catch undefined behaviour, and this target aborts when a grammar accepts
// something it must not hand on: a coordinate, matrix or number that is not finite, an error
// offset beyond the text, an alpha outside [0, 1], a view box without area.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "document/svg/values/color.h"
#include "document/svg/values/length.h"
#include "document/svg/values/path_data.h"
#include "document/svg/values/transform.h"
#include "document/svg/values/viewbox.h"

namespace {

using namespace document::svg;

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "grammar handed on a bad value: %s\n", what);
    std::abort();
}

bool Finite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

void CheckPath(const PathData& data, std::string_view text) {
    Require(!data.error || data.errorOffset <= text.size(), "error offset past the end");
    for (const Subpath& subpath : data.subpaths) {
        Require(Finite(subpath.start), "subpath start not finite");
        Require(!subpath.segments.empty() || subpath.closed, "empty open subpath");
        for (const PathSegmentData& segment : subpath.segments) {
            Require(Finite(segment.end) && Finite(segment.c1) && Finite(segment.c2), "segment not finite");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckPath(ParsePathData(text), text);
    CheckPath(ParsePoints(text, true), text);
    if (const auto m = ParseTransform(text)) {
        Require(std::isfinite(m->a) && std::isfinite(m->b) && std::isfinite(m->c) && std::isfinite(m->d) &&
                    std::isfinite(m->e) && std::isfinite(m->f),
                "transform not finite");
        if (m->Invertible()) {
            const Matrix inverse = m->Inverse();
            Require(std::isfinite(inverse.a) && std::isfinite(inverse.d), "inverse not finite");
        }
    }
    if (const auto number = ParseNumber(text)) Require(std::isfinite(*number), "number not finite");
    if (const auto length = ParseLength(text)) Require(std::isfinite(length->value), "length not finite");
    if (const auto list = ParseLengthList(text)) {
        for (const Length& length : *list) Require(std::isfinite(length.value), "list item not finite");
    }
    if (const auto paint = ParsePaint(text)) {
        Require(paint->color.rgb.alpha >= 0 && paint->color.rgb.alpha <= 1, "alpha out of range");
    }
    if (const auto box = ParseViewBox(text)) {
        Require(box->width > 0 && box->height > 0, "view box without area");
        const Matrix m = ViewBoxTransform(*box, ParsePreserveAspectRatio(text), 100, 100);
        (void)m;
    }
    return 0;
}
