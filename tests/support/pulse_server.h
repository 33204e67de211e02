#pragma once

// A private PulseAudio server for tests that play real sound: its own
// folders and native socket in a test folder, no configured modules, one
// null sink (48 kHz stereo) whose monitor is what a capture hears. Clients
// reach it through PULSE_SERVER = Address().

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tavrik::test {

// The program's path on PATH, "" when it is not there.
std::string FindProgram(const std::string& name);

// A started process, ended (TERM, then waited for) with the object.
class SpawnedProcess {
public:
    SpawnedProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment);
    ~SpawnedProcess();
    SpawnedProcess(const SpawnedProcess&) = delete;
    SpawnedProcess& operator=(const SpawnedProcess&) = delete;
    bool Started() const { return pid_ > 0; }
    bool Running() const;
    // Waits for the end; the exit status, -1 when it did not run or end normally.
    int Wait();

private:
    pid_t pid_ = -1;
};

class PrivatePulseServer {
public:
    static constexpr unsigned kRate = 48000;
    static constexpr unsigned kChannels = 2;

    // Starts the server with its files under `folder` and waits for its
    // socket; Serving() tells whether it came up.
    explicit PrivatePulseServer(const std::filesystem::path& folder);
    // Whether pulseaudio and paplay are installed.
    static bool Installed();
    bool Serving() const;
    std::string Address() const { return "unix:" + socket_.string(); }
    // Whether some client records from the server now (it lists a source
    // output): the sign that a capture hears what is played from here on.
    bool Recording() const;

private:
    std::filesystem::path socket_;
    std::unique_ptr<SpawnedProcess> daemon_;
};

// A WAV file of a sine tone, 16-bit, at the server's rate and channels.
void WriteToneWav(const std::filesystem::path& path, double hz, double amplitude, double seconds);

// The same tone chopped into pieces of 4 to 16 ms that sound and fall silent
// in turn, their lengths drawn from `seed`: a spectrum that changes from one
// short analysis window to the next, whatever the length of the packets it
// is captured in (a regular rhythm can match the packets and look steady).
void WriteChoppedToneWav(const std::filesystem::path& path, double hz, double amplitude, double seconds, unsigned seed);

}  // namespace tavrik::test
