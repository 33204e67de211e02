#pragma once

// Text building that is safe inside a signal handler: fixed buffers, no
// allocation, no locale, no stdio.

#include <cstddef>
#include <cstdint>

namespace platform::dump {

std::size_t SafeLength(const char* text);
std::size_t SafeLength(const wchar_t* text);

// Appends to a caller-owned, zero-terminated buffer. Once something does not
// fit, the text keeps what fitted and Ok() stays false.
class SafeText {
public:
    SafeText(char* buffer, std::size_t capacity);

    SafeText& Append(const char* text);
    SafeText& Append(const char* text, std::size_t length);
    SafeText& Append(char c);
    // Decimal digits, at least minDigits of them (zero-padded).
    SafeText& AppendDecimal(std::uint64_t value, int minDigits = 1);

    const char* Text() const { return buffer_; }
    std::size_t Length() const { return length_; }
    bool Ok() const { return ok_; }
    // Drops everything after the first `length` characters.
    void Truncate(std::size_t length);

private:
    char* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
    bool ok_ = true;
};

// UTF-8 to wide text (one wchar_t per code point), zero-terminated; invalid
// bytes become U+FFFD. Returns the number of characters written, without the
// terminator. Output is cut at capacity - 1 characters.
std::size_t Utf8ToWide(const char* text, wchar_t* out, std::size_t capacity);
// UTF-8 to UTF-16 code units, not terminated. Returns the number of units.
std::size_t Utf8ToUtf16(const char* text, std::size_t length, char16_t* out, std::size_t capacity);
// Wide text to UTF-8, zero-terminated. Returns false when it did not fit.
bool WideToUtf8(const wchar_t* text, char* out, std::size_t capacity);

}  // namespace platform::dump
