#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/dui_string.h"

// Splits an indexed control name at its last '_': prefix is the name up to and
// including that '_', number the rest read as a decimal integer (leading white
// space, optional sign, digits up to the first other character; 0 when there
// are none; saturated at the int limits). Returns false and leaves both outputs
// untouched when the name holds no '_'.
bool SplitControlName(const DuiLib::CDuiString& name, DuiLib::CDuiString& prefix, int& number);

// The 8 upper-case hexadecimal digits of value, most significant first
// (0xFFFF0000 gives "FFFF0000").
std::string FormatHex8(std::uint32_t value);

// Removes every occurrence of ch from the zero-terminated text in place and
// returns a pointer to the text's new terminating zero. Null gives null.
char* RemoveChar(char* text, char ch);

// True when the string is empty once white space is trimmed from both ends.
bool IsBlankString(const DuiLib::CDuiString& text);

// Decimal text to int the way the C runtime's atoi reads it, but saturating
// instead of overflowing: leading white space, an optional sign, then digits up
// to the first other character; 0 when there are no digits.
int TextToInt(const char* text);
int TextToInt(const wchar_t* text);
