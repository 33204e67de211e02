// Device commands whose data is cut into chunks, one 64-byte report each.
#include <cstring>

#include "link/device_packet.h"
#include "link/device_protocol.h"
#include "link/paged_packet.h"

namespace {

// Offset of the first byte of a page; false when it does not fit the 32-bit
// arithmetic (it could never fit the 16-bit offset field either).
bool PageBase(uint32_t page, uint32_t pageSize, uint32_t* base) {
    const uint64_t value = static_cast<uint64_t>(page) * pageSize;
    if (value > 0xFFFFFFFFull) return false;
    *base = static_cast<uint32_t>(value);
    return true;
}

constexpr uint32_t kKeyMapPageSize = 512;
constexpr uint32_t kDeviceInfoSize = DeviceInfoBlock::kSize;

}  // namespace

int32_t CDeviceProtocol::Paged(const PagedTransfer& transfer, uint8_t* destination, PacketLock lock, bool stream,
                               const PacketHook* hook) {
    // Offsets that wrap would address the wrong part of the device's memory.
    if (!PagedTransferFits(transfer)) return PROTOCOL_NOT_SENT;
    win::CCriticalSection& section = lock == PacketLock::Stream ? m_streamLock : m_commandLock;
    uint8_t packet[kCommandReportSize];
    uint8_t reply[kCommandReportSize];
    BeginPagedPacket(packet, transfer.command);
    for (uint32_t position = 0; position < transfer.total; position += transfer.chunk) {
        const uint32_t n = FillPagedPacket(packet, transfer, position);
        // The colour stream never queues behind another thread's transaction:
        // a frame that cannot go now is superseded by the next one anyway.
        if (stream && IsBusy()) continue;
        std::memset(reply, 0, sizeof reply);
        int32_t result;
        {
            win::CriticalSectionGuard held(section);
            result = stream ? TransactStream(packet, kCommandReportSize, reply, kCommandReportSize, nullptr)
                            : Transact(packet, kCommandReportSize, reply, kCommandReportSize, nullptr);
        }
        if (result != PROTOCOL_OK) return result;
        result = ReplyStatusResult(reply);
        if (result != PROTOCOL_OK) return result;
        if (destination != nullptr) std::memcpy(destination + position, reply + kPacketDataOffset, n);
        if (hook != nullptr) hook->afterPacket(hook->context, packet, position + n, transfer.total);
    }
    return PROTOCOL_OK;
}

int32_t CDeviceProtocol::ReadDeviceInfo(DeviceInfoBlock* block) {
    if (block == nullptr) return PROTOCOL_NOT_SENT;
    DeviceInfoBlock read;
    const PagedTransfer t{CMD_READ_INFO, kDeviceInfoSize, ChunkSize(), 0, false, nullptr};
    const int32_t result = Paged(t, read.bytes, PacketLock::Command, false, nullptr);
    if (result == PROTOCOL_OK) *block = read;
    return result;
}

int32_t CDeviceProtocol::ReadLayoutTable(uint8_t* buffer) {
    if (buffer == nullptr) return PROTOCOL_NOT_SENT;
    const PagedTransfer t{CMD_READ_LAYOUT, DataSize(), ChunkSize(), 0, false, nullptr};
    return Paged(t, buffer, PacketLock::Command, false, nullptr);
}

int32_t CDeviceProtocol::ReadLedMap(uint8_t* buffer) {
    if (buffer == nullptr) return PROTOCOL_NOT_SENT;
    const PagedTransfer t{CMD_READ_LEDMAP, DataSize() / 3u, ChunkSize(), 0, false, nullptr};
    return Paged(t, buffer, PacketLock::Command, false, nullptr);
}

int32_t CDeviceProtocol::WriteKeyMap(const uint8_t* keyMap, uint32_t page) {
    if (page != 0) return PROTOCOL_BAD_PAGE;
    if (keyMap == nullptr) return PROTOCOL_NOT_SENT;
    const PagedTransfer t{CMD_WRITE_KEYMAP, DataSize(), ChunkSize(), page * kKeyMapPageSize, false, keyMap};
    return Paged(t, nullptr, PacketLock::Command, false, nullptr);
}

int32_t CDeviceProtocol::WriteMacros(const uint8_t* blob, uint32_t length) {
    if (blob == nullptr && length > 0) return PROTOCOL_NOT_SENT;
    const PagedTransfer t{CMD_WRITE_MACROS, length, ChunkSize(), 0, false, blob};
    return Paged(t, nullptr, PacketLock::Command, false, nullptr);
}

int32_t CDeviceProtocol::WriteShootData(const uint8_t* blob, uint32_t length) {
    if (blob == nullptr && length > 0) return PROTOCOL_NOT_SENT;
    // Recoil data always travels in full-size chunks, through the receiver too.
    const PagedTransfer t{CMD_WRITE_SHOOT, length, kWiredChunkSize, 0, false, blob};
    return Paged(t, nullptr, PacketLock::Command, false, nullptr);
}

int32_t CDeviceProtocol::ReadCustomColors(uint8_t* buffer, uint32_t length, uint32_t page, uint32_t pageSize) {
    uint32_t base = 0;
    if ((buffer == nullptr && length > 0) || !PageBase(page, pageSize, &base)) return PROTOCOL_NOT_SENT;
    const PagedTransfer t{CMD_READ_COLORS, length, ChunkSize(), base, false, nullptr};
    return Paged(t, buffer, PacketLock::Command, false, nullptr);
}

int32_t CDeviceProtocol::WriteCustomColors(const uint8_t* data, uint32_t length, uint32_t page, uint32_t pageSize) {
    uint32_t base = 0;
    if ((data == nullptr && length > 0) || !PageBase(page, pageSize, &base)) return PROTOCOL_NOT_SENT;
    const PagedTransfer t{CMD_WRITE_COLORS, length, ChunkSize(), base, false, data};
    return Paged(t, nullptr, PacketLock::Stream, false, nullptr);
}

int32_t CDeviceProtocol::StreamColors(const uint8_t* data, uint32_t length) {
    if (data == nullptr && length > 0) return PROTOCOL_NOT_SENT;
    const PagedTransfer t{CMD_STREAM_COLORS, length, ChunkSize(), 0, false, data};
    return Paged(t, nullptr, PacketLock::Stream, true, nullptr);
}

int32_t CDeviceProtocol::ReadParamBlock(uint8_t* buffer, uint32_t length, uint32_t baseOffset) {
    if (buffer == nullptr && length > 0) return PROTOCOL_NOT_SENT;
    const PagedTransfer t{CMD_READ_PARAMS, length, ChunkSize(), baseOffset, false, nullptr};
    return Paged(t, buffer, PacketLock::Command, false, nullptr);
}

int32_t CDeviceProtocol::WriteParamBlock(const uint8_t* data, uint32_t length, uint32_t baseOffset) {
    if (data == nullptr && length > 0) return PROTOCOL_NOT_SENT;
    const PagedTransfer t{CMD_WRITE_PARAMS, length, ChunkSize(), baseOffset, false, data};
    return Paged(t, nullptr, PacketLock::Command, false, nullptr);
}

int32_t CDeviceProtocol::WriteClock(const uint8_t* data, uint32_t length, uint32_t baseOffset) {
    if (data == nullptr && length > 0) return PROTOCOL_NOT_SENT;
    const PagedTransfer t{CMD_WRITE_CLOCK, length, ChunkSize(), baseOffset, false, data};
    return Paged(t, nullptr, PacketLock::Command, false, nullptr);
}
