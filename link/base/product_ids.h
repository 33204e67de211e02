#pragma once

#include <cstdint>

// USB identity of the products the program supports. All of them share one
// vendor id; each product and connection mode has its own product id. The
// headset has no HID identity of its own (its page is reached through the
// audio-chip library), so it has no entry here.
inline constexpr std::uint16_t kSupportedVendorId = 0x3151;

inline constexpr std::uint16_t kPidKeyboardCable = 0x4010;
inline constexpr std::uint16_t kPidKeyboardReceiver = 0x4011;
inline constexpr std::uint16_t kPidMouseCable = 0x5010;
inline constexpr std::uint16_t kPidMouseReceiver = 0x5011;
inline constexpr std::uint16_t kPidMousePad = 0x6010;

// The product string: the name of the per-user settings folder, of the
// single-instance lock and of the activation message, and the main window's
// caption. It has two blanks in it.
inline constexpr wchar_t kProductString[] = L"Halvord  Q580-RGB-PRO";
