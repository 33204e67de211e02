// The capture on a real PulseAudio server: a private daemon with one null
// sink, its native socket in a temporary folder, a tone played into it with
// paplay and the spectrum of the sink's monitor checked.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "capture_test_support.h"
#include "platform/audio/loopback_source.h"
#include "tests/support/pulse_server.h"
#include "tests/support/required_service.h"
#include "tests/support/temp_home.h"

namespace {

namespace fs = std::filesystem;

constexpr unsigned kRate = tavrik::test::PrivatePulseServer::kRate;
constexpr unsigned kChannels = tavrik::test::PrivatePulseServer::kChannels;
// Stereo values are analysed interleaved: 1024 values hold 512 frames, so
// bin k lies at k x 48000 / 512 Hz. Bin 20 is 1875 Hz, inside the keyboard's
// band 4 (bins 20 to 23).
constexpr int kToneBin = 20;
constexpr double kToneHz = kToneBin * static_cast<double>(kRate) * kChannels / 1024.0;
constexpr double kAmplitude = 300;

using tavrik::test::FindProgram;
using tavrik::test::PrivatePulseServer;
using Child = tavrik::test::SpawnedProcess;

void WriteToneWav(const fs::path& path, double seconds) {
    tavrik::test::WriteToneWav(path, kToneHz, kAmplitude, seconds);
}

class PulseCapture : public ::testing::Test {
protected:
    void SetUp() override {
        player_ = FindProgram("paplay");
        if (!PrivatePulseServer::Installed()) {
            TAVRIK_MISSING_SERVICE("pulseaudio and paplay are not installed: run tools/setup");
        }
        server_ = std::make_unique<PrivatePulseServer>(dir_.Path());
        ASSERT_TRUE(server_->Serving()) << "pulseaudio could not be started or ended before it served";
        setenv("PULSE_SERVER", server_->Address().c_str(), 1);
        tavrik::audio::SetLoopbackBackend(nullptr);  // the real backend
    }

    void TearDown() override {
        player_process_.reset();
        server_.reset();
        unsetenv("PULSE_SERVER");
    }

    // Runs pactl against the private server to its end; its exit status.
    int Pactl(const std::vector<std::string>& args) {
        std::vector<std::string> argv{FindProgram("pactl")};
        argv.insert(argv.end(), args.begin(), args.end());
        return Child(argv, {}).Wait();
    }

    void Play(const fs::path& wav) {
        player_process_ =
            std::make_unique<Child>(std::vector<std::string>{player_, wav.string()}, std::vector<std::string>{});
        ASSERT_TRUE(player_process_->Started());
    }

    tavrik::test::TempDir dir_{"tavrik-pulse"};
    std::string player_;
    std::unique_ptr<PrivatePulseServer> server_;
    std::unique_ptr<Child> player_process_;
};

bool ShowsTheTone(const std::vector<std::int32_t>& spectrum) {
    auto peak = std::max_element(spectrum.begin() + 1, spectrum.end());
    if (peak - spectrum.begin() != kToneBin) {
        return false;
    }
    // Interleaving holds each value twice, which costs 0.2 % at bin 20.
    if (std::abs(*peak - 16 * kAmplitude) > 0.05 * 16 * kAmplitude) {
        return false;
    }
    // The keyboard's bands cover bins 0 to 123: the tone stands alone there.
    for (int k = 1; k < 124; ++k) {
        if (k != kToneBin && spectrum[k] > *peak / 20) {
            return false;
        }
    }
    return true;
}

// Serves messages until a spectrum after `seen` shows the tone.
bool AwaitTone(const audio_test::CopyDataWindow& target, std::size_t seen) {
    return audio_test::PumpUntil(
        [&] {
            for (; seen < target.blocks.size(); ++seen) {
                if (target.blocks[seen].code == COPYDATA_SPECTRUM && ShowsTheTone(target.blocks[seen].values)) {
                    return true;
                }
            }
            return false;
        },
        20000);
}

TEST_F(PulseCapture, ToneOnTheDefaultSinkPeaksInItsBin) {
    audio_test::CopyDataWindow target;
    CAudioManager manager;
    manager.SetTargetWindow(target.Handle());
    ASSERT_TRUE(manager.Start());
    // Silence first: the monitor runs before anything plays.
    ASSERT_TRUE(audio_test::PumpUntil([&] { return target.Spectra() >= 5; }, 20000)) << "no spectra from the monitor";
    EXPECT_EQ(manager.CaptureFormat(),
              tavrik::audio::MakeWaveFormat(tavrik::audio::kWaveFormatPcm, kRate, kChannels, 16));
    const auto* silent = target.LastSpectrum();
    EXPECT_EQ(*std::max_element(silent->values.begin(), silent->values.end()), 0);

    fs::path wav = dir_.Path() / "tone.wav";
    WriteToneWav(wav, 20);
    Play(wav);
    ASSERT_TRUE(AwaitTone(target, target.blocks.size())) << "spectra seen: " << target.Spectra();
    manager.Stop();
    EXPECT_FALSE(manager.IsRunning());
}

// The recording stays on the sink it started on; a new default sink is
// noticed through the server's settings and captured from then on.
TEST_F(PulseCapture, NewDefaultSinkIsCapturedAfterTheSwitch) {
    audio_test::CopyDataWindow target;
    CAudioManager manager;
    manager.SetTargetWindow(target.Handle());
    ASSERT_TRUE(manager.Start());
    ASSERT_TRUE(audio_test::PumpUntil([&] { return target.Spectra() >= 5; }, 20000)) << "no spectra from the monitor";

    ASSERT_EQ(Pactl({"load-module", "module-null-sink", "sink_name=tavrik_second", "rate=48000", "channels=2",
                     "format=s16le"}),
              0);
    ASSERT_EQ(Pactl({"set-default-sink", "tavrik_second"}), 0);
    fs::path wav = dir_.Path() / "tone.wav";
    WriteToneWav(wav, 20);
    Play(wav);  // onto the new default sink
    ASSERT_TRUE(AwaitTone(target, target.blocks.size())) << "spectra seen: " << target.Spectra();
    manager.Stop();
}

}  // namespace
