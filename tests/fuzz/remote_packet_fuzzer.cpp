// Feeds arbitrary bytes as a packet that another process sent to a window:
// the parser must accept only packets whose sizes and kinds add up, and its
// data must lie inside the received bytes.

#include "platform/os/remote_packet.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace win::detail;
    IncomingPacket packet;
    if (!ParseIncomingPacket(data, size, &packet)) return 0;
    const std::size_t expected = sizeof(PacketHeader) + packet.header.dataSize;
    if (expected != size || !MessageAllowedFromOutside(packet.header.message, packet.header.kind)) std::abort();
    if (packet.header.dataSize > 0) {
        if (packet.data != data + sizeof(PacketHeader)) std::abort();
        // Touch the last byte: it must be inside the input.
        volatile std::uint8_t last = packet.data[packet.header.dataSize - 1];
        (void)last;
    } else if (packet.data != nullptr) {
        std::abort();
    }
    return 0;
}
