#pragma once

#include <string>

namespace corvane {

// File name of the keyboard-API library whose version marks the dumps.
inline constexpr const wchar_t* kKeyboardApiFileName = L"CorvaneKeyboardAPI.dll";

// Decimal text of the fourth product-version number of `file`, or empty when
// the file has no version information.
std::wstring ReadFourthProductVersion(const std::wstring& file);

}  // namespace corvane
