// The mouse's event channel against the emulated mouse's event collection, on
// the cable (type 2) and through the receiver (type 6): what each event does
// and on which thread, and that every stop ends a listener waiting in its
// read within the bound, without giving it up.
#include <ostream>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "devices/mouse_light_effects.h"
#include "platform/os/debug_trace.h"
#include "platform/os/message_queue.h"
#include "tests/devices/mouse_test_support.h"
#include "tests/support/wait_bound.h"

namespace {

using mousetest::Emulator;
using mousetest::ProductKind;
using tavrik::devsim::kConsumerCollection;

// A mouse page that notes its refreshes (and on which thread they run).
class EventMouse : public CCorvaneMouseDevice {
public:
    using CCorvaneMouseDevice::SetLightingCopy;
    void RefreshPage(int flag) override {
        EXPECT_EQ(std::this_thread::get_id(), uiThread);
        EXPECT_EQ(flag, 1);
        ++refreshes;
    }
    const std::thread::id uiThread = std::this_thread::get_id();
    int refreshes = 0;
};

// Collects what the platform logs while it lives.
class LogCapture {
public:
    LogCapture() {
        previous_ = win::SetPlatformLogSink([this](std::string_view line) {
            std::lock_guard lock(mutex_);
            lines_.emplace_back(line);
        });
    }
    ~LogCapture() { win::SetPlatformLogSink(previous_); }
    bool Mentions(const std::string& text) {
        std::lock_guard lock(mutex_);
        for (const std::string& l : lines_)
            if (l.find(text) != std::string::npos) return true;
        return false;
    }

private:
    std::function<void(std::string_view)> previous_;
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

struct Connection {
    ProductKind kind;
    int type;
};

void PrintTo(const Connection& c, std::ostream* out) { *out << mousetest::KindName(c.kind); }

class MouseEvents : public ::testing::TestWithParam<Connection> {
protected:
    MouseEvents() : device(sim.Plug(GetParam().kind)) {
        page.SetLedCount(CCorvaneMouseDevice::kMouseLedCount);
        page.CommandChannel().m_timeouts = tavrik::test::FastTimeouts();
        EXPECT_TRUE(tavrik::test::OpenCommandChannel(page.CommandChannel(), device));
    }
    ~MouseEvents() override {
        page.CloseEventChannel(CCorvaneMouseDevice::kEventWired);
        page.CloseEventChannel(CCorvaneMouseDevice::kEventReceiver);
        tavrik::test::CloseCommandChannel(page.CommandChannel());
    }
    int Type() const { return GetParam().type; }
    void Open() {
        page.OpenEventChannel(device.InterfacePath(kConsumerCollection), Type());
        ASSERT_TRUE(page.IsEventChannelOpen(Type()));
        ASSERT_EQ(page.RunningEventListeners(), 1);
    }
    // Serves the test thread's messages (the UI thread's part of the events)
    // until the condition holds.
    template <class Condition>
    bool ServeUntil(Condition done) {
        const auto end = tavrik::test::Deadline(std::chrono::seconds(20));
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            win::MsgWaitForMultipleObjects(0, nullptr, win::FALSE, 20, win::QS_ALLINPUT);
            win::MSG msg;
            while (win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) win::DispatchMessageW(&msg);
        }
        return true;
    }
    // A profile switch to `profile`, served until the page took it: every
    // event sent before it has been handled by then.
    void Sync(int profile) {
        const int before = page.refreshes;
        ASSERT_TRUE(device.SendEvent(uint16_t(0x1000 | profile)));
        ASSERT_TRUE(ServeUntil([&] { return page.refreshes > before; }));
        EXPECT_EQ(page.GetActiveProfile(), profile);
    }

