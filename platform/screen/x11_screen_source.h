#pragma once

#include <memory>
#include <string>

#include "platform/screen/screen_source.h"

namespace tavrik::screen {

// Opens a screen source on an X server (its own connection, so any one
// thread may sample while the UI thread runs its own).  The pixels come
// through a shared-memory image (MIT-SHM) when the server offers it and
// through plain image requests otherwise.  `display` empty means DISPLAY.
// Returns null when the server cannot be reached; `error` then says why.
std::unique_ptr<ScreenSource> OpenX11ScreenSource(const std::string& display = {}, std::string* error = nullptr);

// Whether a source opened by OpenX11ScreenSource reads through MIT-SHM.
bool UsesSharedMemory(const ScreenSource& source);

}  // namespace tavrik::screen
