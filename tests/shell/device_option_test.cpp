// The device list entry: icons, power switch, and its timer chains for a
// wired and a receiver-bound device.

#include <thread>

#include "link/device_packet.h"
#include "tests/shell/discovery_fixture.h"
#include "tests/shell/main_wnd_fixture.h"

namespace discoverytest {
namespace {

using mainwndtest::PumpUntil;

using DeviceOptionTest = DiscoveryTest;

COptionUI* SelectOption(CDeviceOptionUI* entry) {
    return static_cast<COptionUI*>(entry->FindSubControl(L"device_select"));
}

TEST_F(DeviceOptionTest, IconsAndToolTipByKind) {
    Open();
    CDeviceOptionUI* entry = Entry(kMouseEntry);
    struct Case {
        int kind, subKind;
        const wchar_t* word;
    };
    const Case cases[] = {{1, 0, L"kb"}, {2, 0, L"ms"},  {3, 0, L"hard_mp"}, {3, 1, L"soft_mp"}, {4, 0, L"hd"},
                          {7, 0, L"hd"}, {5, 0, L"hub"}, {0, 0, L"unknow"},  {9, 0, L"unknow"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind * 10 + c.subKind);
        entry->SetDeviceKind(c.kind, c.subKind);
        const CDuiString icons = CDuiString(L"common/device_ico/") + c.word;
        EXPECT_EQ(entry->GetNormalImage(), icons + L"_device_normal.png");
        EXPECT_EQ(entry->GetSelectedImage(), icons + L"_device_selected.png");
        EXPECT_EQ(entry->GetSyncNormalImage(), icons + L"_device_synchro_normal.png");
        EXPECT_EQ(entry->GetSyncSelectedImage(), icons + L"_device_synchro_selected.png");
        EXPECT_EQ(CDuiString(SelectOption(entry)->GetNormalImage()), icons + L"_device_normal.png");
        EXPECT_EQ(CDuiString(SelectOption(entry)->GetDisabledImage()), icons + L"_device_normal.png");
        // The tool tip is the kind's language key, shown in the chosen language.
        const CDuiString key = CDuiString(c.word) + L"_device_name_text";
        EXPECT_EQ(SelectOption(entry)->GetToolTip(), CResourceManager::GetInstance()->GetText(key));
        EXPECT_NE(SelectOption(entry)->GetToolTip(), key);
    }
    // Kind 3 with sub-kind 2 keeps what the entry has.
    entry->SetDeviceKind(3, 2);
    EXPECT_EQ(entry->GetNormalImage(), L"common/device_ico/unknow_device_normal.png");
    EXPECT_EQ(entry->GetDeviceKind(), 3);
    EXPECT_EQ(entry->GetDeviceSubKind(), 2);

    // The select option takes the sync icons while the sync option is selected.
    entry->SetDeviceKind(1, 0);
    entry->ShowSyncOption(true);
    entry->SetSyncSelected(true);
    EXPECT_TRUE(entry->IsSyncSelected());
    EXPECT_EQ(CDuiString(SelectOption(entry)->GetNormalImage()), L"common/device_ico/kb_device_synchro_normal.png");
    entry->SetSyncSelected(false);
    EXPECT_EQ(CDuiString(SelectOption(entry)->GetNormalImage()), L"common/device_ico/kb_device_normal.png");
}

TEST_F(DeviceOptionTest, PowerSwitchKeepsWhatANullNameOrNegativeIndexWouldChange) {
    Open();
    CDeviceOptionUI* entry = Entry(kMouseEntry);
    entry->SetPowerSwitch(nullptr, 5);
    EXPECT_EQ(entry->GetPowerSwitchName(), L"device_power_switch");
    EXPECT_EQ(entry->GetPowerIndex(), kMouseEntry);
    entry->SetPowerSwitch(L"other", -1);
    EXPECT_EQ(entry->GetPowerSwitchName(), L"other");
    EXPECT_EQ(entry->GetPowerIndex(), kMouseEntry);
    entry->SetPowerSwitch(L"other", 3);
    EXPECT_EQ(entry->GetPowerIndex(), 3);
}

TEST_F(DeviceOptionTest, WiredChain) {
    Emulator& keyboard = sim_.Plug(ProductKind::KeyboardCable);
    Open();
    ScanPass();
    CDeviceOptionUI* entry = Entry(kKeyboardEntry);
    RecordingPage* page = PageOf(kKeyboardEntry);
    ASSERT_EQ(entry->TimerPeriod(TIMER_OPTION_CONNECT), 500u);

    // The connect timer fires within its period.
    ASSERT_TRUE(PumpUntil([&] { return page->connected == 1; }));
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_CONNECT), 0u);
    ASSERT_TRUE(PumpUntil([&] { return page->polled >= 1; }));
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_FRAME), CDeviceOptionUI::kFrameWiredMs);
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_STATUS), CDeviceOptionUI::kStatusMs);
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_ONLINE), 0u);
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_KEEPALIVE), 0u);
    EXPECT_EQ(page->linkChecks, 0);

    // The frame timer stops once the channel is closed.
    keyboard.Unplug();
    ScanPass();
    entry->DeviceTimerProc(TIMER_OPTION_FRAME);
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_FRAME), 0u);
}

