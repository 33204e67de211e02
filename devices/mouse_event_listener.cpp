// The mouse's event channel: its two interfaces (cable, type 2; receiver,
// type 6), the listener of each and what the listeners make of the event
// codes. A listener touches no control: the resync goes through the device
// entry's timer and a profile event to the UI thread through the relay; only
// the reactive trigger runs on the listener, under the effect lock.
#include "devices/corvane_mouse_device.h"

#include "link/device/device_option_ui.h"

namespace {

constexpr uint8_t kProfileSwitched = 0x10;
constexpr uint8_t kProfileAndStageSwitched = 0x11;
constexpr uint32_t kResyncDelayMs = 50;

bool IsProfileEvent(uint16_t code) {
    const uint8_t hi = uint8_t(code >> 8);
    return hi == kProfileSwitched || hi == kProfileAndStageSwitched;
}

}  // namespace

// --- The two interfaces and their listeners -------------------------------------------

bool CCorvaneMouseDevice::IsEventChannelOpen(int type) const { return m_eventListener.IsOpen(type); }

void CCorvaneMouseDevice::OpenEventChannel(const std::wstring& path, int type) { m_eventListener.Open(path, type); }

void CCorvaneMouseDevice::CloseEventChannel(int type) { m_eventListener.Close(type); }

void CCorvaneMouseDevice::ReopenEventChannel(const std::wstring& path, int type) { m_eventListener.Reopen(path, type); }

void CCorvaneMouseDevice::StartEventListener(int type) { m_eventListener.Start(type); }

void CCorvaneMouseDevice::StopEventListener(int type) { m_eventListener.Stop(type); }

// --- Listener thread ---------------------------------------------------------------------

void CCorvaneMouseDevice::HandleEventCode(int type, uint16_t code) {
    if (code == kResyncEvent) {
        m_resyncRequests.fetch_add(1);
        // The device entry's timer reads the active profile on the UI thread.
        if (m_pDeviceOption) m_pDeviceOption->ArmTimer(TIMER_OPTION_RESYNC, kResyncDelayMs);
        return;
    }
    // The receiver passes the mouse's trigger on; the lighting only follows the cable's.
    if (code == kTriggerEvent) {
        if (type == kEventWired) TriggerReactive();
        return;
    }
    if (code > kResyncEvent && IsProfileEvent(code)) m_eventListener.Relay().Post(code);
}

// --- UI thread --------------------------------------------------------------------------

void CCorvaneMouseDevice::OnProfileSwitchEvent(uint16_t code) {
    if (!m_commandChannel.IsOpen() || !IsProfileEvent(code)) return;
    const uint8_t profile = uint8_t(code & 0x0F);
    {
        std::lock_guard lock(m_blockLock);
        m_lastDeviceBlock[mouse_block::kProfile] = profile;
        if ((code >> 8) == kProfileAndStageSwitched)
            m_lastDeviceBlock[mouse_block::kActiveStage] = uint8_t((code >> 4) & 0x0F);
    }
    m_activeProfile = profile;
    RefreshPage(1);
}
