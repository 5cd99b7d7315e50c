#include "document/svg/values/viewbox.h"

#include <algorithm>

#include "document/svg/values/scanner.h"

namespace document::svg {

std::optional<ViewBox> ParseViewBox(std::string_view text) {
    double values[4] = {};
    size_t pos = 0;
    scan::SkipSpace(text, pos);
    for (int i = 0; i < 4; ++i) {
        if (i > 0) scan::SkipCommaSpace(text, pos);
        if (!scan::ScanNumber(text, pos, values[i])) return std::nullopt;
    }
    scan::SkipSpace(text, pos);
    if (pos != text.size()) return std::nullopt;
    if (!(values[2] > 0) || !(values[3] > 0)) return std::nullopt;
    return ViewBox{values[0], values[1], values[2], values[3]};
}

PreserveAspectRatio ParsePreserveAspectRatio(std::string_view text) {
    const PreserveAspectRatio fallback;
    size_t pos = 0;
    auto word = [&]() {
        scan::SkipSpace(text, pos);
        const size_t begin = pos;
        while (pos < text.size() && !scan::IsSpace(text[pos])) ++pos;
        return text.substr(begin, pos - begin);
    };
    std::string_view align = word();
    // "defer" matters only for images that bring a ratio of their own.
    if (align == "defer") align = word();
    PreserveAspectRatio result;
    if (align == "none") {
        result.x = result.y = PreserveAspectRatio::kNone;
    } else {
        if (align.size() != 8 || align[0] != 'x' || align[4] != 'Y') return fallback;
        auto axis = [](std::string_view name, PreserveAspectRatio::Align& out) {
            if (name == "Min") out = PreserveAspectRatio::kMin;
            else if (name == "Mid") out = PreserveAspectRatio::kMid;
            else if (name == "Max") out = PreserveAspectRatio::kMax;
            else return false;
            return true;
        };
        if (!axis(align.substr(1, 3), result.x) || !axis(align.substr(5, 3), result.y)) return fallback;
    }
    const std::string_view mode = word();
    if (mode == "slice") result.slice = true;
    else if (!mode.empty() && mode != "meet") return fallback;
    if (!word().empty()) return fallback;
    return result;
}

Matrix ViewBoxTransform(const ViewBox& box, const PreserveAspectRatio& aspect, double width, double height) {
    // A box without area maps nothing anywhere; leave the identity rather than divide by zero.
    if (!(box.width > 0) || !(box.height > 0)) return {};
    double scaleX = width / box.width;
    double scaleY = height / box.height;
    const bool uniform = aspect.x != PreserveAspectRatio::kNone && aspect.y != PreserveAspectRatio::kNone;
    if (uniform) scaleX = scaleY = aspect.slice ? std::max(scaleX, scaleY) : std::min(scaleX, scaleY);
    double translateX = -box.x * scaleX;
    double translateY = -box.y * scaleY;
    if (uniform) {
        const double spareX = width - box.width * scaleX;
        const double spareY = height - box.height * scaleY;
        if (aspect.x == PreserveAspectRatio::kMid) translateX += spareX / 2;
        if (aspect.x == PreserveAspectRatio::kMax) translateX += spareX;
        if (aspect.y == PreserveAspectRatio::kMid) translateY += spareY / 2;
        if (aspect.y == PreserveAspectRatio::kMax) translateY += spareY;
    }
    return {scaleX, 0, 0, scaleY, translateX, translateY};
}

}  // namespace document::svg
