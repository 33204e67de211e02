#include "tests/shell/main_wnd_fixture.h"

#include <chrono>
#include <sstream>
#include <thread>

#include "link/registered_messages.h"
#include "platform/files/folders.h"
#include "platform/os/message_queue.h"
#include "platform/ui/paint_hidden.h"
#include "platform/ui/ui_log.h"
#include "platform/ui/win_window_api.h"
#include "shell/controls/process_state.h"
#include "shell/main/control_tables.h"
#include "tests/support/wait_bound.h"

namespace mainwndtest {
namespace {

template <class... Args>
std::string Describe(const char* name, Args... args) {
    std::ostringstream out;
    out << name << '(';
    const char* separator = "";
    ((out << separator << args, separator = ","), ...);
    out << ')';
    return out.str();
}

}  // namespace

std::wstring BuiltProgramFolder() { return win::FromUtf8(TAVRIK_BIN_DIR "/"); }

void Pump() {
    win::MSG msg;
    for (int i = 0; i < 10000 && win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE); ++i) {
        if (msg.message == win::WM_QUIT) continue;
        if (CPaintManagerUI::TranslateMessage(&msg)) continue;
        win::TranslateMessage(&msg);
        win::DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto end = tavrik::test::Deadline(std::chrono::milliseconds(timeoutMs));
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        win::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, win::QS_ALLINPUT);
        Pump();
    }
    return true;
}

int RecordingMainWnd::Count(const std::string& call) const {
    int n = 0;
    for (const std::string& c : calls) n += c == call ? 1 : 0;
    return n;
}

win::LRESULT RecordingMainWnd::OnDeviceSlotAttached(int slot) {
    Record(Describe("OnDeviceSlotAttached", slot));
    return attachResult;
}
void RecordingMainWnd::OnDeviceSlotDetached(int slot) { Record(Describe("OnDeviceSlotDetached", slot)); }
void RecordingMainWnd::OnDeviceOnline(int entry, int online) { Record(Describe("OnDeviceOnline", entry, online)); }
bool RecordingMainWnd::CountShownDevices(int* firstShown, int* count) {
    if (firstShown) *firstShown = anyShown ? 0 : -1;
    if (count) *count = anyShown ? 1 : 0;
    return anyShown;
}
CCorvaneUSBDevice* RecordingMainWnd::GetCurrentDevice() { return currentDevice; }
void RecordingMainWnd::OnTrayNotify(DuiLib::UINT mouseMessage) { Record(Describe("OnTrayNotify", mouseMessage)); }
void RecordingMainWnd::ShowTrayMenu() { Record("ShowTrayMenu()"); }
void RecordingMainWnd::OnMenuCommandMessage(DuiLib::WPARAM wParam) { Record(Describe("OnMenuCommandMessage", wParam)); }
void RecordingMainWnd::ApplySelectedProfile() { Record("ApplySelectedProfile()"); }
void RecordingMainWnd::OnHookKey(DuiLib::WPARAM w, DuiLib::LPARAM l) { Record(Describe("OnHookKey", w, l)); }
void RecordingMainWnd::OnHookKeyMacro(DuiLib::WPARAM w, DuiLib::LPARAM l) { Record(Describe("OnHookKeyMacro", w, l)); }
void RecordingMainWnd::OnHookKeyMacroAfter(DuiLib::WPARAM w, DuiLib::LPARAM l) {
    Record(Describe("OnHookKeyMacroAfter", w, l));
}
void RecordingMainWnd::OnHookKeyMacroBefore(DuiLib::WPARAM w, DuiLib::LPARAM l) {
    Record(Describe("OnHookKeyMacroBefore", w, l));
}
void RecordingMainWnd::OnHookKeyMacroReplace(DuiLib::WPARAM w, DuiLib::LPARAM l) {
    Record(Describe("OnHookKeyMacroReplace", w, l));
}
void RecordingMainWnd::OnHookMouseMacro(DuiLib::WPARAM w, DuiLib::LPARAM l) {
    Record(Describe("OnHookMouseMacro", w, l));
}
void RecordingMainWnd::OnHookMouseMacroAfter(DuiLib::WPARAM w, DuiLib::LPARAM l) {
    Record(Describe("OnHookMouseMacroAfter", w, l));
}
void RecordingMainWnd::OnHookMouseMacroBefore(DuiLib::WPARAM w, DuiLib::LPARAM l) {
    Record(Describe("OnHookMouseMacroBefore", w, l));
}
void RecordingMainWnd::OnHookMouseMacroReplace(DuiLib::WPARAM w, DuiLib::LPARAM l) {
    Record(Describe("OnHookMouseMacroReplace", w, l));
}
void RecordingMainWnd::SetKeyCaptureHook(int start) { Record(Describe("SetKeyCaptureHook", start)); }
void RecordingMainWnd::SendVexmarTable() { Record("SendVexmarTable()"); }
void RecordingMainWnd::StartAudioCapture() { Record("StartAudioCapture()"); }
void RecordingMainWnd::OnSpectrumFrame() { Record("OnSpectrumFrame()"); }
void RecordingMainWnd::OnExternalFeed() { Record("OnExternalFeed()"); }
void RecordingMainWnd::ShowScreenEditor() { Record("ShowScreenEditor()"); }
void RecordingMainWnd::HideScreenEditor() { Record("HideScreenEditor()"); }
void RecordingMainWnd::ShowScreenFramesPage() { Record("ShowScreenFramesPage()"); }
void RecordingMainWnd::PlaceFloatingWindows() { Record("PlaceFloatingWindows()"); }
void RecordingMainWnd::OnScreenPreviewPaint(DuiLib::WPARAM w, DuiLib::LPARAM l) {
    Record(Describe("OnScreenPreviewPaint", w, l));
}
void RecordingMainWnd::OnScreenUndoReady() { Record("OnScreenUndoReady()"); }
void RecordingMainWnd::OnScreenCanvasChanged() { Record("OnScreenCanvasChanged()"); }
void RecordingMainWnd::ShowSettingsWindow(bool centred) { Record(Describe("ShowSettingsWindow", centred)); }
void RecordingMainWnd::LaunchFirmwareUpdate(int productId, int version) {
    Record(Describe("LaunchFirmwareUpdate", productId, version));
}
void RecordingMainWnd::LeaveLightingSync(CCorvaneUSBDevice*) { Record("LeaveLightingSync()"); }
void RecordingMainWnd::ShowLightMode(CCorvaneUSBDevice*, int mode) { Record(Describe("ShowLightMode", mode)); }
void RecordingMainWnd::OnItemActivate(DuiLib::TNotifyUI& msg) {
    Record("OnItemActivate(" + win::ToUtf8(msg.pSender ? msg.pSender->GetName().str() : L"") + ")");
}
void RecordingMainWnd::OnNotifySetFocus(DuiLib::TNotifyUI& msg) {
    Record("OnNotifySetFocus(" + win::ToUtf8(msg.pSender ? msg.pSender->GetName().str() : L"") + ")");
}
int RecordingMainWnd::CreateMousePanel(int row, int subKind) {
    Record(Describe("CreateMousePanel", row, subKind));
    return 1;
}
int RecordingMainWnd::CreateKeyboardPanel(int row, int subKind) {
    Record(Describe("CreateKeyboardPanel", row, subKind));
    return 1;
}
int RecordingMainWnd::CreateMousePadPanel(int row, int subKind) {
    Record(Describe("CreateMousePadPanel", row, subKind));
    return 1;
}
int RecordingMainWnd::CreateHeadsetPanel(int row, int subKind) {
    Record(Describe("CreateHeadsetPanel", row, subKind));
    return 1;
}
LanguageList RecordingMainWnd::Languages() const {
    return LanguageList::LoadFile(
        languageFile.IsEmpty() ? CDuiString(BuiltProgramFolder() + L"DefaultData/Language.config") : languageFile);
}

