#include "platform/dump/safe_text.h"

namespace platform::dump {

std::size_t SafeLength(const char* text) {
    std::size_t n = 0;
    if (text != nullptr) {
        while (text[n] != '\0') {
            ++n;
        }
    }
    return n;
}

std::size_t SafeLength(const wchar_t* text) {
    std::size_t n = 0;
    if (text != nullptr) {
        while (text[n] != L'\0') {
            ++n;
        }
    }
    return n;
}

SafeText::SafeText(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {
    if (capacity_ == 0) {
        ok_ = false;
    } else {
        buffer_[0] = '\0';
    }
}

SafeText& SafeText::Append(const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (length_ + 1 >= capacity_) {
            ok_ = false;
            break;
        }
        buffer_[length_++] = text[i];
    }
    if (capacity_ != 0) {
        buffer_[length_] = '\0';
    }
    return *this;
}

SafeText& SafeText::Append(const char* text) { return Append(text, SafeLength(text)); }

SafeText& SafeText::Append(char c) { return Append(&c, 1); }

SafeText& SafeText::AppendDecimal(std::uint64_t value, int minDigits) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 && n < 20);
    while (n < minDigits && n < 20) {
        digits[n++] = '0';
    }
    char ordered[24];
    for (int i = 0; i < n; ++i) {
        ordered[i] = digits[n - 1 - i];
    }
    return Append(ordered, static_cast<std::size_t>(n));
}

void SafeText::Truncate(std::size_t length) {
    if (length < length_) {
        length_ = length;
        buffer_[length_] = '\0';
    }
}

namespace {

// Decodes one code point at text[*i], advancing *i; U+FFFD for bad input.
std::uint32_t DecodeUtf8(const char* text, std::size_t length, std::size_t* i) {
    auto b = static_cast<unsigned char>(text[*i]);
    int extra = 0;
    std::uint32_t c = 0;
    if (b < 0x80) {
        ++*i;
        return b;
    } else if ((b & 0xE0) == 0xC0) {
        c = b & 0x1F;
        extra = 1;
    } else if ((b & 0xF0) == 0xE0) {
        c = b & 0x0F;
        extra = 2;
    } else if ((b & 0xF8) == 0xF0) {
        c = b & 0x07;
        extra = 3;
    } else {
        ++*i;
        return 0xFFFD;
    }
    if (*i + static_cast<std::size_t>(extra) >= length) {
        ++*i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        auto cont = static_cast<unsigned char>(text[*i + static_cast<std::size_t>(k)]);
        if ((cont & 0xC0) != 0x80) {
            ++*i;
            return 0xFFFD;
        }
        c = (c << 6) | (cont & 0x3F);
    }
    static const std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (c < kMinimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++*i;
        return 0xFFFD;
    }
    *i += static_cast<std::size_t>(extra) + 1;
    return c;
}

}  // namespace

std::size_t Utf8ToWide(const char* text, wchar_t* out, std::size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    std::size_t length = SafeLength(text);
    std::size_t i = 0;
    std::size_t n = 0;
    while (i < length && n + 1 < capacity) {
        out[n++] = static_cast<wchar_t>(DecodeUtf8(text, length, &i));
    }
    out[n] = L'\0';
    return n;
}

std::size_t Utf8ToUtf16(const char* text, std::size_t length, char16_t* out, std::size_t capacity) {
    std::size_t i = 0;
    std::size_t n = 0;
    while (i < length) {
        std::uint32_t c = DecodeUtf8(text, length, &i);
        if (c >= 0x10000) {
            if (n + 2 > capacity) {
                break;
            }
            c -= 0x10000;
            out[n++] = static_cast<char16_t>(0xD800 + (c >> 10));
            out[n++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            if (n + 1 > capacity) {
                break;
            }
            out[n++] = static_cast<char16_t>(c);
        }
    }
    return n;
}

bool WideToUtf8(const wchar_t* text, char* out, std::size_t capacity) {
    SafeText result(out, capacity);
    for (std::size_t i = 0; text != nullptr && text[i] != L'\0'; ++i) {
        auto c = static_cast<std::uint32_t>(text[i]);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            c = 0xFFFD;
        }
        char bytes[4];
        std::size_t n = 0;
        if (c < 0x80) {
            bytes[n++] = static_cast<char>(c);
        } else if (c < 0x800) {
            bytes[n++] = static_cast<char>(0xC0 | (c >> 6));
            bytes[n++] = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes[n++] = static_cast<char>(0xE0 | (c >> 12));
            bytes[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes[n++] = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes[n++] = static_cast<char>(0xF0 | (c >> 18));
            bytes[n++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes[n++] = static_cast<char>(0x80 | (c & 0x3F));
        }
        result.Append(bytes, n);
    }
    return result.Ok();
}

}  // namespace platform::dump
