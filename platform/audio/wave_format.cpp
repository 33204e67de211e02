#include "platform/audio/wave_format.h"

namespace tavrik::audio {

WaveFormat MakeWaveFormat(std::uint16_t tag, std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) {
    WaveFormat format;
    format.formatTag = tag;
    format.channels = channels;
    format.samplesPerSec = rate;
    format.bitsPerSample = bits;
    format.blockAlign = static_cast<std::uint16_t>(channels * (bits / 8));
    format.avgBytesPerSec = format.blockAlign * rate;
    return format;
}

bool IsPcm16(const WaveFormat& format) {
    bool pcm = format.formatTag == kWaveFormatPcm ||
               (format.formatTag == kWaveFormatExtensible && format.subFormat == SubFormat::Pcm);
    return pcm && format.bitsPerSample == 16 && format.channels > 0 && format.samplesPerSec > 0 &&
           format.blockAlign == format.channels * 2;
}

}  // namespace tavrik::audio
