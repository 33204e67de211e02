#pragma once
// CCorvaneLitDevice: what the headset page and the mouse-pad page share. Both
// keep a 21-byte light block per profile on the device, compute their
// lighting on the PC with a light thread of their own, read a 6-byte status
// and listen for the device's "settings changed" event. The two pages differ
// in their picture container, their profile document, the shape of their wave
// and what their LED frame does; everything else is here.
//
// Threads: the UI thread builds the page, exchanges blocks and sends frames;
// the light thread renders the effects (one pass at a time under the effect
// lock); the listener reads the event channel and arms the device entry's
// resync timer. Both threads stop cooperatively: the listener's read wakes on
// the channel's cancel event.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "devices/headset_light_block.h"
#include "devices/key_effect_renderer.h"
#include "devices/light_sequencer.h"
#include "devices/lit_effects.h"
#include "link/device/light_tick_source.h"
#include "link/page_worker.h"
#include "link/device/device_family_page.h"
#include "platform/os/thread.h"

class CBasicProfiledata;

class CCorvaneLitDevice : public CDeviceFamilyPage {
public:
    // Light modes of the block (indices of the page's mode list).
    enum LitMode : uint8_t {
        kModeWave = 0,
        kModeSpectrum = 1,
        kModeBreathing = 2,
        kModeStatic = 3,
        kModeFlash = 4,
        kModeCustom = 5,
        kModeRingChase = 6,
        kModeRunningLight = 7,
        kModeOff = 8,
    };
    // The event that makes the page re-read the active block.
    static constexpr uint16_t kSettingsChangedEvent = 0x0401;
    static constexpr unsigned kResyncDelayMs = 500;
    static constexpr uint32_t kProfileStride = 64;
    // The device block's bytes read from the device (the page keeps the first 21).
    static constexpr uint32_t kBlockReadBytes = 49;
    // Lighting page sliders of these devices reach 4.
    static constexpr int kLightLevelMax = 4;

    CCorvaneLitDevice(int deviceType, LitEffectShape shape, const wchar_t* pictureName);
    ~CCorvaneLitDevice() override;
    CCorvaneLitDevice(const CCorvaneLitDevice&) = delete;
    CCorvaneLitDevice& operator=(const CCorvaneLitDevice&) = delete;

    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;

    // --- Device-family interface -----------------------------------------
    int ApplyLightProfile() override;
    void ReadActiveProfile() override;
    void PollStatus() override;
    int LoadProfile(int flag) override;
    void RefreshPage(int flag) override;
    void RestoreDefaultProfile() override;
    int WriteProfileBlock(int profile, int firstByte, int flag, int screenWidth, int screenHeight) override;
    void LoadNameLists() override;
    void IgniteRingLeds() override;
    // The auxiliary interface of these devices is one: the type is not looked at.
    void OpenEventChannel(const std::wstring& path, int type) override;
    void CloseEventChannel(int type) override;
    void ReopenEventChannel(const std::wstring& path, int type) override;

    // --- Own operations ---------------------------------------------------
    void BuildDevicePage() override;
    // Whether the device takes the LED vector as live frames (the headset):
    // its frames then run the light passes (the thread sleeps), whether or
    // not the page is seen.
    virtual bool SendsLiveFrames() const { return false; }
    // Runs the light passes that fell due, then colours the light buttons.
    int SendLedFrame() override;
    LightSetting GetLightSetting() const { return CurrentLightSetting(); }
    // Reads the active profile's block: 1 and the block taken, or 0 with
    // nothing changed (closed channel, a failed read).
    int ReadProfileBlock(int* profile);
    void ReadPowerStatus();
    void OpenEventChannel(const std::wstring& path) { OpenEventChannel(path, 0); }
    void CloseEventChannel() { CloseEventChannel(0); }

