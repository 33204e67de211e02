// The keyboard's light and stream threads: their start and stop, the light
// thread's dispatch of the lighting modes, and the reset and entry of a mode.
#include <algorithm>
#include <array>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/stream_schedule.h"
#include "link/channel_watch.h"
#include "link/effect_tables.h"
#include "platform/os/handle.h"

namespace {

using K = CCorvaneKeyboardDevice;

enum class Pacing : uint8_t {
    Threshold,        // a step once the mode's speed threshold of ticks has passed
    EverySecondTick,  // the music mode, whatever the speed
    Playlist,         // the effect playlist on every pass
};

struct LightModeStep {
    Pacing pacing;
    uint8_t thresholdRow;
    int (K::*step)();
};

constexpr uint8_t kLastTableMode = 30;
constexpr uint8_t kMusicMode = 21;
constexpr uint8_t kScreenSyncMode = 22;

// The modes whose frames the stream thread sends to the keyboard.
bool IsStreamedMode(uint8_t mode) { return mode == kMusicMode || mode == kScreenSyncMode; }
constexpr uint32_t kMusicTicks = 2;

// Modes 0..30; every mode above 30 runs the playlist.
const std::array<LightModeStep, kLastTableMode + 1> kLightModes = {{
    {Pacing::Playlist, 0, nullptr},                     // 0
    {Pacing::Threshold, 1, &K::StepStatic},             // 1
    {Pacing::Threshold, 2, &K::StepBreathing},          // 2
    {Pacing::Threshold, 3, &K::StepSpectrum},           // 3
    {Pacing::Threshold, 4, &K::StepReactiveKeys},       // 4
    {Pacing::Threshold, 5, &K::StepRandomBreathing},    // 5
    {Pacing::Threshold, 6, &K::StepReactiveRipple},     // 6
    {Pacing::Threshold, 7, &K::StepStarlight},          // 7
    {Pacing::Threshold, 8, &K::StepKeyPressFade},       // 8
    {Pacing::Threshold, 9, &K::StepColumnSpectrum},     // 9
    {Pacing::Threshold, 10, &K::StepColumnWave},        // 10
    {Pacing::Threshold, 11, &K::StepPairSequence},      // 11
    {Pacing::Threshold, 12, &K::StepRippleFromCentre},  // 12
    {Pacing::Threshold, 13, &K::StepSequenceFlow},      // 13
    {Pacing::Threshold, 14, &K::StepRowWave},           // 14
    {Pacing::Threshold, 15, &K::StepKeyColorCycle},     // 15
    {Pacing::Threshold, 16, &K::StepRippleFromLeft},    // 16
    {Pacing::Threshold, 17, &K::StepFxColor},           // 17
    {Pacing::Threshold, 18, &K::StepRings},             // 18
    {Pacing::Threshold, 19, &K::StepCustomColors},      // 19
    {Pacing::Threshold, 20, &K::StepLightsOff},         // 20
    {Pacing::EverySecondTick, 0, &K::StepMusic},        // 21
    {Pacing::Threshold, 22, &K::StepScreenSync},        // 22
    {Pacing::Threshold, 23, &K::StepFlash},             // 23
    {Pacing::Threshold, 24, &K::StepSweep},             // 24
    {Pacing::Threshold, 25, &K::StepKeyPressFade},      // 25
    {Pacing::Threshold, 2, &K::StepBreathingPalette},   // 26
    {Pacing::Threshold, 23, &K::StepFlashPalette},      // 27
    {Pacing::Playlist, 0, nullptr},                     // 28
    {Pacing::Threshold, 29, &K::StepRunningKeys},       // 29
    {Pacing::Threshold, 30, &K::StepPhasedBreathing},   // 30
}};

// The ticks the mode counts between two of its steps; 0 for a mode with work
// on every pass.
uint32_t TicksPerStep(uint8_t mode, uint8_t speed) {
    if (mode > kLastTableMode || kLightModes[mode].pacing == Pacing::Playlist) return 0;
    const LightModeStep& entry = kLightModes[mode];
    return entry.pacing == Pacing::EverySecondTick ? kMusicTicks : SpeedThresholdOf(entry.thresholdRow, speed);
}

CCorvaneKeyboardDevice& PageOf(void* parameter) {
    return *static_cast<CCorvaneKeyboardDevice*>(static_cast<win::WorkerParam*>(parameter)->owner);
}

win::HANDLE StopEventOf(void* parameter) { return static_cast<win::WorkerParam*>(parameter)->stopEvent; }

}  // namespace

// --- Start and stop --------------------------------------------------------------

