#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace tavrik::x11 {

std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
// Code points of UTF-8 text; malformed bytes become U+FFFD.
std::vector<char32_t> DecodeUtf8(const std::string& text);

// The text a key press types, through the input context when there is one.
std::string LookupText(XIC ic, XKeyEvent& event);

}  // namespace tavrik::x11
