#pragma once

// The system-wide low-level keyboard hook.
//
// A hook procedure installed with SetWindowsHookExW(WH_KEYBOARD_LL, ...)
// sees every key press and release of the desktop, whichever application has
// the focus. It runs on the thread that installed it, inside that thread's
// message waits (GetMessageW, modal loops, ...), one event at a time, with
// code HC_ACTION, wParam the keyboard message and lParam the address of a
// KBDLLHOOKSTRUCT that is valid for the call.
//
// While a keyboard hook is installed the keyboard belongs to it: no other
// application gets a key, and this program's own windows get only Caps Lock,
// Num Lock and Scroll Lock (the server still switches the lock states). The
// hook procedure's result does not change that.
//
// Installation fails (null, GetLastError() set) when the desktop cannot
// report keys (no X display, or no RECORD extension) or when another client
// holds the keyboard. Install and remove on the same thread, the one that
// runs the window the procedure reports to.

#include "platform/os/messages.h"  // wParam: WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP
#include "platform/files/win_types.h"

namespace win {

using HINSTANCE = void*;
struct HookHandleTag;
using HHOOK = HookHandleTag*;
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);

inline constexpr int WH_KEYBOARD_LL = 13;
inline constexpr int HC_ACTION = 0;

// KBDLLHOOKSTRUCT::flags.
inline constexpr DWORD LLKHF_EXTENDED = 0x01;  // the scan code has the 0xE0 prefix
inline constexpr DWORD LLKHF_ALTDOWN = 0x20;
inline constexpr DWORD LLKHF_UP = 0x80;

struct KBDLLHOOKSTRUCT {
    DWORD vkCode = 0;    // Windows virtual-key code
    DWORD scanCode = 0;  // PC set-1 make code, without the prefix
    DWORD flags = 0;     // LLKHF_*
    DWORD time = 0;      // GetTickCount() when the event was seen
    ULONG_PTR dwExtraInfo = 0;
};

// Installs `proc` for the calling thread. Only WH_KEYBOARD_LL with threadId 0
// (every thread of the desktop) is offered; `module` is not used.
HHOOK SetWindowsHookExW(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);

// Passes the event on to the hook installed before `hook` on this thread and
// returns its result; 0 when there is none.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// Removes the hook: events not yet delivered to it are dropped. FALSE for an
// unknown handle. Never waits for another thread's message loop.
BOOL UnhookWindowsHookEx(HHOOK hook);

}  // namespace win
