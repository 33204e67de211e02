#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "capture_test_support.h"
#include "keyboard/audio/loopback_capture.h"

namespace {

using audio_test::PumpUntil;
using namespace tavrik::audio;

// A sink that keeps what the capture tells it and restarts like the analyser.
class RecordingSink : public IPlaybackCaptureEvent {
public:
    explicit RecordingSink(CLoopbackCapture& capture) : capture_(capture) {}

    std::vector<std::string> events;
    std::vector<WaveFormat> formats;
    std::vector<std::int16_t> values;

    void OnCaptureStarted(unsigned periodMs) override { events.push_back("started " + std::to_string(periodMs)); }
    void OnCaptureStopped() override { events.push_back("stopped"); }
    void OnCaptureFormat(const WaveFormat& format) override {
        events.push_back("format");
        formats.push_back(format);
    }
    void OnCaptureData(const std::uint8_t* data, std::size_t bytes) override {
        if (events.empty() || events.back() != "data") {
            events.push_back("data");
        }
        for (std::size_t i = 0; i + 1 < bytes; i += 2) {
            values.push_back(static_cast<std::int16_t>(data[i] | (data[i + 1] << 8)));
        }
    }
    void OnCaptureRestart() override {
        events.push_back("restart");
        capture_.Start();
    }

private:
    CLoopbackCapture& capture_;
};

TEST(LoopbackCapture, StartsAtOnceAndDeliversFormatThenDataInOrder) {
    auto server = std::make_shared<SimulatedAudioServer>();
    SetLoopbackBackend(server);
    server->SetDeviceFormat(44100, 2);
    std::vector<std::int16_t> ramp(30000);
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = static_cast<std::int16_t>(i);
    }
    server->PlaySamples(ramp);
    CLoopbackCapture capture;
    CaptureTiming timing = audio_test::FastTiming();
    timing.queuedPackets = 100000;  // this test checks order, not overload
    capture.SetTiming(timing);
    RecordingSink sink(capture);
    ASSERT_TRUE(capture.Init(&sink));
    ASSERT_TRUE(capture.Start());
    EXPECT_TRUE(capture.IsRunning());
    EXPECT_TRUE(capture.Start()) << "a running capture starts no second worker";

    ASSERT_TRUE(PumpUntil([&] { return sink.values.size() >= 10000; }));
    capture.Stop();
    EXPECT_FALSE(capture.IsRunning());
    EXPECT_EQ(server->LiveSources(), 0) << "the worker and its source are gone once Stop returns";
    EXPECT_EQ(server->Connections(), 1);

    ASSERT_GE(sink.events.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(sink.events.begin(), sink.events.begin() + 3),
              (std::vector<std::string>{"format", "started 5", "data"}));
    ASSERT_EQ(sink.formats.size(), 1u);
    EXPECT_EQ(sink.formats[0], MakeWaveFormat(kWaveFormatPcm, 44100, 2, 16));
    EXPECT_EQ(server->LastRecordingFormat(), sink.formats[0]);
    for (std::size_t i = 0; i < sink.values.size(); ++i) {
        ASSERT_EQ(sink.values[i], static_cast<std::int16_t>(i % ramp.size())) << "value " << i;
    }
    SetLoopbackBackend(nullptr);
}

TEST(LoopbackCapture, NotInitialisedDoesNotStart) {
    CLoopbackCapture capture;
    EXPECT_FALSE(capture.Start());
    EXPECT_FALSE(capture.Init(nullptr));
    EXPECT_FALSE(capture.IsInitialised());
    capture.Stop();  // harmless
}

// Every failure on the way to a running capture, and every break of one,
// ends in a restart after the delay; Start never waits for the worker.
struct FailureCase {
    const char* name;
    SimCaptureStep step;
    bool afterData;  // the failure strikes a capture that already runs
    int recordingsAfterRecovery;
};

