#include "tools/devsim/devsim_server.h"

#include "platform/hid/devsim_wire.h"

#include "platform/files/private_folder.h"

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tavrik::devsim {

namespace wire = hid::wire;

struct DevsimServer::Client {
    int fd = -1;
    std::uint64_t number = 0;
    std::size_t maxQueuedBytes = 0;
    std::thread reader;
    std::thread writer;
    std::mutex mutex;  // guards the queue and the flags
    std::condition_variable wake;
    std::deque<std::vector<std::uint8_t>> queue;
    std::size_t queuedBytes = 0;
    bool closing = false;

    // Queues a frame without waiting; false (and the connection shut down,
    // which ends the client's reader) when the client has left too much unread.
    bool Enqueue(std::vector<std::uint8_t> frame) {
        std::lock_guard lock(mutex);
        if (closing) return false;
        if (queuedBytes + frame.size() > maxQueuedBytes) {
            std::fprintf(stderr, "tavrik-devsim: client %llu left %zu bytes unread; disconnected\n",
                         static_cast<unsigned long long>(number), queuedBytes);
            closing = true;
            ::shutdown(fd, SHUT_RDWR);
            wake.notify_all();
            return false;
        }
        queuedBytes += frame.size();
        queue.push_back(std::move(frame));
        wake.notify_all();
        return true;
    }

    void WriterLoop() {
        for (;;) {
            std::vector<std::uint8_t> frame;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return closing || !queue.empty(); });
                if (closing) return;
                frame = std::move(queue.front());
                queue.pop_front();
                queuedBytes -= frame.size();
            }
            // No lock is held while the socket may block.
            if (!wire::WriteEncoded(fd, frame)) {
                std::lock_guard lock(mutex);
                closing = true;
                ::shutdown(fd, SHUT_RDWR);
                return;
            }
        }
    }

    void StopWriter() {
        {
            std::lock_guard lock(mutex);
            closing = true;
            wake.notify_all();
        }
        if (writer.joinable()) writer.join();
    }
};

namespace {

bool SameUser(int fd) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::getuid();
}

}  // namespace

DevsimServer::DevsimServer(std::string socketPath, std::size_t maxQueuedBytes)
    : path_(std::move(socketPath)), maxQueuedBytes_(maxQueuedBytes) {}

DevsimServer::~DevsimServer() { Stop(); }

bool DevsimServer::Start(std::string* error) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path_.empty() || path_.size() >= sizeof addr.sun_path) {
        if (error) *error = "socket path is empty or too long: " + path_;
        return false;
    }
    std::memcpy(addr.sun_path, path_.c_str(), path_.size() + 1);
    std::string reason;
    if (!win::EnsurePrivateFolder(win::FolderOfPath(path_), &reason)) {
        if (error) *error = reason;
        return false;
    }
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    ::unlink(path_.c_str());
    ::fchmod(listenFd_, 0600);
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::chmod(path_.c_str(), 0600) != 0 ||
        ::listen(listenFd_, 8) != 0) {
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
        if (c->reader.joinable()) c->reader.join();
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
        if (!SameUser(fd)) {
            std::fprintf(stderr, "tavrik-devsim: refused a connection of another user\n");
            ::close(fd);
            continue;
        }
        auto client = std::make_shared<Client>();
        client->fd = fd;
        client->number = ++clientNumber_;
        client->maxQueuedBytes = maxQueuedBytes_;
        std::lock_guard lock(mutex_);
        if (stopped_) {
            ::close(fd);
            return;
        }
        // The current nodes, then Ready, before any later change reaches it.
        for (const auto& [id, device] : devices_)
            for (const auto& [nodeId, info] : device.nodes)
                client->Enqueue(wire::EncodeFrame(wire::FrameType::NodeAdd, wire::EncodeNodeAdd(nodeId, info)));
        client->Enqueue(wire::EncodeFrame(wire::FrameType::Ready, {}));
        clients_.push_back(client);
        client->writer = std::thread([client] { client->WriterLoop(); });
        client->reader = std::thread([this, client] { ClientLoop(client); });
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
    ::shutdown(client->fd, SHUT_RDWR);
    client->StopWriter();
    std::lock_guard lock(mutex_);
    for (auto it = clients_.begin(); it != clients_.end(); ++it) {
        if (it->get() == client.get()) {
            client->reader.detach();
            ::close(client->fd);
            clients_.erase(it);
            break;
        }
    }
}

void DevsimServer::Broadcast(int type, const std::vector<std::uint8_t>& payload) {
    const auto frame = wire::EncodeFrame(static_cast<wire::FrameType>(type), payload);
    for (auto& c : clients_) c->Enqueue(frame);
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
