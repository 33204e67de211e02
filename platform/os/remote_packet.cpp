#include "platform/os/remote_packet.h"

#include <array>
#include <atomic>
#include <cstring>

#include "platform/os/messages.h"

namespace win {

namespace {

// One bit per message number 0..0xFFFF: set for the messages the process
// keeps to itself.
constexpr UINT kHighestMessage = 0xFFFF;
std::array<std::atomic<std::uint64_t>, (kHighestMessage + 1) / 64> g_keptInProcess{};

}  // namespace

void KeepMessageInProcess(UINT message) {
    if (message > kHighestMessage) return;  // refused from outside anyway
    g_keptInProcess[message / 64].fetch_or(std::uint64_t{1} << (message % 64));
}

bool IsMessageKeptInProcess(UINT message) {
    return message <= kHighestMessage && (g_keptInProcess[message / 64].load() >> (message % 64) & 1) != 0;
}

}  // namespace win

namespace win::detail {

bool MessageAllowedFromOutside(UINT message, std::uint16_t kind) {
    if (message == WM_COPYDATA) {
        return kind == kKindSend;
    }
    if (message > kHighestMessage || IsMessageKeptInProcess(message)) {
        return false;
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
