#include "platform/hooks/hook_api.h"

#include <string>

#include "platform/hooks/hook_hub.h"
#include "platform/os/handle.h"

namespace win {

HHOOK SetWindowsHookExW(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId) {
    if (idHook != WH_KEYBOARD_LL || proc == nullptr || threadId != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string error;
    HHOOK hook = tavrik::hooks::HookHub::Instance().AddKeyboardHook(proc, error);
    if (!hook) SetLastError(ERROR_ACCESS_DENIED);
    return hook;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    return tavrik::hooks::HookHub::Instance().CallNextKeyboardHook(hook, code, wParam, lParam);
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    if (tavrik::hooks::HookHub::Instance().RemoveKeyboardHook(hook)) return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

}  // namespace win
