#pragma once

// Set-up of the main-window tests: a fresh headless display, the built skin
// folder, the registered messages, and a main window whose later features
// are replaced by recorders, so a test sees which of them a message reaches.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "link/device/corvane_usb_device.h"
#include "platform/ui/UIlib.h"
#include "platform/ui/headless_backend.h"
#include "shell/main/main_wnd.h"

namespace mainwndtest {

using namespace DuiLib;

// Runs queued messages until none is left.
void Pump();
// Pumps until `done` holds or the time runs out.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// The main window with every operation of a later feature recorded.
class RecordingMainWnd : public CMainWnd {
public:
    std::vector<std::string> calls;
    // What GetCurrentDevice answers, and what CountShownDevices says.
    CCorvaneUSBDevice* currentDevice = nullptr;
    bool anyShown = false;
    // What Languages() answers: the file at this path ("": the real list).
    CDuiString languageFile;
    win::LRESULT attachResult = 1;

    int Count(const std::string& call) const;
    // Calls recorded since the last Clear.
    void Clear() { calls.clear(); }

    using CMainWnd::StartWorker;

    win::LRESULT OnDeviceSlotAttached(int slot) override;
    void OnDeviceSlotDetached(int slot) override;
    void OnDeviceOnline(int entry, int online) override;
    bool CountShownDevices(int* firstShown, int* count) override;
    CCorvaneUSBDevice* GetCurrentDevice() override;
    void OnTrayNotify(DuiLib::UINT mouseMessage) override;
    void ShowTrayMenu() override;
    void OnMenuCommandMessage(DuiLib::WPARAM wParam) override;
    void ApplySelectedProfile() override;
    void OnHookKey(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;
    void OnHookKeyMacro(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;
    void OnHookKeyMacroAfter(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;
    void OnHookKeyMacroBefore(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;
    void OnHookKeyMacroReplace(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;
    void OnHookMouseMacro(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;
    void OnHookMouseMacroAfter(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;
    void OnHookMouseMacroBefore(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;
    void OnHookMouseMacroReplace(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;
    void SetKeyCaptureHook(int start) override;
    void SendVexmarTable() override;
    void StartAudioCapture() override;
    void OnSpectrumFrame() override;
    void OnExternalFeed() override;
    void ShowScreenEditor() override;
    void HideScreenEditor() override;
    void ShowScreenFramesPage() override;
    void PlaceFloatingWindows() override;
    void OnScreenPreviewPaint(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;
    void OnScreenUndoReady() override;
    void OnScreenCanvasChanged() override;
    void ShowSettingsWindow(bool centred) override;
    void LaunchFirmwareUpdate(int productId, int firmwareVersion) override;
    void LeaveLightingSync(CCorvaneUSBDevice* page) override;
    void ShowLightMode(CCorvaneUSBDevice* page, int mode) override;
    LanguageList Languages() const override;
    void OnItemActivate(DuiLib::TNotifyUI& msg) override;
    void OnNotifySetFocus(DuiLib::TNotifyUI& msg) override;
    int CreateMousePanel(int row, int subKind) override;
    int CreateKeyboardPanel(int row, int subKind) override;
    int CreateMousePadPanel(int row, int subKind) override;
    int CreateHeadsetPanel(int row, int subKind) override;

private:
    void Record(const std::string& call) { calls.push_back(call); }
};

// A rectangle's edges, to compare (and print) rectangles whole.
inline std::tuple<win::LONG, win::LONG, win::LONG, win::LONG> Edges(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The same, also recording where the window is each time it comes onto the
// screen and how often it moves or changes size while shown.
class PlacementRecordingMainWnd : public RecordingMainWnd {
public:
    std::vector<RECT> shownAt;
    int changesWhileShown = 0;

    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

private:
    RECT placed_{};  // where the window was at the last message
};

class MainWndTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the main window as the program does (800 x 572, hidden, then
    // the first paint, while hidden, runs "windowinit"); the window shows
    // after the scan thread's first pass.
    RecordingMainWnd* OpenMainWindow();
    // The same with a window of the test's own kind (the fixture deletes it).
    RecordingMainWnd* OpenMainWindow(RecordingMainWnd* window);
    // Paints what is invalid now (and runs "windowinit" the first time).
    void Paint();
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    CControlUI* Find(const wchar_t* name) { return window_->GetPaintManager()->FindControl(name); }
    HeadlessWindow* Surface() const;

    HeadlessBackend* display_ = nullptr;
    RecordingMainWnd* window_ = nullptr;
};

// The folder of the built program (its skin and DefaultData folders).
std::wstring BuiltProgramFolder();

}  // namespace mainwndtest
