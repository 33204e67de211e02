// The keyboard's light and stream threads driven pass by pass: which step
// each mode runs and how often, the playlist and key overlays, the sync flag,
// a closed channel, start and stop, the mode entry, and the live colours the
// stream thread sends to the emulated keyboard.
#include <algorithm>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "link/device_packet.h"
#include "link/effect_tables.h"
#include "tests/keyboard/driven_tick_source.h"
#include "tests/keyboard/keyboard_test_support.h"

namespace {

using namespace kbtest;

// A keyboard page that records the steps, hooks and overlays it is asked for.
class RecordingKeyboard : public CCorvaneKeyboardDevice {
public:
    ~RecordingKeyboard() override { StopLightThreads(); }

    int StepSpectrum() override { return Note("Spectrum", CCorvaneKeyboardDevice::StepSpectrum()); }
    int StepLightsOff() override { return Note("LightsOff", CCorvaneKeyboardDevice::StepLightsOff()); }
    int StepFlash() override { return Note("Flash", CCorvaneKeyboardDevice::StepFlash()); }
    int StepBreathingPalette() override {
        return Note("BreathingPalette", CCorvaneKeyboardDevice::StepBreathingPalette());
    }
    int StepFlashPalette() override { return Note("FlashPalette", CCorvaneKeyboardDevice::StepFlashPalette()); }
    int StepStatic() override { return Note("Static", 0); }
    int StepKeyColorCycle() override { return Note("KeyColorCycle", 0); }
    int StepRippleFromLeft() override { return Note("RippleFromLeft", 0); }
    int StepKeyPressFade() override { return Note("KeyPressFade", 0); }
    int StepMusic() override { return Note("Music", 0); }
    int StepPhasedBreathing() override { return Note("PhasedBreathing", 0); }
    void RunEffectPlaylist() override { Note("Playlist", 0); }
    void ApplyKeyOverlays() override { Note("Overlays", 0); }
    void InitKeyBreathing() override { Note("InitKeyBreathing", 0); }
    void SeedRippleCentre() override { Note("SeedRippleCentre", 0); }
    void InitColorOffsets() override { Note("InitColorOffsets", 0); }
    void LoadCustomColors() override { Note("LoadCustomColors", 0); }
    void InitPhasedBreathing() override { Note("InitPhasedBreathing", 0); }

    // A per-key effect of its own for LED `led`, as a profile's list gives it.
    void SetKeyEffect(size_t led, const LightSetting& effect) {
        std::lock_guard guard(KeyEffectLock);
        m_keyEffects.resize(170);
        m_keyEffects[led] = effect;
    }

    std::map<std::string, int> TakeCalls() {
        std::lock_guard lock(mutex_);
        return std::exchange(calls_, {});
    }

private:
    int Note(const std::string& name, int result) {
        std::lock_guard lock(mutex_);
        ++calls_[name];
        return result;
    }
    std::mutex mutex_;
    std::map<std::string, int> calls_;
};

class LightThreads : public ::testing::Test {
protected:
    void SetUp() override {
        SetUpPage(page);
        page.CommandChannel().m_timeouts = FastTimeouts();
        ASSERT_TRUE(tavrik::test::OpenCommandChannel(page.CommandChannel(), device));
        page.SetTickSources(&lightTicks, &streamTicks);
    }
    void TearDown() override {
        page.StopLightThreads();
        tavrik::test::CloseCommandChannel(page.CommandChannel());
    }
    // The mode as the profile operations set it: document, page and running state.
    static void SetModeOf(CCorvaneKeyboardDevice& keyboard, uint8_t mode, uint8_t speed) {
        LightSetting s;
        s.mode = mode;
        s.speed = speed;
        s.brightness = 5;
        s.red = 10;
        s.green = 20;
        s.blue = 30;
        keyboard.SetLightSetting(s);
        keyboard.ApplyLightProfile();
        ASSERT_EQ(keyboard.GetRunningMode(), mode);
    }
    void SetMode(uint8_t mode, uint8_t speed) { SetModeOf(page, mode, speed); }
    // Starts the threads and lets the light thread run one pass, after which
    // it sleeps having rendered nothing; returns the passes begun so far.
    uint64_t StartAndExpectSleep() {
        page.StartLightThreads();
        page.TakeCalls();
        lightTicks.RunPasses(1, 2);
        EXPECT_TRUE(lightTicks.Asleep());
        EXPECT_TRUE(page.TakeCalls().empty());
        return lightTicks.Passes();
    }

