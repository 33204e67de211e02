#pragma once

// The X11 display backend: real windows on the X server named by DISPLAY.
// This header names no X type, so the program's start-up code can choose the
// backend without seeing Linux headers.

#include <memory>
#include <string>

#include "platform/ui/display_backend.h"

namespace tavrik::x11 {

// Opens a backend on `display` (empty: the DISPLAY variable).  Null, with
// the reason in `error`, when the server cannot be reached.
std::unique_ptr<DuiLib::IDisplayBackend> OpenX11Backend(const std::string& display = {}, std::string* error = nullptr);

// Opens the backend on DISPLAY and makes it the UI's backend
// (DuiLib::SetDisplayBackend).  False, with the reason, when there is no
// display; the UI then keeps the headless backend.
bool UseX11DisplayBackend(std::string* error = nullptr);

}  // namespace tavrik::x11
