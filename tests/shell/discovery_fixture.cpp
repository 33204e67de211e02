#include "tests/shell/discovery_fixture.h"

#include <sstream>

#include "link/registered_messages.h"
#include "platform/os/message_queue.h"
#include "platform/ui/ui_log.h"
#include "platform/ui/win_window_api.h"
#include "shell/main/control_tables.h"
#include "shell/main/device_scan_thread.h"
#include "shell/controls/process_state.h"
#include "tests/shell/main_wnd_fixture.h"

namespace discoverytest {

int RecordingPage::CheckDongleLink() {
    ++linkChecks;
    CDeviceProtocol& channel = CommandChannel();
    if (!channel.IsOpen() || !channel.IsReceiverMode()) return 0;
    return channel.QueryLink() ? 1 : 0;
}

void RecordingPage::OpenEventChannel(const std::wstring& path, int type) {
    eventCalls.push_back("open " + std::to_string(type));
    const bool receiver = type == HidDeviceSlot::kTypeKeyboardReceiver || type == HidDeviceSlot::kTypeMouseReceiver;
    CHidDevice& handle = receiver ? m_eventChannel.m_receiver : m_eventChannel.m_wired;
    handle.Close();
    if (handle.Open(path.c_str(), TRUE, TRUE, TRUE, FALSE))
        (receiver ? m_eventChannel.m_receiverMode : m_eventChannel.m_open).store(1);
}

void RecordingPage::ReopenEventChannel(const std::wstring& path, int type) {
    eventCalls.push_back("reopen " + std::to_string(type));
    CloseEventChannel(type);
    eventCalls.pop_back();
    OpenEventChannel(path, type);
    eventCalls.pop_back();
}

void RecordingPage::CloseEventChannel(int type) {
    eventCalls.push_back("close " + std::to_string(type));
    const bool receiver = type == HidDeviceSlot::kTypeKeyboardReceiver || type == HidDeviceSlot::kTypeMouseReceiver;
    (receiver ? m_eventChannel.m_receiverMode : m_eventChannel.m_open).store(0);
    (receiver ? m_eventChannel.m_receiver : m_eventChannel.m_wired).Close();
}

void DiscoveryWnd::OnWindowInit() {
    MainWindowHandle = GetHWND();
    m_slots.assign(DiscoveryDeviceTable(), DiscoveryDeviceTable() + kSupportedDeviceCount);
    CreateDefaultDevicePanels();
}

CControlUI* DiscoveryWnd::CreateControl(LPCTSTR pstrClass) {
    // Every family's page is replaced by a recording base page: these tests
    // watch what the main window asks of a page, not what a family does.
    if (pstrClass != nullptr && (DuiCompareNoCase(pstrClass, L"CCorvaneUSBDevice") == 0 ||
                                 DuiCompareNoCase(pstrClass, L"CorvaneKeyboardDevice") == 0 ||
                                 DuiCompareNoCase(pstrClass, L"CorvaneMouseDevice") == 0 ||
                                 DuiCompareNoCase(pstrClass, L"CorvaneMousePadDevice") == 0 ||
                                 DuiCompareNoCase(pstrClass, L"CorvaneHS6533Device") == 0)) {
        // A skin whose root is no device page cannot give a panel.
        if (failPages) return new CHorizontalLayoutUI;
        return new RecordingPage;
    }
    return CMainWnd::CreateControl(pstrClass);
}

win::LRESULT DiscoveryWnd::OnDeviceSlotAttached(int slot) {
    calls.push_back("bound " + std::to_string(slot));
    return CMainWnd::OnDeviceSlotAttached(slot);
}

void DiscoveryWnd::OnDeviceSlotDetached(int slot) {
    calls.push_back("lost " + std::to_string(slot));
    CMainWnd::OnDeviceSlotDetached(slot);
}

void DiscoveryWnd::RaiseWindow(int) { ++raised; }
void DiscoveryWnd::SetKeyCaptureHook(int start) { calls.push_back("SetKeyCaptureHook " + std::to_string(start)); }
void DiscoveryWnd::OnStopRecordClick() {
    calls.push_back("OnStopRecordClick");
    m_nRecording = 0;
}
void DiscoveryWnd::SetDeviceUiEnabled(bool lockSelector, bool enabled) {
    calls.push_back("SetDeviceUiEnabled " + std::to_string(lockSelector) + std::to_string(enabled));
    deviceUiEnabled = true;
}

void DiscoveryTest::SetUp() {
    auto backend = std::make_unique<HeadlessBackend>();
    display_ = backend.get();
    display_->SetScreen(1280, 1024, 96);
    SetDisplayBackend(std::move(backend));
    CPaintManagerUI::SetResourcePath((mainwndtest::BuiltProgramFolder() + L"skin/").c_str());
    CPaintManagerUI::SetAllDPI(96);
    CResourceManager::GetInstance()->Release();
    CResourceManager::GetInstance()->LoadResource(L"res.xml", nullptr);
    RegisterCustomControls();
    RegisterActivationMessage();
    RegisterGuidMessages();
    TakeUIProblems();
}

void DiscoveryTest::CloseWindow() {
    if (window_ != nullptr) {
        if (window_->GetHWND() != nullptr) win::DestroyWindow(window_->GetHWND());
        mainwndtest::Pump();
        delete window_;
        window_ = nullptr;
    }
    MainWindowHandle = nullptr;
}

void DiscoveryTest::TearDown() {
    CloseWindow();
    mainwndtest::Pump();
    // A window of the test may have chosen another language for the program.
    UiLanguageIndex = 0;
    CResourceManager::GetInstance()->Release();
    CPaintManagerUI::Term();
    SetDisplayBackend(nullptr);
}

DiscoveryWnd* DiscoveryTest::Open() {
    window_ = new DiscoveryWnd;
    window_->Create(nullptr, kProductString, win::WS_POPUP | win::WS_VISIBLE, 0, 0, 0, 800, 572);
    mainwndtest::Pump();
    window_->GetPaintManager()->Invalidate();
    window_->GetPaintManager()->Paint();
    mainwndtest::Pump();
    return window_;
}

void DiscoveryTest::ScanPass() { DeviceScanPass(*window_); }

RecordingPage* DiscoveryTest::PageOf(int entry) {
    CDeviceOptionUI* e = Entry(entry);
    return e ? dynamic_cast<RecordingPage*>(e->GetDevice()) : nullptr;
}

int DiscoveryTest::CurrentEntry() {
    for (int i = 0; i < window_->DeviceEntryCount(); ++i) {
        if (window_->GetCurrentDevice() != nullptr && Entry(i)->GetDevice() == window_->GetCurrentDevice()) return i;
    }
    return -1;
}

std::vector<int> DiscoveryTest::ShownEntries() {
    std::vector<int> shown;
    for (int i = 0; i < window_->DeviceEntryCount(); ++i) {
        if (Entry(i)->IsShown()) shown.push_back(i);
    }
    return shown;
}

}  // namespace discoverytest
