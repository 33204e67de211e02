// Attach, detach and the move between cable and receiver, on the sim bus.

#include "link/device_packet.h"
#include "link/base/product_ids.h"
#include "tests/shell/discovery_fixture.h"
#include "tests/shell/main_wnd_fixture.h"

namespace discoverytest {
namespace {

using mainwndtest::PumpUntil;

using DeviceAttachTest = DiscoveryTest;

// Slots of the supported-device table.
constexpr int kKeyboardCable = 0;
constexpr int kKeyboardCableEvents = 1;
constexpr int kKeyboardReceiver = 2;
constexpr int kKeyboardReceiverEvents = 3;
constexpr int kMouseCable = 4;

void Bind(DiscoveryWnd& w, int slot, const std::wstring& path) {
    w.Slots()[slot].connected = 1;
    w.Slots()[slot].devicePath = path;
}

TEST_F(DeviceAttachTest, AttachByTypeAndPartner) {
    struct Case {
        const char* name;
        ProductKind kind;
        int slot;
        bool partnerBound;  // the other connection's control slot is bound and open
        bool linked;        // receiver: its device answers
        bool shown;         // entry shown after attach
        int mode;           // connection mode afterwards (1 wired, 2 receiver)
        int entry;
    };
    const Case cases[] = {
        {"keyboard on its cable", ProductKind::KeyboardCable, kKeyboardCable, false, true, true, 1, kKeyboardEntry},
        {"keyboard through its receiver", ProductKind::KeyboardReceiver, kKeyboardReceiver, false, true, false, 2,
         kKeyboardEntry},
        {"mouse on its cable", ProductKind::MouseCable, kMouseCable, false, true, true, 1, kMouseEntry},
        {"receiver while the cable is bound", ProductKind::KeyboardReceiver, kKeyboardReceiver, true, true, true, 1,
         kKeyboardEntry},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        Emulator* cable = nullptr;
        if (c.partnerBound) {
            cable = &sim_.Plug(ProductKind::KeyboardCable);
            Bind(*window_, kKeyboardCable, cable->InterfacePath(4));
            EXPECT_EQ(window_->OnDeviceSlotAttached(kKeyboardCable), 1);
        }
        Emulator& device = sim_.Plug(c.kind, cable ? cable->SharedMemory() : nullptr);
        device.SetLinked(c.linked);
        Bind(*window_, c.slot, device.InterfacePath(4));
        EXPECT_EQ(window_->OnDeviceSlotAttached(c.slot), 1);
        CDeviceOptionUI* entry = Entry(c.entry);
        RecordingPage* page = PageOf(c.entry);
        EXPECT_TRUE(page->CommandChannel().IsOpen());
        EXPECT_EQ(page->CommandChannel().IsReceiverMode(), c.mode == 2);
        EXPECT_EQ(entry->IsShown(), c.shown);
        EXPECT_EQ(entry->IsSelected(), c.shown);
        EXPECT_EQ(entry->TimerPeriod(TIMER_OPTION_CONNECT), CDeviceOptionUI::kConnectDelayMs);
        // The page stays bound to the wired row on either connection.
        EXPECT_EQ(page->GetSlotRecord().deviceType, c.entry == kKeyboardEntry ? 1 : 2);
        EXPECT_GE(window_->raised, 1);
        CloseWindow();
        device.Unplug();
        if (cable) cable->Unplug();
    }
}

TEST_F(DeviceAttachTest, ASecondBindOfAnOpenPageChangesNothing) {
    Emulator& keyboard = sim_.Plug(ProductKind::KeyboardCable);
    Open();
    Bind(*window_, kKeyboardCable, keyboard.InterfacePath(4));
    window_->OnDeviceSlotAttached(kKeyboardCable);
    RecordingPage* page = PageOf(kKeyboardEntry);
    Entry(kKeyboardEntry)->KillOwnTimer(TIMER_OPTION_CONNECT);
    const std::wstring path = page->CommandChannel().m_wired.m_devicePath;
    EXPECT_EQ(window_->OnDeviceSlotAttached(kKeyboardCable), 1);
    EXPECT_EQ(page->CommandChannel().m_wired.m_devicePath, path);
    EXPECT_EQ(Entry(kKeyboardEntry)->TimerPeriod(TIMER_OPTION_CONNECT), 0u);
}

TEST_F(DeviceAttachTest, AnAuxiliarySlotBeforeItsPrimaryOpensOnlyTheEventChannel) {
    Emulator& keyboard = sim_.Plug(ProductKind::KeyboardCable);
    Open();
    Bind(*window_, kKeyboardCableEvents, keyboard.InterfacePath(3));
    window_->OnDeviceSlotAttached(kKeyboardCableEvents);
    RecordingPage* page = PageOf(kKeyboardEntry);
    EXPECT_EQ(page->eventCalls, std::vector<std::string>{"open 1"});
    EXPECT_TRUE(page->EventChannel().IsOpen());
    EXPECT_FALSE(page->CommandChannel().IsOpen());
    EXPECT_FALSE(Entry(kKeyboardEntry)->IsShown());

    Bind(*window_, kKeyboardCable, keyboard.InterfacePath(4));
    window_->OnDeviceSlotAttached(kKeyboardCable);
    EXPECT_TRUE(Entry(kKeyboardEntry)->IsShown());

    // Detaching the auxiliary slot closes only the event channel.
    window_->OnDeviceSlotDetached(kKeyboardCableEvents);
    EXPECT_EQ(page->eventCalls, (std::vector<std::string>{"open 1", "close 1"}));
    EXPECT_TRUE(page->CommandChannel().IsOpen());
    EXPECT_TRUE(Entry(kKeyboardEntry)->IsShown());
}

TEST_F(DeviceAttachTest, AMousePadPanelIsBuiltOnItsFirstAttachAndReusedLater) {
    Emulator& pad = sim_.Plug(ProductKind::MousePad);
    Open();
    ASSERT_EQ(window_->DeviceEntryCount(), 2);
    ScanPass();
    ASSERT_EQ(window_->DeviceEntryCount(), 3);
    EXPECT_EQ(window_->MousePads().size(), 1u);
    EXPECT_TRUE(Entry(2)->IsShown());
    EXPECT_EQ(PageOf(2)->eventCalls, std::vector<std::string>{"open 3"});

    pad.Unplug();
    ScanPass();
    EXPECT_FALSE(Entry(2)->IsShown());
    EXPECT_EQ(PageOf(2)->eventCalls, (std::vector<std::string>{"open 3", "close 3"}));
    pad.Replug();
    ScanPass();
    EXPECT_EQ(window_->DeviceEntryCount(), 3);
    EXPECT_TRUE(Entry(2)->IsShown());
}

class CableAndReceiverTest : public DiscoveryTest {
protected:
    void SetUp() override {
        DiscoveryTest::SetUp();
        cable_ = &sim_.Plug(ProductKind::KeyboardCable);
        receiver_ = &sim_.Plug(ProductKind::KeyboardReceiver, cable_->SharedMemory());
        Open();
        ScanPass();
        entry_ = Entry(kKeyboardEntry);
        page_ = PageOf(kKeyboardEntry);
        // The connect timer of the wired attach would ask the link too.
        entry_->KillOwnTimer(TIMER_OPTION_CONNECT);
    }

