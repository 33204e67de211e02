// The mouse page's lighting: applying a profile's lighting, the light thread
// and its mode table, the mouse's own steps over its LED groups, the reactive
// trigger and the LED preview on the page.
#include <array>

#include "devices/corvane_mouse_device.h"
#include "devices/mouse_light_effects.h"
#include "link/basic_profiledata.h"
#include "link/channel_watch.h"
#include "platform/os/event.h"
#include "shell/controls/device_key_button_ui.h"

namespace {

using M = CCorvaneMouseDevice;

// Modes from here on are the user's custom effects (the playlist).
constexpr uint8_t kFirstCustomMode = 10;
constexpr uint8_t kTriggeredFadeMode = 6;

// The step of each built-in mode, run once every MouseStepPeriod(speed) counts.
const std::array<int (M::*)(), kFirstCustomMode> kModeSteps = {
    &M::StepWave,              // 0
    &M::StepSpectrum,          // 1
    &M::StepBreathing,         // 2
    &M::StepStatic,            // 3
    &M::StepFlash,             // 4
    &M::StepRunningLight,      // 5
    &M::StepTriggeredFade,     // 6
    &M::StepBreathingPalette,  // 7
    &M::StepFlashPalette,      // 8
    &M::StepLightsOff,         // 9
};

CCorvaneMouseDevice& PageOf(void* parameter) {
    return *static_cast<CCorvaneMouseDevice*>(static_cast<win::WorkerParam*>(parameter)->owner);
}

win::HANDLE StopEventOf(void* parameter) { return static_cast<win::WorkerParam*>(parameter)->stopEvent; }

}  // namespace

// --- Applying a profile ---------------------------------------------------------------

int CCorvaneMouseDevice::ApplyLightProfile() {
    const LightSetting s = m_profile.GetLightInfo();
    CCorvaneUSBDevice::SetLightSetting(s);
    {
        // A new mode starts from dark levels and one lit ring place; the
        // trigger states carry over.
        win::CriticalSectionGuard effects(m_effectLock);
        if (s.mode != m_copyMode.load()) {
            ClearFadeState();
            m_leds.m_ring[0] = 1;
        }
        SetLightingCopy(s);
    }
    {
        // The per-LED effects show once; the light thread runs the mode's step.
        win::CriticalSectionGuard keys(KeyEffectLock);
        m_keyEffects = m_profile.GetLightList();
        RenderLedBreathing(true);
        RenderLedFlash(true);
        RenderLedColorCycle(true);
    }
    m_profile.LoadLightList(m_profile.GetLightListPath());
    {
        win::CriticalSectionGuard list(EffectListLock);
        m_effectList = m_profile.GetCustomEffect();
        m_nEffectListCount = int(m_effectList.size());
        m_nEffectListIndex = 0;
    }
    return 1;
}

void CCorvaneMouseDevice::RenderLedBreathing(bool reset) {
    win::CriticalSectionGuard keys(KeyEffectLock);
    win::CriticalSectionGuard effects(m_effectLock);
    m_keyRenderer.BreathingPass(m_leds, m_keyEffects, reset);
}

void CCorvaneMouseDevice::RenderLedFlash(bool reset) {
    win::CriticalSectionGuard keys(KeyEffectLock);
    win::CriticalSectionGuard effects(m_effectLock);
    m_keyRenderer.FlashPass(m_leds, m_keyEffects, m_ticks.load()->Now(), reset);
}

void CCorvaneMouseDevice::RenderLedColorCycle(bool reset) {
    win::CriticalSectionGuard keys(KeyEffectLock);
    win::CriticalSectionGuard effects(m_effectLock);
    m_keyRenderer.ColorCyclePass(m_leds, m_keyEffects, reset);
}

// --- Light thread -------------------------------------------------------------------

void CCorvaneMouseDevice::SetTickSource(LightTickSource* ticks) { m_ticks.store(ticks ? ticks : &SystemTickSource()); }

void CCorvaneMouseDevice::StartLightThread() {
    StopLightThread();
    m_lightThread.Start(this, &MouseLightThreadProc, m_runningLightThreads);
}

void CCorvaneMouseDevice::WakeLightThreads() { m_lightThread.Wake(); }

void CCorvaneMouseDevice::StopLightThread() { m_lightThread.Stop(win::kWorkerStopBoundMs, "mouse light thread"); }

win::DWORD CCorvaneMouseDevice::MouseLightThreadProc(void* parameter) {
    CCorvaneMouseDevice& page = PageOf(parameter);
    page.RunLightThread(StopEventOf(parameter));
    page.m_runningLightThreads.fetch_sub(1);
    return 0;
}

