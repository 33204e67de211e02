// The light thread and the event listener of the headset and mouse-pad pages,
// with the effect steps and the dispatch of the light modes.
#include "devices/corvane_lit_device.h"

#include "link/channel_watch.h"
#include "link/effect_tables.h"
#include "platform/os/event.h"
#include "platform/os/handle.h"
#include "link/device/device_option_ui.h"

namespace {

// A pass is a 1 ms wait on the stop event and a 1 ms sleep: one wait of
// 2 ms, so a pass costs one wake-up instead of two.
constexpr uint32_t kPassMs = 2;
// The passes a frame runs at most: a frame late by a stall of the window
// still gets the passes the thread would have run, a long pause of the
// frames is not caught up in a burst.
constexpr uint32_t kMaxFramePasses = 1000 / kPassMs;
constexpr win::DWORD kListenerPassMs = 1;
constexpr uint8_t kEventReportId = 0x03;

CCorvaneLitDevice& PageOf(void* parameter) {
    return *static_cast<CCorvaneLitDevice*>(static_cast<win::WorkerParam*>(parameter)->owner);
}

win::HANDLE StopEventOf(void* parameter) { return static_cast<win::WorkerParam*>(parameter)->stopEvent; }

uint32_t PassesPerStep(uint8_t speed) { return speed < FlashPeriodUnits.size() ? FlashPeriodUnits[speed] : 0; }

}  // namespace

// --- Start and stop --------------------------------------------------------------

bool CCorvaneLitDevice::StartWorker(WorkerRecord& record, win::LPTHREAD_START_ROUTINE routine,
                                    std::atomic<int>& running) {
    return record.Start(this, routine, running);
}

void CCorvaneLitDevice::StopWorker(WorkerRecord& record, win::DWORD boundMs, const char* name, bool cancelRead) {
    // The listener may wait in a read: the channel's cancel event ends it.
    std::function<void()> cancel;
    if (cancelRead)
        cancel = [this] {
            if (win::HANDLE c = m_eventChannel.m_wired.CancelEvent()) win::SetEvent(c);
        };
    record.Stop(boundMs, name, cancel);
}

void CCorvaneLitDevice::SetTickSource(LightTickSource* ticks) { m_ticks.store(ticks ? ticks : &SystemTickSource()); }

void CCorvaneLitDevice::StartLightThread() {
    StopLightThread();
    {
        win::CriticalSectionGuard lock(m_effectLock);
        m_passes = 0;
        m_lastPassAt = m_ticks.load()->Now();
    }
    m_framesRunPasses.store(SendsLiveFrames());
    StartWorker(m_lightThread, &LightThreadProc, m_runningLightThreads);
}

void CCorvaneLitDevice::WakeLightThreads() { m_lightThread.Wake(); }

void CCorvaneLitDevice::StopLightThread() {
    m_framesRunPasses.store(false);
    StopWorker(m_lightThread, win::kWorkerStopBoundMs, "light thread", false);
}

// --- Light thread ------------------------------------------------------------------

win::DWORD CCorvaneLitDevice::LightThreadProc(void* parameter) {
    CCorvaneLitDevice& page = PageOf(parameter);
    page.RunLightThread(StopEventOf(parameter));
    page.m_runningLightThreads.fetch_sub(1);
    return 0;
}

void CCorvaneLitDevice::RunLightThread(win::HANDLE stopEvent) {
    LightTickSource& clock = *m_ticks.load();
    // An open, a close or a sync change of the channel wakes the thread.
    const channel_watch::Scope watch(m_lightThread.wakeEvent);
    // A pass has nothing to do while the channel is closed or the lighting
    // sync drives the LEDs. A page whose device takes no live frames (the
    // mouse pad) only animates its buttons, which nobody sees while another
    // page is shown or the window is inactive. The headset's frames, and its
    // buttons, are taken from the LED vector by the frame timer, which runs
    // the passes that fell due just before (RunFramePasses). The thread then
    // sleeps until the change that gives it work wakes it.
    const auto idle = [this] {
        if (!m_commandChannel.IsOpen() || m_commandChannel.GetSyncFlag()) return true;
        return SendsLiveFrames() || !IsPageSeen();
    };
    // Seen, the mouse pad's passes only animate its buttons: they run a frame at a time.
    RunLightPasses(
        clock, stopEvent, m_lightThread.wakeEvent, kPassMs, idle, [] { return true; },
        [this](uint32_t now) { RunLightPass(m_passes, now); });
}

void CCorvaneLitDevice::RunFramePasses() {
    if (!m_framesRunPasses.load()) return;
    const uint32_t now = m_ticks.load()->Now();
    win::CriticalSectionGuard lock(m_effectLock);
    // The time the thread would have slept is no time the passes missed.
    if (!m_commandChannel.IsOpen() || m_commandChannel.GetSyncFlag()) {
        m_lastPassAt = now;
        return;
    }
    RunElapsedPasses(m_lastPassAt, now, kPassMs, kMaxFramePasses, false,
                     [this](uint32_t at) { RunLightPass(m_passes, at); });
}

