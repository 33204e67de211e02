// The lighting sync across devices: its five steps, its pacing on the sync
// thread, emulated keyboards in and out of sync, device lists that change
// while the thread runs, and a stop while it idles.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

#include "keyboard/lighting_sync.h"
#include "platform/os/event.h"
#include "platform/os/handle.h"
#include "platform/os/thread.h"
#include "tests/keyboard/effect_test_support.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace kbtest;
using Values = SyncLightState::Values;

Values Setting(uint8_t effect, uint8_t direction = 1, uint8_t colorful = 0, uint8_t speed = 4) {
    Values v;
    v.effect = effect;
    v.brightness = 5;
    v.speed = speed;
    v.direction = direction;
    v.colorful = colorful;
    v.red = 10;
    v.green = 20;
    v.blue = 30;
    return v;
}

struct StepCase {
    const char* name;
    Values setting;
    LightingSync::State before;
    uint32_t advanceMs;  // clock movement before the step
    LedColor expected;
    uint8_t hueAfter;  // breathing or colour-cycle hue, or flash hue
};

// A device page in sync, 15 LEDs.
struct SyncedPage {
    SyncedPage() {
        page.SetLedCount(15);
        page.CommandChannel().SetSyncFlag(1);
    }
    CCorvaneUSBDevice page;
};

TEST(LightingSyncSteps, EachEffectBroadcastsItsColour) {
    const StepCase cases[] = {
        {"breathing", Setting(0), {}, 0, {10, 20, 30, Shade(BreathCurve[1])}, 0},
        {"breathing backwards", Setting(0, 0), {}, 0, {10, 20, 30, Shade(BreathCurve[127])}, 0},
        {"breathing colourful, phase 0", Setting(0, 1, 1), {127, 0}, 0, Wheel(16, 0), 16},
        {"breathing colourful, phase 1", Setting(0, 1, 1), {0, 16}, 0, Wheel(32, Shade(BreathCurve[1])), 32},
        {"breathing colourful, phase 2", Setting(0, 1, 1), {1, 32}, 0, Wheel(32, Shade(BreathCurve[2])), 32},
        {"breathing colourful, backwards to 0", Setting(0, 0, 1), {1, 176}, 0, Wheel(0, 0), 0},
        {"static", Setting(1), {}, 0, {10, 20, 30, 255}, 0},
        {"flash before its period", Setting(2), {}, 0, {}, 0},
        {"flash on", Setting(2), {}, 1400, {10, 20, 30, 255}, 14},
        {"flash colourful", Setting(2, 1, 1, 0), {0, 0, 0, 0, 14}, 5600, Wheel(28, 255), 28},
        {"flash off", Setting(2), {0, 0, 0, 1, 14, 1000}, 1400, {}, 28},
        {"colour cycle", Setting(3), {0, 0, 7}, 0, Wheel(8, 255), 8},
        {"colour cycle ignores the direction", Setting(3, 0), {0, 0, 191}, 0, Wheel(0, 255), 0},
        {"off", Setting(4), {}, 0, {}, 0},
        {"unknown effect draws nothing", Setting(9), {}, 0, {1, 1, 1, 1}, 0},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.name);
        SyncedPage a;
        SyncedPage unsynced;
        unsynced.page.CommandChannel().SetSyncFlag(0);
        DrivenTickSource clock;
        LightingSync sync([&] { return std::vector<CCorvaneUSBDevice*>{&a.page, &unsynced.page}; });
        sync.SetTickSource(&clock);
        sync.SetState(c.before);
        for (int i = 0; i < 15; ++i) {
            a.page.SetLedColor(i, PackLedColor({1, 1, 1, 1}));
            unsynced.page.SetLedColor(i, PackLedColor({1, 1, 1, 1}));
        }
        clock.Advance(c.advanceMs);
        sync.Step(c.setting, {&a.page, &unsynced.page});
        for (int i : {0, 14}) EXPECT_EQ(a.page.Leds().GetLed(i), c.expected) << i;
        EXPECT_EQ(unsynced.page.Leds().GetLed(0), (LedColor{1, 1, 1, 1}));
        const LightingSync::State after = sync.GetState();
        const uint8_t hue = c.setting.effect == 0   ? after.breathHue
                            : c.setting.effect == 2 ? after.flashHue
                                                    : after.cycleHue;
        EXPECT_EQ(hue, c.hueAfter);
    }
}

