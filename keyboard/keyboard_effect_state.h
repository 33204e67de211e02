#pragma once
// The keyboard's own effect state, beside the counters, levels and wheel
// indices every device page keeps in its LedState. All zero when the page is
// created; the page's effect lock guards it.

#include <array>
#include <cstdint>

#include "link/effect_tables.h"
#include "link/led_state.h"
#include "link/light_setting.h"

// The effect playlist's player and its flash and breathing generators.
struct PlaylistPlayerState {
    LightSetting step{};      // bytes 0..12 of the current step
    int32_t duration = 0;     // of the current step, in ms
    bool started = false;     // the switch time is taken at the first call
    uint32_t switchedAt = 0;  // time of the last step switch
    int ticks = 0;            // calls since the last frame
    int phase = 0;            // the frame generators' phase
    uint8_t flashOn = 0;
    uint8_t flashHue = 0;
    uint32_t flashTick = 0;  // time of the last flash toggle
    uint8_t breathHue = 0;   // wheel colour of a colourful breathing step
};

// The state of the per-key effects, one entry per LED.
struct KeyOverlayState {
    static constexpr int kLeds = LedState::kMaxLeds;
    std::array<uint8_t, kLeds> breathPhase{};
    std::array<uint8_t, kLeds> breathHue{};
    std::array<uint32_t, kLeds> flashPeriod{};  // ms
    std::array<uint32_t, kLeds> flashTick{};
    std::array<uint8_t, kLeds> flashOn{};
    std::array<uint8_t, kLeds> flashHue{};
    std::array<uint8_t, kLeds> cycleLimit{};
    std::array<uint8_t, kLeds> cycleCount{};
    std::array<uint8_t, kLeds> cycleHue{};
};

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
    // Kept per page: two keyboards never step each other's playlist or per-key effects.
    PlaylistPlayerState m_player;
    KeyOverlayState m_overlays;
};
