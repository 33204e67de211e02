#pragma once
// Writing a frame's bitmap as a BMP file: a 14-byte file header, a 40-byte
// information header (negative height: rows top first) and the pixels.

#include "keyboard/screen_view_control_ui.h"

// Creates or replaces the file at the program path. On success writes
// "Bitmap saved to: <path>" to standard output; on failure one line naming
// the step to standard error. True when the whole file was written.
bool WriteBitmapFile(const ScreenBitmap& bitmap, const DuiLib::CDuiString& path);
