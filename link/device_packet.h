#pragma once
// The 64-byte command report exchanged with the keyboards, mice and mouse pads
// over their vendor-defined collection: request layout, checksum, command
// bytes and the result codes the channel and its commands return.

#include <cstddef>
#include <cstdint>

// Whole report, report id byte included.
constexpr uint32_t kCommandReportSize = 64;
constexpr uint8_t kCommandReportId = 0x04;
// Data bytes start here; a packet carries at most this many of them.
constexpr uint32_t kPacketDataOffset = 8;
constexpr uint32_t kPacketMaxData = kCommandReportSize - kPacketDataOffset;  // 56

// Byte positions inside a report.
constexpr uint32_t kPacketChecksumLow = 1;
constexpr uint32_t kPacketChecksumHigh = 2;
constexpr uint32_t kPacketCommand = 3;
constexpr uint32_t kPacketLength = 4;
constexpr uint32_t kPacketOffsetLow = 5;
constexpr uint32_t kPacketOffsetHigh = 6;
// Request: 0, or offset bits 16-23 for the screen data command. Reply: status.
constexpr uint32_t kPacketStatus = 7;

// Reply status bytes that mean an error; anything else is success.
constexpr uint8_t kReplyStatusFailed = 0xFF;
constexpr uint8_t kReplyStatusRefused = 0xFE;

// Data bytes per packet of the paged commands.
constexpr uint8_t kWiredChunkSize = 56;
constexpr uint8_t kReceiverChunkSize = 24;

// Command bytes (byte 3 of the report).
constexpr uint8_t CMD_BEGIN = 0x01;
constexpr uint8_t CMD_END = 0x02;
constexpr uint8_t CMD_READ_INFO = 0x03;
constexpr uint8_t CMD_READ_PARAMS = 0x05;
constexpr uint8_t CMD_WRITE_PARAMS = 0x06;
constexpr uint8_t CMD_READ_LAYOUT = 0x07;
constexpr uint8_t CMD_WRITE_KEYMAP = 0x09;
constexpr uint8_t CMD_READ_COLORS = 0x0A;
constexpr uint8_t CMD_WRITE_COLORS = 0x0B;
constexpr uint8_t CMD_STREAM_COLORS = 0x12;
constexpr uint8_t CMD_WRITE_MACROS = 0x15;
constexpr uint8_t CMD_WRITE_SHOOT = 0x17;
constexpr uint8_t CMD_READ_STATUS = 0x1A;
constexpr uint8_t CMD_READ_LEDMAP = 0x1B;
constexpr uint8_t CMD_LIGHT_ON = 0x1C;
constexpr uint8_t CMD_SCREEN_DATA = 0x21;
constexpr uint8_t CMD_SCREEN_RESERVED = 0x22;
constexpr uint8_t CMD_SCREEN_BEGIN = 0x23;
constexpr uint8_t CMD_WRITE_CLOCK = 0x29;
constexpr uint8_t CMD_LINK_QUERY = 0xAA;

// Results of a transaction and of the command builders.
constexpr int32_t PROTOCOL_OK = 1;
constexpr int32_t PROTOCOL_NOT_SENT = 0;  // also: the reply read failed
constexpr int32_t PROTOCOL_WRITE_FAILED = -1;
constexpr int32_t PROTOCOL_NOT_LINKED = -101;
constexpr int32_t PROTOCOL_STATUS_FAILED = -102;
constexpr int32_t PROTOCOL_STATUS_REFUSED = -103;
constexpr int32_t PROTOCOL_BAD_PAGE = -201;

// Sum of the unsigned bytes 3 to 63 of a 64-byte report.
uint16_t PacketChecksum(const uint8_t* packet);

// Stores PacketChecksum little-endian in bytes 1 and 2.
void StorePacketChecksum(uint8_t* packet);

// Copies a request into a 64-byte packet: its first 64 bytes, or all of it
// followed by zero bytes when it is shorter.
void PadRequest(const uint8_t* request, uint32_t length, uint8_t* packet);

// Status byte of a reply turned into a builder result: 1, -102 or -103.
int32_t ReplyStatusResult(const uint8_t* reply);

// True for the commands that restricted mode (screen upload) lets through.
bool IsScreenUploadCommand(uint8_t command);
