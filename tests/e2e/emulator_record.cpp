#include "tests/e2e/emulator_record.h"

namespace tavrik::test {
namespace {

std::vector<uint8_t> FromHex(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

}  // namespace

std::vector<std::vector<uint8_t>> CommandReports(const std::vector<std::string>& answer, const std::string& product) {
    std::vector<std::vector<uint8_t>> reports;
    const std::string prefix = "record " + product + " ";
    for (const std::string& line : answer) {
        if (line.rfind(prefix, 0) != 0) continue;
        std::vector<uint8_t> bytes = FromHex(line.substr(prefix.size()));
        if (bytes.size() == 64 && bytes[0] == 0x04) reports.push_back(std::move(bytes));
    }
    return reports;
}

bool ChecksumValid(const std::vector<uint8_t>& report) {
    uint16_t sum = 0;
    for (size_t i = 3; i < report.size(); ++i) sum = static_cast<uint16_t>(sum + report[i]);
    return report.size() == 64 && report[1] == (sum & 0xFF) && report[2] == (sum >> 8);
}

std::optional<size_t> FindBracketed(const std::vector<std::vector<uint8_t>>& reports, uint8_t command) {
    for (size_t i = 1; i + 1 < reports.size(); ++i) {
        if (reports[i][3] != command || reports[i - 1][3] != 0x01) continue;
        size_t last = i;
        while (last + 1 < reports.size() && reports[last + 1][3] == command) ++last;
        if (last + 1 < reports.size() && reports[last + 1][3] == 0x02) return i;
    }
    return std::nullopt;
}

}  // namespace tavrik::test
