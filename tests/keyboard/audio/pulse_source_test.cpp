// The PulseAudio source where no usable server answers: it must give up,
// never hang past its stop event or its time-out.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/audio/loopback_source.h"
#include "platform/os/event.h"
#include "platform/os/handle.h"
#include "tests/support/temp_home.h"

namespace {

using namespace tavrik::audio;

// Points PULSE_SERVER somewhere for the test's length.
class PulseServerVariable {
public:
    explicit PulseServerVariable(const std::string& value) { setenv("PULSE_SERVER", value.c_str(), 1); }
    ~PulseServerVariable() { unsetenv("PULSE_SERVER"); }
    PulseServerVariable(const PulseServerVariable&) = delete;
    PulseServerVariable& operator=(const PulseServerVariable&) = delete;
};

// A socket that takes connections into its backlog and never says a word.
class SilentServer {
public:
    explicit SilentServer(const std::string& path) {
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        ok_ = fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd_, 4) == 0;
    }
    ~SilentServer() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    bool Ok() const { return ok_; }

private:
    int fd_ = -1;
    bool ok_ = false;
};

TEST(PulseSource, NoServerMeansNoConnection) {
    tavrik::test::TempDir dir("tavrik-pulse-none");
    PulseServerVariable server("unix:" + (dir.Path() / "nothing-here").string());
    auto source = MakePulseBackend()->CreateSource();
    EXPECT_FALSE(source->QueryDefaultDevice()) << "nothing to ask before connecting";
    std::vector<std::uint8_t> packet;
    EXPECT_EQ(source->Read(packet), ReadStatus::Failed) << "nothing to read before recording";
    EXPECT_FALSE(source->Connect(nullptr, 600000));
    EXPECT_FALSE(source->StartRecording(MakeWaveFormat(kWaveFormatPcm, 48000, 2, 16), 5));
}

TEST(PulseSource, SilentServerGivesUpOnTheStopEvent) {
    tavrik::test::TempDir dir("tavrik-pulse-silent");
    std::string path = (dir.Path() / "native").string();
    SilentServer silent(path);
    ASSERT_TRUE(silent.Ok());
    PulseServerVariable server("unix:" + path);
    win::HANDLE stop = win::CreateEventW(nullptr, win::TRUE, win::TRUE, nullptr);
    auto source = MakePulseBackend()->CreateSource();
    EXPECT_FALSE(source->Connect(stop, 600000));  // far beyond the test's own time limit
    win::CloseHandle(stop);
}

TEST(PulseSource, SilentServerGivesUpAtTheTimeOut) {
    tavrik::test::TempDir dir("tavrik-pulse-silent");
    std::string path = (dir.Path() / "native").string();
    SilentServer silent(path);
    ASSERT_TRUE(silent.Ok());
    PulseServerVariable server("unix:" + path);
    auto source = MakePulseBackend()->CreateSource();
    EXPECT_FALSE(source->Connect(nullptr, 300));
}

}  // namespace
