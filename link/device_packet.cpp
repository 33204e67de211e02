#include "link/device_packet.h"

#include <cstring>

uint16_t PacketChecksum(const uint8_t* packet) {
    uint32_t sum = 0;
    for (uint32_t i = kPacketCommand; i < kCommandReportSize; ++i) sum += packet[i];
    // 61 bytes of at most 255 each: 15555, always within 16 bits.
    return static_cast<uint16_t>(sum);
}

void StorePacketChecksum(uint8_t* packet) {
    const uint16_t sum = PacketChecksum(packet);
    packet[kPacketChecksumLow] = static_cast<uint8_t>(sum & 0xFF);
    packet[kPacketChecksumHigh] = static_cast<uint8_t>(sum >> 8);
}

void PadRequest(const uint8_t* request, uint32_t length, uint8_t* packet) {
    const uint32_t n = length < kCommandReportSize ? length : kCommandReportSize;
    if (n > 0) std::memcpy(packet, request, n);
    if (n < kCommandReportSize) std::memset(packet + n, 0, kCommandReportSize - n);
}

int32_t ReplyStatusResult(const uint8_t* reply) {
    switch (reply[kPacketStatus]) {
        case kReplyStatusFailed:
            return PROTOCOL_STATUS_FAILED;
        case kReplyStatusRefused:
            return PROTOCOL_STATUS_REFUSED;
        default:
            return PROTOCOL_OK;
    }
}

bool IsScreenUploadCommand(uint8_t command) { return command >= CMD_SCREEN_DATA && command <= CMD_SCREEN_BEGIN; }
