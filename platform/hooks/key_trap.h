#pragma once

// The mouse hook of the input-trap library: reports the user's mouse button
// events anywhere on the desktop to one window, as registered messages.
//
// InstallHook(window, mode) starts reporting to `window`; mode 4, 8, 16 and 32
// send "WM_HOOK_KEY_MSMACRO_MSG", "WM_HOOK_KEY_MSMACROPREVIOUS_MSG",
// "WM_HOOK_KEY_MSMACROLATER_MSG" and "WM_HOOK_KEY_MSMACROSINGLE_MSG"; any
// other mode (key capture is mode 1) reports nothing. Each event is sent on
// the window's thread with wParam the Windows mouse message (0x201..0x20E) and
// lParam the address of a MouseHookRecord valid while the message is handled.
// The mouse is never grabbed: the click still reaches its application.
//
// Call both on the thread that owns `window`. InstallHook returns 1, or 0
// when the desktop cannot report mouse events (no X display, no RECORD
// extension) or the window is not the calling thread's. UnInstallHook stops
// the reports to `window` (events not yet delivered are dropped) and returns 1,
// or 0 when nothing was installed for it.

#include <cstdint>

#include "platform/files/win_types.h"

struct MouseHookRecord {
    std::int32_t x = 0;  // the pointer on the screen (root coordinates)
    std::int32_t y = 0;
    std::uint32_t window = 0;     // not reported: 0
    std::uint32_t hitTest = 0;    // not reported: 0
    std::uint32_t extraInfo = 0;  // not reported: 0
    // High word: 1 back (XBUTTON1), 2 forward (XBUTTON2) for 0x20B/0x20C; the
    // signed wheel distance (+/-120 per notch) for 0x20A/0x20E.
    std::uint32_t mouseData = 0;
};

int InstallHook(win::HWND window, int mode);
int UnInstallHook(win::HWND window);

static_assert(sizeof(MouseHookRecord) == 24, "x, y, three unread words, mouse data");
