#include "platform/sim/res/resource_name.h"

#include <algorithm>

namespace sim::res {

namespace {

char16_t UpperAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

}  // namespace

std::string ResourceName::ToString() const {
    if (is_ordinal) {
        return "#" + std::to_string(ordinal);
    }
    std::string text;
    for (const char16_t c : name) {
        text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return text;
}

bool operator==(const ResourceName& a, const ResourceName& b) {
    if (a.is_ordinal != b.is_ordinal) {
        return false;
    }
    if (a.is_ordinal) {
        return a.ordinal == b.ordinal;
    }
    return EqualIgnoringAsciiCase(a.name, b.name);
}

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char16_t x, char16_t y) { return UpperAscii(x) == UpperAscii(y); });
}

}  // namespace sim::res
