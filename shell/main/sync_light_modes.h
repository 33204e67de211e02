#pragma once

// The same-mode command's translation between a device kind's lighting modes
// and the shared sync effects (SyncLightState::Effect).

#include <cstdint>
#include <optional>

// Device kinds as CCorvaneUSBDevice::GetDeviceType gives them.
inline constexpr int kKeyboardKind = 1;
inline constexpr int kMouseKind = 2;
inline constexpr int kMousePadKind = 3;
inline constexpr int kHeadsetKind = 7;

// The sync effect of a device kind's mode; nothing when the mode has none.
std::optional<std::uint8_t> SyncEffectOfMode(int deviceKind, int mode);
// The mode in which a device kind shows a sync effect; nothing for a kind
// without lighting modes or an effect out of range.
std::optional<std::uint8_t> ModeOfSyncEffect(int deviceKind, std::uint8_t effect);
