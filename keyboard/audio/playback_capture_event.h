#pragma once

// What the loopback capture tells its owner, always on the UI thread.

#include <cstddef>
#include <cstdint>

#include "platform/audio/wave_format.h"

class IPlaybackCaptureEvent {
public:
    virtual ~IPlaybackCaptureEvent() = default;
    // The recording runs; packets come every periodMs.
    virtual void OnCaptureStarted(unsigned periodMs) = 0;
    // The recording that ran has ended.
    virtual void OnCaptureStopped() = 0;
    // The format of the packets that follow.
    virtual void OnCaptureFormat(const tavrik::audio::WaveFormat& format) = 0;
    // One packet of `bytes` bytes.
    virtual void OnCaptureData(const std::uint8_t* data, std::size_t bytes) = 0;
    // The capture ended by itself and the restart delay has passed.
    virtual void OnCaptureRestart() = 0;
};
