#include "document/svg/values/transform.h"

#include <cmath>

#include "document/svg/values/scanner.h"

namespace document::svg {

namespace {

struct TransformKind {
    std::string_view name;
    int minArguments, maxArguments;
};

// Arguments of "name ( n , n ... )" at `pos`, which must be the name's first character.
// Numbers may be separated by white space and/or a comma, or by nothing where the next number
// begins with a sign or a point ("translate(1-2)"), as path data allows.
int ScanArguments(std::string_view text, size_t& pos, double (&args)[6]) {
    scan::SkipSpace(text, pos);
    if (pos >= text.size() || text[pos] != '(') return -1;
    ++pos;
    scan::SkipSpace(text, pos);
    int count = 0;
    while (pos < text.size() && text[pos] != ')') {
        if (count == 6) return -1;
        if (count > 0) scan::SkipCommaSpace(text, pos);
        if (!scan::ScanNumber(text, pos, args[count])) return -1;
        ++count;
        scan::SkipSpace(text, pos);
    }
    if (pos >= text.size()) return -1;
    ++pos;  // ')'
    return count;
}

}  // namespace

std::optional<Matrix> ParseTransform(std::string_view text) {
    static constexpr TransformKind kKinds[] = {
        {"matrix", 6, 6}, {"translate", 1, 2}, {"scale", 1, 2},
        {"rotate", 1, 3}, {"skewX", 1, 1},     {"skewY", 1, 1},
    };
    Matrix result;
    size_t pos = 0;
    scan::SkipSpace(text, pos);
    while (pos < text.size()) {
        const TransformKind* kind = nullptr;
        for (const TransformKind& candidate : kKinds) {
            if (text.substr(pos, candidate.name.size()) == candidate.name) {
                kind = &candidate;
                break;
            }
        }
        if (kind == nullptr) return std::nullopt;
        pos += kind->name.size();
        double args[6] = {};
        const int count = ScanArguments(text, pos, args);
        if (count < kind->minArguments || count > kind->maxArguments) return std::nullopt;
        Matrix step;
        const std::string_view name = kind->name;
        if (name == "matrix") {
            step = {args[0], args[1], args[2], args[3], args[4], args[5]};
        } else if (name == "translate") {
            step = Matrix::Translate(args[0], count == 2 ? args[1] : 0);
        } else if (name == "scale") {
            step = Matrix::Scale(args[0], count == 2 ? args[1] : args[0]);
        } else if (name == "rotate") {
            if (count == 2) return std::nullopt;
            step = Matrix::Rotate(args[0]);
            if (count == 3) {
                step = Matrix::Translate(args[1], args[2]) * step * Matrix::Translate(-args[1], -args[2]);
            }
        } else if (name == "skewX") {
            step = Matrix::SkewX(args[0]);
        } else {
            step = Matrix::SkewY(args[0]);
        }
        result = result * step;
        // Between transforms: any white space and commas, but the list ends without a comma.
        bool comma = false;
        while (pos < text.size() && (scan::IsSpace(text[pos]) || text[pos] == ',')) {
            comma = comma || text[pos] == ',';
            ++pos;
        }
        if (pos == text.size() && comma) return std::nullopt;
    }
    // Coefficients that overflowed would poison every point they map.
    for (double coefficient : {result.a, result.b, result.c, result.d, result.e, result.f}) {
        if (!std::isfinite(coefficient)) return std::nullopt;
    }
    return result;
}

}  // namespace document::svg
