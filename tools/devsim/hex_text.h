#pragma once

// Bytes as lower-case hexadecimal text, two digits each, for the emulator's
// command-line answers and recordings.

#include <cstdint>
#include <string>
#include <vector>

namespace tavrik::devsim {

std::string HexText(const std::vector<std::uint8_t>& bytes);

}  // namespace tavrik::devsim
