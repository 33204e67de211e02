#include "link/string_util.h"

#include <climits>

namespace {

template <typename Char>
bool IsSpace(Char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

template <typename Char>
int ParseInt(const Char* p) {
    if (p == nullptr) {
        return 0;
    }
    while (IsSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value >= limit) {
            value = limit;  // keep consuming digits, the result stays saturated
        }
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

int TextToInt(const char* text) { return ParseInt(text); }
int TextToInt(const wchar_t* text) { return ParseInt(text); }

bool SplitControlName(const DuiLib::CDuiString& name, DuiLib::CDuiString& prefix, int& number) {
    const std::wstring& s = name.str();
    const std::size_t pos = s.rfind(L'_');
    if (pos == std::wstring::npos) {
        return false;
    }
    prefix = DuiLib::CDuiString(s.substr(0, pos + 1));
    number = TextToInt(s.c_str() + pos + 1);
    return true;
}

std::string FormatHex8(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out(8, '0');
    for (int i = 7; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return out;
}

char* RemoveChar(char* text, char ch) {
    if (text == nullptr) {
        return nullptr;
    }
    char* out = text;
    for (const char* in = text; *in != 0; ++in) {
        if (*in != ch) {
            *out++ = *in;
        }
    }
    *out = 0;
    return out;
}

bool IsBlankString(const DuiLib::CDuiString& text) {
    for (const wchar_t c : text.str()) {
        if (!IsSpace(c)) {
            return false;
        }
    }
    return true;
}
