#pragma once

// The X11 display backend: real windows on the X server named by DISPLAY.
// This header names no X type, so the program's start-up code can choose the
// backend without seeing Linux headers.

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/display_backend.h"

namespace tavrik::x11 {

// Opens a backend on `display` (empty: the DISPLAY variable).  Null, with
// the reason in `error`, when the server cannot be reached.
std::unique_ptr<DuiLib::IDisplayBackend> OpenX11Backend(const std::string& display = {}, std::string* error = nullptr);

// Opens the backend on DISPLAY and makes it the UI's backend
// (DuiLib::SetDisplayBackend).  False, with the reason, when there is no
// display; the UI then keeps the headless backend.
bool UseX11DisplayBackend(std::string* error = nullptr);

// Screen metrics beyond the seam, from the UI's current backend; on the
// headless backend (or with no X server) the primary screen stands in.

// Rectangles of the monitors (RandR), the primary one first.
std::vector<DuiLib::BackendRect> GetMonitorRects();

// The rectangle of the system tray's window on the screen (where the tray
// menu opens beside); false when there is no tray.
bool GetSystemTrayRect(DuiLib::BackendRect& rect);

// The keyboard grab of the global keyboard hook (platform/hooks): while it
// is held no other client gets a key, and the UI's windows get only Caps
// Lock, Num Lock and Scroll Lock. UI thread.
enum class HookKeyboardGrab {
    NoX11Display,  // the UI does not run on the X11 backend
    Grabbed,
    Refused,  // another client holds the keyboard
};
HookKeyboardGrab GrabKeyboardForHooks();
void ReleaseKeyboardForHooks();

}  // namespace tavrik::x11
