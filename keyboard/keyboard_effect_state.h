#pragma once
// The keyboard's own effect state, beside the counters, levels and wheel
// indices every device page keeps in its LedState. All zero when the page is
// created; the page's effect lock guards it.

#include <array>
#include <cstdint>

#include "link/effect_tables.h"
#include "link/led_state.h"

struct KeyboardEffectState {
    static constexpr int kLeds = LedState::kMaxLeds;
    static constexpr int kRipplePlanes = 4;
    static constexpr int kMusicColumns = 25;
    static constexpr int kExternalLevels = 6;

    std::array<uint8_t, kLeds> m_keyPressState{};  // 0 idle, 1 rising, 2 falling
    std::array<uint8_t, kLeds> m_keyHeld{};        // 1 while the key is held
    std::array<uint8_t, kLeds> m_keyPhase{};       // per-LED phase of the phased breathing
    // Four bit planes over the matrix columns; bit r of a byte is key row r.
    std::array<std::array<uint8_t, kMatrixColumns>, kRipplePlanes> m_rippleBits{};
    uint8_t m_effectPhase = 0;
    std::array<int32_t, kMusicColumns> m_musicBands{};        // last band levels received
    std::array<int32_t, kMusicColumns> m_musicColumnArmed{};  // per-column flags of the music styles
    std::array<int32_t, kExternalLevels> m_externalLevels{};
};
