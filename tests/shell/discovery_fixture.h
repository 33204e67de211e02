#pragma once

// Set-up of the device discovery tests: the in-process sim bus with emulated
// products, a headless display with the built skin folder, and a main window
// that builds its default panels but starts no scan thread (the tests run the
// scan passes themselves), whose pages record what the discovery asks of them
// and whose later features are recorders.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/device/corvane_usb_device.h"
#include "platform/ui/UIlib.h"
#include "platform/ui/headless_backend.h"
#include "link/device/device_option_ui.h"
#include "shell/main/main_wnd.h"
#include "tools/devsim/sim_fixture.h"

namespace discoverytest {

using namespace DuiLib;
using tavrik::devsim::Emulator;
using tavrik::devsim::ProductKind;

// A device page that counts the family operations the discovery and the
// entry's timers call, and opens its event channel as the families do.
class RecordingPage : public CCorvaneUSBDevice {
public:
    int connected = 0;
    int polled = 0;
    int resynced = 0;
    int linkChecks = 0;
    std::vector<std::string> eventCalls;

    void OnConnected() override { ++connected; }
    void PollStatus() override { ++polled; }
    void ReadActiveProfile() override { ++resynced; }
    // As the keyboard and the mouse answer: the receiver's link query.
    int CheckDongleLink() override;
    void OpenEventChannel(const std::wstring& path, int type) override;
    void ReopenEventChannel(const std::wstring& path, int type) override;
    void CloseEventChannel(int type) override;
    CDeviceProtocol& EventChannel() { return m_eventChannel; }
};

class DiscoveryWnd : public CMainWnd {
public:
    std::vector<std::string> calls;
    bool deviceUiEnabled = true;
    // While set, page skins build something that is no device page.
    bool failPages = false;
    int raised = 0;

    void OnWindowInit() override;
    DuiLib::CControlUI* CreateControl(DuiLib::LPCTSTR pstrClass) override;
    win::LRESULT OnDeviceSlotAttached(int slot) override;
    void OnDeviceSlotDetached(int slot) override;
    void RaiseWindow(int flag) override;
    void SetKeyCaptureHook(int start) override;
    void OnStopRecordClick() override;
    void SetDeviceUiEnabled(bool lockSelector, bool enabled) override;
    bool IsDeviceUiEnabled() override { return deviceUiEnabled; }

    using CMainWnd::DeviceEntry;
    using CMainWnd::DeviceEntryCount;
    using CMainWnd::m_hSettingsWnd;
    using CMainWnd::m_nRecording;
    using CMainWnd::m_nSelectedEntry;
};

class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the main window; its "windowinit" builds the default panels.
    DiscoveryWnd* Open();
    // Destroys the window (TearDown does it too).
    void CloseWindow();
    void ScanPass();
    CDeviceOptionUI* Entry(int index) { return window_->DeviceEntry(index); }
    RecordingPage* PageOf(int entry);
    CControlUI* Find(const wchar_t* name) { return window_->GetPaintManager()->FindControl(name); }
    int CurrentEntry();
    // Shown entries in order.
    std::vector<int> ShownEntries();

    tavrik::devsim::SimFixture sim_;
    HeadlessBackend* display_ = nullptr;
    DiscoveryWnd* window_ = nullptr;
};

// Entries of the default panels.
inline constexpr int kMouseEntry = 0;
inline constexpr int kKeyboardEntry = 1;

}  // namespace discoverytest