    tavrik::devsim::SimFixture sim;
    Emulator& device = sim.Plug(ProductKind::KeyboardCable);
    DrivenTickSource lightTicks;
    DrivenTickSource streamTicks;
    RecordingKeyboard page;
};

struct PacingCase {
    uint8_t mode;
    uint8_t speed;
    uint32_t advanceMs;  // clock movement before each pass
    int passes;
    const char* step;  // the step the mode runs
    int steps;
};

TEST_F(LightThreads, EachModeStepsWhenItsThresholdOfTicksHasPassed) {
    const PacingCase cases[] = {
        {3, 4, 0, 6, "Spectrum", 6},   // threshold 0: every pass
        {3, 5, 0, 3, "Spectrum", 3},   // the keyboard's speed 5 reads threshold 0
        {3, 0, 2, 16, "Spectrum", 2},  // 8 ticks of 2 ms
        {3, 0, 1, 15, "Spectrum", 0},  // a tick needs 2 ms: one every second pass
        {3, 0, 1, 16, "Spectrum", 1},
        {30, 0, 0, 5, "PhasedBreathing", 5},  // every pass at any speed
        {21, 4, 2, 6, "Music", 3},            // every second tick
        {21, 4, 0, 6, "Music", 0},
        {23, 3, 2, 6, "Flash", 6},              // threshold 1
        {26, 1, 2, 10, "BreathingPalette", 2},  // row 2: 5 ticks
        {27, 2, 2, 9, "FlashPalette", 3},       // row 23: 3 ticks
        {20, 4, 0, 4, "LightsOff", 4},
        {1, 4, 0, 3, "Static", 3},
        {15, 4, 2, 4, "KeyColorCycle", 4},   // row 15: 1 tick at speed 4
        {16, 0, 2, 8, "RippleFromLeft", 2},  // row 16: 4 ticks
        {25, 2, 2, 6, "KeyPressFade", 2},
        {0, 0, 0, 4, "Playlist", 4},  // the playlist on every pass
        {28, 0, 0, 4, "Playlist", 4},
        {31, 0, 0, 4, "Playlist", 4},
        {200, 4, 0, 2, "Playlist", 2},
    };
    for (const PacingCase& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + " speed " + std::to_string(c.speed));
        SetMode(c.mode, c.speed);
        page.StartLightThreads();
        page.TakeCalls();
        lightTicks.RunPasses(c.passes, c.advanceMs);
        auto calls = page.TakeCalls();
        EXPECT_EQ(calls[c.step], c.steps);
        // Outside the streamed modes a wake runs a pass for every millisecond
        // that passed (one at least); in them, one pass.
        const bool streamed = c.mode == 21 || c.mode == 22;
        EXPECT_EQ(calls["Overlays"], streamed ? c.passes : c.passes * int(std::max(c.advanceMs, 1u)));
        calls.erase(c.step);
        calls.erase("Overlays");
        calls.erase(std::string("InitColorOffsets"));
        for (const auto& [name, n] : calls) EXPECT_EQ(n, 0) << name << " ran too";
        page.StopLightThreads();
    }
}

TEST_F(LightThreads, BaseStepsPaintTheLedVector) {
    SetMode(3, 4);
    page.StartLightThreads();
    lightTicks.RunPasses(1);
    const uint8_t hue = CCorvaneUSBDevice::StepCounter(0, 192, 0, 1);
    const LedColor led = page.Leds().GetLed(0);
    EXPECT_EQ(led.r, ColorWheel[hue].r);
    EXPECT_EQ(led.g, ColorWheel[hue].g);
    EXPECT_EQ(led.b, ColorWheel[hue].b);
    EXPECT_EQ(led.brightness, 255);
    EXPECT_EQ(PackLedColor(page.Leds().GetLed(169)), PackLedColor(led));

    SetMode(20, 4);
    lightTicks.RunPasses(1);
    for (int i : {0, 85, 169}) EXPECT_EQ(page.Leds().GetLedColor(i), 0u) << i;
}

