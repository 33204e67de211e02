// Device commands of one packet: session bracket, host lighting, screen
// upload start, status read and the receiver's link query.
#include <cstring>

#include "link/device_packet.h"
#include "link/device_protocol.h"
#include "platform/os/clock.h"

namespace {

void BuildCommandPacket(uint8_t* packet, uint8_t command) {
    std::memset(packet, 0, kCommandReportSize);
    packet[0] = kCommandReportId;
    packet[kPacketCommand] = command;
    StorePacketChecksum(packet);
}

// The session end waits for the device to settle after the last write.
constexpr win::DWORD kEndSessionPauseMs = 10;
constexpr uint8_t kLinkedMarker = 0xFF;

}  // namespace

int32_t CDeviceProtocol::SinglePacket(uint8_t command) {
    uint8_t packet[kCommandReportSize];
    uint8_t reply[kCommandReportSize] = {};
    BuildCommandPacket(packet, command);
    int32_t result;
    {
        win::CriticalSectionGuard lock(m_commandLock);
        result = Transact(packet, kCommandReportSize, reply, kCommandReportSize, nullptr);
    }
    if (result != PROTOCOL_OK) return result;
    return ReplyStatusResult(reply);
}

int32_t CDeviceProtocol::BeginSession() { return SinglePacket(CMD_BEGIN); }

int32_t CDeviceProtocol::EndSession() {
    win::Sleep(kEndSessionPauseMs);
    return SinglePacket(CMD_END);
}

int32_t CDeviceProtocol::SendLightOn() { return SinglePacket(CMD_LIGHT_ON); }

int32_t CDeviceProtocol::BeginScreenUpload() { return SinglePacket(CMD_SCREEN_BEGIN); }

int32_t CDeviceProtocol::ReadStatus(uint8_t* buffer, uint32_t length, uint16_t address) {
    if (buffer == nullptr) return PROTOCOL_NOT_SENT;
    // A reply carries at most 56 data bytes.
    const uint32_t wanted = length < kPacketMaxData ? length : kPacketMaxData;
    uint8_t packet[kCommandReportSize];
    uint8_t reply[kCommandReportSize] = {};
    BuildCommandPacket(packet, CMD_READ_STATUS);
    packet[kPacketLength] = static_cast<uint8_t>(wanted);
    packet[kPacketOffsetLow] = static_cast<uint8_t>(address & 0xFF);
    packet[kPacketOffsetHigh] = static_cast<uint8_t>(address >> 8);
    StorePacketChecksum(packet);
    uint32_t got = 0;
    int32_t result;
    {
        win::CriticalSectionGuard lock(m_commandLock);
        result = Transact(packet, kCommandReportSize, reply, kCommandReportSize, &got);
    }
    if (result != PROTOCOL_OK) return result;
    result = ReplyStatusResult(reply);
    if (result != PROTOCOL_OK) return result;
    const uint32_t carried = got > kPacketDataOffset ? got - kPacketDataOffset : 0;
    const uint32_t n = wanted < carried ? wanted : carried;
    if (n > 0) std::memcpy(buffer, reply + kPacketDataOffset, n);
    return PROTOCOL_OK;
}

bool CDeviceProtocol::QueryLink() {
    if (!IsReceiverMode()) return true;
    uint8_t packet[kCommandReportSize];
    uint8_t reply[kCommandReportSize] = {};
    BuildCommandPacket(packet, CMD_LINK_QUERY);
    int32_t result;
    {
        win::CriticalSectionGuard lock(m_commandLock);
        result = Transact(packet, kCommandReportSize, reply, kCommandReportSize, nullptr);
    }
    return result == PROTOCOL_OK && ReplyStatusResult(reply) == PROTOCOL_OK &&
           reply[kPacketDataOffset] == kLinkedMarker;
}
