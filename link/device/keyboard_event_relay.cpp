#include "link/device/keyboard_event_relay.h"

#include "platform/os/message_queue.h"
#include "platform/os/window.h"

namespace {

constexpr win::UINT kRelayedEventMessage = win::WM_APP + 0x41;
constexpr win::UINT_PTR kRelayTimerId = 1;

}  // namespace

KeyboardEventRelay::~KeyboardEventRelay() {
    if (m_window) win::DestroyWindow(m_window);
}

bool KeyboardEventRelay::Attach(EventHandler onEvent, TimerHandler onTimer) {
    if (m_window) return true;
    m_onEvent = std::move(onEvent);
    m_onTimer = std::move(onTimer);
    m_window = win::CreateWindowHandle(&KeyboardEventRelay::WindowProc, L"KeyboardEventRelay", win::HWND_MESSAGE);
    if (!m_window) return false;
    win::SetWindowLongPtrW(m_window, win::GWLP_USERDATA, reinterpret_cast<win::LONG_PTR>(this));
    return true;
}

bool KeyboardEventRelay::Post(uint16_t code) {
    return m_window && win::PostMessageW(m_window, kRelayedEventMessage, code, 0);
}

void KeyboardEventRelay::ArmTimer(uint32_t ms) {
    if (m_window) win::SetTimer(m_window, kRelayTimerId, ms, nullptr);
}

win::LRESULT KeyboardEventRelay::WindowProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
    auto* relay = reinterpret_cast<KeyboardEventRelay*>(win::GetWindowLongPtrW(hwnd, win::GWLP_USERDATA));
    if (relay && message == kRelayedEventMessage) {
        if (relay->m_onEvent) relay->m_onEvent(uint16_t(wParam));
        return 0;
    }
    if (relay && message == win::WM_TIMER && wParam == kRelayTimerId) {
        // One run per arming.
        win::KillTimer(hwnd, kRelayTimerId);
        if (relay->m_onTimer) relay->m_onTimer();
        return 0;
    }
    return win::DefWindowProcW(hwnd, message, wParam, lParam);
}
