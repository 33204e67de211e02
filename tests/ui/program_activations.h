#pragma once
// The ways the program activates its own windows, unasked by the user: the
// main window shown again once fitted to the screen, raised as on a device's
// arrival, brought to the front. An open drop list or menu of that window
// must outlast each of them.

#include "platform/os/messages.h"
#include "platform/os/window.h"
#include "platform/ui/win_window_api.h"

namespace tavrik::test {

inline void ShowAgain(win::HWND w) { win::ShowWindow(w, win::SW_SHOW); }

inline void RaiseAsOnArrival(win::HWND w) {
    win::SendMessageW(w, win::WM_SYSCOMMAND, win::SC_RESTORE, 0);
    win::SetWindowPos(w, win::HWND_TOPMOST, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
    win::SetWindowPos(w, win::HWND_NOTOPMOST, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
}

inline void BringToFront(win::HWND w) { win::SetForegroundWindow(w); }

}  // namespace tavrik::test
