#include "tools/devsim/hex_text.h"

namespace tavrik::devsim {

std::string HexText(const std::vector<std::uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(bytes.size() * 2);
    for (std::uint8_t v : bytes) {
        s += digits[v >> 4];
        s += digits[v & 0x0F];
    }
    return s;
}

}  // namespace tavrik::devsim
