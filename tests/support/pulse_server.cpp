#include "tests/support/pulse_server.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <random>
#include <thread>
#include <utility>

#include "tests/support/wait_bound.h"

extern char** environ;

namespace tavrik::test {

namespace fs = std::filesystem;

std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    const std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const fs::path candidate = fs::path(dirs.substr(start, end - start)) / name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
        start = end + 1;
    }
    return {};
}

SpawnedProcess::SpawnedProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> env(extraEnvironment);
    for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    if (args[0] == nullptr || posix_spawn(&pid_, args[0], nullptr, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
}

SpawnedProcess::~SpawnedProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
}

bool SpawnedProcess::Running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

int SpawnedProcess::Wait() {
    int status = 0;
    const pid_t pid = std::exchange(pid_, -1);
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

bool PrivatePulseServer::Installed() { return !FindProgram("pulseaudio").empty() && !FindProgram("paplay").empty(); }

PrivatePulseServer::PrivatePulseServer(const fs::path& folder) : socket_(folder / "native") {
    for (const char* sub : {"run", "state", "config", "home"}) fs::create_directories(folder / sub);
    const std::vector<std::string> env{
        "HOME=" + (folder / "home").string(),
        "PULSE_RUNTIME_PATH=" + (folder / "run").string(),
        "PULSE_STATE_PATH=" + (folder / "state").string(),
        "XDG_CONFIG_HOME=" + (folder / "config").string(),
        "XDG_RUNTIME_DIR=" + (folder / "run").string(),
    };
    // -n: no configured modules; only the socket and one null sink.
    daemon_ = std::make_unique<SpawnedProcess>(
        std::vector<std::string>{FindProgram("pulseaudio"), "-n", "--daemonize=no", "--exit-idle-time=-1",
                                 "--use-pid-file=no", "--log-target=stderr", "--log-level=error", "--disable-shm=yes",
                                 "-L", "module-native-protocol-unix socket=" + socket_.string() + " auth-anonymous=1",
                                 "-L", "module-null-sink sink_name=tavrik_test rate=48000 channels=2 format=s16le"},
        env);
    const auto end = tavrik::test::Deadline(std::chrono::seconds(20));
    while (daemon_->Started() && !fs::exists(socket_) && daemon_->Running() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

bool PrivatePulseServer::Serving() const { return daemon_->Started() && fs::exists(socket_) && daemon_->Running(); }

bool PrivatePulseServer::Recording() const {
    const std::string pactl = FindProgram("pactl");
    if (pactl.empty() || !Serving()) return false;
    const std::string command =
        "PULSE_SERVER='" + Address() + "' '" + pactl + "' list short source-outputs 2>/dev/null";
    FILE* out = ::popen(command.c_str(), "r");
    if (out == nullptr) return false;
    std::string listing;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, out) != nullptr) listing += buffer;
    return ::pclose(out) == 0 && listing.find_first_not_of(" \t\r\n") != std::string::npos;
}

namespace {

// A 16-bit WAV at the server's rate and channels, every channel carrying
// `sample(frame)`.
template <typename Sample>
void WriteWav(const fs::path& path, double seconds, Sample sample) {
    constexpr unsigned kRate = PrivatePulseServer::kRate;
    constexpr unsigned kChannels = PrivatePulseServer::kChannels;
    const auto frames = static_cast<std::uint32_t>(seconds * kRate);
    const std::uint32_t dataBytes = frames * kChannels * 2;
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
        const std::int16_t v = sample(f);
        for (unsigned c = 0; c < kChannels; ++c) u16(static_cast<std::uint16_t>(v));
    }
}

std::int16_t SineAt(double hz, double amplitude, std::uint32_t frame) {
    return static_cast<std::int16_t>(
        std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * frame / PrivatePulseServer::kRate)));
}

}  // namespace

void WriteToneWav(const fs::path& path, double hz, double amplitude, double seconds) {
    WriteWav(path, seconds, [&](std::uint32_t f) { return SineAt(hz, amplitude, f); });
}

void WriteChoppedToneWav(const fs::path& path, double hz, double amplitude, double seconds, unsigned seed) {
    constexpr std::uint32_t kShortestPiece = PrivatePulseServer::kRate * 4 / 1000;
    constexpr std::uint32_t kLongestPiece = PrivatePulseServer::kRate * 16 / 1000;
    std::minstd_rand lengths(seed);
    std::uniform_int_distribution<std::uint32_t> length(kShortestPiece, kLongestPiece);
    bool sounding = true;
    std::uint32_t pieceEnd = length(lengths);
    WriteWav(path, seconds, [&](std::uint32_t f) {
        if (f >= pieceEnd) {
            sounding = !sounding;
            pieceEnd = f + length(lengths);
        }
        return sounding ? SineAt(hz, amplitude, f) : std::int16_t{0};
    });
}

}  // namespace tavrik::test
