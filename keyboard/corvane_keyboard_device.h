#pragma once
// CCorvaneKeyboardDevice: the page of one connected keyboard and its
// connection. It reads the keyboard's tables and active profile block when
// the keyboard connects, merges the block into the profile document and
// writes the block, key map, macro table and clock back.
//
// Everything runs on the UI thread except the light thread (effect steps),
// the stream thread (StreamLedFrame, which reads the LED vector and the LED
// map of positions) and the event listeners (OnKeyEvent). The effect state is
// guarded by one per-page effect lock; the running light state is atomic;
// what the listeners find for the page itself they post to the UI thread.
//
// A class derived from this page that overrides the steps or hooks must stop
// the threads (StopLightThreads, StopEventListener) in its own destructor.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "keyboard/key_position_map.h"
#include "keyboard/keyboard_device_block.h"
#include "keyboard/keyboard_effect_state.h"
#include "link/device/device_event_listener.h"
#include "link/device/light_tick_source.h"
#include "keyboard/screen_canvas.h"
#include "keyboard/screen_media.h"
#include "keyboard/screen_upload_image.h"
#include "link/page_worker.h"
#include "link/device/device_family_page.h"
#include "link/keyboard_profiledata.h"
#include "platform/os/thread.h"
#include "platform/screen/screen_source.h"

class CKeySetControlUI;
namespace Json {
class Value;
}

class ScreenWnd;

// The user's "ScreenFrame.json": an object whose "Frame", when there, is a
// list. One that is there but is not such a document is set aside as
// "ScreenFrame.json.bad" and null is returned (so are a missing file).
Json::Value LoadScreenFrameDocument(const DuiLib::CDuiString& path);
// Empties the list of frames of the user's "ScreenFrame.json" and keeps the
// rest of the document; one that is not such a document is set aside first.
// True when the emptied document was written.
bool ClearScreenFrameDocument(const DuiLib::CDuiString& path);

class CCorvaneKeyboardDevice : public CDeviceFamilyPage {
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
    void BuildDevicePage() override;
    virtual LightSetting GetLightSetting();
    // Shows layout picture `index` (outside 0..2: 0) and binds its keys.
    void ShowKeyLayout(int index);

    // --- Key labels and custom colours (keyboard_key_labels.cpp,
    // keyboard_custom_colors.cpp) ---------------------------------------------
    // Every key's tooltip and key-set mark from its current function.
    void UpdateKeyLabels();
    // One key: its default name as tooltip title, the default name, "Key_Set"
    // and the text as tooltip text; the mark shows when the text is not the
    // default name (ignoring case).
    void UpdateKeyLabel(int position, const DuiLib::CDuiString& text);
    // Selects a key of the key list for editing (others: nothing) and shows
    // its assignment on the key-assignment page.
    void SelectKey(int position) override;
    // The page's key-assignment page; null when its skin has none.
    CKeySetControlUI* GetKeySetControl() const { return m_pKeySetControl; }
    void SetSecondaryKeyList(const std::vector<KeyListEntry>& keys);
    const std::vector<KeyListEntry>& GetSecondaryKeyList() const { return m_secondaryKeyList; }
    // Overwrites the selected key's entry (nothing without a selected key of
    // the list) and stores the list into the document.
    void SetSelectedKeyRecord(const KeyListEntry& entry);
    // In the custom-colour mode: the key (55 also 62) takes the lighting
    // page's colour; with a custom group chosen the colours are stored in the
    // profile and sent to the keyboard.
    void PaintCustomKey(int position);
    // A language key's text through the page's hidden label "text_test".
    DuiLib::CDuiString Translate(const wchar_t* key);

    // Device information and key tables; 1 when all three reads answered.
    int ReadDeviceTables();
    void MapKeyPositions();
    // 1 when the active block was read and merged; else the first failure
    // (0 for a closed channel), with nothing changed.
    int ReadProfileBlock(int* profile, int = 0, int = 0);
    // 1 when every command returned 1, else the first failure.
    int WriteClock(int profile);
    void ReadStatus();

