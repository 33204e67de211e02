#pragma once
// Carries what a keyboard's event listener finds to the UI thread: a hidden
// message-only window of the UI thread to which the listener posts event
// codes, and the resync timer that the UI thread arms on it. The listener
// never touches a control; the codes arrive in their order.

#include <cstdint>
#include <functional>

#include "platform/files/win_types.h"

class KeyboardEventRelay {
public:
    using EventHandler = std::function<void(uint16_t code)>;
    using TimerHandler = std::function<void()>;

    KeyboardEventRelay() = default;
    // Destroys the window; on the thread that created it.
    ~KeyboardEventRelay();
    KeyboardEventRelay(const KeyboardEventRelay&) = delete;
    KeyboardEventRelay& operator=(const KeyboardEventRelay&) = delete;

    // Creates the window on the calling (UI) thread the first time; the
    // handlers run there. False when no window could be made.
    bool Attach(EventHandler onEvent, TimerHandler onTimer);
    // Any thread: hands the code to the UI thread. False without a window.
    bool Post(uint16_t code);
    // UI thread: runs the timer handler once, ms from now (re-arming replaces).
    void ArmTimer(uint32_t ms);

private:
    static win::LRESULT WindowProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam);

    win::HWND m_window = nullptr;
    EventHandler m_onEvent;
    TimerHandler m_onTimer;
};
