#pragma once

// What the library's functions ask of the chip behind them: the emulator's
// simulated chip over its socket, or the PC's own sound devices.

#include <memory>
#include <optional>
#include <string>

#include "platform/conflib/simulated_chip.h"

namespace tavrik::conflib {

class ChipBackend {
public:
    virtual ~ChipBackend() = default;
    virtual int Init() = 0;
    virtual int DeviceCount(int flow) = 0;
    virtual std::optional<ChipDevice> Device(int flow, unsigned index) = 0;
    virtual std::optional<std::string> Read(int32_t deviceId, const std::string& name, int32_t channel) = 0;
    virtual bool Write(int32_t deviceId, const std::string& name, int32_t channel, double value) = 0;
};

// The emulator's chip on the socket at `path`.
std::unique_ptr<ChipBackend> MakeSocketChipBackend(const std::string& path);
// The default PulseAudio sink (render) and source (capture), the card's
// side-tone controls through ALSA, and a simulated chip for the rest.
std::unique_ptr<ChipBackend> MakePulseChipBackend();

}  // namespace tavrik::conflib
