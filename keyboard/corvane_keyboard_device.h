#pragma once
// CCorvaneKeyboardDevice: the page of one connected keyboard and its
// connection. It reads the keyboard's tables and active profile block when
// the keyboard connects, merges the block into the profile document and
// writes the block, key map, macro table and clock back.
//
// Everything runs on the UI thread except StreamLedFrame (stream thread),
// which reads the LED vector and the LED map of positions.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "keyboard/key_position_map.h"
#include "keyboard/keyboard_device_block.h"
#include "link/corvane_usb_device.h"
#include "link/keyboard_profiledata.h"

class CCorvaneKeyboardDevice : public CCorvaneUSBDevice {
public:
    static constexpr const wchar_t* kClassName = L"CorvaneKeyboardDevice";
    static constexpr int kLayoutCount = 3;
    static constexpr int kKeyDebounceMax = 4;
    static constexpr int kDefaultMaxFrames = 80;

    CCorvaneKeyboardDevice();
    ~CCorvaneKeyboardDevice() override;
    CCorvaneKeyboardDevice(const CCorvaneKeyboardDevice&) = delete;
    CCorvaneKeyboardDevice& operator=(const CCorvaneKeyboardDevice&) = delete;

    static DuiLib::CControlUI* CreateControl();
    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;

    // The program-wide keyboard language index: which key layout is shown.
    static void SetLanguageIndex(int index);
    static int GetLanguageIndex();

    // --- Device-family interface -----------------------------------------
    void InitPage() override;
    int ApplyLightProfile() override;
    int SendLedFrame() override;
    void StreamLedFrame() override;
    void OnConnected() override;
    void ReadActiveProfile() override;
    void PollStatus() override;
    int CheckDongleLink() override;
    int LoadProfile(int withFrameInterval) override;
    std::vector<int> GetUsedMacros() override;
    int WriteKeyAssignments(int profile, const std::vector<KeyListEntry>& keys) override;
    int WriteCurrentKeyAssignments(int profile) override;
    // 0 written or nothing to write; n > 0 events too many for the keyboard;
    // -1 the table did not reach the keyboard; -101 the receiver's keyboard
    // is not linked.
    int WriteMacros(const std::vector<int>& macros) override;
    // 1 when every command returned 1, else the first failure.
    int WriteProfileBlock(int profile, int firstByte, int flag, int screenWidth, int screenHeight) override;
    void LoadNameLists() override;
    void SelectFunctionTab(int code) override;
    void UpdateProfilePaths() override;
    DuiLib::CDuiString GetProfilePath() override;
    void SaveProfile() override;
    void SetDeviceIndex(int index) override;
    void SetLightSetting(LightSetting setting) override;
    void SetAudioLightInfo(AudioLightSetting setting) override;
    // Pushes the page's state into its controls; the flag passes the frame
    // interval on to the screen page.
    void RefreshPage(int withFrameInterval) override;
    // Resets to its default every key assigned a macro the macro list no
    // longer has.
    void CheckMacroAssignments() override;
    // Replaces the current profile with the shipped defaults and saves it;
    // nothing changes when the defaults cannot be read.
    void RestoreDefaultProfile() override;

    // --- Own operations ---------------------------------------------------
    virtual void BuildDevicePage();
    virtual LightSetting GetLightSetting();
    // Shows layout picture `index` (outside 0..2: 0) and binds its keys.
    void ShowKeyLayout(int index);

    // Device information and key tables; 1 when all three reads answered.
    int ReadDeviceTables();
    void MapKeyPositions();
    // 1 when the active block was read and merged; else the first failure
    // (0 for a closed channel), with nothing changed.
    int ReadProfileBlock(int* profile, int = 0, int = 0);
    // 1 when every command returned 1, else the first failure.
    int WriteClock(int profile);
    void ReadStatus();

    // The light and stream threads of the lighting engine.
    void StartLightThreads();
    void StopLightThreads();

