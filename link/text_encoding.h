#pragma once

#include <string>

#include "platform/ui/dui_string.h"

// Conversions between the UI's wide strings and the UTF-8 text of the settings
// files. Every text that goes into a JSON document passes through WideToUtf8;
// every text that comes out of one passes through Utf8ToDuiString.
//
// Decoding never reads past the terminating zero: a byte sequence that is not
// valid UTF-8 (stray continuation byte, truncated or overlong sequence, encoded
// surrogate, value above U+10FFFF) becomes one U+FFFD per maximal invalid part.
// Encoding writes characters outside the BMP as 4-byte sequences; a UTF-16
// surrogate pair held in two wide characters is joined into one character, and
// a lone surrogate or an out-of-range value becomes U+FFFD.

// UTF-8 text up to its first zero byte, as a CDuiString.
DuiLib::CDuiString Utf8ToDuiString(const std::string& utf8);
// Zero-terminated UTF-8 text as a wide string; null gives the empty string.
std::wstring Utf8ToWideString(const char* utf8);
// Zero-terminated wide text as UTF-8; null gives the empty string.
std::string WideToUtf8(const wchar_t* wide);
inline std::string WideToUtf8(const std::wstring& wide) { return WideToUtf8(wide.c_str()); }
inline std::string WideToUtf8(const DuiLib::CDuiString& wide) { return WideToUtf8(wide.GetData()); }

// Zero-terminated wide text in the narrow code page (UTF-8 here), in a newly
// allocated buffer with two zero bytes after the text; the caller releases it
// with delete[]. Null gives null.
char* WideToAnsi(const wchar_t* wide);
