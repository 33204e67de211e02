#include "platform/hid/sim_socket_backend.h"

#include "platform/hid/devsim_wire.h"
#include "platform/files/folders.h"
#include "platform/dump/signal_stack.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace tavrik::hid {
namespace {

class Connection;

class SocketNode : public Node {
public:
    SocketNode(NodeInfo info, std::uint32_t id, std::weak_ptr<Connection> connection)
        : Node(std::move(info)), id_(id), connection_(std::move(connection)) {}
    win::HidIoResult SendOutput(win::HIDP_REPORT_TYPE kind, const std::uint8_t* report, std::size_t length,
                                win::DWORD timeoutMs, win::HANDLE cancelEvent) override;

private:
    std::uint32_t id_;
    std::weak_ptr<Connection> connection_;
};

// One connection to the emulator, with the nodes it announced.
class Connection : public std::enable_shared_from_this<Connection> {
public:
    explicit Connection(int fd) : fd_(fd) {}
    ~Connection() {
        ::shutdown(fd_, SHUT_RDWR);
        if (thread_.joinable()) {
            if (thread_.get_id() == std::this_thread::get_id())
                thread_.detach();
            else
                thread_.join();
        }
        ::close(fd_);
    }

    void Start() {
        auto self = weak_from_this();
        thread_ = std::thread([self, fd = fd_] {
            const win::ThreadSignalStack signalStack;  // crashes here are dumped too
            Run(self, fd);
        });
    }

    bool WaitReady(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, limit, [&] { return ready_ || dead_; }) && ready_ && !dead_;
    }

    bool Alive() {
        std::lock_guard lock(mutex_);
        return !dead_;
    }

    void Nodes(std::vector<std::shared_ptr<Node>>* out) {
        std::lock_guard lock(mutex_);
        for (const auto& [id, node] : nodes_) out->push_back(node);
    }

    bool Send(wire::FrameType type, const std::vector<std::uint8_t>& payload) {
        std::lock_guard lock(writeMutex_);
        return wire::WriteFrame(fd_, type, payload);
    }

private:
    static void Run(std::weak_ptr<Connection> weak, int fd) {
        wire::FrameType type;
        std::vector<std::uint8_t> payload;
        // The connection may end on this thread (its last owner released
        // here): then the descriptor is closed and must not be read again.
        while (!weak.expired()) {
            const bool ok = wire::ReadFrame(fd, &type, &payload);
            auto self = weak.lock();
            if (!self) return;
            if (!ok) {
                self->Die();
                return;
            }
            self->Handle(type, payload);
        }
    }

    void Handle(wire::FrameType type, const std::vector<std::uint8_t>& payload) {
        std::uint32_t id = 0;
        switch (type) {
            case wire::FrameType::NodeAdd: {
                NodeInfo info;
                if (!wire::DecodeNodeAdd(payload, &id, &info)) return;
                auto node = std::make_shared<SocketNode>(std::move(info), id, weak_from_this());
                std::shared_ptr<Node> old;
                {
                    std::lock_guard lock(mutex_);
                    auto& slot = nodes_[id];
                    old = slot;
                    slot = node;
                }
                if (old) old->MarkGone();
                break;
            }
            case wire::FrameType::NodeRemove: {
                if (!wire::DecodeNodeId(payload, &id)) return;
                std::shared_ptr<Node> node;
                {
                    std::lock_guard lock(mutex_);
                    auto it = nodes_.find(id);
                    if (it == nodes_.end()) return;
                    node = it->second;
                    nodes_.erase(it);
                }
                node->MarkGone();
                break;
            }
            case wire::FrameType::Input: {
                std::uint8_t kind = 0;
                std::vector<std::uint8_t> report;
                if (!wire::DecodeReport(payload, &id, &kind, &report)) return;
                std::shared_ptr<Node> node;
                {
                    std::lock_guard lock(mutex_);
                    auto it = nodes_.find(id);
                    if (it != nodes_.end()) node = it->second;
                }
                if (node) node->DeliverInput(report.data(), report.size());
                break;
            }
            case wire::FrameType::Ready: {
                std::lock_guard lock(mutex_);
                ready_ = true;
                cv_.notify_all();
                break;
            }
            default:
                break;  // unknown frames are ignored
        }
    }

    void Die() {
        std::map<std::uint32_t, std::shared_ptr<Node>> nodes;
        {
            std::lock_guard lock(mutex_);
            dead_ = true;
            nodes.swap(nodes_);
            cv_.notify_all();
        }
        for (auto& [id, node] : nodes) node->MarkGone();
    }

    int fd_;
    std::thread thread_;
    std::mutex writeMutex_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool ready_ = false;
    bool dead_ = false;
    std::map<std::uint32_t, std::shared_ptr<Node>> nodes_;
};

win::HidIoResult SocketNode::SendOutput(win::HIDP_REPORT_TYPE kind, const std::uint8_t* report, std::size_t length,
                                        win::DWORD, win::HANDLE) {
    auto connection = connection_.lock();
    if (!connection || !Present() ||
        !connection->Send(wire::FrameType::Output,
                          wire::EncodeReport(id_, static_cast<std::uint8_t>(kind), report, length))) {
        win::SetLastError(win::ERROR_DEVICE_NOT_CONNECTED);
        return win::HidIoResult::Failed;
    }
    return win::HidIoResult::Ok;
}

class SimSocketBackend : public Backend {
public:
    explicit SimSocketBackend(std::string path) : path_(std::move(path)) {}

    bool ListNodes(std::vector<std::shared_ptr<Node>>* nodes) override {
        std::lock_guard lock(mutex_);
        nodes->clear();
        // An emulator that is not (yet) running looks like a machine without
        // devices, so a program started first finds them once it runs.
        if (!connection_ || !connection_->Alive()) {
            connection_.reset();
            const int fd = Connect();
            if (fd < 0) return true;
            auto connection = std::make_shared<Connection>(fd);
            connection->Start();
            if (!connection->WaitReady(std::chrono::milliseconds(2000))) return true;
            connection_ = connection;
        }
        connection_->Nodes(nodes);
        return true;
    }

private:
    int Connect() const {
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        if (path_.empty() || path_.size() >= sizeof addr.sun_path) return -1;
        std::memcpy(addr.sun_path, path_.c_str(), path_.size() + 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return -1;
        // Only an emulator of this user is talked to: someone else could have
        // created the name first.
        ucred peer{};
        socklen_t length = sizeof peer;
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.uid != ::getuid()) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    std::string path_;
    std::mutex mutex_;
    std::shared_ptr<Connection> connection_;
};

}  // namespace

std::string DefaultDevsimSocketPath() {
    if (const char* p = std::getenv("TAVRIK_DEVSIM_SOCKET"); p && *p) return p;
    // The user's runtime folder, or without one the private folder the OS
    // layer makes for the user in the temporary folder.
    return win::ToUtf8(win::JoinPath(win::GetRuntimeFolder(), L"tavrik-devsim.sock"));
}

std::shared_ptr<Backend> MakeSimSocketBackend(const std::string& socketPath) {
    return std::make_shared<SimSocketBackend>(socketPath);
}

}  // namespace tavrik::hid