    // The light and stream threads of the lighting engine: Start stops running
    // ones first; Stop ends both and joins them (it returns at once when none
    // was started).
    void StartLightThreads();
    void StopLightThreads();
    void WakeLightThreads() override;

    // --- Lighting engine (keyboard_light_threads.cpp) ------------------------
    // The clock and waits of the light and stream threads, for threads started
    // afterwards; null: the system's.
    void SetTickSources(LightTickSource* light, LightTickSource* stream);
    // Light and stream threads started and not yet ended.
    int RunningLightThreads() const { return m_runningLightThreads.load(); }
    static win::DWORD KeyboardLightThreadProc(void* parameter);
    static win::DWORD KeyboardStreamThreadProc(void* parameter);
    // Zeroes the step counter, the effect phase, the per-LED wheel indices,
    // key states and levels, the ripple planes and the music bands.
    void ResetEffectState();
    void ResetMusicBands();
    KeyboardEffectState& Effects() { return m_effects; }

    // The keyboard's own effect steps (a mode whose step has no body yet shows
    // nothing new).
    int StepStatic() override;
    int StepBreathing() override;
    virtual int StepReactiveKeys();
    virtual int StepRandomBreathing();
    virtual int StepReactiveRipple();
    virtual int StepStarlight();
    virtual int StepKeyPressFade();
    virtual int StepColumnSpectrum();
    virtual int StepColumnWave();
    virtual int StepPairSequence();
    virtual int StepRippleFromCentre();
    virtual int StepSequenceFlow();
    virtual int StepRowWave();
    virtual int StepKeyColorCycle();
    virtual int StepRippleFromLeft();
    virtual int StepFxColor();
    virtual int StepRings();
    virtual int StepCustomColors();
    virtual int StepMusic();
    virtual int StepScreenSync();
    virtual int StepSweep();
    virtual int StepRunningKeys();
    virtual int StepPhasedBreathing();
    // The effect playlist (modes 0, 28 and above 30) and the per-key effects
    // drawn over every rendered pass.
    virtual void RunEffectPlaylist();
    virtual void ApplyKeyOverlays();
    // A key event of the keyboard (device key index, kind 1 or 2); listener thread.
    virtual void OnKeyEvent(int key, int kind);
    // Entry hooks of the modes, run after ResetEffectState on a mode change.
    virtual void InitKeyBreathing();
    virtual void SeedRippleCentre();
    virtual void InitColorOffsets();
    virtual void SeedRippleLeft();
    virtual void LoadCustomColors();
    virtual void ReadDeviceCustomColors();
    virtual void InitPhasedBreathing();

    // --- System tab (keyboard_system_settings.cpp) ----------------------------
    // The record into the page and the document (the file is not saved).
    void SetSystemStages(const KeyboardSystemStages& stages);
    // Selects choice n (outside 0..3: 0) of the polling-rate or repeat-delay
    // options, without notifications; the repeat delay also shows its label.
    void SetPollingRateOption(int n);
    void SetRepeatDelayOption(int n);
    // The switch options, set without notification; false when missing.
    void SetWinLockOption(bool selected);
    void SetWFlagOption(bool selected);
    void SetKey6FlagOption(bool selected);
    bool GetWinLockOption();
    bool GetWFlagOption();
    bool GetKey6FlagOption();
    void SetRepeatRate(int value);
    int GetRepeatRate();
    // The delay of choice n (outside 0..3: 0) as its text, e.g. "...1000ms".
    void UpdateRepeatDelayLabel(int n);
    void ClearRepeatTestBox();
    void SetRepeatTestTip();
    // The texts built from a language text and a value (the delay of the
    // choice shown, the test box's tip) in the language of now.
    void RetranslateSystemTexts();
    // The debounce value n on the slider, its edit and its label.
    void SetKeyShake(int n);
    // "3n + 3 ms".
    void SetKeyShakeLabel(int n);
    int GetKeyShakeSlider();
    // The edit's number held to 0..4 (empty: 0); 0 when the edit is missing.
    int GetKeyShakeEdit();
    // The whole record into the controls (the page's refresh).
    void ShowSystemStages();

