#include "document/svg/values/length.h"

#include <cmath>

#include "document/svg/values/scanner.h"

namespace document::svg {

namespace {

struct UnitName {
    std::string_view name;
    LengthUnit unit;
};

constexpr UnitName kUnits[] = {
    {"px", LengthUnit::kPx}, {"pt", LengthUnit::kPt}, {"pc", LengthUnit::kPc},
    {"mm", LengthUnit::kMm}, {"cm", LengthUnit::kCm}, {"in", LengthUnit::kIn},
    {"em", LengthUnit::kEm}, {"ex", LengthUnit::kEx}, {"%", LengthUnit::kPercent},
};

// A length at `pos`: a number and, right after it, an optional unit (any ASCII case, as CSS
// allows). A unit must not run on into further letters ("1pxx" is not a length).
bool ScanLength(std::string_view text, size_t& pos, Length& length) {
    size_t i = pos;
    double value = 0;
    if (!scan::ScanNumber(text, i, value)) return false;
    LengthUnit unit = LengthUnit::kNone;
    for (const UnitName& candidate : kUnits) {
        if (scan::MatchesFolded(text, i, candidate.name)) {
            unit = candidate.unit;
            i += candidate.name.size();
            break;
        }
    }
    if (i < text.size()) {
        const char next = scan::ToLower(text[i]);
        if ((next >= 'a' && next <= 'z') || next == '%' || next == '.' || scan::IsDigit(next)) return false;
    }
    length = {value, unit};
    pos = i;
    return true;
}

// Items separated by white space and/or one comma; no leading, trailing or doubled comma, and
// no item run on into the next ("1-2" is not a list here, unlike in path data).
template <typename Item, typename ScanItem>
std::optional<std::vector<Item>> ParseList(std::string_view text, ScanItem scanItem) {
    std::vector<Item> items;
    size_t pos = 0;
    scan::SkipSpace(text, pos);
    while (pos < text.size()) {
        Item item{};
        if (!scanItem(text, pos, item)) return std::nullopt;
        items.push_back(item);
        const size_t afterItem = pos;
        scan::SkipCommaSpace(text, pos);
        if (pos == text.size()) {
            // A comma after the last item is not allowed.
            if (text.substr(afterItem).find(',') != std::string_view::npos) return std::nullopt;
            break;
        }
        if (pos == afterItem) return std::nullopt;  // e.g. "1px2px" has no separator
    }
    return items;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
    const std::string_view trimmed = scan::Trim(text);
    size_t pos = 0;
    double value = 0;
    if (!scan::ScanNumber(trimmed, pos, value) || pos != trimmed.size()) return std::nullopt;
    return value;
}

std::optional<Length> ParseLength(std::string_view text) {
    const std::string_view trimmed = scan::Trim(text);
    size_t pos = 0;
    Length length;
    if (!ScanLength(trimmed, pos, length) || pos != trimmed.size()) return std::nullopt;
    return length;
}

std::optional<std::vector<double>> ParseNumberList(std::string_view text) {
    return ParseList<double>(text, scan::ScanNumber);
}

std::optional<std::vector<Length>> ParseLengthList(std::string_view text) {
    return ParseList<Length>(text, ScanLength);
}

double ToUserUnits(Length length, LengthAxis axis, double viewportWidth, double viewportHeight,
                   double fontSize) {
    const double v = length.value;
    switch (length.unit) {
        case LengthUnit::kNone:
        case LengthUnit::kPx: return v;
        case LengthUnit::kPt: return v * 96.0 / 72.0;
        case LengthUnit::kPc: return v * 16.0;  // 12 points
        case LengthUnit::kMm: return v * 96.0 / 25.4;
        case LengthUnit::kCm: return v * 96.0 / 2.54;
        case LengthUnit::kIn: return v * 96.0;
        case LengthUnit::kEm: return v * fontSize;
        case LengthUnit::kEx: return v * fontSize / 2.0;
        case LengthUnit::kPercent:
            switch (axis) {
                case LengthAxis::kX: return v * viewportWidth / 100.0;
                case LengthAxis::kY: return v * viewportHeight / 100.0;
                case LengthAxis::kOther:
                    return v * std::sqrt((viewportWidth * viewportWidth + viewportHeight * viewportHeight) / 2.0) / 100.0;
            }
    }
    return v;
}

}  // namespace document::svg
