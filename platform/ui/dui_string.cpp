#include "platform/ui/dui_string.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace DuiLib {

namespace {

// Rewrites a format in the program's wide convention into the C library's:
// plain %s/%c take wide arguments, %hs/%S narrow ones.
std::wstring ToLibraryFormat(const wchar_t* fmt) {
    std::wstring out;
    if (!fmt) return out;
    for (const wchar_t* p = fmt; *p;) {
        if (*p != L'%') {
            out += *p++;
            continue;
        }
        out += *p++;
        if (*p == L'%') {
            out += *p++;
            continue;
        }
        std::wstring flags;
        while (*p && std::wcschr(L"-+ #0123456789.*", *p)) flags += *p++;
        bool hasL = false, hasH = false;
        std::wstring mods;
        while (*p && std::wcschr(L"hlLqjzt", *p)) {
            if (*p == L'l') hasL = true;
            if (*p == L'h') hasH = true;
            mods += *p++;
        }
        if (!*p) {
            out += flags + mods;
            break;
        }
        wchar_t conv = *p++;
        if (conv == L's' || conv == L'c') {
            if (hasH)
                mods.clear();  // narrow
            else if (!hasL)
                mods = L"l";  // wide by default
        } else if (conv == L'S' || conv == L'C') {
            conv = conv == L'S' ? L's' : L'c';  // narrow
            mods.clear();
        }
        out += flags + mods;
        out += conv;
    }
    return out;
}

}  // namespace

int DuiCompareNoCase(const wchar_t* a, const wchar_t* b) {
    if (!a) a = L"";
    if (!b) b = L"";
    for (;; ++a, ++b) {
        wint_t ca = std::towlower(static_cast<wint_t>(*a));
        wint_t cb = std::towlower(static_cast<wint_t>(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (!*a) return 0;
    }
}

CDuiString::CDuiString(const wchar_t* s, int len) { Assign(s, len); }

CDuiString& CDuiString::operator=(const wchar_t* s) {
    Assign(s);
    return *this;
}
CDuiString& CDuiString::operator=(wchar_t ch) {
    s_.assign(1, ch);
    return *this;
}
CDuiString& CDuiString::operator=(const std::wstring& s) {
    s_ = s;
    return *this;
}

wchar_t CDuiString::GetAt(int index) const {
    if (index < 0 || index >= GetLength()) return L'\0';
    return s_[static_cast<size_t>(index)];
}

void CDuiString::Append(const wchar_t* s) {
    if (s) s_ += s;
}

void CDuiString::Assign(const wchar_t* s, int len) {
    if (!s) {
        s_.clear();
        return;
    }
    size_t n = std::wcslen(s);
    if (len >= 0) n = std::min(n, static_cast<size_t>(len));
    s_.assign(s, n);
}

void CDuiString::SetAt(int index, wchar_t ch) {
    if (index >= 0 && index < GetLength()) s_[static_cast<size_t>(index)] = ch;
}

CDuiString& CDuiString::MakeUpper() {
    for (auto& c : s_) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return *this;
}

CDuiString& CDuiString::MakeLower() {
    for (auto& c : s_) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return *this;
}

CDuiString& CDuiString::TrimLeft() {
    size_t i = 0;
    while (i < s_.size() && std::iswspace(static_cast<wint_t>(s_[i]))) ++i;
    s_.erase(0, i);
    return *this;
}

CDuiString& CDuiString::TrimRight() {
    while (!s_.empty() && std::iswspace(static_cast<wint_t>(s_.back()))) s_.pop_back();
    return *this;
}

CDuiString& CDuiString::Trim() { return TrimRight().TrimLeft(); }

int CDuiString::Replace(const wchar_t* from, const wchar_t* to) {
    if (!from || !*from) return 0;
    std::wstring f(from), t(to ? to : L"");
    int count = 0;
    for (size_t pos = s_.find(f); pos != std::wstring::npos; pos = s_.find(f, pos + t.size())) {
        s_.replace(pos, f.size(), t);
        ++count;
    }
    return count;
}

int CDuiString::Compare(const wchar_t* s) const {
    int r = std::wcscmp(s_.c_str(), s ? s : L"");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CDuiString::CompareNoCase(const wchar_t* s) const { return DuiCompareNoCase(s_.c_str(), s); }

CDuiString CDuiString::Left(int len) const {
    if (len <= 0) return {};
    return CDuiString(s_.substr(0, static_cast<size_t>(len)));
}

CDuiString CDuiString::Mid(int pos, int len) const {
    if (pos < 0) pos = 0;
    if (pos >= GetLength() || len == 0) return {};
    if (len < 0) return CDuiString(s_.substr(static_cast<size_t>(pos)));
    return CDuiString(s_.substr(static_cast<size_t>(pos), static_cast<size_t>(len)));
}

CDuiString CDuiString::Right(int len) const {
    if (len <= 0) return {};
    if (len >= GetLength()) return *this;
    return CDuiString(s_.substr(s_.size() - static_cast<size_t>(len)));
}

int CDuiString::Find(wchar_t ch, int pos) const {
    if (pos < 0 || pos > GetLength()) return -1;
    size_t r = s_.find(ch, static_cast<size_t>(pos));
    return r == std::wstring::npos ? -1 : static_cast<int>(r);
}

int CDuiString::Find(const wchar_t* s, int pos) const {
    if (!s || pos < 0 || pos > GetLength()) return -1;
    size_t r = s_.find(s, static_cast<size_t>(pos));
    return r == std::wstring::npos ? -1 : static_cast<int>(r);
}

int CDuiString::ReverseFind(wchar_t ch) const {
    size_t r = s_.rfind(ch);
    return r == std::wstring::npos ? -1 : static_cast<int>(r);
}

int CDuiString::FormatV(const wchar_t* fmt, va_list args) {
    std::wstring f = ToLibraryFormat(fmt);
    std::vector<wchar_t> buf(256);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = std::vswprintf(buf.data(), buf.size(), f.c_str(), copy);
        va_end(copy);
        if (n >= 0) {
            s_.assign(buf.data(), static_cast<size_t>(n));
            break;
        }
        // vswprintf reports overflow and encoding errors alike; give up at a sane bound.
        if (buf.size() >= (1u << 18)) {
            s_.clear();
            break;
        }
        buf.resize(buf.size() * 4);
    }
    return GetLength();
}

int CDuiString::Format(const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int n = FormatV(fmt, args);
    va_end(args);
    return n;
}

int CDuiString::SmallFormat(const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int n = FormatV(fmt, args);
    va_end(args);
    return n;
}

CDuiString DuiFormat(const wchar_t* fmt, ...) {
    CDuiString s;
    va_list args;
    va_start(args, fmt);
    s.FormatV(fmt, args);
    va_end(args);
    return s;
}

}  // namespace DuiLib
