// The ripple planes the key-press, scripted and beat ripples share, and the
// look-up of a key in the key sequence. Called with the effect lock held.
#include <algorithm>
#include <random>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/key_position_table.h"
#include "link/effect_tables.h"

namespace {

constexpr int kLastColumn = kMatrixColumns - 1;
constexpr uint8_t kWheelHues = 192;
constexpr uint8_t kFullLevel = 255;

uint8_t RandomHue() {
    thread_local std::minstd_rand random{std::random_device{}()};
    return uint8_t(random() % kWheelHues);
}

}  // namespace

void CCorvaneKeyboardDevice::LightRippleBits() {
    const bool colourful = CurrentLightSetting().colorful != 0;
    const auto& planes = m_effects.m_rippleBits;
    for (int c = 0; c < kMatrixColumns; ++c) {
        const uint8_t bits = planes[0][c] | planes[1][c] | planes[2][c] | planes[3][c];
        for (int r = 0; r < kMatrixRows; ++r) {
            const uint8_t n = KeyMatrix[size_t(c)][size_t(r)];
            if (!(bits & (1u << r)) || n >= kKeyPositionCount) continue;
            m_leds.m_keyLevel[n] = kFullLevel;
            if (colourful) m_leds.m_keyHue[n] = RandomHue();
        }
    }
}

void CCorvaneKeyboardDevice::ShiftRippleBits() {
    auto& [a, b, c, d] = m_effects.m_rippleBits;
    const auto oldA = a, oldB = b, oldC = c, oldD = d;
    for (int i = 0; i < kMatrixColumns; ++i) {
        const bool last = i == kLastColumn;
        const bool first = i == 0;
        a[i] = uint8_t((oldA[i] >> 1) | (last ? 0 : oldA[i + 1]));
        b[i] = uint8_t((oldB[i] >> 1) | (first ? 0 : oldB[i - 1]));
        c[i] = uint8_t((oldC[i] << 1) | (first ? 0 : oldC[i - 1]));
        d[i] = uint8_t((oldD[i] << 1) | (last ? 0 : oldD[i + 1]));
    }
}

void CCorvaneKeyboardDevice::SeedRippleAtKey(int key, int kind) {
    if (kind != 1) return;
    for (int c = 0; c < kMatrixColumns; ++c) {
        for (int r = 0; r < kMatrixRows; ++r) {
            if (KeyMatrix[size_t(c)][size_t(r)] != key) continue;
            for (auto& plane : m_effects.m_rippleBits) plane[size_t(c)] |= uint8_t(1u << r);
            return;
        }
    }
}

uint8_t CCorvaneKeyboardDevice::FindSequenceKey(uint8_t key) {
    return std::find(KeySequence.begin(), KeySequence.end(), key) != KeySequence.end() ? key
                                                                                         : kNoKeySequenceEntry;
}
