// Reads an SVG file (or .svgz) into the document model, as the host opens SVG artwork.
#pragma once

#include <string>
#include <string_view>

#include "document/document.h"
#include "document/svg/loss_report.h"
#include "document/svg/tree/tree.h"

namespace document::svg {

struct ReadResult {
    Document document;
    LossReport losses;  // what the host's document could not hold
};

// `fileName` names the file in messages. Throws SvgError for a file that cannot be read.
ReadResult ReadSvg(std::string_view bytes, const std::string& fileName);
ReadResult ReadSvgFile(const std::string& path);

}  // namespace document::svg