    // --- State for the main window and tests -------------------------------
    const std::vector<KeyListEntry>& GetKeyList() const { return m_keyList; }
    void SetKeyList(const std::vector<KeyListEntry>& keys);
    KeyboardSystemStages GetSystemStages() const { return m_systemStages; }
    int GetFrameInterval() const { return m_frameInterval; }
    void SetFrameIntervalValue(int ms) { m_frameInterval = ms; }
    // The largest number of screen frames the keyboard takes (information
    // byte 35 of the last table read).
    int GetFrameLimit() const { return m_frameLimit; }
    int GetScreenWidth() const { return m_screenWidth; }
    int GetScreenHeight() const { return m_screenHeight; }
    int GetRotateFlag() const { return m_rotate; }
    uint8_t GetActiveProfile() const { return m_activeProfile; }
    uint8_t GetRunningMode() const { return m_runningMode.load(); }
    uint8_t GetRunningSpeed() const { return m_runningSpeed.load(); }
    uint8_t GetRunningGroup() const { return m_runningGroup.load(); }
    bool HasBlockCopy() const { return m_hasBlockCopy; }
    const KeyboardDeviceBlock& GetBlockCopy() const { return m_blockCopy; }
    const KeyPositionMaps& GetPositionMaps() const { return m_positions; }
    const std::vector<int32_t>& GetModeValues() const { return m_defaultLightValues; }
    const std::vector<DuiLib::CDuiString>& GetMacroNames() const { return m_macroNames; }
    const std::vector<DuiLib::CDuiString>& GetDefaultLightNames() const { return m_defaultLightNames; }
    const std::vector<int32_t>& GetDefaultLightVisible() const { return m_defaultLightVisible; }
    const std::vector<DuiLib::CDuiString>& GetAreaLightNames() const { return m_areaLightNames; }
    const std::vector<DuiLib::CDuiString>& GetUserLightNames() const { return m_userLightNames; }
    CKeyboardProfiledata& Document() { return m_profile; }
    CDeviceProtocol& CommandChannel() { return m_commandChannel; }
    const DeviceInfoBlock& DeviceInfo() const { return m_deviceInfo; }
    void SetResetPending(int pending) { m_resetPending.store(pending); }

protected:
    // Resets the lighting engine's effect state and runs the mode's entry
    // hook; a custom-colour mode read from the keyboard takes its colours
    // from the keyboard.
    virtual void EnterLightMode(uint8_t mode, bool fromDevice);

private:
    // CMD_BEGIN (when open), the data command, CMD_END: 1 when all returned 1,
    // else the first failure.
    int SendBracketed(const std::function<int()>& data);
    int ReadActiveBlock(KeyboardDeviceBlock* block, uint8_t* profile);
    void SetRunningState(const LightSetting& setting);
    void TakePositionMaps(const KeyPositionMaps& maps);

    std::array<uint8_t, kKeyTableBytes> m_layoutTable{};
    std::array<uint8_t, kKeyTableBytes> m_ledTable{};
    bool m_tablesRead = false;
    KeyPositionMaps m_positions{};
    // The LED of each position as the stream thread reads it.
    std::array<std::atomic<uint8_t>, kKeyPositionCount> m_streamLedMap;
    std::atomic<int> m_streamKeyCount{0};
    uint8_t m_activeProfile = 0;
    std::atomic<uint8_t> m_runningMode{0};
    std::atomic<uint8_t> m_runningSpeed{0};
    std::atomic<uint8_t> m_runningGroup{0};
    KeyboardDeviceBlock m_blockCopy{};
    bool m_hasBlockCopy = false;
    std::vector<KeyListEntry> m_keyList;
    KeyboardSystemStages m_systemStages;
    CKeyboardProfiledata m_profile;
    std::atomic<int> m_resetPending{0};
    int m_frameInterval = 0;
    int m_frameLimit = 0;
    int m_maxFrames = kDefaultMaxFrames;
    int m_frameCount = 1;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    int m_rotate = 0;
    int m_keyDebounceMax = kKeyDebounceMax;
};

// Registers CCorvaneKeyboardDevice with the UI's control factory under
// "CorvaneKeyboardDevice". Called once at start-up, before the first skin is built.
void RegisterCorvaneKeyboardDevice();
