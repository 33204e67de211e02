#pragma once

// Messages, copy-data codes and timing of the loopback capture.

#include <cstddef>
#include <cstdint>

#include "platform/os/messages.h"

// The worker's wake-up to the capture's hidden window: its notices wait in
// the capture's mailbox.
inline constexpr win::UINT WM_CAPTURE_EVENT = win::WM_USER + 100;

// WM_COPYDATA codes (dwData) sent to the target window, cbData 2000 each.
inline constexpr std::uintptr_t COPYDATA_SPECTRUM = 1;
inline constexpr std::uintptr_t COPYDATA_CAPTURE_STOPPED = 3;
inline constexpr std::uintptr_t COPYDATA_CAPTURE_STARTED = 4;

struct CaptureTiming {
    // Longest wait for the sound server at each step of starting a capture.
    std::uint32_t connectTimeoutMs = 5000;
    // Length of one captured packet.
    unsigned periodMs = 5;
    // Restart delays.
    std::uint32_t backoffFirstMs = 1000;
    std::uint32_t backoffMaxMs = 30000;
    // Packets waiting for the UI thread; the oldest give way.
    std::size_t queuedPackets = 64;
};
