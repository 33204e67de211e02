#include "platform/os/remote.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <vector>

#include "platform/files/folders.h"
#include "platform/os/message_queue.h"
#include "platform/os/message_system_internal.h"
#include "platform/files/private_folder.h"
#include "platform/os/remote_listener.h"
#include "platform/os/remote_packet.h"

namespace win {
namespace {

using detail::kKindPost;
using detail::kKindReply;
using detail::kKindSend;
using detail::kPacketMagic;
using detail::kPacketVersion;
using detail::MessageAllowedFromOutside;
using detail::PacketHeader;

struct Reachable {
    std::shared_ptr<detail::RemoteListener> listener;
    std::string socketPath;
    std::string infoPath;
    bool acceptBroadcasts = true;
};

std::mutex& ReachableMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::map<HWND, Reachable>& ReachableWindows() {
    static auto* windows = new std::map<HWND, Reachable>;
    return *windows;
}

bool WriteFileAtomically(const std::string& path, const std::string& content) {
    std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out << content;
        if (!out) {
            return false;
        }
    }
    return ::rename(temp.c_str(), path.c_str()) == 0;
}

std::string InfoContent(DWORD pid, bool acceptBroadcasts, const std::wstring& title) {
    std::ostringstream out;
    out << pid << '\n' << (acceptBroadcasts ? 1 : 0) << '\n' << ToUtf8(title);
    return out.str();
}

struct PeerInfo {
    DWORD pid = 0;
    bool acceptBroadcasts = false;
    std::wstring title;
};

bool ReadInfo(const std::string& path, PeerInfo* info) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::string pidLine, broadcastLine;
    if (!std::getline(in, pidLine) || !std::getline(in, broadcastLine)) {
        return false;
    }
    std::string title((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (title.size() > 4096) {
        return false;
    }
    char* end = nullptr;
    unsigned long pid = std::strtoul(pidLine.c_str(), &end, 10);
    if (end == pidLine.c_str() || pid == 0) {
        return false;
    }
    info->pid = static_cast<DWORD>(pid);
    info->acceptBroadcasts = broadcastLine == "1";
    info->title = FromUtf8(title);
    return true;
}

bool FillAddress(const std::string& path, sockaddr_un* address) {
    if (path.size() >= sizeof address->sun_path) {
        return false;
    }
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

int ConnectTo(const std::string& path) {
    sockaddr_un address;
    if (!FillAddress(path, &address)) {
        return -1;
    }
    int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    timeval timeout{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool SendPacket(int fd, const PacketHeader& header, const void* data) {
    std::vector<unsigned char> packet(sizeof header + header.dataSize);
    std::memcpy(packet.data(), &header, sizeof header);
    if (header.dataSize > 0) {
        std::memcpy(packet.data() + sizeof header, data, header.dataSize);
    }
    ssize_t n = ::send(fd, packet.data(), packet.size(), MSG_NOSIGNAL);
    return n == static_cast<ssize_t>(packet.size());
}

bool ProcessAlive(DWORD pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

// Lists the reachable windows of other processes; removes the files of
// processes that no longer exist.
struct PeerEntry {
    std::string socketPath;
    PeerInfo info;
};

std::vector<PeerEntry> ListPeers() {
    std::vector<PeerEntry> peers;
    std::string folder = GetWindowSocketFolder();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return peers;
    }
    const DWORD self = GetCurrentProcessId();
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        const std::string suffix = ".info";
        if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
            continue;
        }
        std::string base = folder + "/" + name.substr(0, name.size() - suffix.size());
        PeerEntry peer;
        peer.socketPath = base + ".sock";
        if (!ReadInfo(base + ".info", &peer.info) || peer.info.pid == self) {
            continue;
        }
        if (!ProcessAlive(peer.info.pid)) {
            ::unlink((base + ".info").c_str());
            ::unlink(peer.socketPath.c_str());
            continue;
        }
        peers.push_back(std::move(peer));
    }
    ::closedir(dir);
    return peers;
}

// Removes the files of a window whose socket nobody listens on any more (its
// process died and the id went to another process).
void ForgetDeadSocket(const std::string& socketPath) {
    if (errno != ECONNREFUSED) {
        return;
    }
    const std::string suffix = ".sock";
    if (socketPath.size() > suffix.size()) {
        std::string base = socketPath.substr(0, socketPath.size() - suffix.size());
        ::unlink((base + ".info").c_str());
        ::unlink(socketPath.c_str());
    }
}

bool PostTo(const std::string& socketPath, UINT message, WPARAM wParam, LPARAM lParam) {
    int fd = ConnectTo(socketPath);
    if (fd < 0) {
        ForgetDeadSocket(socketPath);
        return false;
    }
    PacketHeader header{kPacketMagic,
                        kPacketVersion,
                        kKindPost,
                        message,
                        0,
                        static_cast<std::uint64_t>(wParam),
                        static_cast<std::int64_t>(lParam),
                        0};
    bool ok = SendPacket(fd, header, nullptr);
    ::close(fd);
    return ok;
}

void CloseReachable(Reachable& r) {
    if (r.listener) {
        r.listener->Stop();
    }
    ::unlink(r.infoPath.c_str());
    ::unlink(r.socketPath.c_str());
}

}  // namespace

std::string GetWindowSocketFolder() { return ToUtf8(JoinPath(GetRuntimeFolder(), L"tavrik-windows")); }

BOOL MakeWindowReachable(HWND hwnd, bool acceptBroadcasts) {
    auto window = detail::FindWindowObject(hwnd);
    if (!window || !window->queue || window->queue->threadId != GetCurrentThreadId() || window->destroying.load()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    {
        std::lock_guard lock(ReachableMutex());
        auto it = ReachableWindows().find(hwnd);
        if (it != ReachableWindows().end()) {
            it->second.acceptBroadcasts = acceptBroadcasts;
            WriteFileAtomically(it->second.infoPath,
                                InfoContent(GetCurrentProcessId(), acceptBroadcasts, GetWindowTitle(hwnd)));
            return TRUE;
        }
    }
    std::string folder = GetWindowSocketFolder();
    if (!EnsurePrivateFolder(folder)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    char name[64];
    std::snprintf(name, sizeof name, "/%u-%lx", GetCurrentProcessId(),
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(hwnd)));
    Reachable r;
    r.socketPath = folder + name + ".sock";
    r.infoPath = folder + name + ".info";
    r.acceptBroadcasts = acceptBroadcasts;
    sockaddr_un address;
    if (!FillAddress(r.socketPath, &address)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const int listenFd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listenFd < 0) {
        return FALSE;
    }
    ::unlink(r.socketPath.c_str());
    // Bound with no rights for others from the start (the folder is private too).
    ::fchmod(listenFd, 0600);
    if (::bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(r.socketPath.c_str(), 0600) != 0 || ::listen(listenFd, SOMAXCONN) != 0) {
        ::close(listenFd);
        CloseReachable(r);
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    r.listener = detail::RemoteListener::Start(hwnd, listenFd);
    if (!r.listener ||
        !WriteFileAtomically(r.infoPath, InfoContent(GetCurrentProcessId(), acceptBroadcasts, GetWindowTitle(hwnd)))) {
        CloseReachable(r);
        return FALSE;
    }
    std::lock_guard lock(ReachableMutex());
    ReachableWindows()[hwnd] = r;
    return TRUE;
}

void MakeWindowUnreachable(HWND hwnd) {
    Reachable r;
    {
        std::lock_guard lock(ReachableMutex());
        auto it = ReachableWindows().find(hwnd);
        if (it == ReachableWindows().end()) {
            return;
        }
        r = it->second;
        ReachableWindows().erase(it);
    }
    // The listener's sources belong to the owning thread; stopped from
    // another thread, they drop themselves when the owner next waits.
    CloseReachable(r);
}

std::string GetWindowSocketPath(HWND hwnd) {
    std::lock_guard lock(ReachableMutex());
    auto it = ReachableWindows().find(hwnd);
    return it == ReachableWindows().end() ? std::string() : it->second.socketPath;
}

long BroadcastSystemMessageW(DWORD flags, DWORD*, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        return -1;
    }
    if ((flags & BSF_IGNORECURRENTTASK) == 0) {
        for (auto& window : detail::LocalWindows()) {
            if (window->parent == nullptr && !window->destroying.load()) {
                PostMessageW(window->handle, message, wParam, lParam);
            }
        }
    }
    detail::RemoteBroadcastPost(message, wParam, lParam);
    return 1;
}

BOOL ChangeWindowMessageFilter(UINT, DWORD) { return TRUE; }
BOOL ChangeWindowMessageFilterEx(HWND hwnd, UINT, DWORD, void*) { return IsWindow(hwnd); }

namespace detail {

LRESULT RemoteSend(const Window& window, UINT message, WPARAM wParam, LPARAM lParam, bool* delivered) {
    *delivered = false;
    PacketHeader header{kPacketMagic, kPacketVersion, kKindSend, message, 0, static_cast<std::uint64_t>(wParam), 0, 0};
    const void* data = nullptr;
    if (message == WM_COPYDATA) {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (copy == nullptr || copy->cbData > kMaxCopyDataBytes || (copy->cbData > 0 && copy->lpData == nullptr)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        header.dataCode = copy->dwData;
        header.dataSize = copy->cbData;
        data = copy->lpData;
    } else if (!MessageAllowedFromOutside(message, kKindSend)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    } else {
        header.lParam = static_cast<std::int64_t>(lParam);
    }
    int fd = ConnectTo(window.remoteAddress);
    if (fd < 0) {
        ForgetDeadSocket(window.remoteAddress);
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LRESULT result = 0;
    if (SendPacket(fd, header, data)) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(kRemoteSendTimeoutMs)) > 0) {
            PacketHeader reply{};
            ssize_t n = ::recv(fd, &reply, sizeof reply, 0);
            if (n == static_cast<ssize_t>(sizeof reply) && reply.magic == kPacketMagic && reply.kind == kKindReply) {
                result = static_cast<LRESULT>(reply.lParam);
                *delivered = true;
            }
        }
    }
    ::close(fd);
    if (!*delivered) {
        SetLastError(ERROR_TIMEOUT);
    }
    return result;
}

BOOL RemotePost(const Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!MessageAllowedFromOutside(message, kKindPost)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!PostTo(window.remoteAddress, message, wParam, lParam)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

void RemoteBroadcastPost(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!MessageAllowedFromOutside(message, kKindPost)) {
        return;
    }
    for (const auto& peer : ListPeers()) {
        if (peer.info.acceptBroadcasts) {
            PostTo(peer.socketPath, message, wParam, lParam);
        }
    }
}

HWND RemoteFindWindow(const std::wstring& title) {
    for (const auto& peer : ListPeers()) {
        if (peer.info.title == title) {
            return RegisterRemoteWindow(peer.socketPath, title, peer.info.pid);
        }
    }
    return nullptr;
}

bool RemoteAlive(const Window& window) {
    return ::access(window.remoteAddress.c_str(), F_OK) == 0 && ProcessAlive(window.remoteProcessId);
}

void OnLocalWindowGone(HWND hwnd) { MakeWindowUnreachable(hwnd); }

void OnLocalWindowTitle(HWND hwnd) {
    std::lock_guard lock(ReachableMutex());
    auto it = ReachableWindows().find(hwnd);
    if (it != ReachableWindows().end()) {
        WriteFileAtomically(it->second.infoPath,
                            InfoContent(GetCurrentProcessId(), it->second.acceptBroadcasts, GetWindowTitle(hwnd)));
    }
}

}  // namespace detail
}  // namespace win
