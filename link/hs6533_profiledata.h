#pragma once

// The headset's profile document: the base document plus its eight audio
// settings, the ten band values of its built-in equaliser presets (1..12)
// and the user's named custom equalisers.

#include <cstdint>
#include <vector>

#include "link/basic_profiledata.h"

// The headset's audio settings ("SystemSetStages"), in their stored order.
struct HeadsetSystemSetStages {
    int32_t magicEnable = 0;          // "MagicEnable": voice changer on
    int32_t magicType = 0;            // "MagicType": voice changer voice
    int32_t eqType = 0;               // "EqType": preset 1..12, 13 = custom
    int32_t customEqSelectIndex = 0;  // "CustomEqSeletIndex"
    int32_t micInSelect = 0;          // "MicInSelect"
    int32_t micInValue = 0;           // "MicInValue"
    int32_t micMonitorSelect = 0;     // "MicMoniterSelect"
    int32_t micMonitorValue = 0;      // "MicMoniterValue"

    friend bool operator==(const HeadsetSystemSetStages&, const HeadsetSystemSetStages&) = default;
};

class CHs6533Profiledata : public CBasicProfiledata {
public:
    static constexpr int kBandCount = 10;
    // The preset whose bands are those of the selected custom equaliser.
    static constexpr int kCustomEqPreset = 13;
    static constexpr int kMaxCustomEqs = 20;

    void SetSystemSetStages(const HeadsetSystemSetStages& stages);
    // A "CustomEqSeletIndex" that names no custom equaliser reads as 0.
    HeadsetSystemSetStages GetSystemSetStages();

    // Preset numbers: 0 and numbers above 13 (negative ones too) mean preset
    // 1; 13 has no bands of its own, so it writes nothing and reads empty.
    // The setters read exactly the first 10 values; a shorter list writes
    // nothing.
    void SetEqPreset(int preset, const std::vector<int32_t>& bands);
    // Ten bands; a missing preset reads as zeros and is written as such.
    std::vector<int32_t> GetEqPreset(int preset);

    void SetCustomEqNames(const std::vector<DuiLib::CDuiString>& names);
    std::vector<DuiLib::CDuiString> GetCustomEqNames();

    // Custom equalisers 0..19; others write nothing and read as ten zeros.
    void SetCustomEq(int index, const std::vector<int32_t>& bands);
    std::vector<int32_t> GetCustomEq(int index);

private:
    HeadsetSystemSetStages system_set_stages_;
};
