#pragma once
// CCorvaneMouseDevice: the page of one connected mouse and its connection. It
// reads the mouse's information and default key table when the mouse
// connects, maps the page's 11 button positions onto device keys, and writes
// the parameter block (lighting, report rate, DPI stages), the key map, the
// macro table and the recoil table. Its lighting is computed on the PC by a
// light thread of its own; the mouse reports profile switches, resync requests
// and reactive triggers on its event channel.
//
// Threads: the UI thread builds the page, exchanges data and sends frames; the
// light thread steps the effects; the two listeners (cable, receiver) read the
// event channel. Both kinds stop cooperatively: the listeners' reads wake on
// their thread's cancel event; nothing is terminated. What a listener finds
// for the page itself is posted to the UI thread.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "devices/key_effect_renderer.h"
#include "devices/light_sequencer.h"
#include "link/device/device_event_listener.h"
#include "link/device/light_tick_source.h"
#include "link/device/device_family_page.h"
#include "link/base/key_list_entry.h"
#include "link/mouse_profiledata.h"
#include "link/page_worker.h"
#include "platform/os/thread.h"

class CKeySetControlUI;
class CMacroControlUI;
class CShootControlUI;

// The 11 button positions of the mouse page and the function each has by
// default; a position is found on the device by this function in its default
// key table.
inline constexpr int kMouseButtonCount = 11;
extern const KeyFunction MouseReferenceFunctionTable[kMouseButtonCount];
// The language key of each button position's name.
extern const wchar_t* const MouseButtonNameTable[kMouseButtonCount];
// The LED groups of the mouse's effects: 7 groups of up to 3 LEDs (-1 none).
inline constexpr int kMouseLedGroups = 7;
extern const int MouseLedGroupTable[kMouseLedGroups][3];

// The bytes of the parameter block as the mouse takes it (66) and gives it (71).
namespace mouse_block {
inline constexpr uint32_t kWriteSize = 66;
inline constexpr uint32_t kReadSize = 71;
inline constexpr uint32_t kProfileStride = 128;
inline constexpr size_t kProfile = 0;
inline constexpr size_t kModeCode = 1;
inline constexpr size_t kBrightness = 2;
inline constexpr size_t kSpeedCode = 3;  // 5 - speed
inline constexpr size_t kDirection = 4;
inline constexpr size_t kColorful = 5;
inline constexpr size_t kRed = 6;
inline constexpr size_t kGreen = 7;
inline constexpr size_t kBlue = 8;
inline constexpr size_t kCleared = 9;
inline constexpr size_t kPollingRate = 11;
inline constexpr size_t kActiveStage = 12;
inline constexpr size_t kStages = 14;  // five 9-byte stages
inline constexpr size_t kStageSize = 9;
inline constexpr size_t kStageCount = 5;
inline constexpr size_t kFlag = 59;
inline constexpr size_t kScreenWidth = 60;
inline constexpr size_t kScreenHeight = 62;
inline constexpr size_t kCorrectMinSq = 64;
inline constexpr size_t kCorrectPixThresh = 65;
}  // namespace mouse_block
using MouseDeviceBlock = std::array<uint8_t, mouse_block::kReadSize>;

// Position map: "no device key" for a button position.
inline constexpr int kNoDeviceKey = 170;
// The most device keys whose 3-byte functions fit the 512-byte key table.
inline constexpr int kMaxMouseKeys = 170;

class CCorvaneMouseDevice : public CDeviceFamilyPage {
public:
    static constexpr const wchar_t* kClassName = L"CorvaneMouseDevice";
    // Connection types of the event channel's two interfaces.
    static constexpr int kEventWired = 2;
    static constexpr int kEventReceiver = 6;
    static constexpr int kMouseLedCount = 15;
    // Event codes of the event channel.
    static constexpr uint16_t kResyncEvent = 0x0401;
    static constexpr uint16_t kTriggerEvent = 0x0403;
    // Recoil guns and the most events one gun sends (so the 16-bit lengths
    // of the recoil table cannot wrap).
    static constexpr int kGunCount = 4;
    static constexpr int kMaxGunEvents = 180;

    CCorvaneMouseDevice();
    ~CCorvaneMouseDevice() override;
    CCorvaneMouseDevice(const CCorvaneMouseDevice&) = delete;
    CCorvaneMouseDevice& operator=(const CCorvaneMouseDevice&) = delete;

