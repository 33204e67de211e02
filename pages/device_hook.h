#pragma once

// The program's global input hooks: the low-level keyboard hook and the mouse
// hook of the input-trap library, both reporting to one window (the main
// window) as the registered hook messages of the mode. The hook state is
// process-wide; the main window owns the one object. UI thread only.
//
// Modes: 1 key capture ("WM_HOOK_KEY_SINGLEKEY_MSG"), 4 record at the end,
// 8 before the selected step, 16 after it, 32 replace it (the keyboard's
// "WM_HOOK_KEY_KB..." and the mouse's "WM_HOOK_KEY_MS..." messages).

#include "platform/hooks/hook_api.h"

class CDeviceHook {
public:
    CDeviceHook() = default;
    virtual ~CDeviceHook();
    CDeviceHook(const CDeviceHook&) = delete;
    CDeviceHook& operator=(const CDeviceHook&) = delete;

    // Replaces the hooks. 1, or 0 when the keyboard hook cannot be installed
    // (nothing is installed then and mode and target stay as they were).
    int SetHook(int mode, win::HWND target, bool keyboardHook, bool libraryHook);
    // Removes both hooks; the result of removing the keyboard hook.
    int RemoveHook();
    // Sends the mode's message for each key and keeps every key but the
    // three lock keys from the applications; other hook codes pass on.
    static win::LRESULT KeyboardProc(int code, win::WPARAM wParam, win::LPARAM lParam);

    static bool IsKeyboardHookInstalled();
    static bool IsLibraryHookInstalled();
    static int GetMode();
    static win::HWND GetTarget();
};
