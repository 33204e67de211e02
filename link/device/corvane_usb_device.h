#pragma once

// CCorvaneUSBDevice: the page of one device and at the same time the holder of
// that device's connection and working state (its two protocol channels, LED
// state, lighting setting, bound HID slot and the controls of its page). The
// keyboard, mouse, mouse-pad and headset pages derive from it.
//
// The device-family interface below is the set of virtual operations through
// which the main window, the device list entry's timers and the families' own
// threads drive any device without knowing its kind. The base gives each a
// neutral result (nothing, 0, empty, linked); its lighting steps, LED access and
// reactive-state operations are real and shared by every family.
//
// Threads: everything runs on the UI thread except the effect steps, the
// generators, StreamLedFrame and SetLedColor (light, stream and sync threads).
// LEDs are atomic words (a frame may mix two ticks, never a torn LED), and the
// light setting is copied under its own lock by every reader.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "link/device_blocks.h"
#include "link/device_protocol.h"
#include "link/hid_device_slot.h"
#include "link/json_file_util.h"
#include "link/base/key_list_entry.h"
#include "link/led_color.h"
#include "link/led_state.h"
#include "link/light_setting.h"
#include "platform/os/critical_section.h"
#include "platform/ui/container.h"
#include "platform/ui/notify_pump.h"

class CBasicProfiledata;
class CDeviceKeyButtonUI;
class CDeviceOptionUI;
class CDeviceProfileUI;
class CLightControlUI;
class CMpDevicePowerUI;

class CCorvaneUSBDevice : public DuiLib::CHorizontalLayoutUI, public DuiLib::CNotifyPump, public DuiLib::INotifyUI {
public:
    static constexpr const wchar_t* kClassName = L"CorvaneUSBDevice";
    // Device types of a bound slot.
    static constexpr int kTypeKeyboard = 1;
    static constexpr int kTypeMouse = 2;
    static constexpr int kTypeMousePad = 3;
    static constexpr int kTypeHeadset = 7;

    CCorvaneUSBDevice();
    ~CCorvaneUSBDevice() override;

    // The control-factory entry ("CCorvaneUSBDevice"); null when construction fails.
    static DuiLib::CControlUI* CreateControl();

    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;

    // Passes a notification on to the pump only when its sender is the
    // control of that name inside this page.
    void Notify(DuiLib::TNotifyUI& msg) override;

    // --- Accessors --------------------------------------------------------
    void SetPageXml(const DuiLib::CDuiString& path) { m_sPageXml = path; }
    const DuiLib::CDuiString& GetPageXml() const { return m_sPageXml; }
    void SetMainWindow(DuiLib::HWND hWnd) { m_hMainWnd = hWnd; }
    DuiLib::HWND GetMainWindow() const { return m_hMainWnd; }
    void SetProfileId(const DuiLib::CDuiString& id) { m_sProfileId = id; }
    const DuiLib::CDuiString& GetProfileId() const { return m_sProfileId; }
    void SetLightListName(const DuiLib::CDuiString& name) { m_sLightListName = name; }
    const DuiLib::CDuiString& GetLightListName() const { return m_sLightListName; }
    void SetDeviceName(const DuiLib::CDuiString& name) { m_sDeviceName = name; }
    const DuiLib::CDuiString& GetDeviceName() const { return m_sDeviceName; }

    // Resizes the key buttons (new entries null) when the count changes.
    void SetKeyCount(int count);
    int GetKeyCount() const { return m_nKeyCount; }
    // Resizes the light buttons, the LED vector and the per-LED effects when the
    // count changes (0..170), then zeroes every LED and per-LED effect.
    // Called before any thread that touches the LEDs runs.
    void SetLedCount(int count);
    int GetLedCount() const { return m_nLedCount; }