    static DuiLib::CControlUI* CreateControl();
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;

    // --- Device-family interface (corvane_mouse_device.cpp) ------------------
    int ApplyLightProfile() override;
    int StepBreathingPalette() override;
    int StepFlashPalette() override;
    int SendLedFrame() override;
    void OnConnected() override;
    void ReadActiveProfile() override;
    void PollStatus() override;
    int CheckDongleLink() override;
    int LoadProfile(int flag) override;
    void RefreshPage(int flag) override;
    void CheckMacroAssignments() override;
    void RestoreDefaultProfile() override;
    std::vector<int> GetUsedMacros() override;
    // 1 when every command answered 1, else the first failure (0 for an
    // unusable channel or a refused key count).
    int WriteKeyAssignments(int profile, const std::vector<KeyListEntry>& keys) override;
    int WriteCurrentKeyAssignments(int profile) override;
    // 0 written or nothing to write; n > 0 events too many for the mouse;
    // -1 the table did not reach the mouse; -101 the receiver's mouse is not linked.
    int WriteMacros(const std::vector<int>& macros) override;
    // 1 when every command answered 1, else the first failure.
    int WriteProfileBlock(int profile, int firstByte, int flag, int screenWidth, int screenHeight) override;
    void LoadNameLists() override;
    void SelectFunctionTab(int code) override;
    void SelectKey(int position) override;

    // --- Own operations (corvane_mouse_device.cpp) -------------------------
    void BuildDevicePage() override;
    LightSetting GetLightSetting() const { return CurrentLightSetting(); }
    virtual int StepWave();
    virtual int StepRunningLight();
    virtual int StepTriggeredFade();
    // The main window's LED index for the logo button (-1: uncoloured).
    void SetLogoLedIndex(int index) { m_logoLedIndex = index; }
    int GetLogoLedIndex() const { return m_logoLedIndex; }

    // --- Data exchange (mouse_data_exchange.cpp) ---------------------------
    // Information, default key table, position map, DPI ranges; 1 when all
    // answered, else the first failure with the previous tables kept. A
    // started session is always ended.
    int ReadDeviceInfo(int = 0);
    // Rebuilds the whole position map from the default key table.
    void MapKeyFunctions();
    // 1 and the active block taken (profile number out), or 0 with nothing read.
    int ReadParamBlock(int* profile, int = 0);
    // The 66 bytes written for a profile from the document and the arguments.
    std::array<uint8_t, mouse_block::kWriteSize> BuildParamBlock(int firstByte, int flag, int screenWidth,
                                                                 int screenHeight);
    // Sends the four recoil files; 1 when every command answered 1, else the
    // first failure (0 with nothing sent on an unusable channel).
    int UploadShootData();
    // The command channel is open and, through the receiver, linked.
    bool IsChannelUsable();

    // --- Settings controls (mouse_settings.cpp) ----------------------------
    void SetActiveDpiStage(int stage);
    std::vector<DpiStage> GetDpiStages() const { return m_dpiStages; }
    void SetDpiStages(const std::vector<DpiStage>& stages);
    uint32_t GetDpiStageColor(int stage);
    void SetDpiStageColor(int stage, uint32_t color);
    MouseSystemStages GetSystemStages() const { return m_systemStages; }
    void SetSystemStages(const MouseSystemStages& stages);
    void EnableDpiStage(int stage, bool enabled);
    bool IsDpiStageEnabled(int stage);
    void SetDpiSliderValue(int stage, int position);
    int GetDpiSliderValue(int stage);
    int GetDpiEditValue(int stage);
    void SetPollingRateOption(int index);
    // Shows the stored report rate, pointer, scroll and double-click settings.
    void ShowSystemStages();
    int GetPointerSpeed();
    bool GetPointerPrecision();
    void SetScrollSettings(bool byPage, int speed);
    bool GetScrollByPage();
    int GetScrollSpeed();
    int GetDoubleClickSpeed();
    int GetDoubleClickSpeedMax();
    void SelectOptionTab(int n);
    // The option pages beside the button list, and the function tabs that
    // choose them or hide the panel.
    static constexpr int kOptionKeys = 0;
    static constexpr int kOptionLighting = 1;
    static constexpr int kFunctionTabLighting = 1;
    static constexpr int kFunctionTabMacros = 3;
    // Slider position <-> DPI with the information block's step, base and sensor.
    int PositionToDpi(int position) const;
    int DpiToPosition(int dpi) const;