TEST(LightingSyncSteps, ForwardersTakeTheProcessSettingAndTheCurrentDevices) {
    SyncedPage a;
    LightingSync sync([&] { return std::vector<CCorvaneUSBDevice*>{&a.page}; });
    GetSyncLightState().Store(Setting(1));
    sync.StaticStep();
    EXPECT_EQ(a.page.Leds().GetLed(3), (LedColor{10, 20, 30, 255}));
    sync.OffStep();
    EXPECT_EQ(a.page.Leds().GetLed(3), LedColor{});
    sync.ColorCycleStep();
    EXPECT_EQ(a.page.Leds().GetLed(3), Wheel(1, 255));
    sync.Broadcast(7, 8, 9, 10);
    EXPECT_EQ(a.page.Leds().GetLedColor(3), PackLedColor({7, 8, 9, 10}));
    GetSyncLightState().Store(Values{});
}

// Three emulated keyboards, two of them in sync.
class LightingSyncThread : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto* kb : {&first, &second, &third}) {
            auto& device = sim.Plug(ProductKind::KeyboardCable);
            if (kb == &first) firstDevice = &device;
            SetUpPage(kb->page);
            kb->page.CommandChannel().m_timeouts = FastTimeouts();
            ASSERT_TRUE(tavrik::test::OpenCommandChannel(kb->page.CommandChannel(), device));
        }
        first.page.CommandChannel().SetSyncFlag(1);
        second.page.CommandChannel().SetSyncFlag(1);
        sync.SetTickSource(&clock);
    }
    void TearDown() override {
        Stop();
        for (auto* kb : {&first, &second, &third}) tavrik::test::CloseCommandChannel(kb->page.CommandChannel());
        GetSyncLightState().Store(Values{});
    }
    void Start() {
        stop = win::CreateEventW(nullptr, win::TRUE, win::FALSE, nullptr);
        thread = std::thread([this] { sync.Run(stop); });
    }
    void Stop() {
        if (!thread.joinable()) return;
        win::SetEvent(stop);
        thread.join();
        win::CloseHandle(stop);
    }
    std::vector<CCorvaneUSBDevice*> Devices() {
        std::lock_guard lock(listLock);
        return devices;
    }

    struct Page {
        CCorvaneKeyboardDevice page;
    };
    tavrik::devsim::SimFixture sim;
    Page first, second, third;
    Emulator* firstDevice = nullptr;
    Page spare;  // joins the lists while the thread runs
    std::mutex listLock;
    std::vector<CCorvaneUSBDevice*> devices{&first.page, &second.page, &third.page};
    DrivenTickSource clock;
    LightingSync sync{[this] { return Devices(); }};
    win::HANDLE stop = nullptr;
    std::thread thread;
};

TEST_F(LightingSyncThread, StepsEverySpeedPeriodOfTicks) {
    const std::pair<uint8_t, int> periods[] = {{0, 28}, {1, 23}, {2, 18}, {3, 13}, {4, 7}};
    GetSyncLightState().Store(Setting(3));
    Start();
    for (auto [speed, period] : periods) {
        SCOPED_TRACE(int(speed));
        GetSyncLightState().speed.store(speed);
        const uint8_t hue = sync.GetState().cycleHue;
        clock.RunPasses(period - 1, 2);
        EXPECT_EQ(sync.GetState().cycleHue, hue);
        clock.RunPasses(1, 2);
        EXPECT_EQ(sync.GetState().cycleHue, hue + 1);
    }
    // A tick needs 2 ms: at 1 ms a pass, 7 ticks take 14 passes.
    const uint8_t hue = sync.GetState().cycleHue;
    clock.RunPasses(13, 1);
    EXPECT_EQ(sync.GetState().cycleHue, hue);
    clock.RunPasses(1, 1);
    EXPECT_EQ(sync.GetState().cycleHue, hue + 1);
}

TEST_F(LightingSyncThread, SyncedKeyboardsShowTheSameColoursAndOthersKeepTheirs) {
    third.page.SetLedColor(5, PackLedColor({9, 9, 9, 9}));
    GetSyncLightState().Store(Setting(0, 1, 1, 4));
    Start();
    for (int pass = 0; pass < 60; ++pass) {
        clock.RunPasses(7, 2);
        const uint32_t word = first.page.GetLedColor(0);
        for (int i = 0; i < 170; ++i) {
            ASSERT_EQ(first.page.GetLedColor(i), word) << i;
            ASSERT_EQ(second.page.GetLedColor(i), word) << i;
        }
    }
    EXPECT_NE(first.page.GetLedColor(0), 0u);
    EXPECT_EQ(third.page.GetLedColor(5), PackLedColor({9, 9, 9, 9}));
    EXPECT_EQ(third.page.GetLedColor(6), 0u);
}