void CCorvaneKeyboardDevice::SetTickSources(LightTickSource* light, LightTickSource* stream) {
    m_lightTicks.store(light ? light : &SystemTickSource());
    m_streamTicks.store(stream ? stream : &SystemTickSource());
}

void CCorvaneKeyboardDevice::SetRandomSource(std::function<uint32_t()> source) {
    win::CriticalSectionGuard lock(m_effectLock);
    m_random = std::move(source);
}

uint32_t CCorvaneKeyboardDevice::Random() { return m_random ? m_random() : uint32_t(m_randomEngine()); }

bool CCorvaneKeyboardDevice::StartWorkerThread(WorkerRecord& record, win::LPTHREAD_START_ROUTINE routine,
                                               std::atomic<int>& running) {
    return record.Start(this, routine, running);
}

void CCorvaneKeyboardDevice::StopWorkerThread(WorkerRecord& record, win::DWORD boundMs, const char* name) {
    record.Stop(boundMs, name);
}

void CCorvaneKeyboardDevice::StartLightThreads() {
    StopLightThreads();
    StartWorkerThread(m_lightThread, &KeyboardLightThreadProc, m_runningLightThreads);
    StartWorkerThread(m_streamThread, &KeyboardStreamThreadProc, m_runningLightThreads);
}

void CCorvaneKeyboardDevice::StopLightThreads() {
    // Both are told first, so that they wind down together.
    if (m_lightThread.stopEvent) win::SetEvent(m_lightThread.stopEvent);
    if (m_streamThread.stopEvent) win::SetEvent(m_streamThread.stopEvent);
    StopWorkerThread(m_lightThread, win::kWorkerStopBoundMs, "keyboard light thread");
    StopWorkerThread(m_streamThread, win::kWorkerStopBoundMs, "keyboard stream thread");
}

// --- Light thread ------------------------------------------------------------------

win::DWORD CCorvaneKeyboardDevice::KeyboardLightThreadProc(void* parameter) {
    CCorvaneKeyboardDevice& page = PageOf(parameter);
    page.RunLightThread(StopEventOf(parameter));
    page.m_runningLightThreads.fetch_sub(1);
    return 0;
}

void CCorvaneKeyboardDevice::RunLightThread(win::HANDLE stopEvent) {
    LightTickSource& clock = *m_lightTicks.load();
    // An open, a close or a sync change of the channel wakes the thread.
    const channel_watch::Scope watch(m_lightThread.wakeEvent);
    // A pass has nothing to do while the channel is closed or the lighting
    // sync drives the LEDs; outside the streamed modes the steps only animate
    // the page, which nobody sees while another page is shown or the window is
    // inactive. The thread then sleeps until the change that gives it work
    // wakes it: the channel's open or sync change, a mode change, the page
    // shown again, the window's activation.
    const auto idle = [this] {
        if (!m_commandChannel.IsOpen() || m_commandChannel.GetSyncFlag()) return true;
        return !IsStreamedMode(m_runningMode.load()) && !IsPageSeen();
    };
    uint32_t last = clock.Now();
    uint32_t ticks = 0;
    // A tick is counted once at least 2 ms have passed since the last one.
    const auto countTick = [&](uint32_t at) {
        if (at - last > 1) {
            last = at;
            ++ticks;
        }
    };
    // In the streamed modes without per-key overlays a pass that reaches no
    // step only counts a tick: the thread sleeps until the pass that steps,
    // and the passes it slept through count their ticks as a pass every
    // millisecond would have counted them, so the steps fall on the same
    // milliseconds as with a pass every millisecond.
    bool slept = false;
    uint32_t lastPass = last;
    const auto pass = [&](uint32_t now) {
        if (slept) {
            slept = false;
            const uint32_t due = TicksPerStep(m_runningMode.load(), m_runningSpeed.load());
            for (uint32_t at = lastPass + 1; int32_t(now - at) > 0 && ticks < due; ++at) countTick(at);
        }
        lastPass = now;
        countTick(now);
        win::CriticalSectionGuard lock(m_effectLock);
        const PassTimeScope at(*this, now);
        DispatchLightStep(ticks);
        ApplyKeyOverlays();
    };
    // Outside the streamed modes the passes only animate the preview: they
    // run a frame at a time. A mode change wakes the thread, so a streamed
    // mode gets its passes at once.
    const auto previewOnly = [this] { return !IsStreamedMode(m_runningMode.load()); };
    const auto passWait = [&]() -> uint32_t {
        constexpr uint32_t kPassMs = LightTickSource::kPassMs;
        slept = false;
        const uint8_t mode = m_runningMode.load();
        const uint32_t due = TicksPerStep(mode, m_runningSpeed.load());
        if (!IsStreamedMode(mode) || ticks >= due || KeyOverlaysPresent()) return kPassMs;
        // The steps' ticks fall every 2 ms after the last one.
        const int32_t left = int32_t(last + 2 * (due - ticks) - clock.Now());
        if (left <= int32_t(kPassMs)) return kPassMs;
        slept = true;
        return uint32_t(left);
    };
    RunLightPasses(clock, stopEvent, m_lightThread.wakeEvent, LightTickSource::kPassMs, idle, previewOnly, pass,
                   passWait);
}

