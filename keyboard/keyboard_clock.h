#pragma once
// The keyboard's clock: seven two-digit BCD bytes of local time (second,
// minute, hour, weekday 0 = Sunday, day, month, year modulo 100).

#include <array>
#include <cstdint>

#include "platform/os/clock.h"

using KeyboardClock = std::array<uint8_t, 7>;

// 0..99 as BCD (tens in the high nibble); larger values keep their last two digits.
constexpr uint8_t ToBcd(unsigned value) {
    value %= 100;
    return uint8_t((value / 10) << 4 | (value % 10));
}

KeyboardClock MakeKeyboardClock(const win::SYSTEMTIME& time);
KeyboardClock LocalKeyboardClock();
