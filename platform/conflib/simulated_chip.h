#pragma once

// A model of the headset's audio chip: its render and capture devices and
// the properties the headset page reads and writes, with plausible values.
// It serves the emulator (over a socket, see chip_server.h) and keeps, for
// the library's PulseAudio backend, the properties Linux has no backend for.
//
// Tests make it fail on purpose: the library's initialisation, the read or
// write of one property, a short feature list, no render device. Every
// accepted write is logged.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tavrik::conflib {

struct ChipDevice {
    int32_t id = 0;
    int32_t type = 0;
    int32_t id2 = 0;
    int32_t state = 0;
};

struct ChipWrite {
    std::string name;
    int32_t channel = 0;
    double value = 0;
};

// Render and capture device ids of the model.
inline constexpr int32_t kRenderDeviceId = 101;
inline constexpr int32_t kCaptureDeviceId = 201;
// Feature value 0 of the capture device: the voice changer is available.
inline constexpr int32_t kVoiceChangerFeature = 0x20000;

// Whether a property takes a 32-bit float (the scalar volumes) or an integer.
bool IsScalarProperty(const std::string& name);

class SimulatedChip {
public:
    SimulatedChip();

    // --- What the library asks -----------------------------------------------
    int Init();
    int DeviceCount(int flow) const;
    std::optional<ChipDevice> Device(int flow, unsigned index) const;
    // The value as decimal text; nothing when the device is unknown, the
    // property is not the device's or a read failure is injected.
    std::optional<std::string> Read(int32_t deviceId, const std::string& name, int32_t channel) const;
    bool Write(int32_t deviceId, const std::string& name, int32_t channel, double value);

    // --- What tests and the emulator's command line do ------------------------
    std::optional<double> Get(const std::string& name) const;
    bool Set(const std::string& name, double value);
    void SetFeatures(const std::string& render, const std::string& capture);
    void FailInit(int code);
    void FailRead(const std::string& name, bool fail = true);
    void FailWrite(const std::string& name, bool fail = true);
    void SetShortFeatures(bool shortList);
    void SetNoRenderDevice(bool none);
    void ClearFailures();
    std::vector<ChipWrite> WriteLog() const;
    void ClearWriteLog();
    // "get NAME", "set NAME VALUE", "fail init CODE|read NAME|write NAME|features|render|none",
    // "log", "clear": the answer line ("ok ...", "error: ...").
    std::string Command(const std::string& line);

private:
    bool OwnsProperty(int32_t deviceId, const std::string& name) const;

    mutable std::mutex mutex_;
    std::map<std::string, double> values_;
    std::string renderFeatures_;
    std::string captureFeatures_;
    int initResult_ = 0;
    std::map<std::string, bool> failRead_;
    std::map<std::string, bool> failWrite_;
    bool shortFeatures_ = false;
    bool noRender_ = false;
    std::vector<ChipWrite> log_;
};

}  // namespace tavrik::conflib
