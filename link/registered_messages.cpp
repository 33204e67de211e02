#include "link/registered_messages.h"

#include <array>

#include "link/base/product_ids.h"
#include "platform/os/registered_message.h"
#include "platform/os/remote.h"

const wchar_t* const kHookMessageNames[kHookMessageCount] = {
    L"WM_HOOK_KEY_SINGLEKEY_MSG",
    L"WM_HOOK_KEY_HITKEY_MSG",
    L"WM_HOOK_KEY_KBMACRO_MSG",
    L"WM_HOOK_KEY_MSMACRO_MSG",
    L"WM_HOOK_KEY_KBMACROSINGLE_MSG",
    L"WM_HOOK_KEY_KBMACROPREVIOUS_MSG",
    L"WM_HOOK_KEY_KBMACROLATER_MSG",
    L"WM_HOOK_MOU_SINGLEKEY_MSG",
    L"WM_HOOK_MOU_HITKEY_MSG",
    L"WM_HOOK_MOU_KBMACRO_MSG",
    L"WM_HOOK_MOU_MSMACRO_MSG",
    L"WM_HOOK_KEY_MSMACROSINGLE_MSG",
    L"WM_HOOK_KEY_MSMACROPREVIOUS_MSG",
    L"WM_HOOK_KEY_MSMACROLATER_MSG",
    L"UWM_MOUSERBUTTONDOWN_USER_MSG",
    L"UWM_MOUSELBUTTONUP_USER_MSG",
    L"UWM_MOUSELBUTTONDOWN_USER_MSG",
    L"UWM_MOUSERBUTTONUP_USER_MSG",
    L"UWM_MOUSERBUTTONDOWN_USER_MSG",
    L"UWM_MOUSEMOVE_USER_MSG",
    L"Game_Start",
    L"Game_End",
    L"Game_Kill",
    L"Game_Death",
};

win::UINT WM_ACTIVATE_INSTANCE = 0;
win::UINT WM_UPDATER_PROGRESS = 0;
win::UINT WM_LIGHTING_STATE = 0;
win::UINT WM_LIGHTING_REQUEST = 0;
win::UINT WM_VEXMAR_QUERY = 0;
win::UINT WM_RGB_CHANNEL = 0;

win::UINT HookMessageId(int which) {
    // One process-wide set serves every user: equal names give equal ids.
    static const std::array<win::UINT, kHookMessageCount> ids = [] {
        std::array<win::UINT, kHookMessageCount> registered{};
        for (int i = 0; i < kHookMessageCount; ++i) {
            registered[i] = win::RegisterWindowMessageW(kHookMessageNames[i]);
            // The hooks' lParam points to their event record: only this
            // process may deliver these.
            if (i < kHookOnlyMessageCount) win::KeepMessageInProcess(registered[i]);
        }
        return registered;
    }();
    return which >= 0 && which < kHookMessageCount ? ids[which] : 0;
}

win::UINT RegisterActivationMessage() {
    WM_ACTIVATE_INSTANCE = win::RegisterWindowMessageW(kProductString);
    return WM_ACTIVATE_INSTANCE;
}

void RegisterGuidMessages() {
    WM_UPDATER_PROGRESS = win::RegisterWindowMessageW(L"{4695579F-999A-41d4-9FAF-EFFCE93EBF15}");
    WM_LIGHTING_STATE = win::RegisterWindowMessageW(L"{4695579F-999A-41d4-9FAF-EFFCE93EBF16}");
    WM_LIGHTING_REQUEST = win::RegisterWindowMessageW(L"{4695579F-999A-41d4-9FAF-EFFCE93EBF17}");
    WM_VEXMAR_QUERY = win::RegisterWindowMessageW(L"{4695579F-999A-41d4-9FAF-EFFCE93EBF18}");
    WM_RGB_CHANNEL = win::RegisterWindowMessageW(L"{4695579F-999A-41d4-9FAF-EFFCE93EBE19}");
}
