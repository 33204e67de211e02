#pragma once
// Test support: the channel set-up the owners of a command channel perform,
// on emulated devices of the in-process HID bus.

#include "link/device_protocol.h"
#include "platform/os/critical_section.h"
#include "tools/devsim/emulator.h"
#include "tools/devsim/sim_fixture.h"

namespace tavrik::test {

// Opens the command channel as the main window does: under the I/O lock,
// close then open the handle of the connection, set the open flag and mode.
inline bool OpenCommandChannel(CDeviceProtocol& channel, const devsim::Emulator& device) {
    const bool receiver = device.Product().receiver;
    win::CriticalSectionGuard io(channel.m_ioLock);
    CHidDevice& handle = receiver ? channel.m_receiver : channel.m_wired;
    handle.Close();
    if (!handle.Open(device.InterfacePath().c_str(), 1, 1, 1, 0)) return false;
    channel.SetOpen(true);
    channel.SetConnectMode(receiver ? CDeviceProtocol::kConnectReceiver : CDeviceProtocol::kConnectWired);
    return true;
}

// Time-outs short enough for tests that wait for replies that never come.
inline ProtocolTimeouts FastTimeouts() {
    ProtocolTimeouts t;
    t.wiredWrite = 200;
    t.wiredRead = 150;
    t.wiredLongRead = 1200;
    t.receiverWrite = 200;
    t.receiverRead = 150;
    t.streamWired = 150;
    t.streamReceiver = 100;
    return t;
}

inline void CloseCommandChannel(CDeviceProtocol& channel) {
    win::CriticalSectionGuard io(channel.m_ioLock);
    channel.SetOpen(false);
    channel.m_wired.Close();
    channel.m_receiver.Close();
}

}  // namespace tavrik::test
