// The request/reply exchange of one command report.
#include <cstring>

#include "link/device_packet.h"
#include "link/device_protocol.h"

namespace {

// Counts a running transaction for as long as it lives, so that two
// overlapping transactions never clear each other's mark.
class BusyMark {
public:
    explicit BusyMark(std::atomic<int32_t>& busy) : busy_(busy) { busy_.fetch_add(1); }
    ~BusyMark() { busy_.fetch_sub(1); }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

private:
    std::atomic<int32_t>& busy_;
};

constexpr uint32_t kMaxReads = 2;

}  // namespace

int32_t CDeviceProtocol::Transact(const uint8_t* request, uint32_t requestLength, uint8_t* reply, uint32_t replyLength,
                                  uint32_t* bytesRead) {
    return Exchange(request, requestLength, reply, replyLength, bytesRead, false);
}

int32_t CDeviceProtocol::TransactStream(const uint8_t* request, uint32_t requestLength, uint8_t* reply,
                                        uint32_t replyLength, uint32_t* bytesRead) {
    return Exchange(request, requestLength, reply, replyLength, bytesRead, true);
}

int32_t CDeviceProtocol::Exchange(const uint8_t* request, uint32_t requestLength, uint8_t* reply, uint32_t replyLength,
                                  uint32_t* bytesRead, bool stream) {
    BusyMark busy(m_busy);
    if (bytesRead != nullptr) *bytesRead = 0;
    // The reply's command byte must be there to be matched.
    if (reply == nullptr || replyLength <= kPacketCommand) return PROTOCOL_NOT_SENT;
    if (request == nullptr) requestLength = 0;
    if (!IsOpen()) return PROTOCOL_NOT_SENT;

    uint8_t packet[kCommandReportSize];
    PadRequest(request, requestLength, packet);
    const uint8_t command = packet[kPacketCommand];
    if (m_restricted.load() != 0 && !IsScreenUploadCommand(command)) return PROTOCOL_NOT_SENT;

    win::CriticalSectionGuard io(m_ioLock);
    // Re-checked under the lock: the owners clear the flag under it before
    // they close the handles.
    if (!IsOpen()) return PROTOCOL_NOT_SENT;
    const bool receiver = IsReceiverMode();
    CHidDevice& handle = receiver ? m_receiver : m_wired;
    uint32_t writeTimeout;
    uint32_t readTimeout;
    if (stream) {
        writeTimeout = readTimeout = receiver ? m_timeouts.streamReceiver : m_timeouts.streamWired;
    } else if (receiver) {
        writeTimeout = m_timeouts.receiverWrite;
        readTimeout = m_timeouts.receiverRead;
    } else {
        writeTimeout = m_timeouts.wiredWrite;
        readTimeout = IsLongWait() ? m_timeouts.wiredLongRead : m_timeouts.wiredRead;
    }

    // Replies that arrived after an earlier request timed out would otherwise
    // be taken as the answer to this one.
    handle.FlushInput();
    win::DWORD written = 0;
    if (!handle.Write(packet, kCommandReportSize, &written, writeTimeout)) return PROTOCOL_WRITE_FAILED;

    int32_t result = PROTOCOL_NOT_SENT;
    for (uint32_t attempt = 0; attempt < kMaxReads; ++attempt) {
        win::DWORD got = 0;
        result = handle.Read(reply, replyLength, &got, readTimeout) ? PROTOCOL_OK : PROTOCOL_NOT_SENT;
        if (bytesRead != nullptr) *bytesRead = got;
        const uint8_t answered = reply[kPacketCommand];
        if (answered == command) return result;
        if (receiver && answered == CMD_LINK_QUERY && command != CMD_LINK_QUERY) return PROTOCOL_NOT_LINKED;
    }
    // Both reads brought answers to some other command: this one was not answered.
    return PROTOCOL_NOT_SENT;
}
