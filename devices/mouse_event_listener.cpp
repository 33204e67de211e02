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
constexpr win::DWORD kListenerPassMs = 1;

bool IsProfileEvent(uint16_t code) {
    const uint8_t hi = uint8_t(code >> 8);
    return hi == kProfileSwitched || hi == kProfileAndStageSwitched;
}

// One interface of the event channel: its handle, lock and open flag.
struct EventPort {
    CHidDevice* handle;
    win::CCriticalSection* lock;
    std::atomic<int32_t>* open;
};

bool PortOf(CDeviceProtocol& channel, std::atomic<int32_t>& receiverOpen, int type, EventPort* port) {
    if (type == CCorvaneMouseDevice::kEventWired) {
        *port = {&channel.m_wired, &channel.m_ioLock, &channel.m_open};
        return true;
    }
    if (type == CCorvaneMouseDevice::kEventReceiver) {
        *port = {&channel.m_receiver, &channel.m_receiverLock, &receiverOpen};
        return true;
    }
    return false;
}

}  // namespace

// --- The two interfaces -------------------------------------------------------------

CCorvaneMouseDevice::WorkerRecord* CCorvaneMouseDevice::ListenerRecord(int type) {
    if (type == kEventWired) return &m_wiredListener;
    if (type == kEventReceiver) return &m_receiverListener;
    return nullptr;
}

bool CCorvaneMouseDevice::IsEventChannelOpen(int type) const {
    if (type == kEventWired) return m_eventChannel.m_open.load() != 0;
    if (type == kEventReceiver) return m_receiverEventOpen.load() != 0;
    return false;
}

// --- Opening and closing ----------------------------------------------------------------

void CCorvaneMouseDevice::OpenEventChannel(const std::wstring& path, int type) {
    EventPort port{};
    if (PortOf(m_eventChannel, m_receiverEventOpen, type, &port)) {
        // One listener per interface: a running one must not read the handle
        // while it is replaced.
        StopEventListener(type);
        win::CriticalSectionGuard lock(*port.lock);
        port.handle->Close();
        // A failed open leaves the flag clear: the listener then idles.
        port.open->store(port.handle->Open(path.c_str(), win::TRUE, win::TRUE, win::TRUE, win::FALSE) ? 1 : 0);
    }
    StartEventListener(type);
}

void CCorvaneMouseDevice::CloseEventChannel(int type) {
    EventPort port{};
    if (!PortOf(m_eventChannel, m_receiverEventOpen, type, &port) || !port.open->load()) return;
    // The listener ends before the handle it reads goes.
    StopEventListener(type);
    win::CriticalSectionGuard lock(*port.lock);
    port.open->store(0);
    port.handle->Close();
}

void CCorvaneMouseDevice::ReopenEventChannel(const std::wstring& path, int type) {
    CloseEventChannel(type);
    OpenEventChannel(path, type);
}

// --- Listeners --------------------------------------------------------------------------

void CCorvaneMouseDevice::StartEventListener(int type) {
    WorkerRecord* record = ListenerRecord(type);
    if (!record) return;
    if (record->stopEvent) StopEventListener(type);
    // The relay's window belongs to the calling (UI) thread.
    m_eventRelay.Attach([this](uint16_t code) { OnProfileSwitchEvent(code); }, {});
    record->Start(this, type == kEventWired ? &MouseEventThreadProc : &MouseDongleEventThreadProc, m_runningListeners);
}

void CCorvaneMouseDevice::StopEventListener(int type) {
    // The stop sets the thread's cancel event, which ends a read in progress.
    if (WorkerRecord* record = ListenerRecord(type)) record->Stop(win::kListenerStopBoundMs, "mouse event listener");
}

win::DWORD CCorvaneMouseDevice::MouseEventThreadProc(void* parameter) {
    auto* param = static_cast<win::WorkerParam*>(parameter);
    auto* page = static_cast<CCorvaneMouseDevice*>(param->owner);
    page->RunEventListener(kEventWired, param->stopEvent);
    page->m_runningListeners.fetch_sub(1);
    return 0;
}

win::DWORD CCorvaneMouseDevice::MouseDongleEventThreadProc(void* parameter) {
    auto* param = static_cast<win::WorkerParam*>(parameter);
    auto* page = static_cast<CCorvaneMouseDevice*>(param->owner);
    page->RunEventListener(kEventReceiver, param->stopEvent);
    page->m_runningListeners.fetch_sub(1);
    return 0;
}

void CCorvaneMouseDevice::RunEventListener(int type, win::HANDLE stopEvent) {
    EventPort port{};
    if (!PortOf(m_eventChannel, m_receiverEventOpen, type, &port)) return;
    // The stop event starts unset; clearing it here could swallow a stop
    // given before the thread ran.
    while (win::WaitForSingleObject(stopEvent, kListenerPassMs) == win::WAIT_TIMEOUT) {
        if (!port.open->load()) {
            // The interface opens only through OpenEventChannel, which starts
            // a listener of its own: this one has nothing to read until its stop.
            win::WaitForSingleObject(stopEvent, win::INFINITE);
            break;
        }
        win::DWORD length = 0;
        // No time-out: the read waits on this thread's cancel event too.
        if (!port.handle->ReadInputReport(&length, win::INFINITE)) continue;
        uint16_t code = 0;
        if (!port.handle->UnpackInputReport(length, &code)) continue;
        HandleEventCode(type, code);
    }
}

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
    if (code > kResyncEvent && IsProfileEvent(code)) m_eventRelay.Post(code);
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
