#include "platform/conflib/simulated_chip.h"

#include <cstdio>
#include <sstream>

namespace tavrik::conflib {
namespace {

constexpr int kRenderFlow = 0;
constexpr int kCaptureFlow = 1;
constexpr char kFeatures[] = "GetSupportFeature";

bool IsRenderProperty(const std::string& name) {
    return name == "VirtualSurroundEffectControl" || name == "Enable_EQ_GFX" || name.rfind("EQ_Slider", 0) == 0 ||
           name == "Enable_RFX_GFX" || name == "RFX_ENVIRONMENT" || name == "RFX_ROOMSIZE";
}

std::string Text(double v) {
    char text[64];
    if (v == double(int64_t(v)))
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(v));
    else
        std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

bool ParseValue(const std::string& text, double* value) {
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

}  // namespace

bool IsScalarProperty(const std::string& name) {
    return name == "VolumeScalarControl" || name == "AAVolumeScalarControl";
}

SimulatedChip::SimulatedChip() {
    values_ = {
        {"VirtualSurroundEffectControl", 0},
        {"Enable_EQ_GFX", 0},
        {"Enable_RFX_GFX", 0},
        {"RFX_ENVIRONMENT", 0},
        {"RFX_ROOMSIZE", 0},
        {"Enable_ENC_LFX", 0},
        {"VolumeControl", 60},
        {"MuteControl", 0},
        {"VolumeScalarControl", 0.6},
        {"GetMaxVol", 0},
        {"GetMinVol", -96},
        {"GetVolStep", 0.5},
        {"GetAAMaxVol", 12},
        {"GetAAMinVol", -34.5},
        {"GetAAVolStep", 1.5},
        {"AAVolumeControl", 50},
        {"AAMuteControl", 1},
        {"AAVolumeScalarControl", 0.5},
        {"Enable_MAGICVOICE", 0},
        {"Enable_MICECHO", 0},
        {"MagicVoice_Selection", 0},
    };
    for (int k = 1; k <= 10; ++k) values_["EQ_Slider" + std::to_string(k)] = 0;
    renderFeatures_ = "1,0,0,0,2,0,3";
    captureFeatures_ = std::to_string(kVoiceChangerFeature | 1) + ",0,0,0,4,0,5";
}

int SimulatedChip::Init() {
    std::lock_guard lock(mutex_);
    return initResult_;
}

int SimulatedChip::DeviceCount(int flow) const {
    std::lock_guard lock(mutex_);
    if (flow == kRenderFlow) return noRender_ ? 0 : 1;
    return flow == kCaptureFlow ? 1 : 0;
}

std::optional<ChipDevice> SimulatedChip::Device(int flow, unsigned index) const {
    std::lock_guard lock(mutex_);
    if (index != 0) return std::nullopt;
    if (flow == kRenderFlow && !noRender_) return ChipDevice{kRenderDeviceId, 1, kRenderDeviceId + 1, 1};
    if (flow == kCaptureFlow) return ChipDevice{kCaptureDeviceId, 2, kCaptureDeviceId + 1, 1};
    return std::nullopt;
}

bool SimulatedChip::OwnsProperty(int32_t deviceId, const std::string& name) const {
    if (deviceId == kRenderDeviceId) return !noRender_ && (IsRenderProperty(name) || name == kFeatures);
    if (deviceId == kCaptureDeviceId) return !IsRenderProperty(name);
    return false;
}

std::optional<std::string> SimulatedChip::Read(int32_t deviceId, const std::string& name, int32_t) const {
    std::lock_guard lock(mutex_);
    if (!OwnsProperty(deviceId, name)) return std::nullopt;
    if (auto f = failRead_.find(name); f != failRead_.end() && f->second) return std::nullopt;
    if (name == kFeatures) {
        std::string list = deviceId == kRenderDeviceId ? renderFeatures_ : captureFeatures_;
        return shortFeatures_ ? list.substr(0, list.find(',', list.find(',') + 1)) : list;
    }
    const auto v = values_.find(name);
    if (v == values_.end()) return std::nullopt;
    return Text(v->second);
}

bool SimulatedChip::Write(int32_t deviceId, const std::string& name, int32_t channel, double value) {
    std::lock_guard lock(mutex_);
    if (!OwnsProperty(deviceId, name) || name == kFeatures || name.rfind("Get", 0) == 0) return false;
    if (auto f = failWrite_.find(name); f != failWrite_.end() && f->second) return false;
    values_[name] = value;
    log_.push_back({name, channel, value});
    return true;
}

std::optional<double> SimulatedChip::Get(const std::string& name) const {
    std::lock_guard lock(mutex_);
    const auto v = values_.find(name);
    if (v == values_.end()) return std::nullopt;
    return v->second;
}

bool SimulatedChip::Set(const std::string& name, double value) {
    std::lock_guard lock(mutex_);
    const auto v = values_.find(name);
    if (v == values_.end()) return false;
    v->second = value;
    return true;
}

void SimulatedChip::SetFeatures(const std::string& render, const std::string& capture) {
    std::lock_guard lock(mutex_);
    renderFeatures_ = render;
    captureFeatures_ = capture;
}

void SimulatedChip::FailInit(int code) {
    std::lock_guard lock(mutex_);
    initResult_ = code;
}

void SimulatedChip::FailRead(const std::string& name, bool fail) {
    std::lock_guard lock(mutex_);
    failRead_[name] = fail;
}

void SimulatedChip::FailWrite(const std::string& name, bool fail) {
    std::lock_guard lock(mutex_);
    failWrite_[name] = fail;
}

void SimulatedChip::SetShortFeatures(bool shortList) {
    std::lock_guard lock(mutex_);
    shortFeatures_ = shortList;
}

void SimulatedChip::SetNoRenderDevice(bool none) {
    std::lock_guard lock(mutex_);
    noRender_ = none;
}

void SimulatedChip::ClearFailures() {
    std::lock_guard lock(mutex_);
    initResult_ = 0;
    failRead_.clear();
    failWrite_.clear();
    shortFeatures_ = false;
    noRender_ = false;
}

std::vector<ChipWrite> SimulatedChip::WriteLog() const {
    std::lock_guard lock(mutex_);
    return log_;
}

void SimulatedChip::ClearWriteLog() {
    std::lock_guard lock(mutex_);
    log_.clear();
}

std::string SimulatedChip::Command(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    if (w.empty()) return "error: empty chip command";
    double v = 0;
    if (w[0] == "get" && w.size() == 2) {
        const auto value = Get(w[1]);
        return value ? "ok " + w[1] + " " + Text(*value) : "error: no property " + w[1];
    }
    if (w[0] == "set" && w.size() == 3) {
        if (!ParseValue(w[2], &v)) return "error: bad value " + w[2];
        return Set(w[1], v) ? "ok" : "error: no property " + w[1];
    }
    if (w[0] == "log" && w.size() == 1) {
        std::string out = "ok";
        for (const ChipWrite& e : WriteLog()) out += " " + e.name + "=" + Text(e.value);
        return out;
    }
    if (w[0] == "clear" && w.size() == 1) {
        ClearFailures();
        ClearWriteLog();
        return "ok";
    }
    if (w[0] == "fail" && w.size() >= 2) {
        if (w[1] == "init" && w.size() == 3 && ParseValue(w[2], &v)) return FailInit(int(v)), "ok";
        if (w[1] == "read" && w.size() == 3) return FailRead(w[2]), "ok";
        if (w[1] == "write" && w.size() == 3) return FailWrite(w[2]), "ok";
        if (w[1] == "features" && w.size() == 2) return SetShortFeatures(true), "ok";
        if (w[1] == "render" && w.size() == 2) return SetNoRenderDevice(true), "ok";
        if (w[1] == "none" && w.size() == 2) return ClearFailures(), "ok";
        return "error: fail init CODE|read NAME|write NAME|features|render|none";
    }
    return "error: chip get NAME|set NAME VALUE|fail ...|log|clear";
}

}  // namespace tavrik::conflib