    void SetModelRow(int row) { m_nModelRow = row; }
    int GetModelRow() const { return m_nModelRow; }
    void SetDeviceType(int type, int auxiliary);
    int GetDeviceType() const { return m_nDeviceType; }
    void SetDeviceSubtype(int auxiliary);
    int GetDeviceSubtype() const { return m_nAuxiliary; }
    DuiLib::CContainerUI* GetSelectPanel() const { return m_pSelectPanel; }
    CLightControlUI* GetLightControl() const { return m_pLightControl; }
    CDeviceProfileUI* GetProfileBar() const { return m_pProfileBar; }
    // The name lists the page's lists show (LoadNameLists fills them).
    const std::vector<int32_t>& GetModeValues() const { return m_defaultLightValues; }
    const std::vector<DuiLib::CDuiString>& GetMacroNames() const { return m_macroNames; }
    const std::vector<DuiLib::CDuiString>& GetDefaultLightNames() const { return m_defaultLightNames; }
    const std::vector<int32_t>& GetDefaultLightVisible() const { return m_defaultLightVisible; }
    const std::vector<DuiLib::CDuiString>& GetAreaLightNames() const { return m_areaLightNames; }
    const std::vector<DuiLib::CDuiString>& GetUserLightNames() const { return m_userLightNames; }
    // Finds the page's profile bar ("DeviceProfileItem"), points it at this
    // device's folders, loads its profile list, opens the lighting tab and
    // takes the selected profile as the page's own; false without a bar.
    bool BindProfileBar(int deviceKind);

    // Host lighting of this page; switching it on for a keyboard sends the
    // light-on command on the command channel.
    void SetLightingEnabled(int enabled);
    int IsLightingEnabled() const { return m_nLightingEnabled.load(); }
    // Whether the window is active (its preview seen). Activation wakes the
    // light threads that slept meanwhile and the parked frame timer.
    void SetWindowActive(int active);
    int IsWindowActive() const { return m_nWindowActive.load(); }
    // Whether the window shows this page (its device entry is selected); the
    // entry's frame timer keeps it current. Being shown again wakes the light
    // threads that slept meanwhile.
    void SetPageShown(bool shown);
    bool IsPageShown() const { return m_pageShown.load(); }
    // Whether the light threads' steps are seen: the page is shown in the
    // active window.
    bool IsPageSeen() const { return IsWindowActive() && IsPageShown(); }
    // Wakes the page's light threads from a sleep on their events.
    virtual void WakeLightThreads() {}

    DuiLib::CDuiString GetDefaultDataFolder() const;
    DuiLib::CDuiString GetDefaultProfilePath() const;
    // The device's data folder (created when missing).
    DuiLib::CDuiString GetUserDataFolder() const;

    static uint8_t StepCounter(uint8_t direction, uint8_t limit, uint8_t value, uint8_t step) {
        return LedState::StepCounter(direction, limit, value, step);
    }

    void SetDeviceOption(CDeviceOptionUI* entry) { m_pDeviceOption = entry; }
    CDeviceOptionUI* GetDeviceOption() const { return m_pDeviceOption; }
    void SetPowerPanel(CMpDevicePowerUI* tile);
    CMpDevicePowerUI* GetPowerPanel() const { return m_pPowerPanel; }
    void SetShowPower(int show);
    int GetShowPower() const { return m_nShowPower; }
    // Kept only for pages with show power.
    void SetWindowHidden(int hidden);
    int GetWindowHidden() const { return m_nWindowHidden; }
    void SetSlotRecord(HidDeviceSlot slot);
    HidDeviceSlot GetSlotRecord() const { return m_boundSlot; }

    // The command channel: the main window opens, switches and closes its
    // handles under its I/O lock; the entry's timers and the families use it.
    CDeviceProtocol& CommandChannel() { return m_commandChannel; }
    // The event channel's state as the main window reads it when it routes an
    // auxiliary collection: open on the cable, open through the receiver.
    bool IsEventChannelOpen() const { return m_eventChannel.IsOpen(); }
    bool IsEventChannelOnReceiver() const { return m_eventChannel.IsReceiverMode(); }

    // A copy of the current lighting, safe on any thread.
    LightSetting CurrentLightSetting() const;
    AudioLightSetting CurrentAudioLightSetting() const;

    // --- Committing a change ---------------------------------------------
    // The device follows the page at once: the profile block goes out for
    // profile 0 with first byte 0, flag 1 and the primary screen's size.
    // Returns the family's write result.
    int WriteCurrentProfileBlock();
    // A setting change the device must follow: the page's settings into its
    // profile document, then the block to the device.
    void SaveAndWriteProfile();
    // A lighting change is always store, save, apply, write. showOnPage, when
    // given, runs between the apply and the write (the colour commands show
    // the new colour on the lighting page there). Results are not looked at.
    void CommitLighting(const LightSetting& setting, const std::function<void()>& showOnPage = {});

