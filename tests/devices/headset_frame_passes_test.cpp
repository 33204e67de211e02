// The headset's light passes run by its frames: its light thread sleeps, and
// each frame first runs the passes the thread would have run every 2 ms since
// the last, each at its own time, so the emulated headset receives what a pass
// every 2 ms painted.
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tests/devices/lit_device_test_support.h"
#include "tests/keyboard/driven_tick_source.h"

namespace {

using namespace devicestest;
using kbtest::DrivenTickSource;
using tavrik::devsim::LedFrameView;
using tavrik::devsim::ViewLedFrame;

constexpr uint32_t kPassMs = 2;

struct ModeCase {
    const char* name;
    uint8_t mode;
    uint8_t speed;
    uint8_t colorful;
};

void PrintTo(const ModeCase& c, std::ostream* out) { *out << c.name; }

void SetMode(CCorvaneLitDevice& page, const ModeCase& c) {
    LightSetting s;
    s.mode = c.mode;
    s.speed = c.speed;
    s.brightness = 5;
    s.colorful = c.colorful;
    s.direction = 1;
    s.red = 200;
    s.green = 100;
    s.blue = 50;
    page.SetLightSetting(s);
    HeadsetLightBlock block = page.GetLightBlock();
    block[light_block::kMode] = c.mode;
    block[light_block::kSpeed] = c.speed;
    block[light_block::kBrightness] = 5;
    block[light_block::kColorful] = c.colorful;
    page.SetLightBlock(block);
}

class HeadsetFramePasses : public ::testing::TestWithParam<ModeCase> {
protected:
    void SetUp() override {
        SetMode(*framed.page, GetParam());
        SetMode(*stepped.page, GetParam());
        framed.page->SetTickSource(&ticks);
        // Hidden to the tray, the window shows no page.
        framed.page->SetPageShown(false);
        framed.page->StartLightThread();
        ticks.RunPasses(1, 0);
        ASSERT_TRUE(ticks.Asleep());
        passesBegun = ticks.Passes();
    }

    // The reference: a pass every 2 ms from the thread's start up to `now`.
    void StepTo(uint32_t now) {
        while (now - steppedAt >= kPassMs) {
            steppedAt += kPassMs;
            stepped.page->RunLightPass(steppedPasses, steppedAt);
        }
    }

    static LedFrameView Frame(Emulator& device) {
        auto lock = device.Lock();
        return ViewLedFrame(device.Memory());
    }