TEST_F(LightThreads, SyncFlagStopsAllRenderingAndTheThreadSleepsUntilItIsCleared) {
    SetMode(3, 4);
    page.CommandChannel().SetSyncFlag(1);
    const uint64_t passes = StartAndExpectSleep();
    EXPECT_EQ(page.Leds().GetLedColor(0), 0u);

    // A change on another channel wakes it for one look, and it sleeps again.
    CCorvaneKeyboardDevice other;
    other.CommandChannel().SetSyncFlag(1);
    lightTicks.RunPasses(1, 2);
    EXPECT_TRUE(lightTicks.Asleep());
    EXPECT_EQ(lightTicks.Passes(), passes + 1);
    EXPECT_TRUE(page.TakeCalls().empty());

    page.CommandChannel().SetSyncFlag(0);
    lightTicks.RunPasses(1);
    const auto calls = page.TakeCalls();
    EXPECT_EQ(calls.at("Spectrum"), 1);
    EXPECT_EQ(calls.at("Overlays"), 1);
}

struct UnseenCase {
    const char* name;
    std::function<void(RecordingKeyboard&, bool)> see;  // shows the page, or hides it
};

TEST_F(LightThreads, UnseenPageSleepsUnlessTheModeIsStreamed) {
    const UnseenCase cases[] = {
        {"window inactive", [](RecordingKeyboard& p, bool seen) { p.SetWindowActive(seen ? 1 : 0); }},
        {"another page shown", [](RecordingKeyboard& p, bool seen) { p.SetPageShown(seen); }},
    };
    for (const UnseenCase& c : cases) {
        SCOPED_TRACE(c.name);
        // Mode 3 only animates the page: unseen, the thread sleeps until the
        // page is seen again.
        SetMode(3, 4);
        c.see(page, false);
        StartAndExpectSleep();

        // Seen again, the wake runs the passes of the 2 ms that passed since.
        c.see(page, true);
        lightTicks.RunPasses(1, 2);
        EXPECT_EQ(page.TakeCalls()["Spectrum"], 2);

        // The music mode's frames go to the keyboard: it steps whether or not
        // the page is seen, and a change to it wakes a sleeping thread.
        c.see(page, false);
        lightTicks.RunPasses(1, 2);
        EXPECT_TRUE(lightTicks.Asleep());
        SetMode(21, 0);
        page.TakeCalls();
        lightTicks.RunPasses(4, 2);
        EXPECT_EQ(page.TakeCalls()["Music"], 2);
        EXPECT_FALSE(lightTicks.AsleepNow());
        page.StopLightThreads();
        c.see(page, true);
    }
}

// The waits of the light thread: a frame outside the streamed modes, whose
// wake runs the passes of the milliseconds that passed; a pass in them.
TEST_F(LightThreads, PreviewModesWaitAFrame) {
    for (uint8_t mode : {3, 0, 14}) {
        SCOPED_TRACE(int(mode));
        SetMode(mode, 4);
        page.StartLightThreads();
        page.TakeCalls();
        const size_t waits = lightTicks.Waits().size();
        lightTicks.RunPasses(3, 20);
        EXPECT_EQ(page.TakeCalls()["Overlays"], 3 * 20);
        const std::vector<uint32_t> all = lightTicks.Waits();
        ASSERT_GE(all.size(), waits + 3);
        for (size_t k = waits; k < all.size(); ++k) EXPECT_EQ(all[k], kPreviewFrameMs) << "wait " << k;
        page.StopLightThreads();
    }
}

// The milliseconds at which a thread with a pass every millisecond from
// `start` runs the steps of a mode with `due` ticks per step, up to `end`.
std::vector<uint32_t> StepTimesOfAPassEveryMillisecond(uint32_t start, uint32_t end, uint32_t due) {
    std::vector<uint32_t> times;
    uint32_t last = start, ticks = 0;
    for (uint32_t now = start + 1; now <= end; ++now) {
        if (now - last > 1) {
            last = now;
            ++ticks;
        }
        if (ticks < due) continue;
        ticks = 0;
        times.push_back(now);
    }
    return times;
}

