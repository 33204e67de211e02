#pragma once
// Private messages the keyboard page sends to the main window.

#include "platform/files/win_types.h"

// wParam: the active profile number. No handler.
inline constexpr win::UINT WM_DEVICE_PROFILE_INDEX = 0xD00;
// wParam: byte 4 of the device status block.
inline constexpr win::UINT WM_DEVICE_STATUS = 0xD01;
// Starts the main window's 30-second clock synchronisation.
inline constexpr win::UINT WM_START_CLOCK_SYNC = 0xD07;
// The keyboard's running mode entered or left the music mode: the main window
// starts or stops the sound capture. No parameters.
inline constexpr win::UINT WM_AUDIO_DEMAND = 0xD08;