    // The clock outlives the page whose thread waits on it.
    DrivenTickSource ticks;
    BoundPage framed{ProductKind::Headset};
    BoundPage stepped{ProductKind::Headset};
    uint64_t passesBegun = 0;
    uint32_t steppedAt = 1000;  // the driven clock's start
    uint32_t steppedPasses = 0;
};

const ModeCase kModes[] = {
    {"WaveColourful", CCorvaneLitDevice::kModeWave, 4, 1},
    {"WavePlainFast", CCorvaneLitDevice::kModeWave, 6, 0},
    {"Spectrum", CCorvaneLitDevice::kModeSpectrum, 5, 1},
    {"Breathing", CCorvaneLitDevice::kModeBreathing, 3, 0},
    {"RingChase", CCorvaneLitDevice::kModeRingChase, 6, 1},
    {"RunningLight", CCorvaneLitDevice::kModeRunningLight, 5, 1},
    {"Flash", CCorvaneLitDevice::kModeFlash, 4, 1},
};

INSTANTIATE_TEST_SUITE_P(Modes, HeadsetFramePasses, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(HeadsetFramePasses, FramesCarryWhatAPassEvery2MsPaintedWhileTheThreadSleeps) {
    // Frames on time, late, early and after a stall of the window, for
    // long enough that the fastest flash (1.4 s) turns.
    const uint32_t gaps[] = {20, 20, 17, 23, 20, 1, 19, 45, 20, 20, 60, 20, 20, 20};
    std::vector<uint32_t> all;
    for (int round = 0; round < 10; ++round) all.insert(all.end(), std::begin(gaps), std::end(gaps));
    LedFrameView first;
    bool changed = false;
    uint32_t frames = 0;
    for (uint32_t gap : all) {
        SCOPED_TRACE("frame " + std::to_string(frames) + " at +" + std::to_string(gap) + " ms");
        ticks.Advance(gap);
        framed.page->SendLedFrame();
        StepTo(ticks.Now());
        stepped.page->SendLedFrame();
        ++frames;
        const LedFrameView sent = Frame(framed.device);
        const LedFrameView expected = Frame(stepped.device);
        ASSERT_EQ(sent.errors, 0u) << sent.lastError;
        ASSERT_EQ(sent.frames, frames);
        EXPECT_EQ(sent.leds, expected.leds);
        if (frames == 1) first = sent;
        changed = changed || sent.leds != first.leds;
    }
    EXPECT_TRUE(changed) << "the mode animated nothing: the comparison says nothing";
    EXPECT_TRUE(ticks.AsleepNow());
    EXPECT_EQ(ticks.Passes(), passesBegun) << "the thread woke for a pass";
}

// While the lighting sync drives the LEDs or the channel is closed the thread
// would sleep: a frame runs no passes, and that time is not caught up later.
TEST_P(HeadsetFramePasses, NoPassesWhileSyncedOrClosedAndNoCatchUpAfter) {
    struct Pause {
        const char* name;
        std::function<void()> begin;
        std::function<void()> end;
    };
    CDeviceProtocol& channel = framed.page->CommandChannel();
    const Pause pauses[] = {
        {"synced", [&] { channel.SetSyncFlag(1); }, [&] { channel.SetSyncFlag(0); }},
        {"closed", [&] { tavrik::test::CloseCommandChannel(channel); },
         [&] { ASSERT_TRUE(tavrik::test::OpenCommandChannel(channel, framed.device)); }},
    };
    for (const Pause& p : pauses) {
        SCOPED_TRACE(p.name);
        ticks.Advance(20);
        framed.page->SendLedFrame();
        StepTo(ticks.Now());
        const std::vector<uint32_t> before = [&] {
            std::vector<uint32_t> leds;
            for (int i = 0; i < CCorvaneHS6533Device::kHeadsetLeds; ++i)
                leds.push_back(framed.page->Leds().GetLedColor(i));
            return leds;
        }();
        p.begin();
        ticks.Advance(300);
        framed.page->SendLedFrame();
        for (int i = 0; i < CCorvaneHS6533Device::kHeadsetLeds; ++i)
            EXPECT_EQ(framed.page->Leds().GetLedColor(i), before[size_t(i)]) << "LED " << i << " stepped";
        p.end();
        // The reference skips the same time, without passes.
        steppedAt += 300;
        ticks.Advance(20);
        framed.page->SendLedFrame();
        StepTo(ticks.Now());
        for (int i = 0; i < CCorvaneHS6533Device::kHeadsetLeds; ++i)
            EXPECT_EQ(framed.page->Leds().GetLedColor(i), stepped.page->Leds().GetLedColor(i)) << "LED " << i;
    }
}

// A page whose light thread does not run (stopped, or never started) leaves
// its LEDs to whoever set them: a frame runs no passes.
TEST(HeadsetFrame, WithoutItsLightThreadAFrameRunsNoPasses) {
    DrivenTickSource ticks;
    BoundPage bound{ProductKind::Headset};
    SetMode(*bound.page, kModes[1]);
    bound.page->SetTickSource(&ticks);
    bound.page->StartLightThread();
    ticks.RunPasses(1, 0);
    ASSERT_TRUE(ticks.Asleep());
    bound.page->StopLightThread();
    std::vector<uint32_t> set;
    for (int i = 0; i < CCorvaneHS6533Device::kHeadsetLeds; ++i) {
        bound.page->SetLedColor(i, PackLedColor({uint8_t(10 + i), uint8_t(20 + i), uint8_t(30 + i), 255}));
        set.push_back(bound.page->Leds().GetLedColor(i));
    }
    ticks.Advance(200);
    bound.page->SendLedFrame();
    for (int i = 0; i < CCorvaneHS6533Device::kHeadsetLeds; ++i)
        EXPECT_EQ(bound.page->Leds().GetLedColor(i), set[size_t(i)]) << i;
}

}  // namespace