// In the streamed modes without per-key effects the thread sleeps from step
// to step, and its steps fall on the milliseconds of a pass every
// millisecond, also when a wake comes early; a late wake steps at once.
TEST_F(LightThreads, StreamedModesSleepFromStepToStepOnTheMillisecondsOfAPassEveryMillisecond) {
    const struct {
        uint8_t speed;
        int lateness;  // ms after the wait the thread asked for that each wake comes (before it, when negative)
    } cases[] = {{4, 0}, {0, 0}, {4, -1}, {4, -3}, {4, 1}, {0, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE("speed " + std::to_string(c.speed) + " lateness " + std::to_string(c.lateness));
        SetMode(21, c.speed);
        const uint32_t start = lightTicks.Now();
        page.StartLightThreads();
        ASSERT_TRUE(lightTicks.WaitingAfter(0));
        page.TakeCalls();
        std::vector<uint32_t> stepTimes;
        int wakes = 0;
        while (lightTicks.Now() - start < 200) {
            const uint32_t asked = lightTicks.Waits().back();
            lightTicks.RunPasses(1, uint32_t(std::max(1, int(asked) + c.lateness)));
            ++wakes;
            const int steps = page.TakeCalls()["Music"];
            ASSERT_LE(steps, 1);
            if (steps == 1) stepTimes.push_back(lightTicks.Now());
        }
        if (c.lateness <= 0) {
            EXPECT_EQ(stepTimes, StepTimesOfAPassEveryMillisecond(start, lightTicks.Now(), 2));
        } else {
            EXPECT_EQ(int(stepTimes.size()), wakes) << "a late wake that did not step";
        }
        if (c.lateness == 0) EXPECT_EQ(int(stepTimes.size()), wakes) << "a wake without a step";
        page.StopLightThreads();
    }
}

// Per-key effects are drawn on every pass: with them the streamed modes pass every millisecond.
TEST_F(LightThreads, StreamedModesWithPerKeyEffectsPassEveryMillisecond) {
    SetMode(21, 4);
    LightSetting breathing;
    breathing.present = true;
    page.SetKeyEffect(7, breathing);
    page.StartLightThreads();
    const size_t waits = lightTicks.Waits().size();
    lightTicks.RunPasses(8, 1);
    const std::vector<uint32_t> all = lightTicks.Waits();
    ASSERT_GE(all.size(), waits + 8);
    for (size_t k = waits; k < all.size(); ++k) EXPECT_EQ(all[k], 1u) << "wait " << k;
    const auto calls = page.TakeCalls();
    EXPECT_EQ(calls.at("Overlays"), 8);
    EXPECT_EQ(calls.at("Music"), 2);
}

// A stall is not caught up in a burst: a wake runs two frames of passes at most.
TEST_F(LightThreads, PreviewCatchUpEndsAfterTwoFrames) {
    SetMode(3, 4);
    page.StartLightThreads();
    page.TakeCalls();
    lightTicks.RunPasses(1, 500);
    EXPECT_EQ(page.TakeCalls()["Spectrum"], 40);
}

// A mode change wakes a thread that waits a frame: the streamed mode gets its
// passes at once, not a frame later.
TEST_F(LightThreads, ChangeToAStreamedModeEndsTheFrameWait) {
    SetMode(3, 4);
    lightTicks.EndFramesOnWake(true);
    page.StartLightThreads();
    lightTicks.RunPasses(1, 20);
    page.TakeCalls();
    const size_t waits = lightTicks.Waits().size();
    ASSERT_EQ(lightTicks.Waits().back(), 20u);

    SetMode(21, 0);
    // Woken without a granted pass, it runs one pass and waits until its
    // first step is due, two ticks of 2 ms later.
    ASSERT_TRUE(lightTicks.WaitingAfter(waits));
    EXPECT_EQ(lightTicks.Waits().back(), 4u);
    EXPECT_EQ(page.TakeCalls()["Overlays"], 1);
    lightTicks.RunPasses(4, 2);
    const auto calls = page.TakeCalls();
    EXPECT_EQ(calls.at("Music"), 2);
    EXPECT_EQ(calls.at("Overlays"), 4);
    for (size_t k = waits; k < lightTicks.Waits().size(); ++k) EXPECT_LT(lightTicks.Waits()[k], kPreviewFrameMs) << k;
}

// A keyboard page with its light thread on a clock of its own.
struct ClockedKeyboard {
    explicit ClockedKeyboard(tavrik::devsim::SimFixture& sim) : device(sim.Plug(ProductKind::KeyboardCable)) {
        SetUpPage(page);
        page.CommandChannel().m_timeouts = FastTimeouts();
        EXPECT_TRUE(tavrik::test::OpenCommandChannel(page.CommandChannel(), device));
        page.SetTickSources(&ticks, &streamTicks);
        page.SetRandomSource([n = uint32_t(7)]() mutable { return n = n * 1103515245u + 12345u; });
    }
    ~ClockedKeyboard() {
        page.StopLightThreads();
        tavrik::test::CloseCommandChannel(page.CommandChannel());
    }
    std::vector<uint32_t> Leds() {
        std::vector<uint32_t> out;
        for (int i = 0; i < 170; ++i) out.push_back(page.Leds().GetLedColor(i));
        return out;
    }
    Emulator& device;
    DrivenTickSource ticks;
    DrivenTickSource streamTicks;
    CCorvaneKeyboardDevice page;
};

// The passes a frame's wake runs leave the LEDs as a pass every millisecond
// left them, frame after frame; the flashes count their period on the
// passes' own times.
TEST_F(LightThreads, FrameOfPassesPaintsWhatAPassEveryMillisecondPainted) {
    const struct {
        uint8_t mode;
        uint8_t speed;
    } cases[] = {{2, 0},  {2, 4},  {3, 0},  {5, 2},  {7, 3},  {10, 1}, {11, 4}, {12, 2}, {13, 0},
                 {14, 3}, {16, 2}, {18, 4}, {23, 4}, {24, 1}, {26, 2}, {27, 4}, {29, 3}, {30, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + " speed " + std::to_string(c.speed));
        ClockedKeyboard batched(sim);
        ClockedKeyboard stepped(sim);
        SetModeOf(batched.page, c.mode, c.speed);
        SetModeOf(stepped.page, c.mode, c.speed);
        batched.page.StartLightThreads();
        stepped.page.StartLightThreads();
        std::vector<uint32_t> shown = batched.Leds();
        int changes = 0;
        // Long enough for the fastest flash (1.4 s) to turn twice.
        for (int frame = 0; frame < 160; ++frame) {
            SCOPED_TRACE(frame);
            batched.ticks.RunPasses(1, 20);
            stepped.ticks.RunPasses(20, 1);
            ASSERT_EQ(batched.ticks.Now(), stepped.ticks.Now());
            const std::vector<uint32_t> leds = batched.Leds();
            ASSERT_EQ(leds, stepped.Leds());
            if (leds != shown) ++changes;
            shown = leds;
        }
        EXPECT_GE(changes, 2) << "the mode animated (almost) nothing: the comparison says little";
    }
}

struct ClosedChannelCase {
    uint8_t mode;
    bool windowActive;
};

void PrintTo(const ClosedChannelCase& c, std::ostream* out) {
    *out << "mode " << int(c.mode) << (c.windowActive ? ", window active" : ", window inactive");
}

TEST_F(LightThreads, ClosedChannelSleepsWithoutPassesUntilTheChannelOpens) {
    const ClosedChannelCase cases[] = {{0, true}, {3, true}, {21, false}, {22, true}};
    for (const ClosedChannelCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c));
        SetMode(c.mode, 4);
        page.SetWindowActive(c.windowActive ? 1 : 0);
        tavrik::test::CloseCommandChannel(page.CommandChannel());
        const uint64_t passes = StartAndExpectSleep();
        EXPECT_TRUE(lightTicks.Pauses().empty());
        // Changes that give it no work cost one look, and it sleeps again.
        page.SetWindowActive(1);
        page.SetLightingEnabled(1);
        lightTicks.RunPasses(1, 2);
        EXPECT_TRUE(lightTicks.Asleep());
        EXPECT_EQ(lightTicks.Passes(), passes + 1);
        EXPECT_TRUE(page.TakeCalls().empty());

        // The open wakes it, and its passes render again.
        ASSERT_TRUE(tavrik::test::OpenCommandChannel(page.CommandChannel(), device));
        lightTicks.RunPasses(2, 2);
        const bool streamed = c.mode == 21 || c.mode == 22;
        EXPECT_EQ(page.TakeCalls()["Overlays"], streamed ? 2 : 4) << "one pass a wake, or one a millisecond";
        page.StopLightThreads();
    }
}

