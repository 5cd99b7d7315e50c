#include "document/json_text.h"

#include <vector>

#include "document/json_loader.h"

namespace document {

namespace {

struct TextPosition {
    size_t line = 1;
    size_t column = 1;
};

TextPosition PositionOf(const std::string& text, size_t offset) {
    TextPosition position;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++position.line;
            position.column = 1;
        } else {
            ++position.column;
        }
    }
    return position;
}

std::string AtPosition(const std::string& text, size_t offset) {
    const TextPosition position = PositionOf(text, offset);
    return "line " + std::to_string(position.line) + ", column " + std::to_string(position.column);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// One pass over the text outside strings: measures the bracket nesting and finds the
// integer tokens "-0", whose sign the parser would drop.
struct TextScan {
    std::vector<size_t> negativeZeros;  // offsets of the '0'
};

TextScan ScanText(const std::string& text, int maxNesting) {
    TextScan scan;
    int nesting = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        switch (c) {
            case '"': inString = true; break;
            case '[':
            case '{':
                if (++nesting > maxNesting) {
                    throw DocumentError("JSON nested more than " + std::to_string(maxNesting) + " levels deep at " +
                                        AtPosition(text, i));
                }
                break;
            case ']':
            case '}': --nesting; break;
            case '-': {
                const bool zeroFollows = i + 1 < text.size() && text[i + 1] == '0';
                const char after = i + 2 < text.size() ? text[i + 2] : ' ';
                if (zeroFollows && !IsDigit(after) && after != '.' && after != 'e' && after != 'E') {
                    scan.negativeZeros.push_back(i + 1);
                }
                break;
            }
            default: break;
        }
    }
    return scan;
}

nlohmann::json Parse(const std::string& text) {
    return nlohmann::json::parse(text);
}

}  // namespace

nlohmann::json ParseJsonText(const std::string& text, int maxNesting) {
    const TextScan scan = ScanText(text, maxNesting);
    try {
        if (scan.negativeZeros.empty()) return Parse(text);
        // Writing "-0" as "-0.0" makes the parser keep the sign and changes nothing else.
        std::string rewritten;
        rewritten.reserve(text.size() + 2 * scan.negativeZeros.size());
        size_t copied = 0;
        for (size_t zero : scan.negativeZeros) {
            rewritten.append(text, copied, zero + 1 - copied);
            rewritten += ".0";
            copied = zero + 1;
        }
        rewritten.append(text, copied, std::string::npos);
        try {
            return Parse(rewritten);
        } catch (const nlohmann::json::parse_error&) {
            return Parse(text);  // the same error, at its place in the text as written
        }
    } catch (const nlohmann::json::parse_error& error) {
        // The parser's byte counts one past the character where it stopped.
        const size_t offset = error.byte > 0 ? error.byte - 1 : 0;
        std::string reason = error.what();
        const size_t colon = reason.find(": ", reason.find("parse error"));
        if (colon != std::string::npos) reason = reason.substr(colon + 2);
        throw DocumentError("invalid JSON at " + AtPosition(text, offset) + ": " + reason);
    }
}

}  // namespace document
