#include "tools/devsim/devsim_server.h"

#include "platform/hid/devsim_wire.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tavrik::devsim {

namespace wire = hid::wire;

struct DevsimServer::Client {
    int fd = -1;
    std::thread thread;
    std::mutex writeMutex;
    bool Write(wire::FrameType type, const std::vector<std::uint8_t>& payload) {
        std::lock_guard lock(writeMutex);
        return wire::WriteFrame(fd, type, payload);
    }
};

DevsimServer::DevsimServer(std::string socketPath) : path_(std::move(socketPath)) {}

DevsimServer::~DevsimServer() { Stop(); }

bool DevsimServer::Start(std::string* error) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path_.empty() || path_.size() >= sizeof addr.sun_path) {
        if (error) *error = "socket path is empty or too long: " + path_;
        return false;
    }
    std::memcpy(addr.sun_path, path_.c_str(), path_.size() + 1);
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    ::unlink(path_.c_str());
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listenFd_, 8) != 0) {
        if (error) *error = path_ + ": " + std::strerror(errno);
        ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    acceptThread_ = std::thread([this] { AcceptLoop(); });
    return true;
}

void DevsimServer::Stop() {
    std::vector<std::shared_ptr<Client>> clients;
    {
        std::lock_guard lock(mutex_);
        if (stopped_) return;
        stopped_ = true;
        clients.swap(clients_);
    }
    if (listenFd_ >= 0) {
        ::shutdown(listenFd_, SHUT_RDWR);
        if (acceptThread_.joinable()) acceptThread_.join();
        ::close(listenFd_);
        ::unlink(path_.c_str());
        listenFd_ = -1;
    }
    for (auto& c : clients) ::shutdown(c->fd, SHUT_RDWR);
    for (auto& c : clients) {
        if (c->thread.joinable()) c->thread.join();
        ::close(c->fd);
    }
}

std::size_t DevsimServer::ClientCount() {
    std::lock_guard lock(mutex_);
    return clients_.size();
}

void DevsimServer::AcceptLoop() {
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return;  // shut down
        }
        auto client = std::make_shared<Client>();
        client->fd = fd;
        std::lock_guard lock(mutex_);
        if (stopped_) {
            ::close(fd);
            return;
        }
        // The current nodes, then Ready, before any later change reaches it.
        bool ok = true;
        for (const auto& [id, device] : devices_)
            for (const auto& [nodeId, info] : device.nodes)
                ok = ok && client->Write(wire::FrameType::NodeAdd, wire::EncodeNodeAdd(nodeId, info));
        ok = ok && client->Write(wire::FrameType::Ready, {});
        if (!ok) {
            ::close(fd);
            continue;
        }
        clients_.push_back(client);
        client->thread = std::thread([this, client] { ClientLoop(client); });
    }
}

void DevsimServer::ClientLoop(std::shared_ptr<Client> client) {
    wire::FrameType type;
    std::vector<std::uint8_t> payload;
    while (wire::ReadFrame(client->fd, &type, &payload)) {
        if (type != wire::FrameType::Output) continue;
        std::uint32_t nodeId = 0;
        std::uint8_t kind = 0;
        std::vector<std::uint8_t> report;
        if (!wire::DecodeReport(payload, &nodeId, &kind, &report) || kind > win::HidP_Feature) continue;
        std::shared_ptr<hid::SimOutputHandler> handler;
        int itf = 0;
        {
            std::lock_guard lock(mutex_);
            auto it = devices_.find(nodeId >> 4);
            if (it == devices_.end()) continue;
            const std::size_t index = nodeId & 0xF;
            if (index >= it->second.interfaces.size()) continue;
            itf = it->second.interfaces[index];
            handler = it->second.handler;
        }
        if (*handler) (*handler)(itf, static_cast<win::HIDP_REPORT_TYPE>(kind), report.data(), report.size());
    }
    // Gone: forget the client unless the server is stopping (Stop joins it then).
    std::lock_guard lock(mutex_);
    for (auto it = clients_.begin(); it != clients_.end(); ++it) {
        if (it->get() == client.get()) {
            ::shutdown(client->fd, SHUT_RDWR);
            client->thread.detach();
            ::close(client->fd);
            clients_.erase(it);
            break;
        }
    }
}

void DevsimServer::Broadcast(int type, const std::vector<std::uint8_t>& payload) {
    for (auto& c : clients_) c->Write(static_cast<wire::FrameType>(type), payload);
}

std::uint32_t DevsimServer::Plug(const hid::SimDeviceDescription& description, hid::SimOutputHandler handler) {
    std::lock_guard lock(mutex_);
    if (description.interfaces.size() > 16) return 0;
    const std::uint32_t id = nextId_++;
    Device d;
    d.handler = std::make_shared<hid::SimOutputHandler>(std::move(handler));
    auto infos = hid::SimNodeInfos(description, id);
    for (std::size_t i = 0; i < infos.size(); ++i) {
        d.nodes.emplace_back((id << 4) | static_cast<std::uint32_t>(i), infos[i]);
        d.interfaces.push_back(description.interfaces[i].number);
    }
    for (const auto& [nodeId, info] : d.nodes)
        Broadcast(static_cast<int>(wire::FrameType::NodeAdd), wire::EncodeNodeAdd(nodeId, info));
    devices_[id] = std::move(d);
    return id;
}

void DevsimServer::Unplug(std::uint32_t device) {
    std::lock_guard lock(mutex_);
    auto it = devices_.find(device);
    if (it == devices_.end()) return;
    for (const auto& [nodeId, info] : it->second.nodes)
        Broadcast(static_cast<int>(wire::FrameType::NodeRemove), wire::EncodeNodeId(nodeId));
    devices_.erase(it);
}

bool DevsimServer::SendInput(std::uint32_t device, int interfaceNumber, const std::uint8_t* report,
                             std::size_t length) {
    std::lock_guard lock(mutex_);
    auto it = devices_.find(device);
    if (it == devices_.end()) return false;
    for (std::size_t i = 0; i < it->second.interfaces.size(); ++i) {
        if (it->second.interfaces[i] != interfaceNumber) continue;
        Broadcast(static_cast<int>(wire::FrameType::Input),
                  wire::EncodeReport(it->second.nodes[i].first, win::HidP_Input, report, length));
        return true;
    }
    return false;
}

}  // namespace tavrik::devsim