TEST_F(LightThreads, StopOfThreadsNeverStartedReturnsAtOnce) {
    CCorvaneKeyboardDevice fresh;
    fresh.StopLightThreads();
    EXPECT_EQ(fresh.RunningLightThreads(), 0);
}

TEST_F(LightThreads, RestartLeavesExactlyTwoThreadsAndStopJoinsThem) {
    page.StartLightThreads();
    EXPECT_EQ(page.RunningLightThreads(), 2);
    page.StartLightThreads();
    EXPECT_EQ(page.RunningLightThreads(), 2);
    lightTicks.RunPasses(1);
    page.StopLightThreads();
    EXPECT_EQ(page.RunningLightThreads(), 0);
    page.StopLightThreads();
    EXPECT_EQ(page.RunningLightThreads(), 0);
}

TEST_F(LightThreads, ModeEntryResetsTheEffectStateOnAChangeAndAlwaysFor19) {
    SetMode(12, 0);
    EXPECT_EQ(page.TakeCalls()["SeedRippleCentre"], 1);
    page.Effects().m_rippleBits[1][5] = 0x21;
    page.Effects().m_effectPhase = 7;
    page.Leds().m_keyLevel[3] = 9;
    page.Leds().m_effectAuxA = 4;

    SetMode(12, 1);  // the same mode: nothing is reset
    EXPECT_TRUE(page.TakeCalls().empty());
    EXPECT_EQ(page.Effects().m_rippleBits[1][5], 0x21);

    SetMode(19, 0);
    auto calls = page.TakeCalls();
    EXPECT_EQ(calls["LoadCustomColors"], 1);
    EXPECT_EQ(calls["InitColorOffsets"], 1);
    EXPECT_EQ(page.Effects().m_rippleBits[1][5], 0);
    EXPECT_EQ(page.Effects().m_effectPhase, 0);
    EXPECT_EQ(page.Leds().m_keyLevel[3], 0);
    EXPECT_EQ(page.Leds().m_effectAuxA, 4) << "kept by a reset";
    for (int32_t armed : page.Effects().m_musicColumnArmed) EXPECT_EQ(armed, 1);

    page.Effects().m_rippleBits[0][0] = 1;
    SetMode(19, 0);  // 19 again: reset and entered again
    calls = page.TakeCalls();
    EXPECT_EQ(calls["LoadCustomColors"], 1);
    EXPECT_EQ(page.Effects().m_rippleBits[0][0], 0);

    const struct {
        uint8_t mode;
        const char* hook;
    } hooks[] = {
        {5, "InitKeyBreathing"}, {30, "InitPhasedBreathing"}, {15, "InitColorOffsets"}, {3, "InitColorOffsets"}};
    for (const auto& h : hooks) {
        SetMode(h.mode, 0);
        calls = page.TakeCalls();
        EXPECT_EQ(calls[h.hook], 1) << int(h.mode);
        EXPECT_EQ(calls.size(), 1u) << int(h.mode);
    }
}

