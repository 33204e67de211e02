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
constexpr win::DWORD kListenerPassMs = 1;

bool IsProfileEvent(uint16_t code) {
    const uint8_t hi = uint8_t(code >> 8);
    return hi == kProfileSwitched || hi == kProfileSwitchedWithLayer;
}

}  // namespace

bool CCorvaneKeyboardDevice::GetEventPort(int type, EventPort* port) {
    if (type == kEventWired) {
        *port = {&m_eventChannel.m_wired, &m_eventChannel.m_ioLock, &m_eventChannel.m_open};
        return true;
    }
    if (type == kEventReceiver) {
        *port = {&m_eventChannel.m_receiver, &m_eventChannel.m_receiverLock, &m_receiverEventOpen};
        return true;
    }
    return false;
}

CCorvaneKeyboardDevice::WorkerRecord* CCorvaneKeyboardDevice::ListenerRecord(int type) {
    if (type == kEventWired) return &m_wiredListener;
    if (type == kEventReceiver) return &m_receiverListener;
    return nullptr;
}

bool CCorvaneKeyboardDevice::IsEventChannelOpen(int type) const {
    if (type == kEventWired) return m_eventChannel.m_open.load() != 0;
    if (type == kEventReceiver) return m_receiverEventOpen.load() != 0;
    return false;
}

// --- Opening and closing ----------------------------------------------------------

void CCorvaneKeyboardDevice::OpenEventInterface(const std::wstring& path, int type) {
    EventPort port{};
    if (!GetEventPort(type, &port)) return;
    win::CriticalSectionGuard lock(*port.lock);
    port.handle->Close();
    // A failed open leaves the flag clear: the listener then idles.
    port.open->store(port.handle->Open(path.c_str(), win::TRUE, win::TRUE, win::TRUE, win::FALSE) ? 1 : 0);
}

void CCorvaneKeyboardDevice::OpenEventChannel(const std::wstring& path, int type) {
    if (!ListenerRecord(type)) return;
    // One listener per interface: the running one must not read the handle
    // while it is replaced.
    StopEventListener(type);
    OpenEventInterface(path, type);
    StartEventListener(type);
}

void CCorvaneKeyboardDevice::CloseEventChannel(int type) {
    EventPort port{};
    if (!GetEventPort(type, &port) || !port.open->load()) return;
    StopEventListener(type);
    win::CriticalSectionGuard lock(*port.lock);
    port.open->store(0);
    port.handle->Close();
}

void CCorvaneKeyboardDevice::ReopenEventChannel(const std::wstring& path, int type) {
    CloseEventChannel(type);
    OpenEventChannel(path, type);
}

// --- Listeners ------------------------------------------------------------------------

void CCorvaneKeyboardDevice::StartEventListener(int type) {
    WorkerRecord* record = ListenerRecord(type);
    if (!record) return;
    if (record->stopEvent) StopEventListener(type);
    m_eventRelay.Attach([this](uint16_t code) { OnRelayedEvent(code); }, [this] { ReadActiveProfile(); });
    StartWorkerThread(*record, type == kEventWired ? &KeyboardEventThreadProc : &DongleEventThreadProc,
                      m_runningListeners);
}

void CCorvaneKeyboardDevice::StopEventListener(int type) {
    if (WorkerRecord* record = ListenerRecord(type))
        StopWorkerThread(*record, win::kListenerStopBoundMs, "keyboard event listener");
}

win::DWORD CCorvaneKeyboardDevice::KeyboardEventThreadProc(void* parameter) {
    auto* param = static_cast<win::WorkerParam*>(parameter);
    auto* page = static_cast<CCorvaneKeyboardDevice*>(param->owner);
    page->RunEventListener(kEventWired, param->stopEvent);
    page->m_runningListeners.fetch_sub(1);
    return 0;
}

win::DWORD CCorvaneKeyboardDevice::DongleEventThreadProc(void* parameter) {
    auto* param = static_cast<win::WorkerParam*>(parameter);
    auto* page = static_cast<CCorvaneKeyboardDevice*>(param->owner);
    page->RunEventListener(kEventReceiver, param->stopEvent);
    page->m_runningListeners.fetch_sub(1);
    return 0;
}

void CCorvaneKeyboardDevice::RunEventListener(int type, win::HANDLE stopEvent) {
    EventPort port{};
    if (!GetEventPort(type, &port)) return;
    // The read waits for a report without a time-out: stopping the listener
    // cancels the thread's I/O, so a quiet keyboard costs no wake-ups.
    while (win::WaitForSingleObject(stopEvent, kListenerPassMs) == win::WAIT_TIMEOUT) {
        if (!port.open->load()) {
            // The interface opens only through OpenEventChannel, which starts
            // a listener of its own: this one has nothing to read until its stop.
            win::WaitForSingleObject(stopEvent, win::INFINITE);
            break;
        }
        win::DWORD length = 0;
        if (!port.handle->ReadInputReport(&length, win::INFINITE)) continue;
        uint16_t code = 0;
        if (!port.handle->UnpackInputReport(length, &code)) continue;
        HandleEventCode(code);
    }
}

void CCorvaneKeyboardDevice::HandleEventCode(uint16_t code) {
    if (code == kSettingsChanged) {
        m_eventRelay.Post(code);
        return;
    }
    if (code == kKeyboardReset) {
        m_resetPending.store(1);
        m_eventRelay.Post(code);
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
    if (code > kKeyboardReset && IsProfileEvent(code)) m_eventRelay.Post(code);
}

// --- UI thread ------------------------------------------------------------------------

void CCorvaneKeyboardDevice::OnRelayedEvent(uint16_t code) {
    if (code == kSettingsChanged || code == kKeyboardReset)
        ArmResyncTimer();
    else
        OnProfileSwitchEvent(code);
}

void CCorvaneKeyboardDevice::ArmResyncTimer() { m_eventRelay.ArmTimer(kResyncDelayMs); }

void CCorvaneKeyboardDevice::OnProfileSwitchEvent(uint16_t code) {
    if (!m_commandChannel.IsOpen() || !IsProfileEvent(code)) return;
    const uint8_t lo = uint8_t(code & 0xFF);
    m_activeProfile = lo & 0x0F;
    if ((code >> 8) == kProfileSwitchedWithLayer) m_blockCopy[kBlockLayerByte] = (lo >> 4) & 0x0F;
    RefreshPage(1);
}
