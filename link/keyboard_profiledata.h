#pragma once

// The keyboard's profile document: the base document plus the keyboard's
// system settings, its screen animation interval and main page, and the
// per-key colours of its custom colour mode, kept in groups.

#include <array>
#include <cstdint>
#include <vector>

#include "link/basic_profiledata.h"
#include "link/led_color.h"

// The keyboard's seven 16-bit system settings ("SystemStages"). The page
// passes them as three 32-bit words and one 16-bit word:
// Repeat | RepeatDelay << 16, Key6Flag | PollingRate << 16,
// WFlag | WinFlag << 16, KeyShake.
struct KeyboardSystemStages {
    uint16_t repeat = 0;
    uint16_t repeatDelay = 0;
    uint16_t key6Flag = 0;
    uint16_t pollingRate = 0;
    uint16_t wFlag = 0;
    uint16_t winFlag = 0;
    uint16_t keyShake = 0;

    static KeyboardSystemStages FromWords(uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3);
    std::array<uint32_t, 4> ToWords() const;
    friend bool operator==(const KeyboardSystemStages&, const KeyboardSystemStages&) = default;
};

class CKeyboardProfiledata : public CBasicProfiledata {
public:
    // Custom colour groups the keyboard may keep. The group's number also
    // places its colours in the device's 16-bit colour offset space.
    static constexpr int kMaxCustomLightGroups = 128;

    void SetSystemStages(uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3);
    KeyboardSystemStages GetSystemStages();

    void SetFrameIntervalTime(int32_t interval);
    // 0 when missing.
    int32_t GetFrameIntervalTime();
    void SetDefaultMainPage(int32_t page);

    // Writes the colours of `group` (0..127; other groups are not written).
    void SetCustomLightColors(const std::vector<LedColor>& colors, int group);
    // `count` colours of `group`; colours the document lacks read as black
    // and are written into it as such. A group outside 0..127 reads as
    // `count` black colours and changes nothing.
    std::vector<LedColor> GetCustomLightColors(int group, int count);

    // Groups outside 0..127 are not stored.
    void SetCustomLightGroupIndex(int group);
    // The group in use; 0 when missing or outside 0..127.
    int GetCustomLightGroupIndex();

private:
    KeyboardSystemStages system_stages_;
    std::vector<LedColor> custom_colors_;
    int custom_group_ = 0;
};