    // --- Music and screen-colour lighting (keyboard_music_effects.cpp) -------
    // The band levels of the music mode (UI thread): kept for the next music
    // step; in music style 2 they feed the beat detector at once. Reads at
    // most `count` values (25 are used); null gives nothing.
    void SetAudioSpectrum(const int32_t* levels, int count) override;
    // An outside level feed: the first six values, kept and not drawn.
    void SetAudioLevels(const int32_t* levels, int count) override;
    // The music styles 0..6 of the music mode.
    virtual int StepMusicStyle0();
    virtual int StepMusicStyle1();
    virtual int StepMusicStyle2();
    virtual int StepMusicStyle3();
    virtual int StepMusicStyle4();
    virtual int StepMusicStyle5();
    virtual int StepMusicStyle6();
    // The average colour of a rectangle of the screen as R | G << 8 | B << 16;
    // black when nothing can be read.
    static uint32_t CaptureScreenCentreColor(tavrik::screen::ScreenSource& source, int x, int y, int width, int height);
    // The beat counter of music style 2, one for every keyboard page.
    static int32_t GetBeatCount();

    // --- Effects (keyboard_*_effects.cpp, keyboard_effect_playlist.cpp,
    // keyboard_custom_colors.cpp) ----------------------------------------------
    // Every step, seed and hook below runs under the page's effect lock.
    // The effects' random numbers (only values mod 112 and mod 192 are used);
    // null: the page's own generator.
    void SetRandomSource(std::function<uint32_t()> source);
    // The key itself when KeySequence holds it, else 170.
    static uint8_t FindSequenceKey(uint8_t key);
    // Ripple planes: light the keys they mark, spread them one step, or (the
    // reactive keys) move them one column along their row.
    void LightRippleBits();
    void ShiftRippleBits();
    void SpreadRippleRow();
    // Seeds of the key-press modes, given a key position and kind (1 press, 2 release).
    virtual void TriggerKeyEffect(int key, int kind);
    virtual void SeedRippleAtKey(int key, int kind);
    virtual void SeedRippleAtKeyLayout(int key, int kind);
    virtual void LightPressedKey(int key, int kind);
    virtual void SpreadFromKey(int key, int kind);
    // 1 when a key other than `excluded` is held at (column, row) or around it.
    int HasLitNeighbour(int column, int row, int excluded);
    // Frame generators of the playlist and the per-key effect passes.
    void RenderPlaylistBreathing(const LightSetting& step, int phase);
    void RenderPlaylistFlash(const LightSetting& step, int phase);
    void RenderKeyBreathing(const std::vector<LightSetting>& effects, bool reset);
    void RenderKeyColorCycle(const std::vector<LightSetting>& effects, bool reset);
    void RenderKeyFlash(const std::vector<LightSetting>& effects, bool reset);
    // Custom colours: the LED vector written to the keyboard's colour area
    // (only in mode 19, from the light thread; a failed write pauses 200 ms;
    // returns 0), the selected group reloaded, another group chosen, every
    // LED filled with the setting colour (1) or black (0).
    virtual int SendCustomColors();
    virtual void ReloadCustomColors();
    virtual void SetCustomColorGroup(int group);
    virtual void FillCustomColors(int flag);