    // --- Button-assignment list (mouse_button_list.cpp) --------------------
    std::vector<KeyListEntry> GetKeyList() const { return m_keyList; }
    void SetKeyList(const std::vector<KeyListEntry>& keys);
    void SetSelectedKeyRecord(const KeyListEntry& entry);
    void SetSecondaryKeyList(const std::vector<KeyListEntry>& keys);
    const std::vector<KeyListEntry>& GetSecondaryKeyList() const { return m_secondaryKeyList; }
    void RefreshKeyInfoList();
    void SetKeyButtonInfo(int position, const DuiLib::CDuiString& caption);
    void UpdateLogoTooltip();
    // The caption of a function; false when the button keeps its caption.
    bool KeyCaption(const KeyFunction& function, DuiLib::CDuiString* caption);
    // A language key's text through the page's hidden label "text_test".
    DuiLib::CDuiString Translate(const wchar_t* key);

    // --- Lighting (mouse_lighting.cpp) --------------------------------------
    // Stops a running light thread first.
    void StartLightThread();
    // Ends the light thread and joins it; nothing when none runs.
    void StopLightThread();
    void WakeLightThreads() override;
    // The clock and waits of light threads started afterwards; null: the system's.
    void SetTickSource(LightTickSource* ticks);
    // One pass of the light thread after its wait (the pass counter given).
    void RunLightPass(uint32_t& count, uint32_t& last, uint32_t now);
    // Starts the triggered fade on every LED (mode 6 only).
    void TriggerReactive();
    void RunEffectPlaylist();
    // One pass of a per-LED custom effect over the page's per-LED list, each
    // started over first when `reset` is set.
    void RenderLedBreathing(bool reset);
    void RenderLedFlash(bool reset);
    void RenderLedColorCycle(bool reset);
    // The effects' random numbers (hues mod 192); null: the page's generator.
    void SetRandomSource(std::function<uint32_t()> source);
    int RunningLightThreads() const { return m_runningLightThreads.load(); }
    uint8_t GetTriggerState(int led) const;

    // --- Event channel (mouse_event_listener.cpp) ---------------------------
    void OpenEventChannel(const std::wstring& path, int type) override;
    void ReopenEventChannel(const std::wstring& path, int type) override;
    void CloseEventChannel(int type) override;
    void StartEventListener(int type);
    // Ends the type's listener and joins it; nothing when none runs.
    void StopEventListener(int type);
    // A profile or DPI-stage switch reported by the mouse (0x10xx, 0x11xx).
    void OnProfileSwitchEvent(uint16_t code);
    // What a listener does with one event code (listener thread).
    void HandleEventCode(int type, uint16_t code);
    bool IsEventChannelOpen(int type) const;
    int RunningEventListeners() const { return m_eventListener.Running(); }
    int ResyncRequests() const { return m_resyncRequests.load(); }

    // --- State for the main window and tests -------------------------------
    CMouseProfiledata& Document() override { return m_profile; }
    const DeviceInfoBlock& DeviceInfo() const { return m_deviceInfo; }
    const std::array<uint8_t, 512>& GetDefaultKeyTable() const { return m_defaultKeyTable; }
    // Device key of each button position (kNoDeviceKey: none).
    std::array<int, kMouseButtonCount> GetPositionMap() const;
    uint8_t GetActiveProfile() const { return m_activeProfile; }
    MouseDeviceBlock GetLastDeviceBlock() const;
    LightSetting GetLightingCopy() const;
    CKeySetControlUI* GetKeySetControl() const { return m_pKeySetControl; }
    CMacroControlUI* GetMacroControl() const { return m_pMacroControl; }
    CShootControlUI* GetShootControl() const { return m_pShootControl; }
    const std::vector<CDeviceKeyButtonUI*>& GetLight0Buttons() const { return m_light0Buttons; }
    CDeviceKeyButtonUI* GetLogoButton() const { return m_pLogoButton; }
    DuiLib::CContainerUI* GetLight0Panel() const { return m_pLight0Panel; }

protected:
    // The lighting copy the light thread runs on: mode, brightness, speed,
    // colourful flag and colour of the setting (the direction is not copied).
    void SetLightingCopy(const LightSetting& setting);
    // Looks a settings control up once and keeps it.
    DuiLib::CControlUI* FindSettingsControl(const wchar_t* name);

