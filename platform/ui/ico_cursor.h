#pragma once

// Cursors read from ICO files (also their cursor form, CUR). An entry is
// either a PNG picture or a 32-bit bitmap with its AND mask; older bitmap
// depths are not read. The largest entry that decodes is taken.
//
// Hot spot: a file of type 2 (cursor) names it in its directory entry (the
// two fields an icon uses for planes and bit count); an icon (type 1) has
// none, so its centre points. A hot spot outside the picture is brought to
// its nearest edge.

#include "platform/ui/display_backend.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace DuiLib {

// Largest side of an entry (the directory's 0 means 256).
inline constexpr int kIcoMaxSide = 256;

// False, with `image` untouched, when the bytes are not an ICO or CUR file
// with an entry this decoder reads (wrong header, no entry, an entry that
// lies past the end of the data or is damaged).
bool DecodeIcoCursor(std::span<const uint8_t> bytes, BackendCursorImage& image);

// The cursor of an ICO file (a program path: '\' separators, UTF-8 on
// disk); null when the file is missing or does not decode.
std::shared_ptr<const BackendCursorImage> LoadIcoCursor(std::wstring_view path);

}  // namespace DuiLib