TEST_F(LightingSyncThread, SleepsWithoutAnOpenSyncedDeviceAndKeepsFeedingAClosedOne) {
    first.page.CommandChannel().SetSyncFlag(0);
    second.page.CommandChannel().SetSyncFlag(0);
    tavrik::test::CloseCommandChannel(second.page.CommandChannel());
    GetSyncLightState().Store(Setting(1, 1, 0, 5));
    Start();
    clock.RunPasses(1, 2);
    EXPECT_TRUE(clock.Asleep());
    uint64_t passes = clock.Passes();
    EXPECT_TRUE(clock.Pauses().empty());
    EXPECT_EQ(first.page.GetLedColor(0), 0u);

    // Changes that give it no work cost one look each: a synced device whose
    // channel is closed, an open one that leaves the sync.
    const std::function<void()> noWork[] = {
        [&] { second.page.CommandChannel().SetSyncFlag(1); },
        [&] {
            third.page.CommandChannel().SetSyncFlag(1);
            third.page.CommandChannel().SetSyncFlag(0);
        },
    };
    for (const auto& change : noWork) {
        change();
        clock.RunPasses(1, 2);
        EXPECT_TRUE(clock.Asleep());
        EXPECT_EQ(clock.Passes(), passes + 1);
        passes = clock.Passes();
    }
    EXPECT_EQ(second.page.GetLedColor(0), 0u);

    // An open device joining the sync wakes it; it keeps the closed synced one lit.
    first.page.CommandChannel().SetSyncFlag(1);
    clock.RunPasses(2, 2);
    EXPECT_EQ(second.page.GetLedColor(0), PackLedColor({10, 20, 30, 255}));
    EXPECT_EQ(first.page.GetLedColor(0), PackLedColor({10, 20, 30, 255}));

    // The synced channel closes: asleep again; it reopens: awake.
    tavrik::test::CloseCommandChannel(first.page.CommandChannel());
    clock.RunPasses(1, 2);
    EXPECT_TRUE(clock.Asleep());
    first.page.SetLedColor(0, 0);
    ASSERT_TRUE(tavrik::test::OpenCommandChannel(first.page.CommandChannel(), *firstDevice));
    clock.RunPasses(1, 2);
    EXPECT_EQ(first.page.GetLedColor(0), PackLedColor({10, 20, 30, 255}));
}

TEST_F(LightingSyncThread, DevicesLeaveAndJoinWhileTheThreadRuns) {
    sync.SetTickSource(nullptr);  // the system clock: the thread runs freely
    GetSyncLightState().Store(Setting(3, 1, 0, 5));
    Start();
    CCorvaneKeyboardDevice& extra = spare.page;
    SetUpPage(extra);
    extra.CommandChannel().SetSyncFlag(1);
    const auto deadline = tavrik::test::Deadline(std::chrono::seconds(20));
    bool seenLit = false;
    for (int round = 0; round < 2000 || !seenLit; ++round) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        seenLit = seenLit || extra.GetLedColor(0) != 0;
        std::lock_guard lock(listLock);
        if (round % 2) {
            devices.erase(devices.begin());
            devices.push_back(&extra);
        } else {
            devices.pop_back();
            devices.insert(devices.begin(), &first.page);
        }
        GetSyncLightState().effect.store(uint8_t(round % 5));
    }
    Stop();
    EXPECT_EQ(devices.size(), 3u);
}

// The system's waits, noting when the thread has gone to sleep on its events.
class NotedSleep : public LightTickSource {
public:
    bool WaitPass(win::HANDLE stop, uint32_t ms) override { return SystemTickSource().WaitPass(stop, ms); }
    bool Pause(win::HANDLE stop, uint32_t ms) override { return SystemTickSource().Pause(stop, ms); }
    bool Sleep(win::HANDLE stop, win::HANDLE wake) override {
        {
            std::lock_guard lock(mutex);
            ++sleeps;
        }
        changed.notify_all();
        return LightTickSource::Sleep(stop, wake);
    }
    uint32_t Now() override { return SystemTickSource().Now(); }
    std::mutex mutex;
    std::condition_variable changed;
    int sleeps = 0;
};

TEST(LightingSyncStop, StopWhileIdleEndsWithinTheBound) {
    NotedSleep ticks;
    LightingSync sync([] { return std::vector<CCorvaneUSBDevice*>{}; });
    sync.SetTickSource(&ticks);
    win::HANDLE stop = win::CreateEventW(nullptr, win::TRUE, win::FALSE, nullptr);
    std::promise<void> ended;
    std::future<void> done = ended.get_future();
    std::thread thread([&] {
        sync.Run(stop);
        ended.set_value();
    });
    {
        std::unique_lock lock(ticks.mutex);
        EXPECT_TRUE(ticks.changed.wait_for(lock, tavrik::test::WaitBound(std::chrono::seconds(20)),
                                           [&] { return ticks.sleeps > 0; }));
    }
    win::SetEvent(stop);
    EXPECT_EQ(done.wait_for(tavrik::test::WaitBound(std::chrono::milliseconds(win::kWorkerStopBoundMs))),
              std::future_status::ready);
    thread.join();
    win::CloseHandle(stop);
}

}  // namespace