    // --- Device-family interface -----------------------------------------
    // Binds the page's select panel and its key and light buttons.
    virtual void InitPage();
    virtual int ApplyLightProfile();
    virtual int StepBreathing();
    virtual int StepBreathingPalette();
    virtual int StepStatic();
    virtual int StepSpectrum();
    virtual int StepFlash();
    virtual int StepFlashPalette();
    virtual int StepLightsOff();
    // Recolours the visible light buttons from the LED vector (UI thread);
    // returns the number of LEDs looked at, 0 while lighting is off.
    virtual int SendLedFrame();
    virtual void StreamLedFrame();
    virtual void SetLedColor(int index, uint32_t packed);
    virtual uint32_t GetLedColor(int index);
    virtual void OnConnected();
    virtual void ReadActiveProfile();
    virtual void OnTimer1003();
    virtual void OnTimer1004();
    virtual void PollStatus();
    virtual int CheckDongleLink();
    virtual int LoadProfile(int flag);
    virtual void RefreshPage(int flag);
    virtual void CheckMacroAssignments();
    virtual void RestoreDefaultProfile();
    virtual std::vector<int> GetUsedMacros();
    virtual int WriteKeyAssignments(int profile, const std::vector<KeyListEntry>& keys);
    virtual int WriteCurrentKeyAssignments(int profile);
    virtual int WriteMacros(const std::vector<int>& macros);
    virtual int WriteProfileBlock(int profile, int firstByte, int flag, int screenWidth, int screenHeight);
    virtual void LoadNameLists();
    virtual void SetExtraKeyMap(std::map<int, int> map);
    virtual void FadeLedState(int led, int mode);
    virtual void IgniteRingLeds();
    virtual void RotateRing(int flag);
    virtual void ClearFadeState();
    virtual void SelectFunctionTab(int code);
    virtual int GetFunctionTab();
    virtual void UpdateProfilePaths();
    virtual DuiLib::CDuiString GetProfilePath();
    virtual void SaveProfile();
    virtual void SetDeviceIndex(int index);
    virtual int GetDeviceIndex();
    virtual void SetLightSetting(LightSetting setting);
    // Stores the setting and shows it on the lighting page.
    virtual void SetAudioLightInfo(AudioLightSetting setting);
    // Reads the setting back from the lighting page, stores and returns it
    // (the stored one when the page has no lighting page or cannot be read).
    virtual AudioLightSetting GetAudioLightInfo(int takeColor);
    virtual void SelectKey(int key);
    virtual void SetAudioSpectrum(const int32_t* levels, int count);
    virtual void SetAudioLevels(const int32_t* levels, int count);

    // --- Event channel of the auxiliary collection --------------------------
    // The families open it on the collection's path (type 1 or 2 cable, 9 or 6
    // receiver, 3 mouse pad, 7 headset) and run their listeners on it; reopen is
    // a close followed by an open on the new path. The base has no listener and
    // does nothing.
    virtual void OpenEventChannel(const std::wstring& path, int type);
    virtual void ReopenEventChannel(const std::wstring& path, int type);
    virtual void CloseEventChannel(int type);

    // --- Generators shared by the families' playlists and per-LED effects ----
    void RotateWaveRing(int length, int flag) { m_leds.RotateWaveRing(length, flag != 0); }
    void RenderWaveFrame(LightSetting setting, uint8_t step) { m_leds.RenderWaveFrame(setting, step); }
    void RenderStaticFrame(LightSetting setting, uint8_t step) { m_leds.RenderStaticFrame(setting, step); }
    void RenderColorCycleFrame(LightSetting setting, uint8_t step) { m_leds.RenderColorCycleFrame(setting, step); }
    void RenderKeyStatic(const std::vector<LightSetting>& effects) { m_leds.RenderKeyStatic(effects); }
    void RenderKeyOff(const std::vector<LightSetting>& effects) { m_leds.RenderKeyOff(effects); }

    // Read access for the main window and tests.
    const std::vector<CDeviceKeyButtonUI*>& GetKeyButtons() const { return m_keyButtons; }
    const std::vector<CDeviceKeyButtonUI*>& GetLightButtons() const { return m_lightButtons; }
    int GetSelectedKey() const { return m_nSelectedKey; }
    std::map<int, int> GetExtraKeyMap() const { return m_extraKeyMap; }
    std::vector<LightSetting> GetKeyEffects() const;
    LedState& Leds() { return m_leds; }

protected:
    // Points a family's profile document at its entry: entry 0 of "Device",
    // and this device's row of the light list.
    void PointProfileDocument(CBasicProfiledata& document) const;
    // Binds the "DeviceKeyButton" children of a device picture: name "key_<n>"
    // to key button n, user data "light_<n>" (or, with lightFromName, a name
    // "light_<n>") to light button n, each n inside its vector; prefixes in
    // any case. Light buttons so bound turn white at full level.
    void BindKeyButtons(DuiLib::CContainerUI* picture, bool lightFromName);