// The stream thread against the emulated keyboard.
class StreamThread : public LightThreads {
protected:
    void SetUp() override {
        LightThreads::SetUp();
        ASSERT_EQ(page.ReadDeviceTables(), 1);
        device.ClearRecord();
    }
    size_t Sent() { return device.Requests(CMD_STREAM_COLORS).size(); }
};

constexpr size_t kPacketsPerFrame = (170 * 3 + kWiredChunkSize - 1) / kWiredChunkSize;

TEST_F(StreamThread, SendsLiveColoursOnlyInTheMusicAndScreenModesAndSleepsInTheOthers) {
    const struct {
        uint8_t mode;
        bool sends;
    } cases[] = {{21, true}, {3, false}, {22, true}, {0, false}, {21, true}, {19, false}};
    page.StartLightThreads();
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.mode));
        // The mode change wakes a thread that slept in the previous mode.
        SetMode(c.mode, 2);
        const size_t before = Sent();
        if (c.sends) {
            streamTicks.RunPasses(3, 20);
            EXPECT_EQ(Sent() - before, 3 * kPacketsPerFrame);
        } else {
            streamTicks.RunPasses(1, 20);
            EXPECT_TRUE(streamTicks.Asleep());
            EXPECT_EQ(Sent(), before);
        }
    }
    // Each frame came a period after the one before.
    const auto pauses = streamTicks.Pauses();
    EXPECT_EQ(pauses.size(), 9u);
    for (uint32_t ms : pauses) EXPECT_EQ(ms, 20u);
}

