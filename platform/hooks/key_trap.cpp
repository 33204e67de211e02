#include "platform/hooks/key_trap.h"

#include <string>

#include "platform/hooks/hook_hub.h"
#include "platform/os/registered_message.h"
#include "platform/os/window.h"

namespace {

// The registered message a mode reports mouse events with; 0 for modes that
// report none.
win::UINT MessageForMode(int mode) {
    const wchar_t* name = nullptr;
    switch (mode) {
        case 4:
            name = L"WM_HOOK_KEY_MSMACRO_MSG";
            break;
        case 8:
            name = L"WM_HOOK_KEY_MSMACROPREVIOUS_MSG";
            break;
        case 16:
            name = L"WM_HOOK_KEY_MSMACROLATER_MSG";
            break;
        case 32:
            name = L"WM_HOOK_KEY_MSMACROSINGLE_MSG";
            break;
        default:
            return 0;
    }
    return win::RegisterWindowMessageW(name);
}

}  // namespace

int InstallHook(win::HWND window, int mode) {
    if (!win::IsWindow(window) || win::GetWindowThreadProcessId(window, nullptr) != win::GetCurrentThreadId()) return 0;
    std::string error;
    return tavrik::hooks::HookHub::Instance().AddMouseReport(window, MessageForMode(mode), error) ? 1 : 0;
}

int UnInstallHook(win::HWND window) { return tavrik::hooks::HookHub::Instance().RemoveMouseReport(window) ? 1 : 0; }