void MainWndTest::SetUp() {
    auto backend = std::make_unique<HeadlessBackend>();
    display_ = backend.get();
    display_->SetScreen(1280, 1024, 96);
    SetDisplayBackend(std::move(backend));
    CPaintManagerUI::SetResourcePath((BuiltProgramFolder() + L"skin/").c_str());
    CPaintManagerUI::SetAllDPI(96);
    CResourceManager::GetInstance()->Release();
    CResourceManager::GetInstance()->LoadResource(L"res.xml", nullptr);
    RegisterCustomControls();
    RegisterActivationMessage();
    RegisterGuidMessages();
    TakeUIProblems();
}

void MainWndTest::TearDown() {
    if (window_ != nullptr) {
        if (window_->GetHWND() != nullptr) win::DestroyWindow(window_->GetHWND());
        Pump();
        delete window_;
        window_ = nullptr;
    }
    Pump();
    // A window of the test may have chosen another language for the program.
    UiLanguageIndex = 0;
    CResourceManager::GetInstance()->Release();
    CPaintManagerUI::Term();
    SetDisplayBackend(nullptr);
}

LRESULT PlacementRecordingMainWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    // Sent once the window is on the screen (or off it) and once it has
    // moved or changed size.
    const RECT now = GetWindowRect();
    if (uMsg == win::WM_SHOWWINDOW && wParam != 0) shownAt.push_back(now);
    if ((uMsg == win::WM_MOVE || uMsg == win::WM_SIZE) && IsVisible() && Edges(now) != Edges(placed_))
        ++changesWhileShown;
    placed_ = now;
    return RecordingMainWnd::HandleMessage(uMsg, wParam, lParam);
}

RecordingMainWnd* MainWndTest::OpenMainWindow() { return OpenMainWindow(new RecordingMainWnd); }

RecordingMainWnd* MainWndTest::OpenMainWindow(RecordingMainWnd* window) {
    window_ = window;
    window_->Create(nullptr, kProductString,
                    win::WS_POPUP | win::WS_CLIPSIBLINGS | win::WS_CLIPCHILDREN | win::WS_CAPTION | win::WS_SYSMENU |
                        win::WS_MINIMIZEBOX,
                    0, 0, 0, 800, 572);
    window_->CenterWindow();
    window_->GetPaintManager()->Invalidate();
    DuiLib::PaintWhileHidden(*window_->GetPaintManager());
    Pump();
    return window_;
}

void MainWndTest::Paint() {
    window_->GetPaintManager()->Invalidate();
    window_->GetPaintManager()->Paint();
    Pump();
}

LRESULT MainWndTest::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return win::SendMessageW(window_->GetHWND(), message, wParam, lParam);
}

HeadlessWindow* MainWndTest::Surface() const { return static_cast<HeadlessWindow*>(window_->GetBackendWindow()); }

}  // namespace mainwndtest