void CCorvaneMouseDevice::RunLightThread(win::HANDLE stopEvent) {
    LightTickSource& clock = *m_ticks.load();
    // An open, a close or a sync change of the channel wakes the thread.
    const channel_watch::Scope watch(m_lightThread.wakeEvent);
    uint32_t last = clock.Now();
    uint32_t count = 0;
    // A pass has nothing to do while the channel is closed or the lighting
    // sync drives the LEDs; and the mouse runs its lighting itself, so the
    // steps only animate the page, which nobody sees while another page is
    // shown or the window is inactive. The thread then sleeps until the change
    // that gives it work wakes it.
    const auto idle = [this] { return !m_commandChannel.IsOpen() || m_commandChannel.GetSyncFlag() || !IsPageSeen(); };
    // Seen, the passes only animate the preview: they run a frame at a time.
    RunLightPasses(
        clock, stopEvent, m_lightThread.wakeEvent, LightTickSource::kPassMs, idle, [] { return true; },
        [&](uint32_t now) { RunLightPass(count, last, now); });
}

void CCorvaneMouseDevice::RunLightPass(uint32_t& count, uint32_t& last, uint32_t now) {
    win::CriticalSectionGuard lock(m_effectLock);
    const PassTimeScope at(*this, now);
    // A count once the clock has moved on by 2 ms or more.
    if (now - last > 1) {
        last = now;
        ++count;
    }
    const uint8_t mode = m_copyMode.load();
    if (mode >= kFirstCustomMode) {
        RunEffectPlaylist();
        return;
    }
    if (count < MouseStepPeriod(m_copySpeed.load())) return;
    count = 0;
    (this->*kModeSteps[mode])();
}

void CCorvaneMouseDevice::RunEffectPlaylist() {
    const LightSetting s = CurrentLightSetting();
    m_sequencer.Run(m_leds, {EffectListLock, m_effectList, m_nEffectListIndex}, s.speed,
                    PassTime().value_or(m_ticks.load()->Now()));
}

// --- The mouse's own steps ---------------------------------------------------------------

int CCorvaneMouseDevice::StepWave() {
    MouseLightEffects(m_leds, m_effectStep, m_triggerStates).StepWave(CurrentLightSetting());
    return m_leds.GetLedCount();
}

int CCorvaneMouseDevice::StepRunningLight() {
    MouseLightEffects(m_leds, m_effectStep, m_triggerStates).StepRunningLight(CurrentLightSetting(), m_copyMode.load());
    return m_leds.GetLedCount();
}

int CCorvaneMouseDevice::StepTriggeredFade() {
    MouseLightEffects(m_leds, m_effectStep, m_triggerStates).StepTriggeredFade(CurrentLightSetting());
    return m_leds.GetLedCount();
}

int CCorvaneMouseDevice::StepBreathingPalette() { return CCorvaneUSBDevice::StepBreathingPalette(); }

int CCorvaneMouseDevice::StepFlashPalette() { return CCorvaneUSBDevice::StepFlashPalette(); }

// --- Reactive trigger ----------------------------------------------------------------

void CCorvaneMouseDevice::SetRandomSource(std::function<uint32_t()> source) {
    win::CriticalSectionGuard lock(m_effectLock);
    m_random = std::move(source);
}

void CCorvaneMouseDevice::TriggerReactive() {
    if (CurrentLightSetting().mode != kTriggeredFadeMode) return;
    // The light thread's pass and the trigger never overlap.
    win::CriticalSectionGuard lock(m_effectLock);
    MouseLightEffects(m_leds, m_effectStep, m_triggerStates).Trigger([this] {
        return m_random ? m_random() : uint32_t(m_randomEngine());
    });
}

uint8_t CCorvaneMouseDevice::GetTriggerState(int led) const {
    return led >= 0 && size_t(led) < m_triggerStates.size() ? m_triggerStates[size_t(led)].load() : 0;
}

// --- LED preview ---------------------------------------------------------------------

int CCorvaneMouseDevice::SendLedFrame() {
    const int count = m_leds.GetLedCount();
    for (size_t n = 0; n < m_light0Buttons.size() && int(n) < count; ++n) {
        CDeviceKeyButtonUI* button = m_light0Buttons[n];
        if (!button || !button->IsVisible()) continue;
        const LedColor led = m_leds.GetLed(int(n));
        button->SetLightColor(KeyButtonColorWord(led), led.brightness, true);
    }
    if (m_pLight0Panel && IsWindowActive()) InvalidateChangedLights(m_pLight0Panel);
    if (m_pLogoButton && m_pLogoButton->IsVisible() && m_logoLedIndex >= 0 && m_logoLedIndex < count) {
        const LedColor led = m_leds.GetLed(m_logoLedIndex);
        m_pLogoButton->SetLightColor(KeyButtonColorWord(led), led.brightness, true);
    }
    return CCorvaneUSBDevice::SendLedFrame();
}
