#pragma once

// The simulated chip on a Unix stream socket: the emulator serves its chip
// so, and so do in-process tests; the library's sim backend is the client.
// One request per line, one answer line each:
//   init                              -> ok RESULT
//   count FLOW                        -> ok N
//   device FLOW INDEX                 -> ok ID TYPE ID2 STATE | error
//   read ID CHANNEL NAME              -> ok TEXT | error
//   write ID CHANNEL NAME VALUE       -> ok | error
// The socket is made with mode 0600 and only the user's own processes are served.

#include <atomic>
#include <string>
#include <thread>

#include "platform/conflib/simulated_chip.h"

namespace tavrik::conflib {

// TAVRIK_CHIP_SOCKET when set, else the emulator's socket path + ".chip".
std::string DefaultChipSocketPath();

// Answers one request line.
std::string AnswerChipRequest(SimulatedChip& chip, const std::string& line);

class ChipServer {
public:
    ChipServer(SimulatedChip& chip, std::string path) : chip_(chip), path_(std::move(path)) {}
    ~ChipServer();
    ChipServer(const ChipServer&) = delete;
    ChipServer& operator=(const ChipServer&) = delete;

    bool Start(std::string* error);
    void Stop();
    const std::string& Path() const { return path_; }

private:
    void Serve();

    SimulatedChip& chip_;
    std::string path_;
    int listenFd_ = -1;
    int wakeFds_[2] = {-1, -1};
    std::thread thread_;
};

// The client side: one connection, opened on first use and again after a failure.
class ChipClient {
public:
    explicit ChipClient(std::string path) : path_(std::move(path)) {}
    ~ChipClient();
    ChipClient(const ChipClient&) = delete;
    ChipClient& operator=(const ChipClient&) = delete;
    // The answer line without "ok " for an "ok" answer; false for anything else.
    bool Request(const std::string& line, std::string* answer);

private:
    bool Connect();
    std::string path_;
    int fd_ = -1;
};

}  // namespace tavrik::conflib
