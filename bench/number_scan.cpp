#include "number_scan.h"

#include <charconv>

namespace bench {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsWordCharacter(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '.';
}

}  // namespace

std::vector<float> ScanFixed6Numbers(std::string_view text) {
    std::vector<float> numbers;
    for (size_t point = text.find('.'); point != std::string_view::npos; point = text.find('.', point + 1)) {
        size_t end = point + 1;
        while (end < text.size() && IsDigit(text[end])) ++end;
        if (end - point - 1 != 6 || (end < text.size() && IsWordCharacter(text[end]))) continue;
        size_t begin = point;
        while (begin > 0 && IsDigit(text[begin - 1])) --begin;
        if (begin == point) continue;
        if (begin > 0 && text[begin - 1] == '-') --begin;
        if (begin > 0 && IsWordCharacter(text[begin - 1])) continue;
        float value = 0;
        std::from_chars(text.data() + begin, text.data() + end, value);
        numbers.push_back(value);
    }
    return numbers;
}

}  // namespace bench
