#include "tools/devsim/table_packets.h"

#include <cstring>

namespace tavrik::devsim {
namespace {
std::size_t Word(const std::uint8_t* p) { return p[0] | static_cast<std::size_t>(p[1]) << 8; }
}  // namespace

bool StoreTablePacket(std::vector<std::uint8_t>& space, std::size_t offset, std::size_t count, const std::uint8_t* data,
                      std::size_t capacity) {
    if (offset + count > capacity || offset + count > space.size()) return false;
    std::memcpy(space.data() + offset, data, count);
    const std::size_t end = offset + count;
    // The table is checked once its header, and again once its last packet, arrived.
    if (end < kTableHeader) return true;
    const std::size_t total = Word(space.data() + 2);
    if (Word(space.data()) != 0x55AA || total > capacity) return false;
    return end < total || ParseMacroTable(space.data(), end, capacity).has_value();
}

}  // namespace tavrik::devsim