bool CCorvaneKeyboardDevice::KeyOverlaysPresent() {
    std::lock_guard<win::CCriticalSection> guard(KeyEffectLock);
    return std::any_of(m_keyEffects.begin(), m_keyEffects.end(), [](const LightSetting& e) { return e.present; });
}

void CCorvaneKeyboardDevice::DispatchLightStep(uint32_t& ticks) {
    const uint8_t mode = m_runningMode.load();
    const uint8_t speed = m_runningSpeed.load();
    if (mode > kLastTableMode || kLightModes[mode].pacing == Pacing::Playlist) {
        RunEffectPlaylist();
        return;
    }
    if (ticks < TicksPerStep(mode, speed)) return;
    ticks = 0;
    (this->*kLightModes[mode].step)();
}

// --- Stream thread -----------------------------------------------------------------

win::DWORD CCorvaneKeyboardDevice::KeyboardStreamThreadProc(void* parameter) {
    CCorvaneKeyboardDevice& page = PageOf(parameter);
    page.RunStreamThread(StopEventOf(parameter));
    page.m_runningLightThreads.fetch_sub(1);
    return 0;
}

void CCorvaneKeyboardDevice::RunStreamThread(win::HANDLE stopEvent) {
    LightTickSource& clock = *m_streamTicks.load();
    const channel_watch::Scope watch(m_streamThread.wakeEvent);
    StreamSchedule schedule;
    // Outside the streamed modes, with the channel closed or the lighting off
    // there is nothing to send: the thread sleeps until a mode change, the
    // channel's open or the lighting's return wakes it.
    const auto idle = [this] {
        return !IsStreamedMode(m_runningMode.load()) || !m_commandChannel.IsOpen() || !IsLightingEnabled();
    };
    while (clock.WaitPass(stopEvent)) {
        if (idle()) {
            schedule.Stop();
            if (!clock.SleepWhileIdle(stopEvent, m_streamThread.wakeEvent, idle)) break;
            continue;
        }
        if (!clock.Pause(stopEvent, schedule.WaitBeforeFrame(clock.Now()))) break;
        StreamLedFrame();
    }
}

void CCorvaneKeyboardDevice::WakeLightThreads() {
    m_lightThread.Wake();
    m_streamThread.Wake();
}

bool CCorvaneKeyboardDevice::PauseStream(uint32_t ms) {
    return m_streamTicks.load()->Pause(m_streamThread.stopEvent, ms);
}

// --- Mode entry ----------------------------------------------------------------------

void CCorvaneKeyboardDevice::ResetEffectState() {
    win::CriticalSectionGuard lock(m_effectLock);
    m_leds.m_effectStep = 0;
    m_effects.m_effectPhase = 0;
    m_leds.m_keyHue.fill(0);
    m_effects.m_keyPressState.fill(0);
    m_leds.m_keyLevel.fill(0);
    for (auto& plane : m_effects.m_rippleBits) plane.fill(0);
    ResetMusicBands();
}

void CCorvaneKeyboardDevice::ResetMusicBands() {
    win::CriticalSectionGuard lock(m_effectLock);
    m_effects.m_musicBands.fill(0);
    m_effects.m_musicColumnArmed.fill(1);
}

void CCorvaneKeyboardDevice::EnterLightMode(uint8_t mode, bool fromDevice) {
    win::CriticalSectionGuard lock(m_effectLock);
    ResetEffectState();
    switch (mode) {
        case 5:
            InitKeyBreathing();
            break;
        case 12:
            SeedRippleCentre();
            break;
        case 16:
            SeedRippleLeft();
            break;
        case 30:
            InitPhasedBreathing();
            break;
        case 19:
            if (fromDevice)
                ReadDeviceCustomColors();
            else
                LoadCustomColors();
            InitColorOffsets();
            break;
        default:
            InitColorOffsets();
            break;
    }
}