    tavrik::devsim::SimFixture sim;
    Emulator& device;
    EventMouse page;
};

INSTANTIATE_TEST_SUITE_P(Connections, MouseEvents,
                         ::testing::Values(Connection{ProductKind::MouseCable, CCorvaneMouseDevice::kEventWired},
                                           Connection{ProductKind::MouseReceiver, CCorvaneMouseDevice::kEventReceiver}),
                         [](const auto& info) { return std::string(mousetest::KindName(info.param.kind)); });

TEST_P(MouseEvents, ProfileAndStageSwitchReachTheBlockCopyOnTheUiThread) {
    Open();
    ASSERT_TRUE(device.SendEvent(0x1123));
    ASSERT_TRUE(ServeUntil([&] { return page.refreshes == 1; }));
    const MouseDeviceBlock block = page.GetLastDeviceBlock();
    EXPECT_EQ(block[mouse_block::kProfile], 3);
    EXPECT_EQ(block[mouse_block::kActiveStage], 2);
    EXPECT_EQ(page.GetActiveProfile(), 3);

    // 0x10xx leaves the stage; codes of other kinds change nothing.
    for (uint16_t code : {0x0402, 0x0500, 0x1205}) ASSERT_TRUE(device.SendEvent(code));
    Sync(1);
    EXPECT_EQ(page.refreshes, 2);
    EXPECT_EQ(page.GetLastDeviceBlock()[mouse_block::kActiveStage], 2);
    EXPECT_EQ(page.GetLastDeviceBlock()[mouse_block::kProfile], 1);
}

TEST_P(MouseEvents, TheTriggerLightsOnlyFromTheCable) {
    LightSetting s;
    s.mode = 6;
    page.SetLightSetting(s);
    page.SetLightingCopy(s);
    Open();
    ASSERT_TRUE(device.SendEvent(CCorvaneMouseDevice::kTriggerEvent));
    Sync(2);
    const uint8_t expected = Type() == CCorvaneMouseDevice::kEventWired ? MouseLightEffects::kRising : 0;
    for (int i = 0; i < CCorvaneMouseDevice::kMouseLedCount; ++i) EXPECT_EQ(page.GetTriggerState(i), expected) << i;
}

TEST_P(MouseEvents, ResyncRequestsAreCountedOncePerEvent) {
    Open();
    ASSERT_TRUE(device.SendEvent(0x0401));
    ASSERT_TRUE(device.SendEvent(0x0401));
    Sync(4);
    EXPECT_EQ(page.ResyncRequests(), 2);
}

TEST_P(MouseEvents, AListenerWaitingInItsReadStopsWithinItsBound) {
    LogCapture log;
    Open();
    // Once the page took this event the listener is back in its read.
    Sync(1);
    page.CloseEventChannel(Type());
    EXPECT_EQ(page.RunningEventListeners(), 0);
    EXPECT_FALSE(page.IsEventChannelOpen(Type()));
    EXPECT_FALSE(log.Mentions("did not end")) << "the listener was given up";

    // Reopened, a listener runs again; reopening keeps one.
    Open();
    page.ReopenEventChannel(device.InterfacePath(kConsumerCollection), Type());
    EXPECT_EQ(page.RunningEventListeners(), 1);
    Sync(2);
    page.StopEventListener(Type());
    EXPECT_EQ(page.RunningEventListeners(), 0);
    EXPECT_FALSE(log.Mentions("did not end"));
}

TEST_P(MouseEvents, TheProfileEventNeedsTheCommandChannel) {
    tavrik::test::CloseCommandChannel(page.CommandChannel());
    page.OnProfileSwitchEvent(0x1123);
    EXPECT_EQ(page.refreshes, 0);
    EXPECT_EQ(page.GetLastDeviceBlock()[mouse_block::kProfile], 0);
}

TEST(MouseEventChannel, IdleTypesAndOtherTypesDoNothing) {
    CCorvaneMouseDevice page;
    page.CloseEventChannel(CCorvaneMouseDevice::kEventWired);
    page.StopEventListener(CCorvaneMouseDevice::kEventReceiver);
    page.OpenEventChannel(L"\\\\?\\hid#nothing", 3);
    EXPECT_EQ(page.RunningEventListeners(), 0);
    EXPECT_FALSE(page.IsEventChannelOpen(3));
}

TEST(MouseEventChannel, AFailedOpenIdlesAndThePageEndsItsListeners) {
    LogCapture log;
    {
        CCorvaneMouseDevice page;
        page.OpenEventChannel(L"\\\\?\\hid#nothing", CCorvaneMouseDevice::kEventWired);
        page.OpenEventChannel(L"\\\\?\\hid#nothing", CCorvaneMouseDevice::kEventReceiver);
        EXPECT_FALSE(page.IsEventChannelOpen(CCorvaneMouseDevice::kEventWired));
        EXPECT_EQ(page.RunningEventListeners(), 2);
    }
    EXPECT_FALSE(log.Mentions("did not end"));
}

}  // namespace

namespace {

TEST(MouseEventChannel, AStopRightAfterTheStartIsNotLost) {
    LogCapture log;
    CCorvaneMouseDevice page;
    for (int i = 0; i < 50; ++i) {
        page.StartEventListener(i % 2 ? CCorvaneMouseDevice::kEventWired : CCorvaneMouseDevice::kEventReceiver);
        page.StopEventListener(CCorvaneMouseDevice::kEventWired);
        page.StopEventListener(CCorvaneMouseDevice::kEventReceiver);
        ASSERT_EQ(page.RunningEventListeners(), 0) << i;
    }
    EXPECT_FALSE(log.Mentions("did not end"));
}

}  // namespace
