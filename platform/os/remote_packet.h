#pragma once

// The packets that carry messages between processes (see remote.h): one
// SOCK_SEQPACKET packet per message, a fixed header and, for WM_COPYDATA, the
// data right behind it. Native byte order: both ends are on this machine.

#include <cstddef>
#include <cstdint>

#include "platform/os/remote.h"
#include "platform/files/win_types.h"

namespace win::detail {

inline constexpr std::uint32_t kPacketMagic = 0x4B4D5654;  // "TVMK"
inline constexpr std::uint16_t kPacketVersion = 1;
inline constexpr std::uint16_t kKindPost = 1;
inline constexpr std::uint16_t kKindSend = 2;
inline constexpr std::uint16_t kKindReply = 3;

struct PacketHeader {
    std::uint32_t magic;
    std::uint16_t version;
    std::uint16_t kind;
    std::uint32_t message;
    std::uint32_t dataSize;
    std::uint64_t wParam;
    std::int64_t lParam;
    std::uint64_t dataCode;
};
static_assert(sizeof(PacketHeader) == 40);

// The largest packet a receiver accepts.
inline constexpr std::size_t kMaxPacketBytes = sizeof(PacketHeader) + kMaxCopyDataBytes;

// Whether another process may deliver `message` as a packet of `kind`:
// WM_COPYDATA only as a send; otherwise WM_NULL, WM_CLOSE and messages from
// WM_USER to 0xFFFF (the parameters of the others would be pointers of
// another process) that the process does not keep to itself
// (KeepMessageInProcess). The one rule for everything that comes in.
bool MessageAllowedFromOutside(UINT message, std::uint16_t kind);

// A received post or send, checked: the header's magic, version and kind,
// the data size equal to the bytes behind the header and at most
// kMaxCopyDataBytes, data only for WM_COPYDATA, and a message allowed from
// outside. `data` points into the packet's bytes.
struct IncomingPacket {
    PacketHeader header{};
    const unsigned char* data = nullptr;
};
bool ParseIncomingPacket(const unsigned char* bytes, std::size_t size, IncomingPacket* packet);

}  // namespace win::detail