    // --- Event channel (keyboard_event_listener.cpp) -------------------------
    // Connection types of the event channel's two interfaces.
    static constexpr int kEventWired = 1;
    static constexpr int kEventReceiver = 9;
    // Opens the type's interface on the path (1 cable, 9 receiver; others open
    // nothing) and starts its listener, stopping a running one first.
    void OpenEventChannel(const std::wstring& path, int type);
    // When the type's interface is open: stops its listener, then closes it.
    void CloseEventChannel(int type);
    void ReopenEventChannel(const std::wstring& path, int type);
    void StartEventListener(int type);
    // Ends the type's listener and joins it; nothing when none runs.
    void StopEventListener(int type);
    // A profile switch reported by the keyboard (0x10xx, 0x11xx); UI thread.
    void OnProfileSwitchEvent(uint16_t code);
    bool IsEventChannelOpen(int type) const;
    // Listener threads started and not yet ended.
    int RunningEventListeners() const { return m_eventListener.Running(); }

    // --- State for the main window and tests -------------------------------
    const std::vector<KeyListEntry>& GetKeyList() const { return m_keyList; }
    void SetKeyList(const std::vector<KeyListEntry>& keys);
    KeyboardSystemStages GetSystemStages() const { return m_systemStages; }
    // The interval the page keeps (GetFrameInterval reads the screen page's edit).
    int GetStoredFrameInterval() const { return m_frameInterval; }
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
    CKeyboardProfiledata& Document() override { return m_profile; }
    CDeviceProtocol& CommandChannel() { return m_commandChannel; }
    const DeviceInfoBlock& DeviceInfo() const { return m_deviceInfo; }
    void SetResetPending(int pending) { m_resetPending.store(pending); }
    int GetResetPending() const { return m_resetPending.load(); }

    // === Screen upload (keyboard_screen_upload.cpp) ================================
    // The frames go to the keyboard on a worker thread while a modal progress
    // window runs on the UI thread. Everything the worker needs (image, frame
    // count, interval) is taken on the UI thread before it starts, and the
    // frames are saved on the UI thread after it has ended.
    // Results of the uploads: 1 sent; 0 no frame strip (or no current frame);
    // -1 over the receiver, or any exchange of the upload failed (the frames are
    // saved all the same); -2 more frames than the keyboard takes (information
    // byte 35, in every screen mode); -3 more than 50 frames in screen mode 1
    // while the command channel's long wait is off.
    static constexpr int kLongUploadFrames = 50;
    int UploadCurrentFrame();
    int UploadAllFrames();
    // On: the upload flag and the command channel's screen-only switch. Off
    // also ends the channel's long wait and closes an open progress window.
    void SetScreenUploading(int on);
    int IsScreenUploading() const { return m_screenUploading.load(); }
    // "data.txt" in the device data folder: the animation image as hex text.
    // False when there is no strip or the file cannot be written.
    bool DumpUploadImage();
    // The upload image of all frames of the strip, or of the current one.
    std::vector<uint8_t> BuildAnimationImage();
    std::vector<uint8_t> BuildCurrentFrameImage();
    // The screen-upload thread of both uploads (FrameUploadThreadProc and
    // AnimationUploadThreadProc in one).
    static win::DWORD ScreenUploadThreadProc(void* parameter);

private:
    struct ScreenUploadJob {
        std::vector<uint8_t> image;
        int frames = 0;
        win::HWND progress = nullptr;
        int result = 0;
    };
    // UI thread: progress window, worker, the wait for it (serving messages).
    void RunScreenUpload(ScreenUploadJob& job);
    // Upload thread: the device exchange; 1 or -1. One worker serves both
    // uploads (UploadAllFramesWorker and UploadCurrentFrameWorker): they
    // differ only in the job's image and frame count.
    int SendScreenUpload(ScreenUploadJob& job);
    // Reads the active block into the page's copy when there is none yet.
    int EnsureBlockCopy();
    std::atomic<int> m_screenUploading{0};

public:
    // === End of screen upload ======================================================

protected:
    // Resets the lighting engine's effect state and runs the mode's entry
    // hook; a custom-colour mode read from the keyboard takes its colours
    // from the keyboard.
    virtual void EnterLightMode(uint8_t mode, bool fromDevice);

