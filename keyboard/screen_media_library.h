#pragma once
// Finding and loading the screen's picture and video plug-in.

#include <string>

#include "keyboard/screen_media.h"

namespace screen_media {

// Program folder + the plug-in's file name.
std::wstring DefaultPath();
// Where the plug-in is looked for from now on (the default path when empty):
// the next use loads it from there.
void SetPath(const std::wstring& path);

// The plug-in, loaded on the first call; null (and one line on standard
// error naming the file) when it is missing or unusable. A failed load is
// tried again at the next call.
ScreenMedia* Get();

}  // namespace screen_media
