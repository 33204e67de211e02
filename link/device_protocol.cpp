#include "link/device_protocol.h"

#include "link/channel_watch.h"
#include "link/device_packet.h"

CDeviceProtocol::CDeviceProtocol() = default;

// The handles close themselves when they are destroyed (receiver first, then
// wired, as members go in reverse order of declaration).
CDeviceProtocol::~CDeviceProtocol() { m_open.store(0); }

void CDeviceProtocol::SetOpen(bool open) {
    if (m_open.exchange(open ? 1 : 0) != (open ? 1 : 0)) channel_watch::Notify();
}

void CDeviceProtocol::SetSyncFlag(int32_t flag) {
    if (m_syncFlag.exchange(flag) != flag) channel_watch::Notify();
}

int32_t CDeviceProtocol::SetDataSize(uint16_t size) {
    if (size > kMaxDataSize) return 0;
    m_dataSize.store(size);
    return 1;
}

void CDeviceProtocol::SetConnectMode(int32_t mode) {
    if (mode == kConnectReceiver) {
        m_receiverMode.store(1);
        m_chunkSize.store(kReceiverChunkSize);
    } else {
        m_receiverMode.store(0);
        m_chunkSize.store(kWiredChunkSize);
    }
}