TEST_F(DeviceOptionTest, TheFrameTimerTellsThePageWhetherTheWindowShowsIt) {
    sim_.Plug(ProductKind::KeyboardCable);
    Open();
    ScanPass();
    CDeviceOptionUI* entry = Entry(kKeyboardEntry);
    RecordingPage* page = PageOf(kKeyboardEntry);
    for (bool selected : {false, true, false, true}) {
        SCOPED_TRACE(selected);
        entry->SetSelected(selected);
        entry->DeviceTimerProc(TIMER_OPTION_FRAME);
        EXPECT_EQ(page->IsPageShown(), selected);
    }
}

// The entries stand in the order their devices arrived: an entry's notice
// that its device went out of reach or came back names the entry itself,
// whatever the model row of its page.
TEST_F(DeviceOptionTest, OnlineNoticesNameTheEntryItself) {
    Emulator& receiver = sim_.Plug(ProductKind::KeyboardReceiver);
    Open();
    ScanPass();
    ASSERT_EQ(window_->CreateMousePadPanel(8, 0), 1);
    const int padEntry = window_->DeviceEntryCount() - 1;
    CDeviceOptionUI* entry = Entry(kKeyboardEntry);
    // A page whose model row is another entry's index, as for a device
    // that arrived after others of other kinds.
    PageOf(kKeyboardEntry)->SetModelRow(padEntry);
    entry->DeviceTimerProc(TIMER_OPTION_CONNECT);
    ASSERT_TRUE(entry->IsShown());

    receiver.SetLinked(false);
    entry->DeviceTimerProc(TIMER_OPTION_ONLINE);
    EXPECT_FALSE(entry->IsShown());
    EXPECT_FALSE(Entry(padEntry)->IsShown());
    receiver.SetLinked(true);
    entry->DeviceTimerProc(TIMER_OPTION_ONLINE);
    EXPECT_TRUE(entry->IsShown());
    EXPECT_FALSE(Entry(padEntry)->IsShown()) << "the notice reached the entry of the page's model row";
}

TEST_F(DeviceOptionTest, ReceiverChain) {
    Emulator& receiver = sim_.Plug(ProductKind::KeyboardReceiver);
    receiver.SetLinked(false);
    Open();
    ScanPass();
    CDeviceOptionUI* entry = Entry(kKeyboardEntry);
    RecordingPage* page = PageOf(kKeyboardEntry);
    EXPECT_FALSE(entry->IsShown());

    // The keyboard is off: the entry stays hidden and the link is asked again in 3 s.
    entry->DeviceTimerProc(TIMER_OPTION_CONNECT);
    EXPECT_FALSE(entry->IsShown());
    EXPECT_EQ(page->connected, 0);
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_CONNECT), CDeviceOptionUI::kLinkRetryMs);

    // Switched on: shown, selected and connected, with keep-alive, status and online check.
    receiver.SetLinked(true);
    entry->DeviceTimerProc(TIMER_OPTION_CONNECT);
    EXPECT_TRUE(entry->IsShown());
    EXPECT_EQ(CurrentEntry(), kKeyboardEntry);
    EXPECT_EQ(page->connected, 1);
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_KEEPALIVE), CDeviceOptionUI::kFirstKeepAliveMs);
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_FRAME), CDeviceOptionUI::kFirstFrameMs);
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_STATUS), CDeviceOptionUI::kFirstStatusMs);
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_ONLINE), CDeviceOptionUI::kFirstOnlineCheckMs);

    entry->DeviceTimerProc(TIMER_OPTION_FRAME);
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_FRAME), CDeviceOptionUI::kFrameReceiverMs);

    receiver.ClearRecord();
    entry->DeviceTimerProc(TIMER_OPTION_KEEPALIVE);
    EXPECT_EQ(receiver.Requests(CMD_BEGIN).size(), 1u);
    EXPECT_EQ(receiver.Requests(CMD_END).size(), 1u);
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_KEEPALIVE), CDeviceOptionUI::kKeepAliveMs);

    // Out of reach: hidden, with the selection gone; back: shown again.
    receiver.SetLinked(false);
    entry->DeviceTimerProc(TIMER_OPTION_ONLINE);
    EXPECT_FALSE(entry->IsShown());
    EXPECT_EQ(window_->GetCurrentDevice(), nullptr);
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_ONLINE), CDeviceOptionUI::kOnlineCheckMs);
    receiver.SetLinked(true);
    const int polled = page->polled;
    entry->DeviceTimerProc(TIMER_OPTION_ONLINE);
    EXPECT_TRUE(entry->IsShown());
    EXPECT_EQ(page->polled, polled + 1);

    // Unplugged: the online check ends with the channel.
    receiver.Unplug();
    ScanPass();
    entry->DeviceTimerProc(TIMER_OPTION_ONLINE);
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_ONLINE), 0u);
}

