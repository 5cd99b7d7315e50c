#include "document/svg/convert/conditions.h"

namespace document::svg {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool English(std::string_view tag) {
    if (tag.size() < 2) return false;
    const bool en = (tag[0] == 'e' || tag[0] == 'E') && (tag[1] == 'n' || tag[1] == 'N');
    return en && (tag.size() == 2 || tag[2] == '-');
}

}  // namespace

bool ConditionsPass(const Element& element) {
    if (element.HasAttribute("requiredExtensions")) return false;
    if (element.HasAttribute("systemLanguage")) {
        std::string_view list = element.Attribute("systemLanguage");
        bool any = false;
        while (!list.empty()) {
            const size_t comma = list.find(',');
            any = any || English(Trim(list.substr(0, comma)));
            if (comma == std::string_view::npos) break;
            list.remove_prefix(comma + 1);
        }
        if (!any) return false;
    }
    return true;
}

}  // namespace document::svg
