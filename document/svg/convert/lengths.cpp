#include "document/svg/convert/lengths.h"

namespace document::svg {

std::optional<double> LengthAttribute(const Element& element, std::string_view name, LengthAxis axis,
                                      const Viewport& viewport, double fontSize) {
    const std::string_view text = element.Attribute(name);
    if (text.empty()) return std::nullopt;
    const std::optional<Length> length = ParseLength(text);
    if (!length) return std::nullopt;
    return ToUserUnits(*length, axis, viewport.width, viewport.height, fontSize);
}

double FontSizeOf(const Element& element) { return element.fontSize; }

}  // namespace document::svg