    // Guards one light-thread pass against the listener's trigger and the
    // mode change of ApplyLightProfile (levels, hues, trigger states, step).
    win::CCriticalSection m_effectLock;

private:
    using WorkerRecord = PageWorker;
    // One "DeviceKeyButton" of a SelectPanel of the settings layout: key,
    // light, "light_0_" and logo buttons by its name, user data and tooltip.
    void BindMouseButton(CDeviceKeyButtonUI* button, DuiLib::CContainerUI* panel);
    // The recoil page "ShootControlItem": its folders, first gun and bullet.
    void BindShootControl();
    // Key list, lighting, DPI stages and system settings from the document.
    void TakeProfileSettings();
    void RunLightThread(win::HANDLE stopEvent);
    static win::DWORD MouseLightThreadProc(void* parameter);
    // The key map written for a key list (the list's macros renumbered in
    // order of first use, those beyond the macro list reset to their default).
    std::vector<uint8_t> PlanKeyMap(std::vector<KeyListEntry>& keys, int macroCount) const;
    // CMD_BEGIN, the data command and CMD_END, each only while the channel is
    // usable; the first result other than 1, or 1.
    int SendBracketed(const std::function<int()>& data);

    // Default key table: 3 bytes per device key as read at connection, and
    // the key count it was read for (-1: never read).
    std::array<uint8_t, 512> m_defaultKeyTable{};
    int m_tableKeyCount = -1;
    uint8_t m_activeProfile = 0;
    // Lighting copy: mode, brightness, speed, direction, colourful, R, G, B.
    std::atomic<uint8_t> m_copyMode{0};
    std::atomic<uint8_t> m_copyBrightness{0};
    std::atomic<uint8_t> m_copySpeed{0};
    uint8_t m_copyDirection = 0;
    std::atomic<uint8_t> m_copyColorful{0};
    std::atomic<uint32_t> m_copyColor{0};  // R | G << 8 | B << 16
    mutable std::mutex m_blockLock;
    MouseDeviceBlock m_lastDeviceBlock{};
    std::vector<KeyListEntry> m_keyList;
    std::vector<DpiStage> m_dpiStages;
    MouseSystemStages m_systemStages;
    std::vector<KeyListEntry> m_secondaryKeyList;
    CMouseProfiledata m_profile;
    CKeySetControlUI* m_pKeySetControl = nullptr;
    CMacroControlUI* m_pMacroControl = nullptr;
    DuiLib::CControlUI* m_pHintControl = nullptr;
    DuiLib::CControlUI* m_pTopPanel = nullptr;  // picture, option pages and button list
    CShootControlUI* m_pShootControl = nullptr;

    // Light thread and its engine.
    WorkerRecord m_lightThread;
    std::atomic<int> m_runningLightThreads{0};
    std::atomic<LightTickSource*> m_ticks{&SystemTickSource()};
    LightSequencer m_sequencer;
    KeyEffectRenderer m_keyRenderer;
    uint8_t m_effectStep = 0;
    std::function<uint32_t()> m_random;
    std::minstd_rand m_randomEngine{std::random_device{}()};

    // Listeners of the cable (type 2) and the receiver (type 6), and the
    // relay of profile events to the UI thread.
    DeviceEventListener m_eventListener{m_eventChannel, kEventWired, kEventReceiver, "mouse event listener"};
    std::atomic<int> m_resyncRequests{0};

    // One per LED: 0 idle, 1 rising, 2 falling.
    std::array<std::atomic<uint8_t>, 170> m_triggerStates{};
    int m_logoLedIndex = -1;
    std::vector<CDeviceKeyButtonUI*> m_light0Buttons;
    CDeviceKeyButtonUI* m_pLogoButton = nullptr;
    DuiLib::CContainerUI* m_pLight0Panel = nullptr;
    // Settings controls looked up once (the single ones) or kept as last found.
    std::map<std::wstring, DuiLib::CControlUI*> m_settingsControls;
};