TEST_F(DeviceOptionTest, TheResyncTimerMayBeArmedFromAWorkerThread) {
    Open();
    CDeviceOptionUI* entry = Entry(kKeyboardEntry);
    RecordingPage* page = PageOf(kKeyboardEntry);
    std::thread listener([&] { page->GetDeviceOption()->ArmTimer(TIMER_OPTION_RESYNC, 10); });
    listener.join();
    ASSERT_TRUE(PumpUntil([&] { return page->resynced == 1; }));
    EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_RESYNC), 0u);
}

// Records the "timer" notifications of one control.
struct TimerNotices : INotifyUI {
    CControlUI* sender = nullptr;
    std::vector<WPARAM> ids;
    void Notify(TNotifyUI& msg) override {
        if (msg.pSender == sender && msg.sType == DUI_MSGTYPE_TIMER) ids.push_back(msg.wParam);
    }
};

// The entry's own timers end at the entry; a timer it does not know still
// reaches the window's notifiers as before.
TEST_F(DeviceOptionTest, OnlyTimersTheEntryDoesNotKnowBecomeNotifications) {
    Open();
    CDeviceOptionUI* entry = Entry(kKeyboardEntry);
    RecordingPage* page = PageOf(kKeyboardEntry);
    CPaintManagerUI* manager = window_->GetPaintManager();
    TimerNotices notices;
    notices.sender = entry;
    ASSERT_TRUE(manager->AddNotifier(&notices));
    constexpr UINT kForeign = 4321;
    entry->ArmTimer(TIMER_OPTION_RESYNC, 10);
    ASSERT_TRUE(manager->SetTimer(entry, kForeign, 10));
    const bool delivered = PumpUntil([&] { return page->resynced == 1 && !notices.ids.empty(); });
    manager->KillTimer(entry, kForeign);
    manager->RemoveNotifier(&notices);
    ASSERT_TRUE(delivered);
    for (WPARAM id : notices.ids) EXPECT_EQ(id, kForeign);
}

// A page with a handler for every click.
class ClickPage : public RecordingPage {
public:
    std::vector<CControlUI*> clicks;
    void OnClick(TNotifyUI& msg) { clicks.push_back(msg.pSender); }
    DUI_DECLARE_MESSAGE_MAP()
};

DUI_BEGIN_MESSAGE_MAP(ClickPage, CNotifyPump)
DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, ClickPage::OnClick)
DUI_END_MESSAGE_MAP()

// A page hears the notifications of every control inside it, however deep
// and whatever its name, and none of another page's.
TEST_F(DeviceOptionTest, APageTakesTheNotificationsOfItsOwnControlsOnly) {
    Open();
    ClickPage page;
    RecordingPage* other = PageOf(kMouseEntry);
    auto* inner = new CVerticalLayoutUI;
    page.Add(inner);
    auto* deep = new CButtonUI;
    auto* twin = new CButtonUI;
    auto* foreign = new CButtonUI;
    for (CButtonUI* b : {deep, twin, foreign}) b->SetName(L"same_name");
    inner->Add(deep);
    page.Add(twin);
    other->Add(foreign);
    CControlUI* const senders[] = {&page, deep, twin, foreign, nullptr};
    for (CControlUI* sender : senders) {
        TNotifyUI msg;
        msg.sType = DUI_MSGTYPE_CLICK;
        msg.pSender = sender;
        page.Notify(msg);
    }
    other->Remove(foreign);
    // Of the page's own controls only the one its name finds first: the twin
    // of a name is not, nor is the nameless page itself.
    EXPECT_EQ(page.clicks, (std::vector<CControlUI*>{deep}));
}

TEST_F(DeviceOptionTest, TimersWithoutAPageDoNothing) {
    Open();
    CDeviceOptionUI entry;
    for (UINT id : {1000u, 1001u, 1002u, 1005u, 1007u, 1008u, 1009u, 1234u}) entry.DeviceTimerProc(id);
    entry.StartOnlineCheck(2000);
    EXPECT_EQ(entry.TimerPeriod(TIMER_OPTION_ONLINE), 0u);
    EXPECT_EQ(entry.GetBindTabIndex(), -1);
    EXPECT_EQ(entry.GetBindTabName(), nullptr);
    EXPECT_FALSE(entry.IsSelected());
    EXPECT_FALSE(entry.IsSyncSelected());
}

}  // namespace
}  // namespace discoverytest
