#pragma once

// CMainWnd: the program's one top-level window and the owner of everything
// that is not a device. It builds the skinned user interface, keeps the
// device pages, the slot list of the device discovery, the worker table, the
// tray icon and the secondary windows' handles, receives every notification
// and every window message of the program and stops its workers when it is
// destroyed.
//
// The class is written in several files, one per concern:
//   main_wnd.cpp            construction, InitWindow, "windowinit", shutdown
//   main_wnd_factory.cpp    CreateControl (the skins' custom classes)
//   main_wnd_messages.cpp   HandleCustomMessage, the power gate, copied data
//   main_wnd_timers.cpp     OnTimer, OnSysCommand, RaiseWindow, game events
//   main_wnd_language.cpp   languages, fonts and the fit to the screen
//   main_wnd_discovery.cpp  slots, attach and detach, panels and selector
//   main_wnd_dispatch.cpp   notification routing, file dialogs, function tabs
//   main_wnd_*_commands.cpp the commands of the pages, tray, music, screen
//
// Operations that run on the UI thread only, unless said otherwise. The
// operations of later features are virtual so that tests can observe the
// routing that reaches them.

#include <array>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

#include <json/value.h>

#include "keyboard/audio/capture_settings.h"
#include "keyboard/audio_light_info.h"
#include "keyboard/lighting_sync.h"
#include "link/hid_device_slot.h"
#include "link/json_file_util.h"
#include "link/light_setting.h"
#include "link/base/product_ids.h"
#include "pages/device_hook.h"
#include "platform/os/message_queue.h"
#include "platform/os/thread.h"
#include "platform/ui/menu.h"
#include "platform/ui/tray_icon.h"
#include "platform/ui/web_browser_event_handler.h"
#include "platform/ui/window_impl_base.h"
#include "shell/main/language_list.h"
#include "shell/main/page_operation.h"
#include "shell/main/main_window_messages.h"
#include "shell/main/spectrum_bands.h"
#include "shell/controls/skin_changed_param.h"
#include "shell/controls/skin_observer.h"
#include "link/device_tables.h"

class CCorvaneUSBDevice;
class CDeviceOptionUI;
class CKeySetControlUI;
class CMacroControlUI;
class CMpDevicePowerUI;

// WM_COPYDATA codes the main window takes, with the only block size each may
// have; the audio capture's COPYDATA_SPECTRUM comes with its settings.
enum MainWindowCopyData : std::uintptr_t {
    COPYDATA_EXTERNAL_FEED = 2,
};
inline constexpr std::size_t kSpectrumFrameBytes = kSpectrumValueCount * sizeof(std::int32_t);  // 2000
inline constexpr std::size_t kExternalFeedValueCount = 6;
inline constexpr std::size_t kExternalFeedBytes = kExternalFeedValueCount * sizeof(std::int32_t);  // 24
// The WM_COPYDATA code of the device table sent to the outside work tool.
inline constexpr std::uintptr_t kVexmarTableCode = 5;

// Timers of the main window (on its own handle; each is one-shot unless re-armed).
enum MainWindowTimer : win::UINT_PTR {
    TIMER_MAIN_FIRST_SHOW = 1011,
    TIMER_MAIN_CLOCK_SYNC = 1031,
    TIMER_MAIN_TRAY_MENU = 1032,
    TIMER_MAIN_PROFILE_SWITCH = 1055,
    TIMER_MAIN_GAME_RESTORE = 1066,
};

// The tray's tool tip (also a language key).
inline constexpr const wchar_t* kTrayTooltip = L"Q580-RGB-PRO";
// The face every language uses (the program's private font).
inline constexpr const wchar_t* kUiFontFace = L"Arial Unicode MS";

// The notification pump of the virtual window "mainpage": the skin's caption
// controls that name it end their click, selection and row-click there, so
// that the base window's default click handling never closes the window.
class CMainPage : public DuiLib::CNotifyPump {
public:
    void SetPaintManager(DuiLib::CPaintManagerUI* pm) { m_pm = pm; }
    DuiLib::CPaintManagerUI* GetPaintManager() const { return m_pm; }

private:
    void OnClick(DuiLib::TNotifyUI&) {}
    void OnSelectChanged(DuiLib::TNotifyUI&) {}
    void OnItemClick(DuiLib::TNotifyUI&) {}

    DuiLib::CPaintManagerUI* m_pm = nullptr;

    DUI_DECLARE_MESSAGE_MAP()
};

