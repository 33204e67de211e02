#include "platform/os/remote_listener.h"

#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/os/message_queue.h"
#include "platform/os/remote_packet.h"
#include "platform/os/thread.h"

namespace win::detail {

namespace {

using SteadyClock = std::chrono::steady_clock;

bool SameUser(int fd) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::getuid();
}

void Dispatch(HWND hwnd, int fd, const IncomingPacket& packet) {
    const PacketHeader& header = packet.header;
    if (header.kind == kKindPost) {
        PostMessageW(hwnd, header.message, static_cast<WPARAM>(header.wParam), static_cast<LPARAM>(header.lParam));
        return;
    }
    LRESULT result = 0;
    if (header.message == WM_COPYDATA) {
        COPYDATASTRUCT data;
        data.dwData = static_cast<ULONG_PTR>(header.dataCode);
        data.cbData = header.dataSize;
        data.lpData = const_cast<unsigned char*>(packet.data);
        result = SendMessageW(hwnd, WM_COPYDATA, static_cast<WPARAM>(header.wParam), reinterpret_cast<LPARAM>(&data));
    } else {
        result =
            SendMessageW(hwnd, header.message, static_cast<WPARAM>(header.wParam), static_cast<LPARAM>(header.lParam));
    }
    // A fresh connection has room for one small reply; a sender that went
    // away simply misses it.
    PacketHeader reply{
        kPacketMagic, kPacketVersion, kKindReply, header.message, 0, 0, static_cast<std::int64_t>(result), 0};
    ::send(fd, &reply, sizeof reply, MSG_NOSIGNAL | MSG_DONTWAIT);
}

}  // namespace

bool DeliverIncomingPacket(HWND hwnd, int replyFd, const unsigned char* bytes, std::size_t size) {
    IncomingPacket packet;
    if (!ParseIncomingPacket(bytes, size, &packet)) {
        return false;
    }
    Dispatch(hwnd, replyFd, packet);
    return true;
}

std::shared_ptr<RemoteListener> RemoteListener::Start(HWND hwnd, int listenFd) {
    const int timerFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (timerFd < 0) {
        ::close(listenFd);
        return nullptr;
    }
    std::shared_ptr<RemoteListener> listener(new RemoteListener(hwnd, listenFd, timerFd));
    listener->listenSource_ = AddMessageSource(listenFd, [listener] { listener->OnListenReady(); });
    listener->timerSource_ = AddMessageSource(timerFd, [listener] { listener->OnTimer(); });
    return listener;
}

RemoteListener::RemoteListener(HWND hwnd, int listenFd, int timerFd)
    : hwnd_(hwnd), ownerThread_(GetCurrentThreadId()), listenFd_(listenFd), timerFd_(timerFd) {}

RemoteListener::~RemoteListener() {
    for (auto& connection : waiting_) {
        if (connection->fd >= 0) ::close(connection->fd);
    }
    if (listenFd_ >= 0) ::close(listenFd_);
    if (timerFd_ >= 0) ::close(timerFd_);
}

bool RemoteListener::Serving() {
    if (!stopped_.load()) {
        return true;
    }
    // Stopped from another thread: the sources still sit in this (the
    // owner's) queue; take them off now.
    CloseAll();
    return false;
}

void RemoteListener::CloseAll() {
    while (!waiting_.empty()) {
        Close(waiting_.front());
    }
    RemoveMessageSource(listenSource_);
    RemoveMessageSource(timerSource_);
}

void RemoteListener::Stop() {
    stopped_ = true;
    if (GetCurrentThreadId() == ownerThread_) {
        CloseAll();
    } else {
        // Wakes the owner, whose listener source then finds it stopped.
        ::shutdown(listenFd_, SHUT_RDWR);
    }
}

void RemoteListener::OnListenReady() {
    if (!Serving()) {
        return;
    }
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return;  // EAGAIN: all taken; anything else: try again on the next wake
        }
        if (!SameUser(fd) || ReceiveAndHandle(fd, nullptr)) {
            ::close(fd);
        } else {
            Wait(fd);
        }
        if (stopped_) {
            return;  // the window went while its procedure ran
        }
    }
}

void RemoteListener::Wait(int fd) {
    if (waiting_.size() >= kMaxWaiting) {
        Close(waiting_.front());
    }
    auto connection = std::make_shared<Connection>();
    connection->fd = fd;
    connection->deadline = SteadyClock::now() + kReceiveDeadline;
    auto self = shared_from_this();
    connection->sourceId = AddMessageSource(fd, [self, connection] { self->OnConnectionReady(connection); });
    waiting_.push_back(connection);
    if (waiting_.size() == 1) {
        ArmTimer();
    }
}

void RemoteListener::OnConnectionReady(const ConnectionPtr& connection) {
    if (connection->fd < 0 || !Serving()) {
        RemoveMessageSource(connection->sourceId);
        return;
    }
    const int fd = connection->fd;
    ReceiveAndHandle(fd, connection);
}

bool RemoteListener::ReceiveAndHandle(int fd, const ConnectionPtr& connection) {
    // One byte more than the largest valid packet, so that an oversized one
    // shows as such instead of being cut to a plausible size.
    std::vector<unsigned char> buffer(kMaxPacketBytes + 1);
    iovec io{buffer.data(), buffer.size()};
    msghdr msg{};
    msg.msg_iov = &io;
    msg.msg_iovlen = 1;
    ssize_t n;
    do {
        n = ::recvmsg(fd, &msg, MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        return false;
    }
    // Done with this connection either way; off the waiting list before the
    // window runs, since its procedure may wait for messages itself.
    if (connection) {
        Forget(connection);
    }
    if (n > 0 && (msg.msg_flags & MSG_TRUNC) == 0) {
        DeliverIncomingPacket(hwnd_, fd, buffer.data(), static_cast<std::size_t>(n));
    }
    if (connection) {
        ::close(fd);
        connection->fd = -1;
    }
    return true;
}

void RemoteListener::Forget(ConnectionPtr connection) {
    RemoveMessageSource(connection->sourceId);
    waiting_.remove(connection);
}

void RemoteListener::Close(ConnectionPtr connection) {
    Forget(connection);
    if (connection->fd >= 0) {
        ::close(connection->fd);
        connection->fd = -1;
    }
}

void RemoteListener::OnTimer() {
    if (!Serving()) {
        return;
    }
    std::uint64_t expirations = 0;
    [[maybe_unused]] ssize_t n = ::read(timerFd_, &expirations, sizeof expirations);
    const auto now = SteadyClock::now();
    // Deadlines grow with the list's order.
    while (!waiting_.empty() && waiting_.front()->deadline <= now) {
        Close(waiting_.front());
    }
    ArmTimer();
}

void RemoteListener::ArmTimer() {
    itimerspec spec{};
    if (!waiting_.empty()) {
        auto left =
            std::chrono::duration_cast<std::chrono::nanoseconds>(waiting_.front()->deadline - SteadyClock::now());
        left = std::max(left, std::chrono::nanoseconds(std::chrono::milliseconds(1)));
        spec.it_value.tv_sec = static_cast<time_t>(left.count() / 1000000000);
        spec.it_value.tv_nsec = static_cast<long>(left.count() % 1000000000);
    }
    ::timerfd_settime(timerFd_, 0, &spec, nullptr);
}

}  // namespace win::detail
