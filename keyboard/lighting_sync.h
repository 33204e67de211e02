#pragma once
// The lighting sync across devices: one shared colour, computed on the main
// window's sync thread from the process-wide SyncLightState and written into
// every LED of every device whose lighting-sync flag is set. The devices' own
// light threads render nothing meanwhile.
//
// The owner hands in where the devices come from: each pass takes one copy of
// the device lists (mice, mouse pads, headsets, keyboards) and one snapshot of
// the setting, so the lists may change and the setting be rewritten while the
// thread runs. The devices must outlive the thread.

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "link/device/light_tick_source.h"
#include "link/sync_light_state.h"
#include "platform/files/win_types.h"

class CCorvaneUSBDevice;

class LightingSync {
public:
    using DeviceSource = std::function<std::vector<CCorvaneUSBDevice*>()>;

    // The state of the sync effects; zero at start and never reset.
    struct State {
        uint8_t breathPhase = 0;  // 0..127
        uint8_t breathHue = 0;
        uint8_t cycleHue = 0;
        uint8_t flashOn = 0;
        uint8_t flashHue = 0;
        uint32_t flashTick = 0;  // time of the last flash toggle

        friend bool operator==(const State&, const State&) = default;
    };

    explicit LightingSync(DeviceSource devices);
    LightingSync(const LightingSync&) = delete;
    LightingSync& operator=(const LightingSync&) = delete;

    // The clock and waits of the thread and the flash step; null: the system's.
    void SetTickSource(LightTickSource* ticks);

    // The thread's body: returns once the stop event is set (also while it
    // sleeps because no synced device is open).
    void Run(win::HANDLE stopEvent);

    // One step of each effect, on the devices now in sync, with the setting now.
    void BreathingStep();
    void StaticStep();
    void FlashStep();
    void ColorCycleStep();
    void OffStep();
    // Writes the colour into every LED of every synced device.
    void Broadcast(uint8_t red, uint8_t green, uint8_t blue, uint8_t level);

    // One step of the setting's effect on the given devices (effects above 4: nothing).
    void Step(const SyncLightState::Values& setting, const std::vector<CCorvaneUSBDevice*>& devices);

    State GetState() const;
    void SetState(const State& state);

private:
    using Effect = void (LightingSync::*)(const SyncLightState::Values&, const std::vector<CCorvaneUSBDevice*>&);
    void RunEffect(Effect effect);
    void Breathing(const SyncLightState::Values& s, const std::vector<CCorvaneUSBDevice*>& devices);
    void Static(const SyncLightState::Values& s, const std::vector<CCorvaneUSBDevice*>& devices);
    void Flash(const SyncLightState::Values& s, const std::vector<CCorvaneUSBDevice*>& devices);
    void ColorCycle(const SyncLightState::Values& s, const std::vector<CCorvaneUSBDevice*>& devices);
    void Off(const SyncLightState::Values& s, const std::vector<CCorvaneUSBDevice*>& devices);
    static void BroadcastTo(const std::vector<CCorvaneUSBDevice*>& devices, uint8_t red, uint8_t green, uint8_t blue,
                            uint8_t level);
    static bool AnyTakesPart(const std::vector<CCorvaneUSBDevice*>& devices);
    LightTickSource& Clock() const;

    DeviceSource devices_;
    LightTickSource* ticks_ = nullptr;
    // The steps run on the sync thread and, through the main window, on any thread.
    mutable std::mutex mutex_;
    State state_;
};
