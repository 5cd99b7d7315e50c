// A drawing compared with its export: the SVG drawn by librsvg and the XAML drawn by the
// previewer, in the export's frame and at one size, pixel by pixel.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "compare/difference.h"
#include "compare/frame.h"
#include "compare/surface.h"
#include "preview/preview.h"

namespace compare {

struct CompareOptions {
    int size = 256;          // pixels of the picture's longer side
    int tolerance = 32;      // per channel, in 1/255 steps
    double threshold = 0.01; // the share of differing pixels still called a match
};

// A file that cannot be compared: unreadable, not SVG or not XAML the previewer reads, a
// drawing without area. The message names the file.
class CompareInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Comparison {
    DrawingFrame frame;              // the SVG's bounds, as the export computes them
    double xamlWidth = 0, xamlHeight = 0;
    std::vector<std::string> losses; // what the host's document could not hold, by kind
    SurfacePtr svgPicture;
    std::optional<preview::Picture> xamlPicture;
    Difference difference;

    // Whether the XAML's size is the drawing's bounds (else it is the export of another drawing).
    bool SizesAgree() const;
    bool Matches(const CompareOptions& options) const { return difference.Share() <= options.threshold; }
};

// Throws CompareInputError; PictureFailure when a picture cannot be made.
Comparison CompareDrawings(const std::string& svgPath, const std::string& xamlPath, const CompareOptions& options);

}  // namespace compare
