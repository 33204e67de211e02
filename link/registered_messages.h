#pragma once

#include "platform/files/win_types.h"

// Window messages that cross process boundaries or come from code other than
// the main window's. Each is a name that RegisterWindowMessage turns into an
// identifier, so every process that registers a name gets the same identifier.

// The hook and game messages, in their registration order.
enum HookMessage : int {
    kHookKeySingleKey,           // "WM_HOOK_KEY_SINGLEKEY_MSG"
    kHookKeyHitKey,              // "WM_HOOK_KEY_HITKEY_MSG"
    kHookKeyKbMacro,             // "WM_HOOK_KEY_KBMACRO_MSG"
    kHookKeyMsMacro,             // "WM_HOOK_KEY_MSMACRO_MSG"
    kHookKeyKbMacroSingle,       // "WM_HOOK_KEY_KBMACROSINGLE_MSG"
    kHookKeyKbMacroPrevious,     // "WM_HOOK_KEY_KBMACROPREVIOUS_MSG"
    kHookKeyKbMacroLater,        // "WM_HOOK_KEY_KBMACROLATER_MSG"
    kHookMouSingleKey,           // "WM_HOOK_MOU_SINGLEKEY_MSG"
    kHookMouHitKey,              // "WM_HOOK_MOU_HITKEY_MSG"
    kHookMouKbMacro,             // "WM_HOOK_MOU_KBMACRO_MSG"
    kHookMouMsMacro,             // "WM_HOOK_MOU_MSMACRO_MSG"
    kHookKeyMsMacroSingle,       // "WM_HOOK_KEY_MSMACROSINGLE_MSG"
    kHookKeyMsMacroPrevious,     // "WM_HOOK_KEY_MSMACROPREVIOUS_MSG"
    kHookKeyMsMacroLater,        // "WM_HOOK_KEY_MSMACROLATER_MSG"
    kHookMouseRButtonDown,       // "UWM_MOUSERBUTTONDOWN_USER_MSG"
    kHookMouseLButtonUp,         // "UWM_MOUSELBUTTONUP_USER_MSG"
    kHookMouseLButtonDown,       // "UWM_MOUSELBUTTONDOWN_USER_MSG"
    kHookMouseRButtonUp,         // "UWM_MOUSERBUTTONUP_USER_MSG"
    kHookMouseRButtonDownAgain,  // "UWM_MOUSERBUTTONDOWN_USER_MSG" again: the same identifier
    kHookMouseMove,              // "UWM_MOUSEMOVE_USER_MSG"
    kGameStart,                  // "Game_Start"
    kGameEnd,                    // "Game_End"
    kGameKill,                   // "Game_Kill"
    kGameDeath,                  // "Game_Death"
    kHookMessageCount
};

// The first 20 are the hook messages (the ones the window-message filter
// admits); the last four are the game messages.
inline constexpr int kHookOnlyMessageCount = 20;

// The name of each hook and game message, in registration order.
extern const wchar_t* const kHookMessageNames[kHookMessageCount];

// The identifier of a hook or game message; 0 for an index out of range. All
// 24 names are registered together on the first call (any thread), and the
// 20 hook messages, whose lParam points to the hook's event record, are kept
// in the process then (win::KeepMessageInProcess).
win::UINT HookMessageId(int which);

// The messages registered by the program's entry; 0 until registered. Each is
// set once on the UI thread before any thread that reads it starts.
extern win::UINT WM_ACTIVATE_INSTANCE;  // named by the product string
extern win::UINT WM_UPDATER_PROGRESS;   // "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}"
extern win::UINT WM_LIGHTING_STATE;     // "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}"
extern win::UINT WM_LIGHTING_REQUEST;   // "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}"
extern win::UINT WM_VEXMAR_QUERY;       // "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}"
extern win::UINT WM_RGB_CHANNEL;        // "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}" (EBE19, not EBF19)

// Registers the activation message under the product string and returns it.
win::UINT RegisterActivationMessage();
// Registers the five GUID-named messages in the order above.
void RegisterGuidMessages();
