#include "link/device/macro_blob.h"

#include <cstring>

namespace {

void PutWord(std::vector<uint8_t>& out, size_t at, size_t value) {
    out[at] = uint8_t(value & 0xFF);
    out[at + 1] = uint8_t((value >> 8) & 0xFF);
}

}  // namespace

size_t MacroBlobSize(const std::vector<size_t>& eventCounts) {
    size_t total = kMacroBlobHeaderSize + 6 * eventCounts.size();
    for (size_t count : eventCounts) total += 4 * count;
    return total;
}

std::vector<uint8_t> BuildMacroBlob(const std::vector<std::vector<DeviceMacroEvent>>& macros) {
    std::vector<size_t> counts;
    for (const auto& m : macros) counts.push_back(m.size());
    const size_t total = MacroBlobSize(counts);
    if (total > 0xFFFF) return {};
    std::vector<uint8_t> blob(total, 0);
    PutWord(blob, 0, kMacroBlobMagic);
    PutWord(blob, 2, total);
    PutWord(blob, 4, macros.size());
    size_t record = kMacroBlobHeaderSize + 2 * macros.size();
    for (size_t i = 0; i < macros.size(); ++i) {
        PutWord(blob, kMacroBlobHeaderSize + 2 * i, record);
        PutWord(blob, record, macros[i].size());
        record += 4;
        if (!macros[i].empty()) std::memcpy(blob.data() + record, macros[i].data(), 4 * macros[i].size());
        record += 4 * macros[i].size();
    }
    return blob;
}