class CMainWnd : public DuiLib::WindowImplBase, public DuiLib::CWebBrowserEventHandler, public SkinReceiver {
public:
    static constexpr int kWorkerSlots = 20;
    static constexpr int kScanWorkerSlot = 0;
    static constexpr int kSyncLightWorkerSlot = 8;
    static constexpr DuiLib::UINT kScanPaceMs = 40;
    // The logical window size the fit to the screen gives (at 96 DPI).
    static constexpr int kFitWidth = 1000;
    static constexpr int kFitHeight = 640;

    CMainWnd();
    ~CMainWnd() override;
    CMainWnd(const CMainWnd&) = delete;
    CMainWnd& operator=(const CMainWnd&) = delete;

    // --- Window ---------------------------------------------------------------
    DuiLib::LPCTSTR GetWindowClassName() const override;
    DuiLib::UINT GetClassStyle() const override;
    void OnFinalMessage(DuiLib::HWND hWnd) override;
    void InitWindow() override;
    DuiLib::LRESULT OnDestroy(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                              DuiLib::BOOL& bHandled) override;
    DuiLib::LRESULT OnGetMinMaxInfo(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                    DuiLib::BOOL& bHandled) override;
    DuiLib::LRESULT OnSysCommand(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                 DuiLib::BOOL& bHandled) override;
    DuiLib::LRESULT OnLButtonDown(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                  DuiLib::BOOL& bHandled) override;
    DuiLib::LRESULT OnLButtonUp(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                DuiLib::BOOL& bHandled) override;
    DuiLib::LRESULT OnMouseMove(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                DuiLib::BOOL& bHandled) override;
    DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                        DuiLib::BOOL& bHandled) override;
    virtual DuiLib::LRESULT OnTimer(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                    DuiLib::BOOL& bHandled);

    // --- Notifications (routing: main_wnd_dispatch.cpp) ------------------------
    void Notify(DuiLib::TNotifyUI& msg) override;
    virtual void OnItemActivate(DuiLib::TNotifyUI& msg);
    virtual void OnNotifySetFocus(DuiLib::TNotifyUI& msg);
    virtual void OnNotifyClick(DuiLib::TNotifyUI& msg);
    virtual void OnNotifyClickSelectEnd(DuiLib::TNotifyUI& msg);
    virtual void OnNotifySelectChanged(DuiLib::TNotifyUI& msg);
    virtual void OnNotifyItemSelect(DuiLib::TNotifyUI& msg);
    virtual void OnNotifyItemClick(DuiLib::TNotifyUI& msg);
    virtual void OnNotifyValueChanged(DuiLib::TNotifyUI& msg);
    virtual void OnNotifyMoveValueChanged(DuiLib::TNotifyUI& msg);
    virtual void OnNotifyKillFocus(DuiLib::TNotifyUI& msg);
    virtual void OnNotifyColorChanged(DuiLib::TNotifyUI& msg);
    virtual void OnNotifyMouseEnter(DuiLib::TNotifyUI& msg);
    virtual void OnNotifyMouseLeave(DuiLib::TNotifyUI& msg);
    virtual void OnNotifyWindowSize(DuiLib::TNotifyUI& msg);
    // "windowinit": the start-up at the first paint.
    virtual void OnWindowInit();

    // --- Control factory ----------------------------------------------------
    DuiLib::CControlUI* CreateControl(DuiLib::LPCTSTR pstrClass) override;
    // Every control text comes from the language file.
    DuiLib::LPCTSTR QueryControlText(DuiLib::LPCTSTR lpstrId, DuiLib::LPCTSTR lpstrType) override;

    // --- Skin observer ------------------------------------------------------
    int OnSkinChanged(SkinChangedParam param);
    int Receive(SkinChangedParam param) override { return OnSkinChanged(param); }

    // --- Start-up, workers, shutdown ----------------------------------------
    virtual void CreateDefaultDevicePanels();
    // Stops every worker (stop event, I/O cancel, bounded wait while serving
    // sent messages); a worker past its bound is waited for until it ends.
    void StopWorkerThreads();
    // Stops the event listeners 1 and 9 of every keyboard page.
    virtual void StopKeyboardListeners();
    // The start parameter of a worker slot (owner this window, its stop event).
    win::WorkerParam* GetWorkerParam(int slot) const;
    win::HANDLE GetWorkerThread(int slot) const;
    void SetLightingEnabledAll(int flag);
    void SetWindowActiveAll(int flag);

    // --- Messages, timers, power (main_wnd_messages.cpp, main_wnd_timers.cpp)
    virtual void RaiseWindow(int flag = 0);
    virtual void OnGameEvent(int kind, int mode);
    virtual void RestoreGameLighting();
    int GetLightingEnabled() const { return m_nLightingEnabled; }
    int GetWindowActiveA() const { return m_nWindowActiveA; }
    int GetWindowActiveB() const { return m_nWindowActiveB; }
    int GetDisplayFitFlag() const { return m_nDisplayFit; }
    void SetDisplayFitFlag(int flag) { m_nDisplayFit = flag; }
    const std::array<std::int32_t, kSpectrumValueCount>& GetSpectrumFrame() const { return m_spectrumFrame; }
    const std::array<std::int32_t, kExternalFeedValueCount>& GetExternalFeed() const { return m_externalFeed; }

    // --- Languages, fonts, screen fit (main_wnd_language.cpp) -----------------
    int LoadLanguageIndex();
    void SaveLanguageIndex(int languageId);
    virtual void SetLanguage(int index);
    void RebuildFonts(const DuiLib::CDuiString& face);
    virtual void FitToScreen();
    void OnDisplayChange();
    // The language change from the settings window (wParam of WM_LANGUAGE_CHANGED
    // or WM_KEYBOARD_LAYOUT_REFRESH); writeProfile only for the former.
    void OnLanguageMessage(int index, bool writeProfile);
    int GetLanguageIndex() const { return m_nLanguageIndex; }
    int GetDpi() const { return m_nDpi; }

    // --- Device discovery: slots (main_wnd_discovery.cpp) ---------------------
    bool IsSupportedInterface(const HidDeviceSlot& candidate);
    bool AllSlotsConnected();
    bool ClaimSlot(const HidDeviceSlot& candidate, int& slotIndex);
    int FindSupportedDeviceRow(int vendorId, int productId, int deviceType, int auxiliary);
    int FindDeviceOptionRow(int vendorId, int productId, int deviceType, int subKind);
    std::vector<HidDeviceSlot>& Slots() { return m_slots; }

    // --- Device attach and detach ----------------------------------------------
    // The family attaches answer false only when the command channel could
    // not be opened.
    // WM_DEVICE_BOUND: 1 when the slot's device page is bound, 0 when its
    // command channel could not be opened (the scan then frees the slot).
    virtual win::LRESULT OnDeviceSlotAttached(int slot);
    virtual void OnDeviceSlotDetached(int slot);
    virtual bool AttachKeyboard(int slot);
    virtual bool AttachMouse(int slot);
    virtual bool AttachMousePad(int slot);
    virtual bool AttachHeadset(int slot);
    virtual void DetachKeyboard(int slot);
    virtual void DetachMouse(int slot);
    virtual void DetachMousePad(int slot);
    virtual void DetachHeadset(int slot);
    virtual bool IsPartnerConnected(int slot);
    virtual void SwitchConnection(int slot, int auxiliary);
    virtual void AttachAuxInterface(int slot, int slotType);
    virtual void DetachAuxInterface(int slot, int slotType);
    virtual bool HasDevicePanel(int slot);

    // --- Device panels and selector --------------------------------------------
    virtual int CreateMousePanel(int row, int subKind);
    virtual int CreateKeyboardPanel(int row, int subKind);
    virtual int CreateMousePadPanel(int row, int subKind);
    virtual int CreateHeadsetPanel(int row, int subKind);
    virtual void ShowDevice(int entry, int shown, int select);
    virtual void UnselectDevice(int entry);
    virtual void SelectPrevDevice();
    virtual void SelectNextDevice();
    virtual void OnDeviceSelected();
    // Scrolls the device strip so that the entry is whole in view.
    void ScrollEntryIntoView(DuiLib::CControlUI* entry);
    // Hides the screen editors of every page but `current`; shows its own
    // when its Screen tab is open.
    void ShowFloatingWindowsOf(CCorvaneUSBDevice* current);
    virtual bool CountShownDevices(int* firstShown, int* count);
    virtual void CloseChildWindows();
    virtual void SetMultiDeviceFlagAll(int flag);
    virtual CCorvaneUSBDevice* GetCurrentDevice();
    // WM_DEVICE_ONLINE: an entry's device came online (1) or went offline (0).
    virtual void OnDeviceOnline(int entry, int online);

    // --- Tray icon and menus (main_wnd_tray.cpp) -------------------------------
    virtual void OnTrayNotify(DuiLib::UINT mouseMessage);
    virtual void ShowTrayMenu();
    void GetTrayMenuPosition(DuiLib::POINT& point, DuiLib::DWORD& alignment);
    virtual void ShowMacroActionMenu(DuiLib::TNotifyUI& msg);
    // WM_MENU_COMMAND: wParam is the menu window's command record.
    virtual void OnMenuCommandMessage(DuiLib::WPARAM wParam);
    // The program's way out, for the tray's "exit" and a termination signal
    // alike: the secondary windows and screen editors close, then this window
    // (WM_DESTROY joins the worker threads and quits the loop).
    void ExitProgram();
    virtual void OnMenuCommand(const DuiLib::CDuiString& itemName);
    virtual void ShowAboutWindow();
    // The macro action menu's mouse-button items: button 0 left, 1 middle,
    // 2 right, 3 forward, 4 back; a down or an up action on the current
    // device's macro page.
    virtual void InsertMouseButtonAction(int button, bool down);
    // The delay mode a recording from the menu takes by default: 2 when the
    // keyboard's or mouse's macro page has its fixed-delay option selected, else 1.
    int ConfiguredMacroDelayMode(CCorvaneUSBDevice* page);
    virtual bool IsMacroFixedDelayChecked(CCorvaneUSBDevice* page);

    // --- Colour picker (main_wnd_color_picker.cpp) ---------------------------------
    // Runs the colour picker over the window, starting from `color`; true
    // with the choice in `color` when the user confirmed it. Nothing while a
    // picker is open.
    virtual bool PickColor(DuiLib::DWORD& color);
    DuiLib::HWND GetColorPickerWnd() const { return m_hColorPickerWnd; }

    // --- Profile commands (main_wnd_profile_commands.cpp) -----------------------
    virtual void OnAddProfile();
    virtual void OnDeleteProfile();
    virtual void OnCopyProfile();
    virtual void OnImportProfile();
    virtual void OnExportProfile();
    virtual void OnSaveProfileName();
    virtual void OnResetProfile();
    virtual void ConfirmRestoreDefaults();
    virtual void ApplySelectedProfile();
    virtual void OnDeviceKeyClick(int key);
    virtual void ToggleProfileMenu();
    // A confirm-and-cancel question by language key; 1 when confirmed.
    int ConfirmKey(const wchar_t* key);
    // Writes the page's used macros and tells the user when they did not fit
    // (the number of events too many) or did not reach the device.
    void ReportMacroWrite(CCorvaneUSBDevice* page);

    // --- Lighting commands (main_wnd_lighting_commands.cpp) ---------------------
    virtual void OnLightModeSelected();
    virtual void OnCustomModeSelected();
    virtual void OnZZCCModeSelected();
    virtual void OnBrightnessChanged();
    virtual void OnSpeedChanged();
    virtual void OnPaletteColorChanged();
    virtual void OnRedEdit();
    virtual void OnGreenEdit();
    virtual void OnBlueEdit();
    virtual void OnSevenColorCheck();
    virtual void OnDirectionCheck(int direction);
    virtual void OnColorOptionClick(int swatch);
    virtual void OnCustomColorButton(int fill);
    virtual void OnSameModeClick();
    virtual void OnMouseSettingOption(int tab);
    virtual void PickDpiColor(int stage);
    virtual void ApplyKeySelectionLight(DuiLib::CControlUI* panel);
    // A game event's lighting: the page leaves the shared sync lighting and
    // its lighting page shows the mode.
    virtual void LeaveLightingSync(CCorvaneUSBDevice* page);
    virtual void ShowLightMode(CCorvaneUSBDevice* page, int mode);
    virtual void ApplyMouseKeySelectionLight(DuiLib::CControlUI* panel);
    // Lighting-sync steps and colour (the sync worker of slot 8, any thread).
    virtual void SyncLightBreathingStep();
    virtual void SyncLightStaticStep();
    virtual void SyncLightFlashStep();
    virtual void SyncLightColorCycleStep();
    virtual void SyncLightOffStep();
    virtual void BroadcastSyncColor(int red, int green, int blue, int level);

    // --- Key-assignment commands (main_wnd_key_commands.cpp) --------------------
    virtual void OnKeyFunctionSelected();
    virtual void OnMacroRepeatSelected();
    virtual void ApplyKeyAssignment();
    virtual void ShowDefaultKeyAssignment();
    virtual void CancelKeyAssignment();
    virtual void SaveKeyAssignments();
    virtual void OnModifierCheck(int check);
    virtual void OnHookKey(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    virtual void OnKeyShakeChanged();
    virtual void SetDeviceUiEnabled(bool lockSelector, bool enabled);
    // WM_KEY_CAPTURE: 1 starts the single-key capture hook, 0 removes it.
    virtual void SetKeyCaptureHook(int start);
    virtual bool IsDeviceUiEnabled();
    // The key-assignment page of a keyboard or mouse page; null for others.
    CKeySetControlUI* KeySetPageOf(CCorvaneUSBDevice* page);
    // The window became active (true) or was left or hidden (false) while a
    // key may be being captured.
    void OnKeyCaptureActivation(bool active);

    // --- Macro commands and recording (main_wnd_macro_commands.cpp) -------------
    virtual void InsertLeftDownAction();
    virtual void InsertLeftUpAction();
    virtual void InsertRightDownAction();
    virtual void InsertRightUpAction();
    virtual void InsertMiddleDownAction();
    virtual void InsertMiddleUpAction();
    virtual void InsertForwardDownAction();
    virtual void InsertForwardUpAction();
    virtual void InsertBackDownAction();
    virtual void InsertBackUpAction();
    virtual void OnStartRecordClick();
    virtual void StartMacroRecording(int delayMode, int hookMode);
    virtual void OnStopRecordClick();
    virtual void SetRecordingHook(int hookMode, bool install, bool keyboardHook, bool mouseHook);
    virtual void OnAddMacro();
    virtual void OnDeleteMacro();
    virtual void OnRenameMacro();
    virtual void OnImportMacro();
    virtual void OnExportMacro();
    virtual void SaveMacro();
    virtual void CancelMacroEdit();
    virtual void OnMacroSelected();
    virtual void MoveMacroActionUp();
    virtual void MoveMacroActionDown();
    virtual void MoveMacroActionToTop();
    virtual void MoveMacroActionToBottom();
    virtual void DeleteMacroAction();
    virtual void DeleteAllMacroActions();
    virtual void OnMacroMoveX(bool left);
    virtual void OnMacroMoveY(bool up);
    virtual void OnHookKeyMacro(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    virtual void OnHookKeyMacroAfter(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    virtual void OnHookKeyMacroBefore(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    virtual void OnHookKeyMacroReplace(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    virtual void OnHookMouseMacro(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    virtual void OnHookMouseMacroAfter(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    virtual void OnHookMouseMacroBefore(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    virtual void OnHookMouseMacroReplace(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    // The macro page of a keyboard or mouse page; null for other kinds.
    virtual CMacroControlUI* MacroPageOf(CCorvaneUSBDevice* page);
    // The key-assignment page's list of macro names follows the macro list.
    virtual void AddKeySetMacroName(CCorvaneUSBDevice* page, const DuiLib::CDuiString& name);
    virtual void RemoveKeySetMacroName(CCorvaneUSBDevice* page, int index);
    virtual void RenameKeySetMacroName(CCorvaneUSBDevice* page, int index, const DuiLib::CDuiString& name);
    // Shows the keys' new assignments on the page's key picture.
    virtual void RelabelKeys(CCorvaneUSBDevice* page);
    // The profile files of the page's device other than the one it has loaded.
    virtual std::vector<DuiLib::CDuiString> OtherProfilePaths(CCorvaneUSBDevice* page);
    CDeviceHook& DeviceHook() { return m_deviceHook; }

    // --- Recoil, headset and other device commands (main_wnd_device_commands.cpp)
    virtual void OnGunSelected(int gun);
    virtual void OnBulletSelected(int bullet);
    virtual void OnBulletStep(int next);
    virtual void SaveBullet();
    virtual void OnSaveShootData();
    virtual void OnResetShootData();
    virtual void OnImportShootData();
    virtual void OnExportShootData();
    virtual void OnBulletXCheck();
    virtual void OnBulletYCheck();
    virtual void OnMagicVoiceToggle();
    virtual void OnVirtualSurroundToggle();
    virtual void OnMagicVoiceSelected(int voice);
    virtual void OnMicInToggle();
    virtual void OnMicInVolume();
    virtual void OnMicMonitorToggle();
    virtual void OnMicMonitorVolume();
    virtual void OnEqBandChanged(int band);
    virtual void OnEqPresetSelected(int preset);
    virtual void OnCustomEqSelected();
    virtual void OnSaveCustomEq();
    virtual void OnDeleteCustomEq();
    virtual void SendVexmarTable();
    virtual void StartAudioCapture();
    // Starts the capture while a keyboard is in the music mode or the music
    // window is open, and stops it otherwise: sound is recorded only while
    // something uses the spectrum.
    void UpdateAudioCapture();
    // Timer 1031: writes the clock to an idle current keyboard.
    virtual void SyncKeyboardClock();
    // The device pages' part of a language change: key layout, select panel
    // and profile of the current keyboard (writeProfile), the mice's key
    // lists and the keyboards' key labels.
    virtual void ApplyLanguageToPages(int index, bool writeProfile);

    // --- File dialogs and function tabs (main_wnd_dispatch.cpp) -----------------
    virtual int ShowOpenFileDialog(const DuiLib::CDuiString& filter, DuiLib::HWND owner, DuiLib::CDuiString& path,
                                   int unused);
    virtual int ShowSaveFileDialog(const DuiLib::CDuiString& filter, DuiLib::HWND owner, DuiLib::CDuiString& path,
                                   int unused);
    virtual void SelectFunctionTab(int tab);
    // The base name a successful open dialog remembered (profile and macro imports).
    const DuiLib::CDuiString& GetLastFileBaseName() const { return m_lastFileBaseName; }

    // --- What the dispatch reaches on the device pages (main_wnd_page_operations.cpp)
    // An operation of the keyboard or mouse page (kind checked by the caller);
    // the result as PageOperation says, else 0.
    virtual int RunPageOperation(CCorvaneUSBDevice* page, PageOperation operation, int index);
    // The keyboard page's frame limit of an upload (the number its message shows).
    virtual int GetFrameLimit(CCorvaneUSBDevice* keyboard);
    // Selects a key on the key-set page of a keyboard or mouse page.
    virtual void SelectKeySetKey(CCorvaneUSBDevice* page, int key);
    // Switches the page's profile bar to a function tab.
    virtual void SelectProfileBarTab(CCorvaneUSBDevice* page, int tab);
    // After a profile reset: the key-set page of a keyboard or mouse page
    // builds its controls again (initControls) and hides its key-set layout.
    virtual void ResetKeySetPage(CCorvaneUSBDevice* page, bool initControls);
    // Forgets the floating screen-editor windows.
    virtual void ClearFloatingWindows();
    // Every keyboard page's editor closes through its page (the pages own
    // them), whichever device is current; the floating-window list empties.
    void CloseAllScreenEditors();
    // Opens the desktop's keyboard (0) or mouse (1) settings on a worker.
    virtual void OpenSystemSettings(int page);
    // A modal message over the main window at its DPI; 1 when confirmed.
    virtual int ShowMainMessage(const wchar_t* text, int textIsKey, int buttonMode);

    // --- Music lighting (main_wnd_music_commands.cpp) ----------------------------
    virtual void LoadAudioFile();
    virtual void SaveAudioFile();
    virtual void WriteAudioFileDevice(Json::Value device, std::wstring path);
    virtual void RestoreAudioDefaults();
    // An empty path is ignored.
    virtual void SetAudioFilePath(const std::wstring& path);
    // The music styles of the audio document (missing parts read as zeros
    // and empty names), kept as the current ones.
    virtual AudioLightInfo LoadAudioLightInfo();
    // Keeps the styles and puts them into the audio document (no file write).
    virtual void SaveAudioLightInfo(AudioLightInfo info);
    virtual void ShowMusicWindow();
    // Ends the audio capture started by StartAudioCapture and waits for its
    // worker; nothing when none was started.
    virtual void StopAudioCapture();
    // COPYDATA_SPECTRUM: the frame is in GetSpectrumFrame().
    virtual void OnSpectrumFrame();
    // COPYDATA_EXTERNAL_FEED: the block is in GetExternalFeed().
    virtual void OnExternalFeed();
    virtual void ApplyAudioLightSetting();
    virtual void ReapplyAudioLightSetting();
    virtual void OnAudioPaletteColor();
    virtual void OnAudioEditColor(int component);
    virtual void OnAudioColorOption(int swatch);
    virtual void ClearAudioBackground();

    // --- Screen-frame editor commands (main_wnd_screen_commands.cpp) -------------
    virtual void ShowScreenEditor();
    virtual void CloseScreenEditor();
    virtual void HideScreenEditor();
    virtual void ReloadScreenFrames();
    virtual void ShowScreenFramesPage();
    virtual void SelectScreenPage(int page);
    virtual void ImportScreenPicture();
    virtual void ImportScreenAnimation();
    virtual void ExportScreenPicture();
    virtual void ExportScreenVideo();
    virtual void PickScreenPenColor();
    virtual void PickScreenBackgroundColor();
    // Places the floating screen editors beside the main window.
    virtual void PlaceFloatingWindows();
    // Messages of the keyboard's screen editor.
    virtual void OnScreenPreviewPaint(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    virtual void OnScreenUndoReady();
    virtual void OnScreenCanvasChanged();
    // The screen editor windows placed beside the main window (their handles;
    // the keyboard pages own the windows).
    std::vector<DuiLib::HWND> m_floatingWindows;

    // --- Settings window, firmware, skin picker (main_wnd_window_commands.cpp) ---
    virtual void ShowSettingsWindow(bool centred);
    virtual void BuildVersionList();
    // The rows the settings window lists: each connected device's and the program's.
    std::vector<VersionRecord> ShownVersionRows();
    // WM_FIRMWARE_CHECK from an outside sender.
    virtual void LaunchFirmwareUpdate(int productId, int firmwareVersion);
    virtual void ShowSkinPicker();
    // The version list as the last BuildVersionList left it.
    const std::vector<VersionRecord>& VersionList() const { return m_versionList; }
    // The window's DPI scale of a length (96 DPI = 1).
    int ScaleByDpi(int length) const { return length * m_nDpi / 96; }

    // --- Web-browser host -------------------------------------------------------
    DuiLib::HRESULT ShowContextMenu(DuiLib::DWORD id, DuiLib::POINT* pt, void* target, void* reserved) override;
    DuiLib::HRESULT GetHostInfo(DuiLib::DOCHOSTUIINFO* info) override;

    // --- State the features share -----------------------------------------------
    std::vector<CCorvaneUSBDevice*>& MousePads() { return m_mousePads; }
    std::vector<CCorvaneUSBDevice*>& Mice() { return m_mice; }
    std::vector<CCorvaneUSBDevice*>& Keyboards() { return m_keyboards; }
    std::vector<CCorvaneUSBDevice*>& Headsets() { return m_headsets; }
    std::vector<CMpDevicePowerUI*>& PowerTiles() { return m_powerTiles; }
    // Guards the four device lists and the tile list against the workers that
    // walk them; those copy the lists under it.
    std::mutex& DeviceListLock() { return m_deviceListLock; }
    LightingSync& LightSync() { return m_lightingSync; }
    DuiLib::CControlUI* GetCaptionButton(int index) const { return m_captionButtons[static_cast<size_t>(index)]; }
    DuiLib::CTrayIcon& TrayIcon() { return m_trayIcon; }

protected:
    DuiLib::CDuiString GetSkinFile() override;
    // Parts of HandleCustomMessage.
    void OnLightingRequest(DuiLib::LPARAM lParam);
    bool HandleHookMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    void OnCopyData(const win::COPYDATASTRUCT* data);
    void HandlePrivateMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    // Lighting commands' shared steps (main_wnd_lighting_commands.cpp).
    void ApplyPickedColor(CCorvaneUSBDevice* page, DuiLib::DWORD color, bool showOnPalette);
    void ApplyColorEdit(int component);
    std::vector<CCorvaneUSBDevice*> CopyDeviceLists(
        std::initializer_list<const std::vector<CCorvaneUSBDevice*>*> lists);
    // The language list ("Language.config" of the defaults folder).
    virtual LanguageList Languages() const;
    // Discovery helpers (main_wnd_attach.cpp, main_wnd_panels.cpp).
    using DeviceList = std::vector<CCorvaneUSBDevice*>;
    CDeviceOptionUI* DeviceEntry(int index);
    int DeviceEntryCount();
    int EntryIndexOf(const CCorvaneUSBDevice* page);
    CCorvaneUSBDevice* FindBoundPage(const DeviceList& list, const HidDeviceSlot& record);
    const HidDeviceSlot& PageRecordOf(int slot);
    bool AttachPartnered(int slot, int wiredType, int receiverType, const DeviceList& list);
    bool AttachSingle(int slot, const DeviceList& list);
    bool OpenAttachedPage(int slot, CCorvaneUSBDevice* page, const HidDeviceSlot& record, const std::wstring& path,
                          bool receiver);
    void DetachPartnered(int slot, int wiredType, int receiverType, const DeviceList& list);
    void DetachSingle(int slot, const DeviceList& list);
    void ShowAttachedEntry(CCorvaneUSBDevice* page, bool show);
    bool SwitchPage(int slot);
    void FinishReceiverSwitch(CCorvaneUSBDevice* page, CDeviceOptionUI* entry, bool linked);
    void CloseSettingsWindow();
    int CreateDevicePanel(const HidDeviceSlot& record, int subKind, DeviceList& list);
    // Hands a 500-entry band list to every page of the list whose command
    // channel is open.
    static void SendBands(const std::vector<CCorvaneUSBDevice*>& pages, const SpectrumValues& bands);
    // Reads the current device's music-light setting (`takeColor` as the
    // page takes it), lets `change` edit it with the page's lighting
    // controls, then stores, saves and applies it; nothing without a device.
    template <typename Change>
    void EditAudioLightSetting(int takeColor, Change change);
    // Parts of the notification handlers (main_wnd_*_dispatch.cpp).
    bool OnWindowButtonClick(DuiLib::TNotifyUI& msg);
    void ToggleLightingControl();
    // The lighting switch's text for the current state, in the current language.
    void ShowLightingControlState();
    void ReportUploadAllFrames(CCorvaneUSBDevice* keyboard, int result, bool mayRetry);
    void SwitchFunctionTab(int tab);
    DuiLib::CDuiString LanguageText(const wchar_t* key);
    // Starts the worker of a slot; also used by tests.
    bool StartWorker(int slot, win::LPTHREAD_START_ROUTINE routine);
    // The skin that the window builds; tests may point it elsewhere.
    DuiLib::CDuiString m_skinFile{L"XML_MAIN"};

    // Members in the order the rest of the program relies on.
    int m_nRecording = 0;
    int m_nLanguageIndex = -1;
    std::array<win::HANDLE, kWorkerSlots> m_workerStop{};
    std::array<win::HANDLE, kWorkerSlots> m_workerThread{};
    std::array<win::WorkerParam*, kWorkerSlots> m_workerParam{};
    CJsonFileUtil m_jsonUtil;
    int m_nLightingEnabled = 1;
    // "closebtn", "maxbtn", "restorebtn", "minbtn", "skinbtn", "gamemodebtn",
    // "cloudbtn", "smarteyesbtn", "setbtn".
    std::array<DuiLib::CControlUI*, 9> m_captionButtons{};
    DuiLib::CMenuWnd* m_pTrayMenu = nullptr;
    DuiLib::CMenuWnd* m_pMacroActionMenu = nullptr;
    DuiLib::CTrayIcon m_trayIcon;
    CMainPage m_mainPage;
    std::vector<CCorvaneUSBDevice*> m_mousePads;
    std::vector<CCorvaneUSBDevice*> m_mice;
    std::vector<CCorvaneUSBDevice*> m_keyboards;
    std::vector<CCorvaneUSBDevice*> m_headsets;
    std::vector<CMpDevicePowerUI*> m_powerTiles;
    std::mutex m_deviceListLock;
    int m_nSelectedEntry = 0;
    int m_nSelectedMouse = 0;
    int m_nSelectedKeyboard = 0;
    std::vector<HidDeviceSlot> m_slots;
    DuiLib::HWND m_hSettingsWnd = nullptr;
    DuiLib::HWND m_hAboutWnd = nullptr;
    DuiLib::HWND m_hColorPickerWnd = nullptr;
    DuiLib::HWND m_hSpareWnd = nullptr;
    DuiLib::HWND m_hMusicWnd = nullptr;
    Json::Value m_audioDocument;
    int m_nDpi = 96;
    int m_nDisplayFit = 0;
    int m_nWindowActiveA = 0;
    int m_nWindowActiveB = 0;
    std::array<std::int32_t, kSpectrumValueCount> m_spectrumFrame{};
    std::array<std::int32_t, kSpectrumValueCount> m_previousSpectrumFrame{};
    DuiLib::CDuiString m_lastFileBaseName;
    std::array<std::int32_t, kExternalFeedValueCount> m_externalFeed{};
    std::wstring m_audioFilePath;
    // The global keyboard and mouse hooks of recordings and key capture.
    CDeviceHook m_deviceHook;
    // Nothing pending: no key edit waiting to be saved, no recording.
    bool m_bDeviceUiEnabled = true;
    // The key edit has the focus and wants keys from the keyboard hook.
    bool m_bKeyCapture = false;
    AudioLightInfo m_audioLightInfo;
    // The spectrum routing: smoothed band levels per kind and the frames
    // since the last hand-over.
    KeyboardBandLevels m_keyboardBandLevels{};
    MouseBandLevels m_mouseBandLevels{};
    int m_keyboardFrameCounter = 0;
    int m_mouseFrameCounter = 0;
    bool m_audioCaptureStarted = false;
    std::vector<VersionRecord> m_versionList;
    // While the firmware question is open further checks are ignored.
    bool m_firmwareQuestionOpen = false;
    // The lighting sync across devices, stepped by the worker of slot 8; it
    // takes the device lists under their lock on every pass.
    LightingSync m_lightingSync{[this] { return CopyDeviceLists({&m_mice, &m_mousePads, &m_headsets, &m_keyboards}); }};

    DUI_DECLARE_MESSAGE_MAP()
};
