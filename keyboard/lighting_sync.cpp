#include "keyboard/lighting_sync.h"

#include <atomic>

#include "link/channel_watch.h"
#include "link/device/corvane_usb_device.h"
#include "link/effect_tables.h"
#include "link/led_color.h"
#include "platform/os/event.h"
#include "platform/os/handle.h"

namespace {

constexpr uint8_t kBreathPhases = 128;
constexpr uint8_t kWheelHues = 192;
constexpr uint8_t kBreathHueStep = 16;
constexpr uint8_t kFlashHueStep = 14;
constexpr uint8_t kUp = 1;

// The shared counter rule of every lighting effect.
uint8_t StepWrap(uint8_t up, uint8_t limit, uint8_t value, uint8_t step) {
    return LedState::StepCounter(up, limit, value, step);
}

}  // namespace

LightingSync::LightingSync(DeviceSource devices) : devices_(std::move(devices)) {}

void LightingSync::SetTickSource(LightTickSource* ticks) {
    std::lock_guard lock(mutex_);
    ticks_ = ticks;
}

LightTickSource& LightingSync::Clock() const {
    std::lock_guard lock(mutex_);
    return ticks_ ? *ticks_ : SystemTickSource();
}

bool LightingSync::AnyTakesPart(const std::vector<CCorvaneUSBDevice*>& devices) {
    for (CCorvaneUSBDevice* device : devices)
        if (device->CommandChannel().IsOpen() && device->CommandChannel().GetSyncFlag()) return true;
    return false;
}

void LightingSync::Run(win::HANDLE stopEvent) {
    LightTickSource& clock = Clock();
    // While no synced device is open a pass has nothing to do: the thread
    // sleeps until a channel opens, closes or changes its sync flag.
    const win::HANDLE wake = win::CreateEventW(nullptr, win::FALSE, win::FALSE, nullptr);
    {
        const channel_watch::Scope watch(wake);
        const auto idle = [this] { return !AnyTakesPart(devices_ ? devices_() : std::vector<CCorvaneUSBDevice*>{}); };
        uint32_t last = clock.Now();
        uint32_t ticks = 0;
        while (clock.WaitPass(stopEvent)) {
            const std::vector<CCorvaneUSBDevice*> devices = devices_ ? devices_() : std::vector<CCorvaneUSBDevice*>{};
            if (!AnyTakesPart(devices)) {
                if (!clock.SleepWhileIdle(stopEvent, wake, idle)) break;
                continue;
            }
            const uint32_t now = clock.Now();
            if (now - last > 1) {
                last = now;
                ++ticks;
            }
            const SyncLightState::Values setting = GetSyncLightState().Snapshot();
            if (ticks < SpeedPeriodOf(setting.speed)) continue;
            ticks = 0;
            Step(setting, devices);
        }
    }
    if (wake) win::CloseHandle(wake);
}

void LightingSync::Step(const SyncLightState::Values& setting, const std::vector<CCorvaneUSBDevice*>& devices) {
    static constexpr Effect kEffects[] = {&LightingSync::Breathing, &LightingSync::Static, &LightingSync::Flash,
                                          &LightingSync::ColorCycle, &LightingSync::Off};
    if (setting.effect >= std::size(kEffects)) return;
    (this->*kEffects[setting.effect])(setting, devices);
}

void LightingSync::RunEffect(Effect effect) {
    const std::vector<CCorvaneUSBDevice*> devices = devices_ ? devices_() : std::vector<CCorvaneUSBDevice*>{};
    (this->*effect)(GetSyncLightState().Snapshot(), devices);
}

void LightingSync::BreathingStep() { RunEffect(&LightingSync::Breathing); }
void LightingSync::StaticStep() { RunEffect(&LightingSync::Static); }
void LightingSync::FlashStep() { RunEffect(&LightingSync::Flash); }
void LightingSync::ColorCycleStep() { RunEffect(&LightingSync::ColorCycle); }
void LightingSync::OffStep() { RunEffect(&LightingSync::Off); }

