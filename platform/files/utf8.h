#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace win {

// Conversions between the program's wide strings and the UTF-8 of files, the
// file system, the display and other processes.
//
// Decoding never reads past the end of its input: a byte sequence that is not
// valid UTF-8 (stray continuation byte, truncated or overlong sequence, encoded
// surrogate, value above U+10FFFF) becomes one U+FFFD per maximal invalid part.
// Encoding joins a UTF-16 surrogate pair held in two wide characters into one
// character; a lone surrogate or an out-of-range value becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);
std::vector<char32_t> DecodeUtf8(std::string_view text);

}  // namespace win
