#include "keyboard/audio/fix_capture_format.h"

using tavrik::audio::SubFormat;
using tavrik::audio::WaveFormat;

bool FixCaptureFormat(WaveFormat& format) {
    if (format.channels == 0 || format.samplesPerSec == 0) {
        return false;
    }
    WaveFormat fixed = format;
    if (fixed.formatTag == tavrik::audio::kWaveFormatIeeeFloat) {
        fixed.formatTag = tavrik::audio::kWaveFormatPcm;
    } else if (fixed.formatTag == tavrik::audio::kWaveFormatExtensible && fixed.subFormat == SubFormat::IeeeFloat) {
        fixed.subFormat = SubFormat::Pcm;
        fixed.validBitsPerSample = 16;
    } else {
        return false;
    }
    fixed.bitsPerSample = 16;
    fixed.blockAlign = static_cast<std::uint16_t>(fixed.channels * 2);
    fixed.avgBytesPerSec = fixed.blockAlign * fixed.samplesPerSec;
    format = fixed;
    return true;
}
