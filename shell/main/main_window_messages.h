#pragma once

// The main window's private message numbers, and which of them only this
// process may deliver. Kept apart from the window's class so that the message
// bus's tests and fuzz target can take the same list.

#include "link/registered_messages.h"
#include "platform/os/remote.h"
#include "platform/files/win_types.h"

// Private messages of the main window. The ids are fixed numbers that other
// windows and threads of the program send; three lie below WM_USER.
enum MainWindowMessage : win::UINT {
    WM_SCREEN_PREVIEW_PAINT = 0x3F3,
    WM_SCREEN_UNDO_READY = 0x3F4,
    WM_SCREEN_CANVAS_CHANGED = 0x3F5,
    WM_TRAY_NOTIFY = 0x401,
    WM_KEY_CAPTURE = 0x41E,
    WM_MENU_COMMAND = 0x479,
    WM_DPI_NOTICE = 0x4C8,
    WM_SHOW_SETTING_PROGRESS = 0xC00,
    WM_LANGUAGE_CHANGED = 0xC11,
    WM_DEVICE_BOUND = 0xC12,
    WM_DEVICE_LOST = 0xC13,
    WM_OPEN_SETTINGS = 0xC15,
    WM_CLEAR_UPDATE_BADGE = 0xC16,
    WM_RELAY_REQUEST = 0xC17,
    WM_RELAYED_NOTICE = 0xC18,
    WM_SELECT_LANGUAGE = 0xC19,
    WM_KEYBOARD_LAYOUT_REFRESH = 0xC1A,
    WM_DEVICE_PROFILE_INDEX = 0xD00,
    WM_DEVICE_STATUS = 0xD01,
    WM_DEVICE_RESERVED = 0xD02,
    WM_DEVICE_ONLINE = 0xD03,
    WM_OPEN_SCREEN_EDITOR = 0xD04,
    WM_FIRMWARE_CHECK = 0xD05,
    WM_START_CLOCK_SYNC = 0xD07,
    WM_AUDIO_DEMAND = 0xD08,
};

// The private messages whose parameters the window uses as pointers or as
// indexes of state other threads of this process own; the bus refuses them
// from every other process (win::KeepMessageInProcess):
// - WM_MENU_COMMAND: wParam is the menu's command record, freed by the window;
// - WM_DEVICE_BOUND, WM_DEVICE_LOST: wParam is a slot the scan thread claimed
//   or freed, and the scan thread reads the answer of a binding;
// - WM_DEVICE_ONLINE: wParam is a device entry, sent by the entries themselves.
// The three below WM_USER are refused by the bus anyway. The others carry
// values the window checks (a language index, a flag, a mouse message, a
// product id and version) or nothing.
inline constexpr win::UINT kMainWindowInProcessMessages[] = {
    WM_MENU_COMMAND,
    WM_DEVICE_BOUND,
    WM_DEVICE_LOST,
    WM_DEVICE_ONLINE,
};

// Marks the messages above and the hook messages (whose lParam points to the
// hook's event record) as kept in the process. The main window does this
// when it is created, before it serves its first message.
inline void KeepMainWindowMessagesInProcess() {
    for (win::UINT message : kMainWindowInProcessMessages) win::KeepMessageInProcess(message);
    HookMessageId(0);  // registering the hook messages marks them
}