// Tests name the case in their messages, not its bytes.
void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class CaptureRecovers : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CaptureRecovers, AfterTheDelay) {
    const FailureCase& c = GetParam();
    audio_test::SimCapture sim;
    sim.server->PlaySine(1500, 1000);
    if (!c.afterData) {
        sim.server->FailNext(c.step, 2);
    }
    ASSERT_TRUE(sim.manager.Start());
    if (c.afterData) {
        ASSERT_TRUE(sim.AwaitSpectra(3));
        sim.server->FailNext(c.step);
        if (c.step == SimCaptureStep::DeviceCheck) {
            sim.server->AnnounceServerChange();
        }
    }
    ASSERT_TRUE(PumpUntil([&] { return sim.server->RecordingsStarted() >= c.recordingsAfterRecovery; }))
        << "recordings " << sim.server->RecordingsStarted();
    ASSERT_TRUE(sim.AwaitSpectra(5)) << "data flows again";
    EXPECT_EQ(sim.server->RecordingsStarted(), c.recordingsAfterRecovery);
    EXPECT_LE(sim.server->LiveSources(), 1);
}

INSTANTIATE_TEST_SUITE_P(Steps, CaptureRecovers,
                         ::testing::Values(FailureCase{"connect", SimCaptureStep::Connect, false, 1},
                                           FailureCase{"format", SimCaptureStep::MixFormat, false, 1},
                                           FailureCase{"start", SimCaptureStep::StartRecording, false, 1},
                                           FailureCase{"read", SimCaptureStep::Read, false, 3},
                                           FailureCase{"read_running", SimCaptureStep::Read, true, 2},
                                           FailureCase{"device_check", SimCaptureStep::DeviceCheck, true, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CaptureRecovery, HangingConnectNeitherBlocksStartNorStop) {
    audio_test::SimCapture sim;
    CaptureTiming timing = audio_test::FastTiming();
    timing.connectTimeoutMs = 120000;  // longer than the test may run
    sim.manager.SetTiming(timing);
    sim.server->SetHangOnConnect(true);
    ASSERT_TRUE(sim.manager.Start());
    EXPECT_TRUE(sim.manager.IsRunning());
    ASSERT_TRUE(PumpUntil([&] { return sim.server->ConnectAttempts() == 1; }));
    sim.manager.Stop();  // the hanging connect gives up on the stop event
    EXPECT_FALSE(sim.manager.IsRunning());
    EXPECT_EQ(sim.server->Connections(), 0);
}

TEST(CaptureRecovery, HangingConnectTimesOutAndTheCaptureRunsOnceTheServerAnswers) {
    audio_test::SimCapture sim;
    sim.server->SetHangOnConnect(true);
    ASSERT_TRUE(sim.manager.Start());
    ASSERT_TRUE(PumpUntil([&] { return sim.server->ConnectAttempts() >= 2; })) << "tried again after the time-out";
    EXPECT_EQ(sim.server->Connections(), 0);
    sim.server->SetHangOnConnect(false);
    ASSERT_TRUE(sim.AwaitSpectra(3));
    EXPECT_EQ(sim.server->Connections(), 1);
}

TEST(CaptureRecovery, StopDuringTheRestartDelayCancelsTheRestart) {
    audio_test::SimCapture sim;
    CaptureTiming timing = audio_test::FastTiming();
    timing.backoffFirstMs = 120000;
    timing.backoffMaxMs = 120000;
    sim.manager.SetTiming(timing);
    sim.server->FailNext(SimCaptureStep::Connect);
    ASSERT_TRUE(sim.manager.Start());
    ASSERT_TRUE(PumpUntil([&] { return sim.manager.Capture().IsRestartPending(); }));
    EXPECT_FALSE(sim.manager.IsRunning()) << "the ended worker was joined";
    sim.manager.Stop();
    EXPECT_FALSE(sim.manager.Capture().IsRestartPending());
    EXPECT_EQ(sim.manager.Capture().Window(), nullptr);
    // An explicit start does not wait for the delay.
    ASSERT_TRUE(sim.manager.Start());
    ASSERT_TRUE(sim.AwaitSpectra(2));
}

TEST(CaptureDevice, CaseOnlyRenameKeepsTheCapture) {
    audio_test::SimCapture sim;
    sim.server->SetDefaultDevice("Speakers");
    ASSERT_TRUE(sim.manager.Start());
    ASSERT_TRUE(sim.AwaitSpectra(2));
    sim.server->SetDefaultDevice("SPEAKERS");
    ASSERT_TRUE(PumpUntil([&] { return sim.server->DeviceChecks() == 1; }));
    ASSERT_TRUE(sim.AwaitSpectra(5));
    EXPECT_EQ(sim.server->Connections(), 1);
    EXPECT_EQ(sim.server->RecordingsStarted(), 1);
    EXPECT_EQ(sim.server->LastConnectedDevice(), "Speakers");
}

TEST(CaptureDevice, NewDefaultDeviceRestartsTheCaptureThere) {
    audio_test::SimCapture sim;
    sim.server->SetDefaultDevice("Speakers");
    ASSERT_TRUE(sim.manager.Start());
    ASSERT_TRUE(sim.AwaitSpectra(2));
    sim.server->SetDefaultDevice("Headphones");
    ASSERT_TRUE(PumpUntil([&] { return sim.server->Connections() == 2; }));
    EXPECT_EQ(sim.server->LastConnectedDevice(), "Headphones");
    ASSERT_TRUE(sim.AwaitSpectra(3));
    EXPECT_EQ(sim.server->LiveSources(), 1);
}

TEST(CaptureStop, WhilePacketsFlowJoinsTheWorkerAndNothingFollows) {
    audio_test::SimCapture sim;
    sim.server->SetPeriodMs(1);
    sim.server->PlaySine(3000, 2000);
    ASSERT_TRUE(sim.manager.Start());
    ASSERT_TRUE(sim.AwaitSpectra(20));
    sim.manager.Stop();
    EXPECT_FALSE(sim.manager.IsRunning());
    EXPECT_EQ(sim.server->LiveSources(), 0);
    std::size_t spectra = sim.target.Spectra();
    audio_test::PumpPending();
    EXPECT_EQ(sim.target.Spectra(), spectra) << "nothing of the stopped capture arrives";
    EXPECT_FALSE(sim.manager.Capture().IsRestartPending());
}

TEST(CaptureStop, StopAndStartAgainWhilePacketsFlow) {
    audio_test::SimCapture sim;
    sim.server->SetPeriodMs(1);
    for (int round = 1; round <= 5; ++round) {
        ASSERT_TRUE(sim.manager.Start());
        ASSERT_TRUE(sim.AwaitSpectra(3));
        sim.manager.Stop();
        EXPECT_EQ(sim.server->LiveSources(), 0);
        EXPECT_EQ(sim.server->Connections(), round);
    }
}

TEST(Analyser, SpectrumOfTheSimulatedToneAtItsBin) {
    audio_test::SimCapture sim;
    // Mono 48 kHz: bin k lies at k x 48000 / 1024 Hz; bin 32 is 1500 Hz.
    sim.server->SetDeviceFormat(48000, 1);
    sim.server->PlaySine(1500, 400);
    ASSERT_TRUE(sim.manager.Start());
    // 1024 values take a few 240-value packets; then every spectrum shows the tone.
    ASSERT_TRUE(sim.AwaitSpectra(8));
    const auto* last = sim.target.LastSpectrum();
    ASSERT_NE(last, nullptr);
    ASSERT_EQ(last->values.size(), kSpectrumBins);
    EXPECT_EQ(last->wParam, reinterpret_cast<win::WPARAM>(sim.target.Handle()));
    EXPECT_NEAR(last->values[32], 16 * 400, 2);
    // Whole-number samples repeat their rounding every period: faint
    // harmonics, nothing more.
    for (std::size_t k = 0; k < kSpectrumBins; ++k) {
        if (k != 32) {
            EXPECT_LE(last->values[k], 16 * 400 / 500) << "bin " << k;
        }
    }
    EXPECT_EQ(sim.manager.CaptureFormat(), MakeWaveFormat(kWaveFormatPcm, 48000, 1, 16));
}

}  // namespace