    // --- Lighting engine (corvane_lit_device_threads.cpp) ---------------------
    // Stops a running light thread first.
    void StartLightThread();
    // Ends the light thread and joins it; nothing when none runs.
    void StopLightThread();
    void WakeLightThreads() override;
    // The clock and waits of light threads started afterwards; null: the system's.
    void SetTickSource(LightTickSource* ticks);
    // One pass of the light thread after its waits (the pass counter given):
    // the mode's step when due, the sequencer, the per-LED effects. Tests drive
    // the effects pass by pass with it.
    void RunLightPass(uint32_t& passes, uint32_t now);
    // For a page whose device takes live frames, while its light thread
    // runs: the passes the thread would have run since its last, each at
    // its own time, up to now.
    void RunFramePasses();
    int StepWave();
    int StepRunningLight();
    int StepRingChase();
    // The per-LED custom effects.
    void RenderKeyEffects(uint32_t now);
    int RunningLightThreads() const { return m_runningLightThreads.load(); }
    int RunningListeners() const { return m_runningListeners.load(); }
    // How often the device reported a change of its settings.
    int ResyncRequests() const { return m_resyncRequests.load(); }

    // --- State for the main window and tests -------------------------------
    HeadsetLightBlock GetLightBlock() const;
    void SetLightBlock(const HeadsetLightBlock& block);
    bool IsEventChannelOpen() const { return m_eventChannel.IsOpen(); }
    const DeviceInfoBlock& DeviceInfo() const { return m_deviceInfo; }
    const DeviceStatusBlock& LastStatus() const { return m_lastStatus; }
    LitEffects& Effects() { return m_effects; }
    LightSequencer& Sequencer() { return m_sequencer; }
    KeyEffectRenderer& KeyRenderer() { return m_keyRenderer; }

protected:
    // The page's own part of BuildDevicePage after the lighting page is bound.
    virtual void BindPanels() {}
    // The page's own part of LoadProfile after ApplyLightProfile.
    virtual void LoadOwnSettings() {}
    // The page's own part of RefreshPage after the lighting page.
    virtual void RefreshOwnPanels() {}

    // Seeds the ring when the block's mode index changed since the last look.
    void NoteModeChange();

private:
    using WorkerRecord = PageWorker;
    bool StartWorker(WorkerRecord& record, win::LPTHREAD_START_ROUTINE routine, std::atomic<int>& running);
    void StopWorker(WorkerRecord& record, win::DWORD boundMs, const char* name, bool cancelRead);
    // The light thread of both families (on the mouse pad the
    // MousePadLightThreadProc).
    static win::DWORD LightThreadProc(void* parameter);
    // The event listener of both families (the headset's SyncThreadProc, the
    // mouse pad's MousePadEventThreadProc).
    static win::DWORD ListenerThreadProc(void* parameter);
    void RunLightThread(win::HANDLE stopEvent);
    void RunListener(win::HANDLE stopEvent);

    const wchar_t* m_pictureName;
    mutable std::mutex m_blockLock;
    HeadsetLightBlock m_lightBlock{};
    // The mode and speed bytes of the block as the light thread reads them.
    std::atomic<uint8_t> m_blockMode{0};
    std::atomic<uint8_t> m_blockSpeed{0};
    uint8_t m_seededMode = 0xFF;
    DeviceStatusBlock m_lastStatus{};

    // Lighting engine: one pass at a time, under the effect lock.
    win::CCriticalSection m_effectLock;
    LitEffects m_effects;
    LightSequencer m_sequencer;
    KeyEffectRenderer m_keyRenderer;
    std::atomic<LightTickSource*> m_ticks{&SystemTickSource()};
    // The light passes' step counter and the time of the last pass (under
    // m_effectLock), and whether the frames run the passes.
    uint32_t m_passes = 0;
    uint32_t m_lastPassAt = 0;
    std::atomic<bool> m_framesRunPasses{false};
    WorkerRecord m_lightThread;
    std::atomic<int> m_runningLightThreads{0};

    WorkerRecord m_listener;
    std::atomic<int> m_runningListeners{0};
    std::atomic<int> m_resyncRequests{0};
};