TEST_F(StreamThread, FramesKeepTheirPeriodWhateverTheSendTook) {
    SetMode(21, 2);
    page.StartLightThreads();
    // Time each send takes; a send longer than the period (25) delays only
    // the next frame, which then goes at once.
    const uint32_t sendMs[] = {4, 7, 19, 25, 3, 0, 12};
    streamTicks.RunPasses(1, 0);
    const uint32_t firstFrame = streamTicks.Now() + streamTicks.Pauses().back();
    uint32_t frameStart = firstFrame;
    for (size_t k = 0; k < std::size(sendMs); ++k) {
        SCOPED_TRACE(k);
        streamTicks.RunPasses(1, frameStart + sendMs[k] - streamTicks.Now());
        const uint32_t now = streamTicks.Now();
        const uint32_t due = firstFrame + 20 * uint32_t(k + 1);
        EXPECT_EQ(streamTicks.Pauses().back(), now < due ? due - now : 0u);
        frameStart = now + streamTicks.Pauses().back();
    }
    EXPECT_EQ(Sent(), (std::size(sendMs) + 1) * kPacketsPerFrame);
}

// In a streamed mode the thread still has nothing to send with the channel
// closed or the lighting off: it sleeps without passes, and the change that
// gives it work wakes it.
TEST_F(StreamThread, ClosedChannelOrLightingOffSleepsUntilTheChangeThatGivesItWork) {
    struct Case {
        const char* name;
        std::function<void()> takeWork;
        std::function<void()> giveWork;
    };
    const Case cases[] = {
        {"closed channel", [&] { tavrik::test::CloseCommandChannel(page.CommandChannel()); },
         [&] { ASSERT_TRUE(tavrik::test::OpenCommandChannel(page.CommandChannel(), device)); }},
        {"lighting off", [&] { page.SetLightingEnabled(0); }, [&] { page.SetLightingEnabled(1); }},
    };
    SetMode(22, 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.takeWork();
        page.StartLightThreads();
        streamTicks.RunPasses(1, 20);
        EXPECT_TRUE(streamTicks.Asleep());
        const uint64_t passes = streamTicks.Passes();
        // A mode change that leaves it without work costs one look.
        SetMode(21, 2);
        streamTicks.RunPasses(1, 20);
        EXPECT_TRUE(streamTicks.Asleep());
        EXPECT_EQ(streamTicks.Passes(), passes + 1);

        const size_t before = Sent();
        c.giveWork();
        streamTicks.RunPasses(2, 20);
        EXPECT_EQ(Sent() - before, 2 * kPacketsPerFrame);
        page.StopLightThreads();
        SetMode(22, 2);
    }
}

TEST_F(StreamThread, FailedSendPausesAndStopEndsThePause) {
    SetMode(21, 2);
    device.Unplug();
    page.StartLightThreads();
    // Each pass comes after the frame's wait and the failed send's pause: the
    // next frame is counted afresh from there, without a burst to catch up.
    streamTicks.RunPasses(2, 220);
    EXPECT_EQ(streamTicks.Pauses(), (std::vector<uint32_t>{20, 200, 20, 200}));
    page.StopLightThreads();
    EXPECT_EQ(page.RunningLightThreads(), 0);
}

}  // namespace
