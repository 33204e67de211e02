#include "link/device/device_event_listener.h"

#include "platform/os/event.h"
#include "platform/os/thread.h"

namespace {

constexpr win::DWORD kListenerPassMs = 1;

}  // namespace

DeviceEventListener::DeviceEventListener(CDeviceProtocol& channel, int wiredType, int receiverType, const char* name)
    : m_channel(channel), m_wiredType(wiredType), m_receiverType(receiverType), m_name(name) {}

DeviceEventListener::~DeviceEventListener() {
    Stop(m_wiredType);
    Stop(m_receiverType);
}

void DeviceEventListener::SetHandlers(CodeHandler onCode, KeyboardEventRelay::EventHandler onRelayed,
                                      KeyboardEventRelay::TimerHandler onTimer) {
    m_onCode = std::move(onCode);
    m_onRelayed = std::move(onRelayed);
    m_onTimer = std::move(onTimer);
}

bool DeviceEventListener::PortOf(int type, Port* port) {
    if (type == m_wiredType) {
        *port = {&m_channel.m_wired, &m_channel.m_ioLock, &m_channel.m_open};
        return true;
    }
    if (type == m_receiverType) {
        *port = {&m_channel.m_receiver, &m_channel.m_receiverLock, &m_receiverOpen};
        return true;
    }
    return false;
}

PageWorker* DeviceEventListener::RecordOf(int type) {
    if (type == m_wiredType) return &m_wiredListener;
    if (type == m_receiverType) return &m_receiverListener;
    return nullptr;
}

bool DeviceEventListener::IsOpen(int type) const {
    if (type == m_wiredType) return m_channel.m_open.load() != 0;
    if (type == m_receiverType) return m_receiverOpen.load() != 0;
    return false;
}

// --- Opening and closing ----------------------------------------------------------

void DeviceEventListener::Open(const std::wstring& path, int type) {
    Port port{};
    if (!PortOf(type, &port)) return;
    // One listener per interface: the running one must not read the handle
    // while it is replaced.
    Stop(type);
    {
        win::CriticalSectionGuard lock(*port.lock);
        port.handle->Close();
        // A failed open leaves the flag clear: the listener then idles.
        port.open->store(port.handle->Open(path.c_str(), win::TRUE, win::TRUE, win::TRUE, win::FALSE) ? 1 : 0);
    }
    Start(type);
}

void DeviceEventListener::Close(int type) {
    Port port{};
    if (!PortOf(type, &port) || !port.open->load()) return;
    // The listener ends before the handle it reads goes.
    Stop(type);
    win::CriticalSectionGuard lock(*port.lock);
    port.open->store(0);
    port.handle->Close();
}

void DeviceEventListener::Reopen(const std::wstring& path, int type) {
    Close(type);
    Open(path, type);
}

// --- Listeners ------------------------------------------------------------------------

void DeviceEventListener::Start(int type) {
    PageWorker* record = RecordOf(type);
    if (!record) return;
    if (record->stopEvent) Stop(type);
    // The relay's window belongs to the calling (UI) thread.
    m_relay.Attach(m_onRelayed, m_onTimer);
    record->Start(this, type == m_wiredType ? &WiredThreadProc : &ReceiverThreadProc, m_running);
}

void DeviceEventListener::Stop(int type) {
    // The stop sets the thread's cancel event, which ends a read in progress.
    if (PageWorker* record = RecordOf(type)) record->Stop(win::kListenerStopBoundMs, m_name);
}

win::DWORD DeviceEventListener::WiredThreadProc(void* parameter) { return ThreadMain(parameter, false); }

win::DWORD DeviceEventListener::ReceiverThreadProc(void* parameter) { return ThreadMain(parameter, true); }

win::DWORD DeviceEventListener::ThreadMain(void* parameter, bool receiver) {
    auto* param = static_cast<win::WorkerParam*>(parameter);
    auto* listener = static_cast<DeviceEventListener*>(param->owner);
    listener->Run(receiver ? listener->m_receiverType : listener->m_wiredType, param->stopEvent);
    listener->m_running.fetch_sub(1);
    return 0;
}

void DeviceEventListener::Run(int type, win::HANDLE stopEvent) {
    Port port{};
    if (!PortOf(type, &port)) return;
    // The stop event starts unset; clearing it here could swallow a stop
    // given before the thread ran.
    while (win::WaitForSingleObject(stopEvent, kListenerPassMs) == win::WAIT_TIMEOUT) {
        if (!port.open->load()) {
            // The interface opens only through Open, which starts a listener
            // of its own: this one has nothing to read until its stop.
            win::WaitForSingleObject(stopEvent, win::INFINITE);
            break;
        }
        win::DWORD length = 0;
        // No time-out: the read waits on this thread's cancel event too, so a
        // quiet device costs no wake-ups.
        if (!port.handle->ReadInputReport(&length, win::INFINITE)) continue;
        uint16_t code = 0;
        if (!port.handle->UnpackInputReport(length, &code)) continue;
        if (m_onCode) m_onCode(type, code);
    }
}