void LightingSync::Broadcast(uint8_t red, uint8_t green, uint8_t blue, uint8_t level) {
    BroadcastTo(devices_ ? devices_() : std::vector<CCorvaneUSBDevice*>{}, red, green, blue, level);
}

void LightingSync::BroadcastTo(const std::vector<CCorvaneUSBDevice*>& devices, uint8_t red, uint8_t green, uint8_t blue,
                               uint8_t level) {
    const uint32_t word = PackLedColor(LedColor{red, green, blue, level});
    // A synced device whose channel has closed keeps its colours coming.
    for (CCorvaneUSBDevice* device : devices) {
        if (!device->CommandChannel().GetSyncFlag()) continue;
        const int count = device->GetLedCount();
        for (int i = 0; i < count; ++i) device->SetLedColor(i, word);
    }
}

void LightingSync::Breathing(const SyncLightState::Values& s, const std::vector<CCorvaneUSBDevice*>& devices) {
    RgbEntry color{s.red, s.green, s.blue};
    uint8_t phase = 0;
    {
        std::lock_guard lock(mutex_);
        state_.breathPhase = StepWrap(s.direction, kBreathPhases, state_.breathPhase, 1);
        phase = state_.breathPhase;
        if (s.colorful) {
            if (phase <= 1) state_.breathHue = StepWrap(kUp, kWheelHues, state_.breathHue, kBreathHueStep);
            color = ColorWheel[state_.breathHue];
        }
    }
    BroadcastTo(devices, color.r, color.g, color.b,
                uint8_t((unsigned(BrightnessLevelOf(s.brightness)) * BreathCurve[phase % kBreathPhases]) >> 8));
}

void LightingSync::Static(const SyncLightState::Values& s, const std::vector<CCorvaneUSBDevice*>& devices) {
    BroadcastTo(devices, s.red, s.green, s.blue, BrightnessLevelOf(s.brightness));
}

void LightingSync::Flash(const SyncLightState::Values& s, const std::vector<CCorvaneUSBDevice*>& devices) {
    const uint32_t now = Clock().Now();
    bool on = false;
    uint8_t hue = 0;
    {
        std::lock_guard lock(mutex_);
        if (now - state_.flashTick >= FlashPeriodMsOf(s.speed)) {
            state_.flashOn = !state_.flashOn;
            state_.flashTick = now;
            state_.flashHue = state_.flashHue + kFlashHueStep > 191 ? 0 : uint8_t(state_.flashHue + kFlashHueStep);
        }
        on = state_.flashOn != 0;
        hue = state_.flashHue;
    }
    if (!on) {
        BroadcastTo(devices, 0, 0, 0, 0);
        return;
    }
    const RgbEntry color = s.colorful ? ColorWheel[hue] : RgbEntry{s.red, s.green, s.blue};
    BroadcastTo(devices, color.r, color.g, color.b, BrightnessLevelOf(s.brightness));
}

void LightingSync::ColorCycle(const SyncLightState::Values& s, const std::vector<CCorvaneUSBDevice*>& devices) {
    uint8_t hue = 0;
    {
        std::lock_guard lock(mutex_);
        // The direction is used only by the breathing.
        state_.cycleHue = StepWrap(kUp, kWheelHues, state_.cycleHue, 1);
        hue = state_.cycleHue;
    }
    const RgbEntry& color = ColorWheel[hue];
    BroadcastTo(devices, color.r, color.g, color.b, BrightnessLevelOf(s.brightness));
}

void LightingSync::Off(const SyncLightState::Values&, const std::vector<CCorvaneUSBDevice*>& devices) {
    BroadcastTo(devices, 0, 0, 0, 0);
}

LightingSync::State LightingSync::GetState() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void LightingSync::SetState(const State& state) {
    std::lock_guard lock(mutex_);
    state_ = state;
}