    // The page's share of a device-entry resync: ReadActiveProfile 50 ms after
    // the last request (UI thread).
    virtual void ArmResyncTimer();

    // Guards the effect state (m_leds' counters and levels, m_effects) for one
    // light-thread pass, the mode entry and a key event.
    win::CCriticalSection m_effectLock;

private:
    using WorkerRecord = PageWorker;
    bool StartWorkerThread(WorkerRecord& record, win::LPTHREAD_START_ROUTINE routine, std::atomic<int>& running);
    static void StopWorkerThread(WorkerRecord& record, win::DWORD boundMs, const char* name);
    void RunLightThread(win::HANDLE stopEvent);
    void DispatchLightStep(uint32_t& ticks);
    // Whether the per-key effect list holds an effect, which the light thread
    // then draws on every pass.
    bool KeyOverlaysPresent();
    void RunStreamThread(win::HANDLE stopEvent);
    // The stream's pause after a failed send; false when the thread is stopping.
    bool PauseStream(uint32_t ms);
    void HandleEventCode(uint16_t code);
    void OnRelayedEvent(uint16_t code);

    // CMD_BEGIN (when open), the data command, CMD_END: 1 when all returned 1,
    // else the first failure.
    int SendBracketed(const std::function<int()>& data);
    int ReadActiveBlock(KeyboardDeviceBlock* block, uint8_t* profile);
    void SetRunningState(const LightSetting& setting);
    void TakePositionMaps(const KeyPositionMaps& maps);
    DuiLib::CDuiString TranslateName(size_t keyNameIndex);
    // Deselects the key-set page's options "keyboard_key_0" to "_125", without notification.
    void DeselectKeyOptions();
    // The label of a function; false when the key keeps its label.
    bool KeyLabelText(const KeyFunction& function, DuiLib::CDuiString* text);
    bool KeyboardKeyText(const KeyFunction& function, DuiLib::CDuiString* text);
    int WriteColorBuffer(const std::array<uint8_t, 512>& buffer);

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
    CKeySetControlUI* m_pKeySetControl = nullptr;
    KeyboardDeviceBlock m_blockCopy{};
    bool m_hasBlockCopy = false;
    std::vector<KeyListEntry> m_keyList;
    std::vector<KeyListEntry> m_secondaryKeyList;
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

    // The system tab's controls, kept once found.
    DuiLib::CControlUI* FindSystemControl(const wchar_t* name);
    // A language text as the page's hidden label "text_test" gives it.
    DuiLib::CDuiString PageText(const wchar_t* key);
    void SelectOptionGroup(const wchar_t* prefix, int n);
    void SetOptionSelected(const wchar_t* name, bool selected);
    bool IsOptionSelected(const wchar_t* name);
    std::map<std::wstring, DuiLib::CControlUI*> m_systemControls;

    // Lighting engine.
    KeyboardEffectState m_effects;
    // The effects' random source (under the effect lock).
    std::function<uint32_t()> m_random;
    std::minstd_rand m_randomEngine{std::random_device{}()};
    uint32_t Random();
    uint32_t EffectNow() { return PassTime().value_or(m_lightTicks.load()->Now()); }
    // The per-key breathing of the first `count` entries of KeySequence: each
    // key's phase advances, and it shows its colour on the pulse curve.
    void BreatheSequenceKeys(int count, std::array<uint8_t, 170>& phases, uint8_t advance);
    std::atomic<LightTickSource*> m_lightTicks{&SystemTickSource()};
    std::atomic<LightTickSource*> m_streamTicks{&SystemTickSource()};
    WorkerRecord m_lightThread;
    WorkerRecord m_streamThread;
    std::atomic<int> m_runningLightThreads{0};

