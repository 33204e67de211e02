#include "platform/conflib/chip_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <vector>

#include "platform/hid/sim_socket_backend.h"

namespace tavrik::conflib {
namespace {

constexpr size_t kMaxLine = 4096;

bool FillAddress(const std::string& path, sockaddr_un* address) {
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address->sun_path) return false;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool SameUser(int fd) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == getuid();
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

}  // namespace

std::string DefaultChipSocketPath() {
    if (const char* p = std::getenv("TAVRIK_CHIP_SOCKET"); p && *p) return p;
    return hid::DefaultDevsimSocketPath() + ".chip";
}

std::string AnswerChipRequest(SimulatedChip& chip, const std::string& line) {
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    if (verb == "init") return "ok " + std::to_string(chip.Init());
    int flow = 0, channel = 0;
    int32_t id = 0;
    unsigned index = 0;
    std::string name;
    if (verb == "count" && (in >> flow)) return "ok " + std::to_string(chip.DeviceCount(flow));
    if (verb == "device" && (in >> flow >> index)) {
        const auto d = chip.Device(flow, index);
        if (!d) return "error";
        return "ok " + std::to_string(d->id) + " " + std::to_string(d->type) + " " + std::to_string(d->id2) + " " +
               std::to_string(d->state);
    }
    if (verb == "read" && (in >> id >> channel >> name)) {
        const auto text = chip.Read(id, name, channel);
        return text ? "ok " + *text : "error";
    }
    double value = 0;
    if (verb == "write" && (in >> id >> channel >> name >> value))
        return chip.Write(id, name, channel, value) ? "ok" : "error";
    return "error";
}

ChipServer::~ChipServer() { Stop(); }

bool ChipServer::Start(std::string* error) {
    sockaddr_un address{};
    if (!FillAddress(path_, &address)) return *error = "bad chip socket path " + path_, false;
    listenFd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0 || pipe(wakeFds_) != 0) return *error = "cannot make the chip socket", false;
    unlink(path_.c_str());
    const mode_t old = umask(0177);
    const bool bound = bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    umask(old);
    if (!bound || listen(listenFd_, 8) != 0) return *error = "cannot serve the chip on " + path_, false;
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void ChipServer::Stop() {
    if (thread_.joinable()) {
        const char wake = 1;
        (void)!write(wakeFds_[1], &wake, 1);
        thread_.join();
    }
    for (int* fd : {&listenFd_, &wakeFds_[0], &wakeFds_[1]}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
    if (!path_.empty()) unlink(path_.c_str());
}

void ChipServer::Serve() {
    std::map<int, std::string> clients;  // descriptor, bytes of an unfinished line
    for (;;) {
        std::vector<pollfd> fds = {{wakeFds_[0], POLLIN, 0}, {listenFd_, POLLIN, 0}};
        for (const auto& [fd, pending] : clients) fds.push_back({fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) continue;
        if (fds[0].revents) break;
        if (fds[1].revents & POLLIN) {
            const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0 && SameUser(fd))
                clients[fd];
            else if (fd >= 0)
                close(fd);
        }
        for (size_t i = 2; i < fds.size(); ++i) {
            if (!fds[i].revents) continue;
            const int fd = fds[i].fd;
            char buffer[512];
            const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            std::string& pending = clients[fd];
            bool drop = n <= 0;
            if (!drop) pending.append(buffer, size_t(n));
            for (size_t end; !drop && (end = pending.find('\n')) != std::string::npos;) {
                const std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                drop = !WriteAll(fd, AnswerChipRequest(chip_, line) + "\n");
            }
            if (pending.size() > kMaxLine) drop = true;
            if (drop) {
                close(fd);
                clients.erase(fd);
            }
        }
    }
    for (const auto& [fd, pending] : clients) close(fd);
}

ChipClient::~ChipClient() {
    if (fd_ >= 0) close(fd_);
}

bool ChipClient::Connect() {
    if (fd_ >= 0) return true;
    sockaddr_un address{};
    if (!FillAddress(path_, &address)) return false;
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return true;
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    return false;
}

bool ChipClient::Request(const std::string& line, std::string* answer) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!Connect()) return false;
        std::string reply;
        bool ok = WriteAll(fd_, line + "\n");
        while (ok && reply.find('\n') == std::string::npos && reply.size() < kMaxLine) {
            char buffer[512];
            const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0)
                ok = false;
            else
                reply.append(buffer, size_t(n));
        }
        if (!ok) {
            // The server went away: one more try on a new connection.
            close(fd_);
            fd_ = -1;
            continue;
        }
        reply.erase(reply.find('\n'));
        if (reply.rfind("ok", 0) != 0) return false;
        *answer = reply.size() > 3 ? reply.substr(3) : std::string();
        return true;
    }
    return false;
}

}  // namespace tavrik::conflib
