#pragma once

#include "platform/audio/wave_format.h"

// Turns the device's float mix format into 16-bit integer samples of the
// same rate and channels: a float layout becomes integer PCM, an extensible
// float layout gets the PCM sub-format and 16 valid bits; then 16 bits per
// sample, blocks of channels x 2 bytes and the byte rate to match. Any other
// layout, or one without channels or rate, is refused (false, unchanged).
bool FixCaptureFormat(tavrik::audio::WaveFormat& format);
