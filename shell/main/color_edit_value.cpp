#include "shell/main/color_edit_value.h"

#include <cwctype>

ColorEditValue ReadColorEdit(const std::wstring& text) {
    if (text.empty()) return {0, L"0"};
    size_t at = 0;
    while (at < text.size() && std::iswspace(static_cast<wint_t>(text[at]))) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == L'-' || text[at] == L'+')) {
        negative = text[at] == L'-';
        ++at;
    }
    long value = 0;
    bool digits = false;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        digits = true;
        // Saturate: any longer number is above 255 all the same.
        if (value <= 255) value = value * 10 + (text[at] - L'0');
    }
    if (!digits) return {0, std::nullopt};
    if (negative && value > 0) return {0, L"0"};
    if (value > 255) return {255, L"255"};
    return {static_cast<std::uint8_t>(value), std::nullopt};
}
