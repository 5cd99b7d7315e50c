// Reads an SVG file (or .svgz) into the document model, as the host opens SVG artwork.
#pragma once

#include <string>
#include <string_view>

#include "document/document.h"
#include "document/svg/loss_report.h"
#include "document/svg/tree/tree.h"
#include "document/svg/values/matrix.h"

namespace document::svg {

struct ReadResult {
    Document document;
    LossReport losses;  // what the host's document could not hold
    // Maps the root viewport's coordinates (px, y down, the root <svg>'s width x height at the
    // origin, as a renderer draws the file) to the document's (points, y up). With it a picture
    // of the SVG can be drawn in the frame of the export.
    Matrix viewportToDocument;
    // The root viewport's size (px): the width and height a renderer gives the root <svg>.
    double viewportWidth = 0, viewportHeight = 0;
};

// `fileName` names the file in messages. Throws SvgError for a file that cannot be read.
ReadResult ReadSvg(std::string_view bytes, const std::string& fileName);
// The same, parsing the bytes where they stand (they are changed) rather than in a copy: a large
// file is held once. `bytes.readAgain` gives them as they were.
ReadResult ReadSvgInPlace(const WritableXml& bytes, const std::string& fileName);
ReadResult ReadSvgFile(const std::string& path);

}  // namespace document::svg