    // Event channel: the listeners of its two interfaces and the relay to
    // the UI thread.
    DeviceEventListener m_eventListener{m_eventChannel, kEventWired, kEventReceiver, "keyboard event listener"};
    // === Screen frames: strip, frame files, import and export ====================
    // (keyboard_screen_frames.cpp, keyboard_screen_files.cpp,
    // keyboard_screen_canvas.cpp, keyboard_screen_import.cpp)
public:
    static constexpr int kScreenModeSmallMaxFrames = 30;
    static constexpr int kDefaultFrameIntervalMs = 100;
    static constexpr int kMinFrameIntervalMs = 60;

    // Empties the strip and fills it from "ScreenFrame.json" and the frame
    // bitmaps (the shipped defaults when the document yields nothing); frame 0
    // becomes current. Nothing without the strip. 0, or kScreenMediaMissing
    // when frames stayed blank because their pictures could not be read.
    int LoadFrames();
    // 0 added; -1 the strip is full for the screen mode; -2 no strip.
    int AddFrame();
    // 0 deleted (or no strip); -1 only one frame, or no current frame.
    int DeleteFrame();
    // Every frame and the canvas emptied, the document's "Frame" emptied, the
    // editor closed. Nothing without an editor.
    void ClearAllFrames();
    // 1 when "ScreenFrame.json" was written, else 0.
    int SaveFrame();
    // Refused (0, nothing written) when the strip holds more frames than the
    // screen mode allows; else 1 when the document was written.
    int SaveAllFrames();
    void SetFrameCountLabel(int n);
    void ShowFramesPage();
    // 0 frames, 1 uploading; other values do nothing.
    void SelectScreenPage(int page);
    void OnScreenModeSelected();
    // The interval the edit shows: 100 without edit or text, at least 60.
    int GetFrameInterval();
    // Stores the interval in the page and the profile, saves the profile and
    // shows the stored value in the edit (`show` is kept for the callers).
    void SetFrameInterval(int value, int show);

    // The editor seen from the page; the page does not own it.
    void AttachScreenEditor(ScreenEditorView* editor) { m_screenEditor = editor; }
    ScreenEditorView* GetScreenEditor() const { return m_screenEditor; }
    // Forgets the editor and removes every frame from the strip.
    void CloseScreenEditor();
    // Frame n becomes current and selected; the canvas takes its cells and
    // colours; the undo history starts again.
    void SelectFrame(int n);
    // The canvas's cells into the current frame, which is repainted.
    void StoreCanvasToFrame();
    // The canvas into undo entries 0 and 1, both not valid.
    void ResetUndoHistory();

    // What the file commands below answer when the picture and video plug-in
    // is missing or unusable: nothing was read or written.
    static constexpr int kScreenMediaMissing = -2;
    // 0, or -1 when the picture cannot be read or the screen has no size.
    int ImportPicture(const DuiLib::CDuiString& path);
    // 0 (also when the file does not open or the screen has no size), or -1
    // when the frames would exceed the frame maximum; nothing is added then.
    int ImportAnimation(const DuiLib::CDuiString& path);
    // 0, also when the extension has no writer.
    int ExportPicture(const DuiLib::CDuiString& path);
    // XVID at 1000 / interval frames per second; 0, also when it cannot be written.
    int ExportVideo(const DuiLib::CDuiString& path);
    // A picture already fitted to the screen into the canvas and the current frame.
    void CopyImageToCanvas(const ScreenPicture& image);
    // A path for the file system: UTF-8 whatever the code page asked for.
    static std::string WideToNarrow(const wchar_t* wide, unsigned codePage);

