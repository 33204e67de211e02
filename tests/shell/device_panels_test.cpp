// Device panels, the selector and the current device.

#include <atomic>
#include <thread>

#include "link/device_tables.h"
#include "shell/controls/mp_device_power_ui.h"
#include "tests/shell/discovery_fixture.h"
#include "tests/shell/main_wnd_fixture.h"

namespace discoverytest {
namespace {

using DevicePanelsTest = DiscoveryTest;

CTabLayoutUI* Tab(CControlUI* c) { return static_cast<CTabLayoutUI*>(c->GetInterface(L"TabLayout")); }

TEST_F(DevicePanelsTest, StartUpBuildsTheMouseAndKeyboardPanelsHidden) {
    Open();
    ASSERT_EQ(window_->DeviceEntryCount(), 2);
    EXPECT_EQ(window_->Mice().size(), 1u);
    EXPECT_EQ(window_->Keyboards().size(), 1u);
    EXPECT_EQ(window_->PowerTiles().size(), 2u);
    for (int i : {kMouseEntry, kKeyboardEntry}) {
        SCOPED_TRACE(i);
        CDeviceOptionUI* entry = Entry(i);
        RecordingPage* page = PageOf(i);
        ASSERT_NE(page, nullptr);
        EXPECT_FALSE(entry->IsShown());
        EXPECT_EQ(entry->GetBindTabIndex(), i);
        EXPECT_STREQ(entry->GetBindTabName(), L"device_switch");
        EXPECT_EQ(entry->GetPowerIndex(), i);
        EXPECT_EQ(entry->GetPowerSwitchName(), L"device_power_switch");
        EXPECT_EQ(page->GetDeviceOption(), entry);
        EXPECT_EQ(page->GetModelRow(), i);
        EXPECT_EQ(page->GetLedCount(), DeviceModelTable[i].ledCount);
        EXPECT_EQ(page->GetKeyCount(), DeviceModelTable[i].keyCount);
        EXPECT_EQ(page->GetShowPower(), 1);
        EXPECT_EQ(page->GetDeviceName(), DeviceOptionTable[i].kindName.c_str());
        EXPECT_EQ(page->GetPowerPanel(), window_->PowerTiles()[i]);
        EXPECT_EQ(entry->GetPreviewControl(), page->GetSelectPanel());
        // The keyboard's and the mouse's pictures are bound by their own pages
        // (the keyboard's three key layouts, the mouse's settings pages),
        // which the recording base page stands in for.
        if (i == kKeyboardEntry || i == kMouseEntry) continue;
        ASSERT_NE(page->GetSelectPanel(), nullptr);
        // The page skins bind their key and light buttons.
        EXPECT_NE(page->GetLightButtons()[0], nullptr);
        EXPECT_NE(page->GetKeyButtons()[0], nullptr);
    }
    EXPECT_EQ(Entry(kKeyboardEntry)->GetDeviceKind(), 1);
    EXPECT_EQ(Entry(kMouseEntry)->GetDeviceKind(), 2);
    EXPECT_EQ(window_->GetCurrentDevice(), nullptr);
}

TEST_F(DevicePanelsTest, ShowSelectAndUnselect) {
    Open();
    RecordingPage* mouse = PageOf(kMouseEntry);
    RecordingPage* keyboard = PageOf(kKeyboardEntry);
    CControlUI* noDevice = Find(L"No_device_Link");

    // The first device shown is selected; its page and tile come to the front.
    window_->ShowDevice(kKeyboardEntry, 1, 1);
    EXPECT_EQ(window_->GetCurrentDevice(), keyboard);
    EXPECT_EQ(Tab(Find(L"device_switch"))->GetCurSel(), kKeyboardEntry);
    EXPECT_EQ(Tab(Find(L"device_power_switch"))->GetCurSel(), kKeyboardEntry);
    EXPECT_FALSE(noDevice->IsVisible());

    // A second one is shown, not selected; both pages may now sync.
    window_->ShowDevice(kMouseEntry, 1, 0);
    EXPECT_EQ(window_->GetCurrentDevice(), keyboard);
    mouse->CommandChannel().SetSyncFlag(1);
    keyboard->CommandChannel().SetSyncFlag(1);

    // Hiding the current one selects the other; a single device leaves sync.
    window_->calls.clear();
    window_->UnselectDevice(kKeyboardEntry);
    EXPECT_EQ(window_->GetCurrentDevice(), mouse);
    EXPECT_EQ(Tab(Find(L"device_switch"))->GetCurSel(), kMouseEntry);
    EXPECT_EQ(mouse->CommandChannel().GetSyncFlag(), 0);
    EXPECT_EQ(keyboard->CommandChannel().GetSyncFlag(), 0);
    EXPECT_FALSE(noDevice->IsVisible());

    // The last one goes: the no-device panel, no current device and no
    // tile left showing the status of a device that is gone.
    CControlUI* tiles = Find(L"device_power_switch");
    EXPECT_TRUE(tiles->IsVisible());
    window_->UnselectDevice(kMouseEntry);
    EXPECT_EQ(window_->GetCurrentDevice(), nullptr);
    EXPECT_TRUE(noDevice->IsVisible());
    EXPECT_TRUE(ShownEntries().empty());
    EXPECT_FALSE(tiles->IsVisible());

    // A device plugged in again brings its own tile back.
    window_->ShowDevice(kKeyboardEntry, 1, 1);
    EXPECT_TRUE(tiles->IsVisible());
    EXPECT_EQ(Tab(tiles)->GetCurSel(), kKeyboardEntry);
}

TEST_F(DevicePanelsTest, SelectorEdgeCases) {
    struct Case {
        const char* name;
        std::vector<int> shown;  // shown in this order, the first selected
        void (CMainWnd::*step)();
        int current;
    };
    const Case cases[] = {
        {"next from the first of two", {kMouseEntry, kKeyboardEntry}, &CMainWnd::SelectNextDevice, kKeyboardEntry},
        {"next on the last does nothing", {kKeyboardEntry, kMouseEntry}, &CMainWnd::SelectNextDevice, kKeyboardEntry},
        {"previous on the first does nothing", {kMouseEntry, kKeyboardEntry}, &CMainWnd::SelectPrevDevice, kMouseEntry},
        {"previous from the second", {kKeyboardEntry, kMouseEntry}, &CMainWnd::SelectPrevDevice, kMouseEntry},
        {"next with one device", {kMouseEntry}, &CMainWnd::SelectNextDevice, kMouseEntry},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        bool first = true;
        for (int entry : c.shown) {
            window_->ShowDevice(entry, 1, first ? 1 : 0);
            first = false;
        }
        (window_->*c.step)();
        EXPECT_EQ(CurrentEntry(), c.current);
        window_->OnDeviceSelected();
        EXPECT_EQ(window_->m_nSelectedEntry, c.current);
        CloseWindow();
    }
}

TEST_F(DevicePanelsTest, NoCurrentDeviceWhenTheSelectedEntryIsHidden) {
    Open();
    window_->ShowDevice(kKeyboardEntry, 1, 1);
    // Hidden without a new selection (as an entry hides itself): no page is current.
    Entry(kKeyboardEntry)->SetVisible(false);
    EXPECT_TRUE(Entry(kKeyboardEntry)->IsSelected());
    EXPECT_EQ(window_->GetCurrentDevice(), nullptr);
}

TEST_F(DevicePanelsTest, TheCurrentDeviceVanishingEndsWhatItHadPending) {
    struct Case {
        const char* name;
        bool recording;
        bool uiEnabled;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"nothing pending", false, true, {"SetKeyCaptureHook 0", "SetDeviceUiEnabled 11"}},
        {"a recording runs", true, true, {"SetKeyCaptureHook 0", "OnStopRecordClick", "SetDeviceUiEnabled 11"}},
        {"the page is locked", false, false, {"SetKeyCaptureHook 0", "SetDeviceUiEnabled 11"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        window_->ShowDevice(kMouseEntry, 1, 1);
        window_->ShowDevice(kKeyboardEntry, 1, 0);
        window_->m_nRecording = c.recording ? 1 : 0;
        window_->deviceUiEnabled = c.uiEnabled;
        // A device that is not current goes without clean-up.
        window_->calls.clear();
        window_->UnselectDevice(kKeyboardEntry);
        EXPECT_TRUE(window_->calls.empty());
        window_->UnselectDevice(kMouseEntry);
        EXPECT_EQ(window_->calls, c.calls);
        EXPECT_EQ(window_->m_nRecording, 0);
        CloseWindow();
    }
}

TEST_F(DevicePanelsTest, OutOfRangeEntriesAreIgnored) {
    Open();
    window_->ShowDevice(kMouseEntry, 1, 1);
    window_->UnselectDevice(-1);
    window_->UnselectDevice(2);
    window_->OnDeviceOnline(7, 1);
    window_->OnDeviceOnline(kKeyboardEntry, 5);
    EXPECT_EQ(ShownEntries(), std::vector<int>{kMouseEntry});
    int first = -1, count = -1;
    EXPECT_TRUE(window_->CountShownDevices(&first, &count));
    EXPECT_EQ(first, kMouseEntry);
    EXPECT_EQ(count, 1);
}

TEST_F(DevicePanelsTest, DeviceOnlineShowsAndHides) {
    Open();
    window_->OnDeviceOnline(kKeyboardEntry, 1);
    EXPECT_EQ(CurrentEntry(), kKeyboardEntry);
    window_->OnDeviceOnline(kMouseEntry, 1);
    EXPECT_EQ(CurrentEntry(), kKeyboardEntry);
    window_->OnDeviceOnline(kMouseEntry, 1);  // already shown: nothing changes
    EXPECT_EQ(ShownEntries(), (std::vector<int>{kMouseEntry, kKeyboardEntry}));
    window_->OnDeviceOnline(kKeyboardEntry, 0);
    EXPECT_EQ(CurrentEntry(), kMouseEntry);
}

TEST_F(DevicePanelsTest, APanelWhosePageCannotBeBuiltLeavesNothingBehind) {
    Open();
    window_->failPages = true;
    EXPECT_EQ(window_->CreateMousePadPanel(8, 0), 0);
    EXPECT_EQ(window_->DeviceEntryCount(), 2);
    EXPECT_EQ(window_->PowerTiles().size(), 2u);
    EXPECT_TRUE(window_->MousePads().empty());
    // Rows without a panel: a receiver keyboard, no row at all.
    window_->failPages = false;
    EXPECT_EQ(window_->CreateKeyboardPanel(2, 0), 0);
    EXPECT_EQ(window_->CreateKeyboardPanel(-1, 0), 0);
    EXPECT_EQ(window_->CreateMousePadPanel(8, 0), 1);
    EXPECT_EQ(window_->DeviceEntryCount(), 3);
    // Leaks of the failed build would be reported by LeakSanitizer at exit.
}

TEST_F(DevicePanelsTest, AWorkerWalksTheListsWhileAPanelIsBuilt) {
    Open();
    std::atomic<bool> stop{false};
    std::atomic<int> walks{0};
    std::thread walker([&] {
        while (!stop.load()) {
            std::vector<CCorvaneUSBDevice*> pages;
            {
                std::lock_guard<std::mutex> lock(window_->DeviceListLock());
                pages = window_->MousePads();
                pages.insert(pages.end(), window_->Mice().begin(), window_->Mice().end());
            }
            for (CCorvaneUSBDevice* page : pages) (void)page->GetLedCount();
            walks.fetch_add(1);
        }
    });
    for (int i = 0; i < 5; ++i) EXPECT_EQ(window_->CreateMousePadPanel(8, 0), 1);
    stop.store(true);
    walker.join();
    EXPECT_GT(walks.load(), 0);
    EXPECT_EQ(window_->MousePads().size(), 5u);
}

}  // namespace
}  // namespace discoverytest
