#pragma once

// Reading the emulator's record of command reports in the end-to-end tests.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrik::test {

// The 64-byte command reports (report id 4) that `product` received, in
// order, from the answer to "record PRODUCT".
std::vector<std::vector<uint8_t>> CommandReports(const std::vector<std::string>& answer, const std::string& product);

// The protocol's checksum: the 16-bit sum of bytes 3.. in bytes 1 and 2.
bool ChecksumValid(const std::vector<uint8_t>& report);

// The index of the first report with command `command` that a begin (0x01)
// precedes and an end (0x02) follows, or nothing. A command sent in several
// reports is bracketed as a whole: the end follows the last of them.
std::optional<size_t> FindBracketed(const std::vector<std::vector<uint8_t>>& reports, uint8_t command);

}  // namespace tavrik::test
