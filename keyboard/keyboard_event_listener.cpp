// The keyboard's event channel: its two interfaces (cable and receiver), the
// listener thread of each, and what the listeners make of the event codes.
// A listener touches no control: page work goes to the UI thread through the
// event relay; only key events run on the listener, under the effect lock.
#include "keyboard/corvane_keyboard_device.h"

namespace {

constexpr uint16_t kSettingsChanged = 0x0401;
constexpr uint16_t kKeyboardReset = 0x0402;
constexpr uint16_t kKeyDownFirst = 0x0500;
constexpr uint16_t kKeyDownLast = 0x05FF;
constexpr uint16_t kKeyUpFirst = 0x0600;
constexpr uint16_t kKeyUpLast = 0x06FF;
constexpr uint8_t kProfileSwitched = 0x10;
constexpr uint8_t kProfileSwitchedWithLayer = 0x11;
constexpr size_t kBlockLayerByte = 17;
constexpr uint32_t kResyncDelayMs = 50;

bool IsProfileEvent(uint16_t code) {
    const uint8_t hi = uint8_t(code >> 8);
    return hi == kProfileSwitched || hi == kProfileSwitchedWithLayer;
}

}  // namespace

// --- The two interfaces and their listeners -----------------------------------------

bool CCorvaneKeyboardDevice::IsEventChannelOpen(int type) const { return m_eventListener.IsOpen(type); }

void CCorvaneKeyboardDevice::OpenEventChannel(const std::wstring& path, int type) { m_eventListener.Open(path, type); }

void CCorvaneKeyboardDevice::CloseEventChannel(int type) { m_eventListener.Close(type); }

void CCorvaneKeyboardDevice::ReopenEventChannel(const std::wstring& path, int type) {
    m_eventListener.Reopen(path, type);
}

void CCorvaneKeyboardDevice::StartEventListener(int type) { m_eventListener.Start(type); }

void CCorvaneKeyboardDevice::StopEventListener(int type) { m_eventListener.Stop(type); }

// --- Listener thread -------------------------------------------------------------------

void CCorvaneKeyboardDevice::HandleEventCode(uint16_t code) {
    if (code == kSettingsChanged) {
        m_eventListener.Relay().Post(code);
        return;
    }
    if (code == kKeyboardReset) {
        m_resetPending.store(1);
        m_eventListener.Relay().Post(code);
        return;
    }
    if (code >= kKeyDownFirst && code <= kKeyDownLast) {
        win::CriticalSectionGuard lock(m_effectLock);
        OnKeyEvent(code - kKeyDownFirst, 1);
    } else if (code >= kKeyUpFirst && code <= kKeyUpLast) {
        win::CriticalSectionGuard lock(m_effectLock);
        OnKeyEvent(code - kKeyUpFirst, 2);
        return;
    }
    // Every other code above 0x0402 is offered as a profile event; only
    // 0x10xx and 0x11xx mean one, so only those travel to the UI thread.
    if (code > kKeyboardReset && IsProfileEvent(code)) m_eventListener.Relay().Post(code);
}

// --- UI thread ------------------------------------------------------------------------

void CCorvaneKeyboardDevice::OnRelayedEvent(uint16_t code) {
    if (code == kSettingsChanged || code == kKeyboardReset)
        ArmResyncTimer();
    else
        OnProfileSwitchEvent(code);
}

void CCorvaneKeyboardDevice::ArmResyncTimer() { m_eventListener.Relay().ArmTimer(kResyncDelayMs); }

void CCorvaneKeyboardDevice::OnProfileSwitchEvent(uint16_t code) {
    if (!m_commandChannel.IsOpen() || !IsProfileEvent(code)) return;
    const uint8_t lo = uint8_t(code & 0xFF);
    m_activeProfile = lo & 0x0F;
    if ((code >> 8) == kProfileSwitchedWithLayer) m_blockCopy[kBlockLayerByte] = (lo >> 4) & 0x0F;
    RefreshPage(1);
}
