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
#include "tests/support/temp_home.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr unsigned kRate = 48000;
constexpr unsigned kChannels = 2;
// Stereo values are analysed interleaved: 1024 values hold 512 frames, so
// bin k lies at k x 48000 / 512 Hz. Bin 20 is 1875 Hz, inside the keyboard's
// band 4 (bins 20 to 23).
constexpr int kToneBin = 20;
constexpr double kToneHz = kToneBin * static_cast<double>(kRate) * kChannels / 1024.0;
constexpr double kAmplitude = 300;

std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        fs::path candidate = fs::path(dirs.substr(start, end - start)) / name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
        start = end + 1;
    }
    return {};
}

// A child process ended (TERM, then waited for) with the object.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv) {
        std::vector<char*> args;
        for (auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        std::vector<std::string> env(extraEnv);
        for (char** e = environ; *e != nullptr; ++e) {
            env.emplace_back(*e);
        }
        std::vector<char*> envp;
        for (auto& e : env) {
            envp.push_back(const_cast<char*>(e.c_str()));
        }
        envp.push_back(nullptr);
        if (posix_spawn(&pid_, args[0], nullptr, nullptr, args.data(), envp.data()) != 0) {
            pid_ = -1;
        }
    }
    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    bool Started() const { return pid_ > 0; }
    // Waits for the child to end; its exit status, -1 when it did not run or end normally.
    int Wait() {
        int status = 0;
        pid_t pid = std::exchange(pid_, -1);
        if (pid <= 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
            return -1;
        }
        return WEXITSTATUS(status);
    }
    bool Running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

private:
    pid_t pid_ = -1;
};

void WriteToneWav(const fs::path& path, double seconds) {
    auto frames = static_cast<std::uint32_t>(seconds * kRate);
    std::uint32_t dataBytes = frames * kChannels * 2;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(kChannels);
    u32(kRate);
    u32(kRate * kChannels * 2);
    u16(kChannels * 2);
    u16(16);
    out.write("data", 4);
    u32(dataBytes);
    for (std::uint32_t f = 0; f < frames; ++f) {
        auto v = static_cast<std::int16_t>(std::lround(kAmplitude * std::sin(2 * std::numbers::pi * kToneHz * f / kRate)));
        for (unsigned c = 0; c < kChannels; ++c) {
            u16(static_cast<std::uint16_t>(v));
        }
    }
}

class PulseCapture : public ::testing::Test {
protected:
    void SetUp() override {
        daemon_ = FindProgram("pulseaudio");
        player_ = FindProgram("paplay");
        if (daemon_.empty() || player_.empty()) {
            GTEST_SKIP() << "pulseaudio and paplay are not installed: run tools/setup";
        }
        socket_ = dir_.Path() / "native";
        for (const char* sub : {"run", "state", "config", "home"}) {
            fs::create_directories(dir_.Path() / sub);
        }
        std::vector<std::string> env{
            "HOME=" + (dir_.Path() / "home").string(),
            "PULSE_RUNTIME_PATH=" + (dir_.Path() / "run").string(),
            "PULSE_STATE_PATH=" + (dir_.Path() / "state").string(),
            "XDG_CONFIG_HOME=" + (dir_.Path() / "config").string(),
            "XDG_RUNTIME_DIR=" + (dir_.Path() / "run").string(),
        };
        // -n: no configured modules; only the socket and one null sink.
        server_ = std::make_unique<Child>(
            std::vector<std::string>{daemon_, "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                     "--log-target=stderr", "--log-level=error", "--disable-shm=yes",
                                     "-L", "module-native-protocol-unix socket=" + socket_.string() + " auth-anonymous=1",
                                     "-L", "module-null-sink sink_name=tavrik_test rate=48000 channels=2 format=s16le"},
            env);
        ASSERT_TRUE(server_->Started()) << "pulseaudio could not be started";
        ASSERT_TRUE(audio_test::PumpUntil([&] { return fs::exists(socket_) || !server_->Running(); }))
            << "no socket from pulseaudio";
        ASSERT_TRUE(fs::exists(socket_)) << "pulseaudio ended before it served";
        setenv("PULSE_SERVER", ("unix:" + socket_.string()).c_str(), 1);
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
        player_process_ = std::make_unique<Child>(std::vector<std::string>{player_, wav.string()},
                                                  std::vector<std::string>{});
        ASSERT_TRUE(player_process_->Started());
    }

    tavrik::test::TempDir dir_{"tavrik-pulse"};
    fs::path socket_;
    std::string daemon_;
    std::string player_;
    std::unique_ptr<Child> server_;
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
    EXPECT_EQ(manager.CaptureFormat(), tavrik::audio::MakeWaveFormat(tavrik::audio::kWaveFormatPcm, kRate, kChannels, 16));
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
