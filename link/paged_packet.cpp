#include "link/paged_packet.h"

#include <cstring>

#include "link/device_packet.h"

bool PagedTransferFits(const PagedTransfer& transfer) {
    if (transfer.chunk == 0 || transfer.chunk > kPacketMaxData) return false;
    if (transfer.total == 0) return true;
    const uint64_t lastPosition = (static_cast<uint64_t>(transfer.total) - 1) / transfer.chunk * transfer.chunk;
    const uint64_t lastOffset = transfer.baseOffset + lastPosition;
    const uint64_t limit = transfer.wideOffset ? 0xFFFFFFull : 0xFFFFull;
    return lastOffset <= limit;
}

uint32_t PagedPacketCount(const PagedTransfer& transfer) {
    if (transfer.chunk == 0) return 0;
    return static_cast<uint32_t>((static_cast<uint64_t>(transfer.total) + transfer.chunk - 1) / transfer.chunk);
}

void BeginPagedPacket(uint8_t* packet, uint8_t command) {
    std::memset(packet, 0, kCommandReportSize);
    packet[0] = kCommandReportId;
    packet[kPacketCommand] = command;
    packet[kPacketStatus] = 0;
}

uint32_t FillPagedPacket(uint8_t* packet, const PagedTransfer& transfer, uint32_t position) {
    const uint32_t remaining = transfer.total - position;
    const uint32_t n = transfer.chunk < remaining ? transfer.chunk : remaining;
    const uint32_t offset = transfer.baseOffset + position;
    packet[kPacketLength] = static_cast<uint8_t>(n);
    packet[kPacketOffsetLow] = static_cast<uint8_t>(offset & 0xFF);
    packet[kPacketOffsetHigh] = static_cast<uint8_t>((offset >> 8) & 0xFF);
    if (transfer.wideOffset) packet[kPacketStatus] = static_cast<uint8_t>((offset >> 16) & 0xFF);
    if (transfer.source != nullptr && n > 0) std::memcpy(packet + kPacketDataOffset, transfer.source + position, n);
    StorePacketChecksum(packet);
    return n;
}
