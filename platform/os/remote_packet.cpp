#include "platform/os/remote_packet.h"

#include <cstring>

#include "platform/os/messages.h"

namespace win::detail {

bool MessageAllowedFromOutside(UINT message, std::uint16_t kind) {
    if (message == WM_COPYDATA) {
        return kind == kKindSend;
    }
    return message >= WM_USER || message == WM_NULL || message == WM_CLOSE;
}

bool ParseIncomingPacket(const unsigned char* bytes, std::size_t size, IncomingPacket* packet) {
    if (bytes == nullptr || size < sizeof(PacketHeader) || size > kMaxPacketBytes) {
        return false;
    }
    PacketHeader header;
    std::memcpy(&header, bytes, sizeof header);
    if (header.magic != kPacketMagic || header.version != kPacketVersion ||
        (header.kind != kKindPost && header.kind != kKindSend) || header.dataSize != size - sizeof header ||
        (header.message != WM_COPYDATA && header.dataSize != 0) ||
        !MessageAllowedFromOutside(header.message, header.kind)) {
        return false;
    }
    packet->header = header;
    packet->data = header.dataSize > 0 ? bytes + sizeof header : nullptr;
    return true;
}

}  // namespace win::detail
