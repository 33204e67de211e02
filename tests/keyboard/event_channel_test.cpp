// The keyboard's event channel against the emulated keyboard's event
// collection: what each event code does on the page and on which thread, one
// listener per interface, reopening, unplug and replug, and that every stop
// ends its listener.
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "link/device_packet.h"
#include "platform/os/message_queue.h"
#include "tests/keyboard/keyboard_test_support.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace kbtest;
using tavrik::devsim::kConsumerCollection;

// A keyboard page that records the key events, refreshes and resyncs it gets.
class EventKeyboard : public CCorvaneKeyboardDevice {
public:
    ~EventKeyboard() override {
        StopEventListener(kEventWired);
        StopEventListener(kEventReceiver);
    }
    void OnKeyEvent(int key, int kind) override {
        std::lock_guard lock(mutex_);
        keys_.emplace_back(key, kind);
        if (std::this_thread::get_id() == uiThread) keyOnUiThread = true;
    }
    void RefreshPage(int flag) override {
        EXPECT_EQ(std::this_thread::get_id(), uiThread);
        EXPECT_EQ(flag, 1);
        ++refreshes;
    }
    void ReadActiveProfile() override {
        EXPECT_EQ(std::this_thread::get_id(), uiThread);
        resetPendingAtRead.push_back(GetResetPending());
        CCorvaneKeyboardDevice::ReadActiveProfile();
    }
    std::vector<std::pair<int, int>> Keys() {
        std::lock_guard lock(mutex_);
        return keys_;
    }

    const std::thread::id uiThread = std::this_thread::get_id();
    int refreshes = 0;
    std::vector<int> resetPendingAtRead;
    bool keyOnUiThread = false;

private:
    std::mutex mutex_;
    std::vector<std::pair<int, int>> keys_;
};

class EventChannel : public ::testing::Test {
protected:
    void SetUp() override {
        SetUpPage(page);
        page.CommandChannel().m_timeouts = FastTimeouts();
        ASSERT_TRUE(tavrik::test::OpenCommandChannel(page.CommandChannel(), device));
    }
    void TearDown() override {
        page.CloseEventChannel(CCorvaneKeyboardDevice::kEventWired);
        page.CloseEventChannel(CCorvaneKeyboardDevice::kEventReceiver);
        tavrik::test::CloseCommandChannel(page.CommandChannel());
    }
    std::wstring EventPath() const { return device.InterfacePath(kConsumerCollection); }

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
    // Sends a profile switch and serves until the page took it: every event
    // sent before it has been handled by then.
    void SyncOnProfile(Emulator& from, int profile) {
        const int before = page.refreshes;
        ASSERT_TRUE(from.SendEvent(uint16_t(0x1000 | profile)));
        ASSERT_TRUE(ServeUntil([&] { return page.refreshes > before; }));
        EXPECT_EQ(page.GetActiveProfile(), profile);
    }

    tavrik::devsim::SimFixture sim;
    Emulator& device = sim.Plug(ProductKind::KeyboardCable);
    EventKeyboard page;
};

TEST_F(EventChannel, KeyEventsRunOnTheListenerAndProfileEventsOnTheUiThread) {
    page.OpenEventChannel(EventPath(), CCorvaneKeyboardDevice::kEventWired);
    ASSERT_TRUE(page.IsEventChannelOpen(CCorvaneKeyboardDevice::kEventWired));
    for (uint16_t code : {0x0403, 0x0523, 0x0623, 0x04FF}) ASSERT_TRUE(device.SendEvent(code));
    SyncOnProfile(device, 2);
    EXPECT_EQ(page.Keys(), (std::vector<std::pair<int, int>>{{0x23, 1}, {0x23, 2}}));
    EXPECT_FALSE(page.keyOnUiThread);
    EXPECT_EQ(page.refreshes, 1) << "only the profile event refreshes";
    EXPECT_TRUE(page.resetPendingAtRead.empty());

    const uint8_t layerBefore = page.GetBlockCopy()[17];
    ASSERT_TRUE(device.SendEvent(0x1132));
    ASSERT_TRUE(ServeUntil([&] { return page.refreshes == 2; }));
    EXPECT_EQ(page.GetActiveProfile(), 2);
    EXPECT_EQ(page.GetBlockCopy()[17], 3);
    EXPECT_NE(layerBefore, 3);

    ASSERT_TRUE(device.SendEvent(0x1031));
    ASSERT_TRUE(ServeUntil([&] { return page.refreshes == 3; }));
    EXPECT_EQ(page.GetActiveProfile(), 1);
    EXPECT_EQ(page.GetBlockCopy()[17], 3) << "0x10xx leaves the block copy";
}

