#include "tools/skin_images/ico_file.h"

namespace skinimages {
namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(std::uint8_t(value & 0xFF));
    out.push_back(std::uint8_t((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> CursorIcoFile(const std::vector<std::uint8_t>& png, int width, int height, int hotX,
                                        int hotY) {
    constexpr std::uint32_t kDataOffset = 6 + 16;  // header and one directory entry
    std::vector<std::uint8_t> out;
    out.reserve(kDataOffset + png.size());
    Put16(out, 0);  // reserved
    Put16(out, 2);  // cursor
    Put16(out, 1);  // one entry
    out.push_back(std::uint8_t(width >= 256 ? 0 : width));
    out.push_back(std::uint8_t(height >= 256 ? 0 : height));
    out.push_back(0);  // no palette
    out.push_back(0);
    Put16(out, unsigned(hotX));
    Put16(out, unsigned(hotY));
    Put32(out, std::uint32_t(png.size()));
    Put32(out, kDataOffset);
    out.insert(out.end(), png.begin(), png.end());
    return out;
}

}  // namespace skinimages
