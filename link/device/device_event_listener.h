#pragma once
// The listeners of a device's event channel: its two interfaces (the cable's
// and the receiver's), one listener thread on each, and the relay that
// carries what they find to the UI thread. A listener reads event codes and
// hands each, on its own thread, to the page's code handler; what a code
// means is the page's. The listeners touch no control.
//
// Threads: open, close, start and stop run on the UI thread (the relay's
// window belongs to the thread that starts the first listener). Stopping a
// listener sets its thread's cancel event, which ends a read in progress;
// nothing is terminated.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "link/device/keyboard_event_relay.h"
#include "link/device_protocol.h"
#include "link/page_worker.h"
#include "platform/os/critical_section.h"
#include "platform/files/win_types.h"

class DeviceEventListener {
public:
    // What the listener of the interface of `type` does with a code it read
    // (listener thread).
    using CodeHandler = std::function<void(int type, uint16_t code)>;

    // The cable interface of `channel` has the connection type `wiredType`,
    // its receiver interface `receiverType`; `name` names the listeners when
    // one is slow to stop.
    DeviceEventListener(CDeviceProtocol& channel, int wiredType, int receiverType, const char* name);
    // Stops both listeners; a page stops them itself before anything its
    // handlers use goes.
    ~DeviceEventListener();
    DeviceEventListener(const DeviceEventListener&) = delete;
    DeviceEventListener& operator=(const DeviceEventListener&) = delete;

    // The handlers the listeners and the relay run; set before the first start.
    void SetHandlers(CodeHandler onCode, KeyboardEventRelay::EventHandler onRelayed,
                     KeyboardEventRelay::TimerHandler onTimer);

    // Opens the type's interface on the path and starts its listener,
    // stopping a running one first; another type opens nothing.
    void Open(const std::wstring& path, int type);
    // When the type's interface is open: stops its listener, then closes it.
    void Close(int type);
    void Reopen(const std::wstring& path, int type);
    void Start(int type);
    // Ends the type's listener and joins it; nothing when none runs.
    void Stop(int type);
    bool IsOpen(int type) const;
    // Listener threads started and not yet ended.
    int Running() const { return m_running.load(); }
    // Carries codes from the listeners to the UI thread.
    KeyboardEventRelay& Relay() { return m_relay; }

private:
    // The interface, lock and open flag of a connection type.
    struct Port {
        CHidDevice* handle;
        win::CCriticalSection* lock;
        std::atomic<int32_t>* open;
    };
    bool PortOf(int type, Port* port);
    PageWorker* RecordOf(int type);
    static win::DWORD WiredThreadProc(void* parameter);
    static win::DWORD ReceiverThreadProc(void* parameter);
    static win::DWORD ThreadMain(void* parameter, bool receiver);
    void Run(int type, win::HANDLE stopEvent);

    CDeviceProtocol& m_channel;
    const int m_wiredType;
    const int m_receiverType;
    const char* const m_name;
    CodeHandler m_onCode;
    KeyboardEventRelay::EventHandler m_onRelayed;
    KeyboardEventRelay::TimerHandler m_onTimer;
    // The receiver interface's open flag (the cable's is the channel's own).
    std::atomic<int32_t> m_receiverOpen{0};
    PageWorker m_wiredListener;
    PageWorker m_receiverListener;
    std::atomic<int> m_running{0};
    KeyboardEventRelay m_relay;
};
