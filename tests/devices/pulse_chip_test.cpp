// "osConfLib.so" on a real PulseAudio server: a private daemon with one null
// sink, whose monitor stands for the microphone (named by the library's
// source override). The scalar volume is pactl's percentage.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "devices/audio_chip_library.h"
#include "tests/support/required_service.h"
#include "tests/support/temp_home.h"
#include "tests/support/wait_bound.h"

namespace {

namespace fs = std::filesystem;

constexpr char kSink[] = "tavrik_chip_test";

// The daemon, ended with the object.
class PrivatePulse {
public:
    explicit PrivatePulse(const fs::path& dir) : socket_(dir / "native") {
        for (const char* sub : {"run", "state", "home"}) fs::create_directories(dir / sub);
        const std::string vars[] = {"HOME=" + (dir / "home").string(), "PULSE_RUNTIME_PATH=" + (dir / "run").string(),
                                    "PULSE_STATE_PATH=" + (dir / "state").string(),
                                    "XDG_RUNTIME_DIR=" + (dir / "run").string()};
        const std::string args[] = {"pulseaudio",
                                    "-n",
                                    "--daemonize=no",
                                    "--exit-idle-time=-1",
                                    "--use-pid-file=no",
                                    "--log-level=error",
                                    "--disable-shm=yes",
                                    "-L",
                                    "module-native-protocol-unix socket=" + socket_.string() + " auth-anonymous=1",
                                    "-L",
                                    std::string("module-null-sink sink_name=") + kSink};
        std::vector<char*> argv, envp;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        for (const auto& v : vars) envp.push_back(const_cast<char*>(v.c_str()));
        envp.push_back(nullptr);
        if (posix_spawnp(&pid_, "pulseaudio", nullptr, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
        // Bounded poll for its socket.
        if (pid_ > 0) tavrik::test::WaitUntil([&] { return fs::exists(socket_); }, std::chrono::seconds(5));
    }
    ~PrivatePulse() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Serving() const { return pid_ > 0 && fs::exists(socket_); }
    std::string Server() const { return "unix:" + socket_.string(); }

private:
    fs::path socket_;
    pid_t pid_ = -1;
};

// The output of a pactl command against the private server.
std::string Pactl(const std::string& args) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(("pactl " + args + " 2>&1").c_str(), "r"), pclose);
    if (!pipe) return out;
    std::array<char, 256> buffer{};
    while (fgets(buffer.data(), int(buffer.size()), pipe.get())) out += buffer.data();
    return out;
}

bool HavePulse() {
    return std::system("command -v pulseaudio >/dev/null 2>&1 && command -v pactl >/dev/null 2>&1") == 0;
}

class PulseChip : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HavePulse()) TAVRIK_MISSING_SERVICE("pulseaudio and pactl are not installed: run tools/setup");
        server_ = std::make_unique<PrivatePulse>(dir_.Path());
        ASSERT_TRUE(server_->Serving()) << "the private pulseaudio did not serve";
        setenv("PULSE_SERVER", server_->Server().c_str(), 1);
        unsetenv("TAVRIK_HID_BACKEND");
        setenv("TAVRIK_CONFLIB_SINK", kSink, 1);
        setenv("TAVRIK_CONFLIB_SOURCE", (std::string(kSink) + ".monitor").c_str(), 1);
        ASSERT_TRUE(library_.Load(AudioChipLibrary::DefaultPath()));
        ASSERT_EQ(library_.Init(), 0);
        library_.CreateDeviceList();
    }
    void TearDown() override {
        server_.reset();
        unsetenv("PULSE_SERVER");
    }

    int Write(const AudioDeviceDesc& d, const char16_t* name, const void* value, int32_t channel) {
        std::array<uint8_t, kConfLibBufferBytes> v{}, c{};
        std::memcpy(v.data(), value, 4);
        std::memcpy(c.data(), &channel, 4);
        return library_.Property(d, name, v.data(), c.data(), 1);
    }
    std::u16string Read(const AudioDeviceDesc& d, const char16_t* name) {
        std::array<char16_t, kConfLibBufferBytes / 2> v{};
        if (library_.Property(d, name, v.data(), nullptr, 0) != 0) return u"failed";
        return std::u16string(v.data());
    }

    tavrik::test::TempDir dir_{"tavrik-chip-pulse"};
    std::unique_ptr<PrivatePulse> server_;
    AudioChipLibrary library_;
};

TEST_F(PulseChip, SinkAndSourceAreTheDevicesAndTheMicrophoneIsReal) {
    ASSERT_EQ(library_.DeviceCount(kConfLibRender), 1u);
    ASSERT_EQ(library_.DeviceCount(kConfLibCapture), 1u);
    AudioDeviceDesc render{}, capture{};
    ASSERT_TRUE(library_.DeviceById(kConfLibRender, 0, &render));
    ASSERT_TRUE(library_.DeviceById(kConfLibCapture, 0, &capture));
    EXPECT_EQ(render.type, 1);
    EXPECT_EQ(capture.type, 2);
    EXPECT_EQ(capture.state, 1);

    const float scalar = 0.37f;
    ASSERT_EQ(Write(capture, u"VolumeScalarControl", &scalar, -1), 0);
    EXPECT_NE(Pactl("get-source-volume " + std::string(kSink) + ".monitor").find("37%"), std::string::npos);
    // Read back as the page reads it: the scalar times 100, rounded.
    const std::u16string text = Read(capture, u"VolumeScalarControl");
    EXPECT_EQ(std::lround(std::stod(std::string(text.begin(), text.end())) * 100), 37);

    const int32_t mute = 1;
    ASSERT_EQ(Write(capture, u"MuteControl", &mute, 0), 0);
    EXPECT_NE(Pactl("get-source-mute " + std::string(kSink) + ".monitor").find("yes"), std::string::npos);
    EXPECT_EQ(Read(capture, u"MuteControl"), u"1");

    // A null sink has no card: no side-tone, so no monitor for the page.
    EXPECT_EQ(Read(capture, u"GetAAMaxVol"), u"failed");
    // The voice changer is not offered; the equaliser is kept without effect.
    const std::u16string features = Read(capture, u"GetSupportFeature");
    EXPECT_EQ(features.substr(0, features.find(u',')), u"1");
    const int32_t band = 7;
    ASSERT_EQ(Write(render, u"EQ_Slider3", &band, 0), 0);
    EXPECT_EQ(Read(render, u"EQ_Slider3"), u"7");
}

}  // namespace