int CCorvaneLitDevice::SendLedFrame() {
    RunFramePasses();
    return CCorvaneUSBDevice::SendLedFrame();
}

void CCorvaneLitDevice::RunLightPass(uint32_t& passes, uint32_t now) {
    win::CriticalSectionGuard lock(m_effectLock);
    const PassTimeScope at(*this, now);
    ++passes;
    const uint8_t mode = m_blockMode.load();
    const uint8_t speed = m_blockSpeed.load();
    if (mode == kModeCustom || mode > kModeOff) {
        const LightSetting s = CurrentLightSetting();
        m_sequencer.Run(m_leds, {EffectListLock, m_effectList, m_nEffectListIndex}, s.speed, now);
    } else if (passes >= PassesPerStep(speed)) {
        passes = 0;
        switch (mode) {
            case kModeWave:
                StepWave();
                break;
            case kModeSpectrum:
                StepSpectrum();
                break;
            case kModeBreathing:
                StepBreathing();
                break;
            case kModeStatic:
                StepStatic();
                break;
            case kModeFlash:
                StepFlash();
                break;
            case kModeRingChase:
                StepRingChase();
                break;
            case kModeRunningLight:
                StepRunningLight();
                break;
            default:
                StepLightsOff();
                break;
        }
    }
    RenderKeyEffects(now);
}

int CCorvaneLitDevice::StepWave() {
    m_effects.StepWave(CurrentLightSetting());
    return m_leds.GetLedCount();
}

int CCorvaneLitDevice::StepRunningLight() {
    m_effects.StepRunningLight(CurrentLightSetting(), m_blockMode.load());
    return m_leds.GetLedCount();
}

int CCorvaneLitDevice::StepRingChase() {
    m_effects.StepRingChase(CurrentLightSetting(), m_blockMode.load());
    return m_leds.GetLedCount();
}

void CCorvaneLitDevice::RenderKeyEffects(uint32_t now) {
    win::CriticalSectionGuard keys(KeyEffectLock);
    m_keyRenderer.Render(m_leds, m_keyEffects, now);
}

// --- Event channel -------------------------------------------------------------------

void CCorvaneLitDevice::OpenEventChannel(const std::wstring& path, int) {
    if (!m_eventChannel.IsOpen()) {
        // One listener: the running one must not read the handle while it is replaced.
        StopWorker(m_listener, win::kListenerStopBoundMs, "event listener", true);
        win::CriticalSectionGuard lock(m_eventChannel.m_ioLock);
        m_eventChannel.m_wired.Close();
        // A failed open leaves the channel closed: the listener then idles.
        const bool opened = m_eventChannel.m_wired.Open(path.c_str(), win::TRUE, win::TRUE, win::TRUE, win::FALSE);
        m_eventChannel.m_open.store(opened ? 1 : 0);
    }
    if (!m_listener.stopEvent) StartWorker(m_listener, &ListenerThreadProc, m_runningListeners);
}

void CCorvaneLitDevice::CloseEventChannel(int) {
    if (!m_eventChannel.IsOpen()) return;
    StopWorker(m_listener, win::kListenerStopBoundMs, "event listener", true);
    win::CriticalSectionGuard lock(m_eventChannel.m_ioLock);
    m_eventChannel.m_open.store(0);
    m_eventChannel.m_wired.Close();
}

void CCorvaneLitDevice::ReopenEventChannel(const std::wstring& path, int type) {
    CloseEventChannel(type);
    OpenEventChannel(path, type);
}

win::DWORD CCorvaneLitDevice::ListenerThreadProc(void* parameter) {
    CCorvaneLitDevice& page = PageOf(parameter);
    page.RunListener(StopEventOf(parameter));
    page.m_runningListeners.fetch_sub(1);
    return 0;
}

void CCorvaneLitDevice::RunListener(win::HANDLE stopEvent) {
    CHidDevice& handle = m_eventChannel.m_wired;
    while (win::WaitForSingleObject(stopEvent, kListenerPassMs) == win::WAIT_TIMEOUT) {
        if (!m_eventChannel.IsOpen()) {
            // The interface opens only through OpenEventChannel, which starts
            // a listener of its own: this one has nothing to read until its stop.
            win::WaitForSingleObject(stopEvent, win::INFINITE);
            break;
        }
        win::DWORD length = 0;
        // Waits for a report; stopping the listener cancels the read.
        if (!handle.ReadInputReport(&length, win::INFINITE)) continue;
        // The collection also carries the command replies: only event reports count.
        if (length == 0 || handle.m_inputReport.empty() || handle.m_inputReport[0] != kEventReportId) continue;
        uint16_t code = 0;
        if (!handle.UnpackInputReport(length, &code)) continue;
        if (code != kSettingsChangedEvent) continue;
        m_resyncRequests.fetch_add(1);
        if (m_pDeviceOption) m_pDeviceOption->ArmTimer(TIMER_OPTION_RESYNC, kResyncDelayMs);
    }
}
