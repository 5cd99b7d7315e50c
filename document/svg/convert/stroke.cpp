#include "document/svg/convert/stroke.h"

#include <vector>

namespace document::svg {
namespace {

std::optional<double> LengthValue(std::string_view text, const Viewport& vp, double fontSize) {
    if (text.empty()) return std::nullopt;
    const std::optional<Length> length = ParseLength(text);
    if (!length) return std::nullopt;
    return ToUserUnits(*length, LengthAxis::kOther, vp.width, vp.height, fontSize);
}

}  // namespace

StrokeGeometry ResolveStroke(const Element& e, const Viewport& vp, double scale) {
    StrokeGeometry stroke;
    const double fontSize = FontSizeOf(e);
    const std::optional<double> width = LengthValue(e.Get(Property::kStrokeWidth), vp, fontSize);
    stroke.width = static_cast<HostReal>((width && *width >= 0 ? *width : 1.0) * scale);

    const std::string_view cap = e.Get(Property::kStrokeLinecap);
    if (cap == "round") stroke.cap = kRoundCap;
    else if (cap == "square") stroke.cap = kProjectingCap;

    const std::string_view join = e.Get(Property::kStrokeLinejoin);
    if (join == "round") stroke.join = kRoundJoin;
    else if (join == "bevel") stroke.join = kBevelJoin;
    else if (join == "miter-clip" || join == "arcs") stroke.roundedJoin = true;

    const std::optional<double> limit = ParseNumber(e.Get(Property::kStrokeMiterlimit));
    if (limit && *limit >= 1) stroke.miterLimit = static_cast<HostReal>(*limit);

    const std::string_view dashText = e.Get(Property::kStrokeDasharray);
    if (!dashText.empty() && dashText != "none") {
        const std::optional<std::vector<Length>> lengths = ParseLengthList(dashText);
        if (lengths && !lengths->empty()) {
            std::vector<double> dashes;
            double sum = 0;
            bool negative = false;
            for (const Length& length : *lengths) {
                const double value = ToUserUnits(length, LengthAxis::kOther, vp.width, vp.height, fontSize);
                negative = negative || value < 0;
                sum += value;
                dashes.push_back(value);
            }
            if (!negative && sum > 0) {
                if (dashes.size() % 2 == 1) dashes.insert(dashes.end(), dashes.begin(), dashes.end());
                if (dashes.size() > size_t(kMaxDashes)) {
                    stroke.dashesCut = true;
                    dashes.resize(kMaxDashes);
                }
                stroke.dashCount = static_cast<int16_t>(dashes.size());
                for (size_t i = 0; i < dashes.size(); ++i) stroke.dashes[i] = static_cast<HostReal>(dashes[i] * scale);
                const std::optional<double> offset = LengthValue(e.Get(Property::kStrokeDashoffset), vp, fontSize);
                stroke.dashOffset = static_cast<HostReal>(offset.value_or(0) * scale);
            }
        }
    }
    return stroke;
}

}  // namespace document::svg
