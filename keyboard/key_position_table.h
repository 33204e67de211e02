#pragma once
// The keyboard picture's key positions 0..169 and each position's default
// key function. The keyboard's layout table lists the same defaults in its
// own key order; matching the two gives each position its device key.

#include <array>
#include <cstddef>

#include "link/base/key_list_entry.h"

inline constexpr size_t kKeyPositionCount = 170;
// The FN key; its function cannot be reassigned on the keys tab.
inline constexpr size_t kFnKeyPosition = 110;

extern const std::array<KeyFunction, kKeyPositionCount> KeyPositionTable;