    CDeviceProtocol m_commandChannel;
    CDeviceProtocol m_eventChannel;
    DeviceInfoBlock m_deviceInfo;
    CLightControlUI* m_pLightControl = nullptr;
    CDeviceProfileUI* m_pProfileBar = nullptr;
    DuiLib::CContainerUI* m_pSelectPanel = nullptr;
    CDeviceOptionUI* m_pDeviceOption = nullptr;
    CMpDevicePowerUI* m_pPowerPanel = nullptr;
    DuiLib::CTabLayoutUI* m_pFunctionSwitch = nullptr;
    DuiLib::CTabLayoutUI* m_pKeyFunctionSwitch = nullptr;
    DuiLib::CDuiString m_sPageXml;
    DuiLib::HWND m_hMainWnd = nullptr;
    DuiLib::CDuiString m_sProfileId;
    DuiLib::CDuiString m_sLightListName;
    DuiLib::CDuiString m_sDeviceName;
    int m_nDeviceType = 0;
    int m_nAuxiliary = 0;
    int m_nKeyCount = 0;
    int m_nLedCount = 0;
    int m_nModelRow = -1;
    int m_nSelectedKey = -1;
    int m_nFunctionTab = 1;
    std::vector<CDeviceKeyButtonUI*> m_keyButtons;
    std::vector<CDeviceKeyButtonUI*> m_lightButtons;
    std::map<int, int> m_keyPositionMap;
    std::map<int, int> m_ledPositionMap;
    std::map<int, int> m_extraKeyMap;
    // The LED vector with the effect state bytes, reactive states and ring.
    LedState m_leds;
    // A light pass gives the steps it runs its own time: the flashes count
    // their period on it, so a pass run late, in a batch, steps as it would
    // have on time. Held for the pass, under the page's effect lock.
    class PassTimeScope {
    public:
        PassTimeScope(CCorvaneUSBDevice& page, uint32_t now) : page_(page) { page_.m_passTime = now; }
        ~PassTimeScope() { page_.m_passTime.reset(); }
        PassTimeScope(const PassTimeScope&) = delete;
        PassTimeScope& operator=(const PassTimeScope&) = delete;

    private:
        CCorvaneUSBDevice& page_;
    };
    // The running pass's time; none outside a pass.
    std::optional<uint32_t> PassTime() const { return m_passTime; }
    CJsonFileUtil m_jsonUtil;
    // Guards the effect playlist and its position.
    win::CCriticalSection EffectListLock;
    // Guards the per-LED custom effects.
    mutable win::CCriticalSection KeyEffectLock;
    std::vector<LedEffectStep> m_effectList;
    std::vector<LightSetting> m_keyEffects;
    int m_nEffectListIndex = 0;
    int m_nEffectListCount = 0;
    std::atomic<int> m_nLightingEnabled{1};
    std::atomic<int> m_nWindowActive{1};
    std::atomic<bool> m_pageShown{true};
    // The macro names of the device folder and the light names of entry
    // m_nDeviceIndex of the installed "default_light.json" and of the user's
    // light list. A family whose area names come only with its default names
    // passes areaNeedsDefaults.
    void LoadLightAndMacroNames(bool areaNeedsDefaults);
    std::vector<DuiLib::CDuiString> m_areaLightNames;
    std::vector<DuiLib::CDuiString> m_defaultLightNames;
    std::vector<int32_t> m_defaultLightVisible;
    std::vector<DuiLib::CDuiString> m_userLightNames;
    std::vector<DuiLib::CDuiString> m_macroNames;
    std::vector<int32_t> m_defaultLightValues;
    int m_nShowPower = 0;
    int m_nWindowHidden = 0;
    HidDeviceSlot m_boundSlot;
    int m_nDeviceIndex = 0;

private:
    // The current lighting and music lighting, written by the UI thread and
    // read by the light threads.
    mutable std::mutex m_lightSettingLock;
    LightSetting m_lightSetting{};
    AudioLightSetting m_audioLightSetting{};
    std::optional<uint32_t> m_passTime;
};

// Registers CCorvaneUSBDevice with the UI's control factory under
// "CCorvaneUSBDevice". Called once at start-up, before the first skin is built.
void RegisterCorvaneUSBDevice();
