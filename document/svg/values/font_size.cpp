#include "document/svg/values/font_size.h"

#include <cmath>

#include "document/svg/values/length.h"
#include "document/svg/values/scanner.h"

namespace document::svg {
namespace {

struct SizeKeyword {
    std::string_view name;
    double factor;  // of medium
};

// The CSS absolute-size table.
constexpr SizeKeyword kAbsoluteSizes[] = {
    {"xx-small", 3.0 / 5}, {"x-small", 3.0 / 4}, {"small", 8.0 / 9}, {"medium", 1},
    {"large", 6.0 / 5},    {"x-large", 3.0 / 2}, {"xx-large", 2},    {"xxx-large", 3},
};

constexpr double kRelativeStep = 1.2;

bool IsKeyword(std::string_view text, std::string_view lowerWord) {
    return text.size() == lowerWord.size() && scan::MatchesFolded(text, 0, lowerWord);
}

}  // namespace

std::optional<double> ComputeFontSize(std::string_view specified, double parentSize) {
    const std::string_view text = scan::Trim(specified);
    for (const SizeKeyword& keyword : kAbsoluteSizes) {
        if (IsKeyword(text, keyword.name)) return kMediumFontSize * keyword.factor;
    }
    if (IsKeyword(text, "larger")) return parentSize * kRelativeStep;
    if (IsKeyword(text, "smaller")) return parentSize / kRelativeStep;
    const std::optional<Length> length = ParseLength(text);
    if (!length || length->value < 0) return std::nullopt;
    double size = 0;
    if (length->unit == LengthUnit::kPercent) {
        size = length->value * parentSize / 100;
    } else {
        // em and ex refer to the parent's size here, not the element's own.
        size = ToUserUnits(*length, LengthAxis::kOther, 0, 0, parentSize);
    }
    if (!std::isfinite(size)) return std::nullopt;
    return size;
}

}  // namespace document::svg
