#include "pages/device_hook.h"

#include "link/registered_messages.h"
#include "platform/hooks/key_trap.h"
#include "platform/os/message_queue.h"

namespace {

win::HHOOK g_keyboardHook = nullptr;
bool g_libraryHook = false;
int g_mode = 0;
win::HWND g_target = nullptr;

constexpr win::DWORD kCapsLock = 0x14;
constexpr win::DWORD kNumLock = 0x90;
constexpr win::DWORD kScrollLock = 0x91;

// The keyboard message of a mode; -1 for modes that report nothing.
int KeyMessageOf(int mode) {
    switch (mode) {
        case 1:
            return kHookKeySingleKey;
        case 4:
            return kHookKeyKbMacro;
        case 8:
            return kHookKeyKbMacroPrevious;
        case 16:
            return kHookKeyKbMacroLater;
        case 32:
            return kHookKeyKbMacroSingle;
        default:
            return -1;
    }
}

}  // namespace

CDeviceHook::~CDeviceHook() { RemoveHook(); }

int CDeviceHook::SetHook(int mode, win::HWND target, bool keyboardHook, bool libraryHook) {
    if (g_keyboardHook) {
        win::UnhookWindowsHookEx(g_keyboardHook);
        g_keyboardHook = nullptr;
    }
    if (g_libraryHook) {
        UnInstallHook(target);
        if (g_target && g_target != target) UnInstallHook(g_target);
        g_libraryHook = false;
    }
    if (keyboardHook) {
        g_keyboardHook = win::SetWindowsHookExW(win::WH_KEYBOARD_LL, &CDeviceHook::KeyboardProc, nullptr, 0);
        if (!g_keyboardHook) return 0;
    }
    if (libraryHook) {
        InstallHook(target, mode);
        g_libraryHook = true;
    }
    g_mode = mode;
    g_target = target;
    return 1;
}

int CDeviceHook::RemoveHook() {
    int result = 0;
    if (g_keyboardHook) {
        result = win::UnhookWindowsHookEx(g_keyboardHook);
        g_keyboardHook = nullptr;
    }
    if (g_target) UnInstallHook(g_target);
    g_libraryHook = false;
    return result;
}

win::LRESULT CDeviceHook::KeyboardProc(int code, win::WPARAM wParam, win::LPARAM lParam) {
    if (code != win::HC_ACTION) return win::CallNextHookEx(g_keyboardHook, code, wParam, lParam);
    const int message = KeyMessageOf(g_mode);
    if (message >= 0 && g_target) win::SendMessageW(g_target, HookMessageId(message), wParam, lParam);
    const auto* record = reinterpret_cast<const win::KBDLLHOOKSTRUCT*>(lParam);
    if (record && (record->vkCode == kCapsLock || record->vkCode == kNumLock || record->vkCode == kScrollLock))
        return win::CallNextHookEx(g_keyboardHook, code, wParam, lParam);
    return 1;
}

bool CDeviceHook::IsKeyboardHookInstalled() { return g_keyboardHook != nullptr; }
bool CDeviceHook::IsLibraryHookInstalled() { return g_libraryHook; }
int CDeviceHook::GetMode() { return g_mode; }
win::HWND CDeviceHook::GetTarget() { return g_target; }
