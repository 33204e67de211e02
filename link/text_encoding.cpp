#include "link/text_encoding.h"

#include <cstring>
#include <type_traits>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes one character starting at s (which is not at the terminating zero)
// and advances s past it. Invalid input yields U+FFFD and consumes the maximal
// prefix of a valid sequence (at least one byte), so the zero byte is never
// consumed as part of a sequence.
char32_t DecodeOne(const unsigned char*& s) {
    const unsigned char lead = *s++;
    if (lead < 0x80) {
        return lead;
    }
    int extra;
    char32_t cp;
    unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0) lo = 0xA0;  // overlong
        if (lead == 0xED) hi = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        cp = lead & 0x07;
        if (lead == 0xF0) lo = 0x90;  // overlong
        if (lead == 0xF4) hi = 0x8F;  // above U+10FFFF
    } else {
        return kReplacement;  // continuation byte or invalid lead
    }
    for (int i = 0; i < extra; ++i) {
        const unsigned char b = *s;
        const bool ok = i == 0 ? (b >= lo && b <= hi) : IsContinuation(b);
        if (!ok) {
            return kReplacement;  // b stays unread (it may be the zero byte)
        }
        cp = (cp << 6) | (b & 0x3F);
        ++s;
    }
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendWide(std::wstring& out, char32_t cp) {
    if constexpr (sizeof(wchar_t) >= 4) {
        out += static_cast<wchar_t>(cp);
    } else {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<wchar_t>(cp);
        }
    }
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::wstring Utf8ToWideString(const char* utf8) {
    std::wstring out;
    if (utf8 == nullptr) {
        return out;
    }
    const auto* s = reinterpret_cast<const unsigned char*>(utf8);
    while (*s != 0) {
        AppendWide(out, DecodeOne(s));
    }
    return out;
}

DuiLib::CDuiString Utf8ToDuiString(const std::string& utf8) {
    return DuiLib::CDuiString(Utf8ToWideString(utf8.c_str()));
}

std::string WideToUtf8(const wchar_t* wide) {
    std::string out;
    if (wide == nullptr) {
        return out;
    }
    for (const wchar_t* p = wide; *p != 0; ++p) {
        // wchar_t may be signed: take the value as unsigned bits of its width.
        char32_t c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(*p));
        if (IsHighSurrogate(c) && IsLowSurrogate(static_cast<char32_t>(p[1]))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(p[1]) - 0xDC00);
            ++p;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

char* WideToAnsi(const wchar_t* wide) {
    if (wide == nullptr) {
        return nullptr;
    }
    const std::string narrow = WideToUtf8(wide);
    char* buffer = new char[narrow.size() + 2]();
    std::memcpy(buffer, narrow.data(), narrow.size());
    return buffer;
}