TEST_F(EventChannel, SettingsChangeReadsTheBlockOnceAndResetMarksTheProfileFirst) {
    page.OpenEventChannel(EventPath(), CCorvaneKeyboardDevice::kEventWired);
    device.ClearRecord();
    ASSERT_TRUE(device.SendEvent(0x0401));
    ASSERT_TRUE(ServeUntil([&] { return page.resetPendingAtRead.size() == 1; }));
    EXPECT_EQ(page.resetPendingAtRead[0], 0);
    // One read of the active profile number and its block.
    EXPECT_EQ(device.Requests(CMD_READ_PARAMS).size(), 2u);

    ASSERT_TRUE(device.SendEvent(0x0402));
    ASSERT_TRUE(ServeUntil([&] { return page.resetPendingAtRead.size() == 2; }));
    EXPECT_EQ(page.resetPendingAtRead[1], 1);
    EXPECT_EQ(page.GetResetPending(), 0) << "the read takes the reset";
    SyncOnProfile(device, 1);
    EXPECT_EQ(page.resetPendingAtRead.size(), 2u);
}

TEST_F(EventChannel, ProfileEventWithTheCommandChannelClosedChangesNothing) {
    tavrik::test::CloseCommandChannel(page.CommandChannel());
    page.OnProfileSwitchEvent(0x1132);
    EXPECT_EQ(page.GetActiveProfile(), 0);
    EXPECT_EQ(page.refreshes, 0);
    tavrik::test::OpenCommandChannel(page.CommandChannel(), device);
    page.OnProfileSwitchEvent(0x0523);
    EXPECT_EQ(page.refreshes, 0);
}

TEST_F(EventChannel, OtherTypesOpenNothingAndStopsOfIdleTypesDoNothing) {
    page.StopEventListener(CCorvaneKeyboardDevice::kEventWired);
    page.StopEventListener(CCorvaneKeyboardDevice::kEventReceiver);
    page.CloseEventChannel(CCorvaneKeyboardDevice::kEventWired);
    page.OpenEventChannel(EventPath(), 5);
    EXPECT_EQ(page.RunningEventListeners(), 0);
    EXPECT_FALSE(page.IsEventChannelOpen(5));
    EXPECT_FALSE(page.IsEventChannelOpen(CCorvaneKeyboardDevice::kEventWired));
}

TEST_F(EventChannel, OneListenerPerTypeThroughOpenAndReopen) {
    const int wired = CCorvaneKeyboardDevice::kEventWired;
    page.OpenEventChannel(EventPath(), wired);
    page.OpenEventChannel(EventPath(), wired);
    EXPECT_EQ(page.RunningEventListeners(), 1);
    page.ReopenEventChannel(EventPath(), wired);
    EXPECT_EQ(page.RunningEventListeners(), 1);
    page.StartEventListener(wired);
    EXPECT_EQ(page.RunningEventListeners(), 1);
    SyncOnProfile(device, 3);
    SyncOnProfile(device, 1);
    EXPECT_EQ(page.refreshes, 2) << "each event handled once";
}

