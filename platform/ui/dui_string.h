#pragma once

#include <cstdarg>
#include <cstddef>
#include <functional>
#include <string>

namespace DuiLib {

// The UI's wide string. Printf-style formatting follows the program's
// convention for wide strings: "%s" and "%c" take wide arguments ("%hs" and
// "%S" take narrow ones).
class CDuiString {
public:
    CDuiString() = default;
    CDuiString(const wchar_t* s, int len = -1);
    CDuiString(wchar_t ch) : s_(1, ch) {}
    CDuiString(const std::wstring& s) : s_(s) {}
    CDuiString(std::wstring&& s) : s_(std::move(s)) {}
    CDuiString(const CDuiString&) = default;
    CDuiString(CDuiString&&) noexcept = default;
    CDuiString& operator=(const CDuiString&) = default;
    CDuiString& operator=(CDuiString&&) noexcept = default;
    CDuiString& operator=(const wchar_t* s);
    CDuiString& operator=(wchar_t ch);
    CDuiString& operator=(const std::wstring& s);

    // Reading.
    const wchar_t* GetData() const { return s_.c_str(); }
    operator const wchar_t*() const { return s_.c_str(); }
    int GetLength() const { return static_cast<int>(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    wchar_t GetAt(int index) const;
    wchar_t operator[](int index) const { return GetAt(index); }
    const std::wstring& str() const { return s_; }

    // Changing.
    void Empty() { s_.clear(); }
    void Append(const wchar_t* s);
    void Assign(const wchar_t* s, int len = -1);
    void SetAt(int index, wchar_t ch);
    CDuiString& operator+=(const CDuiString& s) {
        s_ += s.s_;
        return *this;
    }
    CDuiString& operator+=(const wchar_t* s) {
        Append(s);
        return *this;
    }
    CDuiString& operator+=(wchar_t ch) {
        s_ += ch;
        return *this;
    }
    CDuiString& MakeUpper();
    CDuiString& MakeLower();
    CDuiString& Trim();
    CDuiString& TrimLeft();
    CDuiString& TrimRight();
    // Replaces every occurrence of `from`; returns the number replaced.
    int Replace(const wchar_t* from, const wchar_t* to);

    // Comparing: 0 when equal, negative when this sorts first.
    int Compare(const wchar_t* s) const;
    int CompareNoCase(const wchar_t* s) const;

    // Parts. Out-of-range positions and lengths are clipped, never fatal.
    CDuiString Left(int len) const;
    CDuiString Mid(int pos, int len = -1) const;
    CDuiString Right(int len) const;

    // Searching: index of the first match at or after `pos`, or -1.
    int Find(wchar_t ch, int pos = 0) const;
    int Find(const wchar_t* s, int pos = 0) const;
    int ReverseFind(wchar_t ch) const;

    // Formatting; returns the new length.
    int Format(const wchar_t* fmt, ...);
    int SmallFormat(const wchar_t* fmt, ...);
    int FormatV(const wchar_t* fmt, va_list args);

    friend CDuiString operator+(const CDuiString& a, const CDuiString& b) { return CDuiString(a.s_ + b.s_); }
    friend CDuiString operator+(const CDuiString& a, const wchar_t* b) {
        CDuiString r(a);
        r.Append(b);
        return r;
    }
    friend CDuiString operator+(const wchar_t* a, const CDuiString& b) {
        CDuiString r(a);
        r += b;
        return r;
    }
    friend CDuiString operator+(const CDuiString& a, wchar_t b) {
        CDuiString r(a);
        r += b;
        return r;
    }
    friend bool operator==(const CDuiString& a, const CDuiString& b) { return a.s_ == b.s_; }
    friend bool operator==(const CDuiString& a, const wchar_t* b) { return a.Compare(b) == 0; }
    friend bool operator==(const wchar_t* a, const CDuiString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CDuiString& a, const CDuiString& b) { return !(a == b); }
    friend bool operator!=(const CDuiString& a, const wchar_t* b) { return !(a == b); }
    friend bool operator!=(const wchar_t* a, const CDuiString& b) { return !(b == a); }
    friend bool operator<(const CDuiString& a, const CDuiString& b) { return a.s_ < b.s_; }

private:
    std::wstring s_;
};

// Formats with the wide-string convention above.
CDuiString DuiFormat(const wchar_t* fmt, ...);
// Case-insensitive comparison of two wide C strings (null counts as empty).
int DuiCompareNoCase(const wchar_t* a, const wchar_t* b);

}  // namespace DuiLib

template <>
struct std::hash<DuiLib::CDuiString> {
    size_t operator()(const DuiLib::CDuiString& s) const noexcept { return std::hash<std::wstring>()(s.str()); }
};
