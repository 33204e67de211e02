#pragma once
// Layout of the packets of a paged command: data longer than one packet is cut
// into chunks, each sent as one 64-byte report carrying its count and offset.

#include <cstdint>

struct PagedTransfer {
    uint8_t command = 0;
    uint32_t total = 0;               // bytes to transfer
    uint32_t chunk = 0;               // data bytes per packet (1..56)
    uint32_t baseOffset = 0;          // device offset of position 0
    bool wideOffset = false;          // 24-bit offset in bytes 5 to 7 (screen data); else 16-bit
    const uint8_t* source = nullptr;  // the data of a write; null for a read
};

// True when the chunk size is usable and the offset of every packet fits the
// command's offset field. A transfer that does not fit must not be sent: its
// offsets would wrap and overwrite the start of the device's memory.
bool PagedTransferFits(const PagedTransfer& transfer);

// Number of packets the transfer takes (0 for an empty one).
uint32_t PagedPacketCount(const PagedTransfer& transfer);

// Prepares the packet once, before the first chunk: cleared, report id and command.
void BeginPagedPacket(uint8_t* packet, uint8_t command);

// Lays out the chunk that starts at position: count, offset, data (writes),
// checksum. The packet is not cleared between chunks, so in a shorter last
// packet the bytes after the data still hold the previous packet's bytes, as
// the devices have always received them. Returns the chunk's byte count.
uint32_t FillPagedPacket(uint8_t* packet, const PagedTransfer& transfer, uint32_t position);
