#pragma once

// What a colour edit of the lighting page ("deng_edit_R", "_G", "_B") gives:
// the colour byte, and the text the edit must show when its own text was
// corrected.

#include <cstdint>
#include <optional>
#include <string>

struct ColorEditValue {
    std::uint8_t value = 0;
    // Set when the edit is to show this instead of what was typed.
    std::optional<std::wstring> shown;
};

// The edit's text read as a decimal number: leading blanks, an optional sign
// and the leading digits; text that is no number reads as 0 and stays as it
// is. An empty edit gives 0 and shows "0"; a number above 255 gives 255 and
// shows "255"; a negative number gives 0 and shows "0" (the byte would wrap).
ColorEditValue ReadColorEdit(const std::wstring& text);
