// The keyboard's screen: the parameter writes that name the frame count, the
// start of a new image (0x23) and its data packets (0x21), and the views of
// what was uploaded.
#include "tools/devsim/keyboard_model.h"

#include <algorithm>
#include <cstring>

namespace tavrik::devsim {
namespace {

constexpr std::uint8_t kStatusFailed = 0xFF;
constexpr std::size_t kPadUnit = 32768;

std::size_t BlockStart(const DeviceMemory& m) {
    const int profile = m.lastBlockWritten >= 0 ? m.lastBlockWritten : m.params[0];
    return static_cast<std::size_t>(profile) * kKeyboardBlockStride;
}

}  // namespace

std::size_t ScreenFrameBytes(const DeviceMemory& m) { return std::size_t(m.info[31]) * m.info[32] * 2; }

std::size_t ScreenPaddedFrameBytes(const DeviceMemory& m) {
    return (ScreenFrameBytes(m) + kPadUnit - 1) / kPadUnit * kPadUnit;
}

int ScreenFramesTaken(const DeviceMemory& m) {
    return std::min<int>(m.params[BlockStart(m) + kBlockFrameCount], m.info[35]);
}

std::vector<std::uint8_t> ViewScreenFrame(const DeviceMemory& m, int frame) {
    const std::size_t length = ScreenFrameBytes(m);
    const std::size_t at = std::size_t(std::max(frame, 0)) * ScreenPaddedFrameBytes(m);
    if (frame < 0 || length == 0 || at + length > m.screen.size()) return {};
    return {m.screen.begin() + at, m.screen.begin() + at + length};
}

std::optional<std::uint16_t> ViewScreenPixel(const DeviceMemory& m, int frame, int row, int column) {
    if (frame < 0 || row < 0 || column < 0 || row >= m.info[32] || column >= m.info[31]) return std::nullopt;
    const std::size_t at =
        std::size_t(frame) * ScreenPaddedFrameBytes(m) + 2 * (std::size_t(row) * m.info[31] + std::size_t(column));
    if (at + 2 > m.screen.size()) return std::nullopt;
    return static_cast<std::uint16_t>(m.screen[at] << 8 | m.screen[at + 1]);
}

bool ScreenPadIsFilled(const DeviceMemory& m, int frame) {
    if (frame < 0) return false;
    const std::size_t start = std::size_t(frame) * ScreenPaddedFrameBytes(m);
    const std::size_t end = start + ScreenPaddedFrameBytes(m);
    if (end > m.screen.size()) return false;
    return std::all_of(m.screen.begin() + start + ScreenFrameBytes(m), m.screen.begin() + end,
                       [](std::uint8_t b) { return b == 0xFF; });
}

int ViewScreenInterval(const DeviceMemory& m) {
    const std::size_t at = BlockStart(m);
    return m.params[at + 43] | m.params[at + 44] << 8;
}

bool KeyboardScreenCommand(DeviceMemory& m, const std::uint8_t* r, std::uint8_t* reply) {
    const std::uint8_t command = r[3];
    const std::size_t n = r[4];
    const std::size_t off = r[5] | (r[6] << 8) | (command == 0x21 ? r[7] << 16 : 0);
    switch (command) {
        case 0x06:
            // Noted only; the write itself is the parameter space's.
            if (off + n <= m.params.size()) m.lastBlockWritten = static_cast<int>(off / kKeyboardBlockStride);
            return false;
        case 0x23:
            ++m.screenBegins;
            m.screen.clear();
            return true;
        case 0x21: {
            // The keyboard keeps no more than the frames it was told of: the part
            // of a packet beyond them is dropped and the packet refused.
            const std::size_t limit = std::size_t(ScreenFramesTaken(m)) * ScreenPaddedFrameBytes(m);
            const std::size_t kept = off >= limit ? 0 : std::min(n, limit - off);
            if (kept > 0) {
                if (m.screen.size() < off + kept) m.screen.resize(off + kept);
                std::memcpy(m.screen.data() + off, r + 8, kept);
            }
            if (kept < n) reply[7] = kStatusFailed;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace tavrik::devsim