    Emulator* cable_ = nullptr;
    Emulator* receiver_ = nullptr;
    CDeviceOptionUI* entry_ = nullptr;
    RecordingPage* page_ = nullptr;
};

TEST_F(CableAndReceiverTest, TheKeyboardRunsOnItsCableWhileBothArePresent) {
    CDeviceProtocol& channel = page_->CommandChannel();
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_FALSE(channel.IsReceiverMode());
    EXPECT_EQ(channel.m_wired.m_devicePath, cable_->InterfacePath(4));
    EXPECT_TRUE(entry_->IsShown());
    // The receiver's event collection joins the same page.
    EXPECT_EQ(page_->eventCalls, (std::vector<std::string>{"open 1", "open 9"}));
}

TEST_F(CableAndReceiverTest, PullingTheCableMovesThePageToTheReceiverAndPluggingItMovesItBack) {
    CDeviceProtocol& channel = page_->CommandChannel();
    receiver_->ClearRecord();
    cable_->Unplug();
    ScanPass();
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_TRUE(channel.IsReceiverMode());
    EXPECT_EQ(channel.ChunkSize(), 24);
    EXPECT_EQ(channel.m_receiver.m_devicePath, receiver_->InterfacePath(4));
    EXPECT_TRUE(entry_->IsShown());
    EXPECT_EQ(page_->connected, 1);
    EXPECT_EQ(receiver_->Requests(CMD_LINK_QUERY).size(), 1u);
    EXPECT_EQ(entry_->TimerPeriod(TIMER_OPTION_KEEPALIVE), CDeviceOptionUI::kFirstKeepAliveMs);
    EXPECT_EQ(entry_->TimerPeriod(TIMER_OPTION_ONLINE), CDeviceOptionUI::kFirstOnlineCheckMs);
    EXPECT_GE(page_->polled, 1);

    // The keep-alive reaches the keyboard through the receiver.
    ASSERT_TRUE(PumpUntil([&] { return !receiver_->Requests(CMD_BEGIN).empty(); }));
    EXPECT_FALSE(receiver_->Requests(CMD_END).empty());

    cable_->Replug();
    ScanPass();
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_FALSE(channel.IsReceiverMode());
    EXPECT_EQ(channel.ChunkSize(), 56);
    EXPECT_EQ(channel.m_wired.m_devicePath, cable_->InterfacePath(4));
    EXPECT_TRUE(entry_->IsShown());
    EXPECT_EQ(entry_->TimerPeriod(TIMER_OPTION_CONNECT), CDeviceOptionUI::kConnectDelayMs);
}

TEST_F(CableAndReceiverTest, NegativeLinkAnswersAreAskedAgainFromTheTimerAndElevenArmTheOnlineCheck) {
    receiver_->SetLinked(false);
    receiver_->ClearRecord();
    cable_->Unplug();
    ScanPass();
    // The switch returned after one query; the others follow between messages.
    EXPECT_EQ(receiver_->Requests(CMD_LINK_QUERY).size(), 1u);
    EXPECT_EQ(entry_->TimerPeriod(TIMER_OPTION_LINK_QUERY), CDeviceOptionUI::kLinkQueryMs);
    EXPECT_EQ(entry_->TimerPeriod(TIMER_OPTION_ONLINE), 0u);

    ASSERT_TRUE(PumpUntil([&] { return entry_->TimerPeriod(TIMER_OPTION_LINK_QUERY) == 0; }));
    EXPECT_EQ(receiver_->Requests(CMD_LINK_QUERY).size(), 11u);
    EXPECT_EQ(entry_->TimerPeriod(TIMER_OPTION_ONLINE), CDeviceOptionUI::kFirstOnlineCheckMs);
    EXPECT_EQ(entry_->TimerPeriod(TIMER_OPTION_KEEPALIVE), 0u);
    EXPECT_EQ(page_->connected, 0);

    // The keyboard comes into reach: the online check finds it.
    receiver_->SetLinked(true);
    entry_->DeviceTimerProc(TIMER_OPTION_ONLINE);
    EXPECT_TRUE(entry_->IsShown());
    EXPECT_EQ(entry_->TimerPeriod(TIMER_OPTION_ONLINE), CDeviceOptionUI::kOnlineCheckMs);
}

TEST_F(CableAndReceiverTest, ALinkAnswerDuringTheQueriesConnectsThePage) {
    receiver_->SetLinked(false);
    cable_->Unplug();
    ScanPass();
    receiver_->SetLinked(true);
    ASSERT_TRUE(PumpUntil([&] { return page_->connected == 1; }));
    EXPECT_EQ(entry_->TimerPeriod(TIMER_OPTION_ONLINE), CDeviceOptionUI::kFirstOnlineCheckMs);
}

TEST_F(CableAndReceiverTest, PullingBothLeavesThePageClosedAndHidden) {
    cable_->Unplug();
    receiver_->Unplug();
    ScanPass();
    EXPECT_FALSE(page_->CommandChannel().IsOpen());
    EXPECT_FALSE(entry_->IsShown());
    EXPECT_EQ(window_->GetCurrentDevice(), nullptr);
    EXPECT_TRUE(Find(L"No_device_Link")->IsVisible());
}

}  // namespace
}  // namespace discoverytest