    DuiLib::CContainerUI* GetFrameStrip();
    CScreenViewControlUI* GetFrame(int index);
    int GetFrameCount() const { return m_frameCount; }
    int GetCurrentFrame() const { return m_currentFrame; }
    int GetScreenMode() const { return m_screenMode; }
    int GetMaxFrames() const { return m_maxFrames; }
    // The screen's size as the device tables give it (tests set it directly).
    void SetScreenGeometry(int width, int height, int rotate);
    // The screen's size in frame cells (held to the 240 x 135 grid).
    int ScreenColumns() const;
    int ScreenRows() const;

private:
    // The screen page's combos show a new editor's tool and pen size and the
    // page's screen mode (a combo takes a choice only while it is shown).
    void InitScreenControls();
    CScreenViewControlUI* AppendFrame(int index, DuiLib::DWORD pen, DuiLib::DWORD background);
    DuiLib::CDuiString ScreenFrameDocumentPath() const;
    DuiLib::CDuiString FrameBitmapPath(int index) const;
    // False when the picture and video plug-in is missing: the frame stays blank.
    bool FillFrameFromPicture(CScreenViewControlUI& frame, const DuiLib::CDuiString& path, const Json::Value& entry);
    ScreenMedia::Turn ImportTurn() const;
    // The page's interval into the profile, which is saved.
    void StoreFrameInterval();

    ScreenEditorView* m_screenEditor = nullptr;
    int m_currentFrame = 0;
    int m_screenMode = 1;
    // === End of screen frames ======================================================

    // === Screen editor window (keyboard_screen_editor.cpp) ========================
public:
    // Opens the editor window owned by `owner` at `dpi`, beside it, when the
    // page has none. A screen without a size (0 x 0) opens nothing.
    void OpenScreenEditor(DuiLib::HWND owner, int dpi);
    // Shows the editor. One whose window the user closed ("closebtn" or the
    // window manager) opens anew on the current frame of the strip, which
    // keeps every frame as it was.
    void ShowScreenEditor();
    void HideScreenEditor();
    // Whether the page holds an editor (its window may have been closed).
    bool HasScreenEditor() const { return m_screenEditor != nullptr; }
    ScreenWnd* GetScreenEditorWindow() const { return m_editorWindow.get(); }
    // Moves a shown editor beside the main window's rectangle.
    void PlaceScreenEditor(int left, int top, int right, int bottom);
    // The canvas shows frame n (white pen, the frame's background); current
    // frame, selection and undo history stay.
    void ShowFrameInCanvas(int n);
    // SetCell of the current frame; positions outside it are ignored.
    void SetFrameCell(DuiLib::HWND window, int on, uint32_t position);
    // One stroke back; the restored canvas goes into the current frame.
    void UndoCanvas();
    // A stroke began: this page's "screen_undo_btn" may be used.
    void EnableScreenUndoButton();
    // Every canvas cell empty in the background colour, stored in the frame.
    void ClearFrame();
    // The background colour, given to every cell not drawn, stored in the frame.
    void FillBackgroundColor(DuiLib::DWORD color);
    // Colours as 0xAARRGGBB; the getters read the colour buttons.
    DuiLib::DWORD GetPenColor();
    void SetPenColor(DuiLib::DWORD color);
    DuiLib::DWORD GetBackgroundColor();
    void SetBackgroundColor(DuiLib::DWORD color);
    // The tool and pen size from "Screen_tool_combo_Select" (0 pen, else
    // eraser) and "Pixel_size_combo_Select" (index + 1).
    void OnScreenToolSelected();
    void OnPixelSizeSelected();
    // Reversals change no cell: the editor is repainted and the frame stored
    // (one frame), or every frame repainted (all).
    void InvertFrame();
    void InvertAllFrames();

private:
    // Deletes the window object where its type is known (the page's header
    // stays free of the window's headers).
    struct ScreenWndDeleter {
        void operator()(ScreenWnd* window) const;
    };
    // The editor's window while it is shown or until the page closes it.
    std::unique_ptr<ScreenWnd, ScreenWndDeleter> m_editorWindow;
    DuiLib::HWND m_editorOwner = nullptr;
    int m_editorDpi = 96;
    // === End of screen editor window ==============================================
};

// Registers CCorvaneKeyboardDevice with the UI's control factory under
// "CorvaneKeyboardDevice". Called once at start-up, before the first skin is built.
void RegisterCorvaneKeyboardDevice();