TEST_F(EventChannel, FailedOpenIdlesAndEachStopEndsItsThread) {
    Emulator& receiver = sim.Plug(ProductKind::KeyboardReceiver, device.SharedMemory());
    page.OpenEventChannel(EventPath(), CCorvaneKeyboardDevice::kEventWired);
    page.OpenEventChannel(receiver.InterfacePath(kConsumerCollection), CCorvaneKeyboardDevice::kEventReceiver);
    EXPECT_EQ(page.RunningEventListeners(), 2);
    SyncOnProfile(receiver, 2);

    page.StopEventListener(CCorvaneKeyboardDevice::kEventWired);
    EXPECT_EQ(page.RunningEventListeners(), 1);
    page.CloseEventChannel(CCorvaneKeyboardDevice::kEventReceiver);
    EXPECT_EQ(page.RunningEventListeners(), 0);
    EXPECT_FALSE(page.IsEventChannelOpen(CCorvaneKeyboardDevice::kEventReceiver));

    // An interface that cannot be opened: the flag stays clear, the listener idles.
    page.OpenEventChannel(L"\\\\?\\hid#no_such_device", CCorvaneKeyboardDevice::kEventReceiver);
    EXPECT_FALSE(page.IsEventChannelOpen(CCorvaneKeyboardDevice::kEventReceiver));
    EXPECT_EQ(page.RunningEventListeners(), 1);
    page.StopEventListener(CCorvaneKeyboardDevice::kEventReceiver);
    EXPECT_EQ(page.RunningEventListeners(), 0);
}

TEST_F(EventChannel, UnplugAndReplugWithAReopen) {
    const int wired = CCorvaneKeyboardDevice::kEventWired;
    page.OpenEventChannel(EventPath(), wired);
    SyncOnProfile(device, 1);
    device.Unplug();
    EXPECT_FALSE(device.SendEvent(0x1002));
    ASSERT_TRUE(device.Replug());
    tavrik::test::CloseCommandChannel(page.CommandChannel());
    ASSERT_TRUE(tavrik::test::OpenCommandChannel(page.CommandChannel(), device));
    page.ReopenEventChannel(EventPath(), wired);
    EXPECT_EQ(page.RunningEventListeners(), 1);
    SyncOnProfile(device, 3);
    page.CloseEventChannel(wired);
    EXPECT_EQ(page.RunningEventListeners(), 0);
}

TEST_F(EventChannel, LightingChangedOnTheKeyboardReachesThePageAndTheProfileFile) {
    ASSERT_EQ(page.LoadProfile(1), 1);
    page.OpenEventChannel(EventPath(), CCorvaneKeyboardDevice::kEventWired);
    tavrik::devsim::KeyboardModel model(device);
    const uint8_t brightness = page.CurrentLightSetting().brightness == 3 ? 2 : 3;
    ASSERT_TRUE(model.ChangeLighting(7, brightness, 4));
    ASSERT_TRUE(ServeUntil([&] { return page.resetPendingAtRead.size() == 1; }));
    EXPECT_EQ(page.CurrentLightSetting().brightness, brightness);
    EXPECT_EQ(page.GetRunningMode(), page.CurrentLightSetting().mode);

    CKeyboardProfiledata file;
    file.LoadProfile(page.GetProfilePath());
    EXPECT_EQ(file.GetLightInfo(), page.CurrentLightSetting());
}

TEST_F(EventChannel, PageDestructionStopsTheListeners) {
    auto other = std::make_unique<CCorvaneKeyboardDevice>();
    other->OpenEventChannel(EventPath(), CCorvaneKeyboardDevice::kEventWired);
    other->StartLightThreads();
    EXPECT_EQ(other->RunningEventListeners(), 1);
    EXPECT_EQ(other->RunningLightThreads(), 2);
    other.reset();  // joins every thread of the page
    ASSERT_TRUE(device.SendEvent(0x0401));
}

}  // namespace
