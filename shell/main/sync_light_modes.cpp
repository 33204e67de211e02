#include "shell/main/sync_light_modes.h"

#include <array>

#include "link/sync_light_state.h"

namespace {

// Per kind: the mode of each effect, in effect order (breathing, static,
// flashing, colour cycle, off).
using EffectModes = std::array<std::uint8_t, 5>;
constexpr EffectModes kKeyboardModes{2, 1, 23, 3, 20};
constexpr EffectModes kMouseModes{2, 3, 4, 1, 9};
constexpr EffectModes kPadAndHeadsetModes{2, 3, 4, 1, 8};

const EffectModes* ModesOf(int deviceKind) {
    switch (deviceKind) {
        case kKeyboardKind:
            return &kKeyboardModes;
        case kMouseKind:
            return &kMouseModes;
        case kMousePadKind:
        case kHeadsetKind:
            return &kPadAndHeadsetModes;
        default:
            return nullptr;
    }
}

}  // namespace

std::optional<std::uint8_t> SyncEffectOfMode(int deviceKind, int mode) {
    const EffectModes* modes = ModesOf(deviceKind);
    if (modes == nullptr) return std::nullopt;
    for (std::uint8_t effect = 0; effect < modes->size(); ++effect) {
        if ((*modes)[effect] == mode) return effect;
    }
    return std::nullopt;
}

std::optional<std::uint8_t> ModeOfSyncEffect(int deviceKind, std::uint8_t effect) {
    const EffectModes* modes = ModesOf(deviceKind);
    if (modes == nullptr || effect > SyncLightState::Off) return std::nullopt;
    return (*modes)[effect];
}
