#include "platform/ui/x11/x11_text.h"

#include <X11/Xutil.h>

namespace tavrik::x11 {

std::string WideToUtf8(const std::wstring& text) {
    std::string out;
    for (wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::vector<char32_t> DecodeUtf8(const std::string& text) {
    std::vector<char32_t> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size()) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(text[i + k]);
            if ((n & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (n & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::wstring Utf8ToWide(const std::string& text) {
    std::wstring out;
    for (char32_t c : DecodeUtf8(text)) out += static_cast<wchar_t>(c);
    return out;
}

std::string LookupText(XIC ic, XKeyEvent& event) {
    char buffer[64];
    KeySym sym = 0;
    if (ic) {
        Status status = 0;
        int n = Xutf8LookupString(ic, &event, buffer, sizeof buffer, &sym, &status);
        if (status == XBufferOverflow) {
            std::string big(static_cast<std::size_t>(n), '\0');
            n = Xutf8LookupString(ic, &event, big.data(), n, &sym, &status);
            return status == XLookupChars || status == XLookupBoth ? big.substr(0, static_cast<std::size_t>(n)) : "";
        }
        if (status == XLookupChars || status == XLookupBoth) return std::string(buffer, static_cast<std::size_t>(n));
        return {};
    }
    // No input method: Latin-1 text from the key map.
    int n = XLookupString(&event, buffer, sizeof buffer, &sym, nullptr);
    std::wstring wide;
    for (int i = 0; i < n; ++i) wide += static_cast<wchar_t>(static_cast<unsigned char>(buffer[i]));
    return WideToUtf8(wide);
}

}  // namespace tavrik::x11
