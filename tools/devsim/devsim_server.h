#pragma once

// Serves emulated devices to programs in other processes over a Unix stream
// socket (the sim socket backend of platform/hid is the other end).
//
// The socket is made with mode 0600 in a folder that only the user may enter,
// and only connections of the same user are served. Every client has its own
// bounded queue of outgoing frames, written by its own thread, so a client
// that stops reading never holds up the others or the devices; one whose
// queue overflows is disconnected.

#include "platform/hid/sim_bus.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavrik::devsim {

class DevsimServer : public hid::SimHost {
public:
    // Frames queued for one client before it counts as not reading.
    static constexpr std::size_t kMaxQueuedBytes = 1u << 20;

    explicit DevsimServer(std::string socketPath, std::size_t maxQueuedBytes = kMaxQueuedBytes);
    ~DevsimServer() override;
    DevsimServer(const DevsimServer&) = delete;
    DevsimServer& operator=(const DevsimServer&) = delete;

    // Binds and listens (replacing a stale socket file); false with a message
    // on failure, also when the socket's folder is not private to the user.
    bool Start(std::string* error);
    void Stop();
    const std::string& SocketPath() const { return path_; }
    std::size_t ClientCount();

    std::uint32_t Plug(const hid::SimDeviceDescription& description, hid::SimOutputHandler handler) override;
    void Unplug(std::uint32_t device) override;
    bool SendInput(std::uint32_t device, int interfaceNumber, const std::uint8_t* report, std::size_t length) override;

private:
    struct Client;
    struct Device {
        std::shared_ptr<hid::SimOutputHandler> handler;
        std::vector<std::pair<std::uint32_t, hid::NodeInfo>> nodes;  // node id, info
        std::vector<int> interfaces;
    };

    void AcceptLoop();
    void ClientLoop(std::shared_ptr<Client> client);
    void Broadcast(int type, const std::vector<std::uint8_t>& payload);  // mutex_ held

    std::string path_;
    std::size_t maxQueuedBytes_;
    int listenFd_ = -1;
    std::thread acceptThread_;
    std::mutex mutex_;
    std::uint32_t nextId_ = 1;
    std::uint64_t clientNumber_ = 0;
    std::map<std::uint32_t, Device> devices_;
    std::vector<std::shared_ptr<Client>> clients_;
    bool stopped_ = false;
};

}  // namespace tavrik::devsim
