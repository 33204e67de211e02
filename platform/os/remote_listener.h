#pragma once

// Serves the socket of a reachable window on the window's own thread, inside
// its message waits, without ever waiting on a peer: connections are
// accepted and read without blocking, a packet is handled when it has
// arrived (SOCK_SEQPACKET delivers it whole), and a connection that sends
// nothing is closed at its deadline by a timer, so idle peers cost the
// window nothing.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <list>
#include <memory>

#include "platform/files/win_types.h"

namespace win::detail {

// Everything another process delivers passes here: the packet is checked
// (ParseIncomingPacket, the one rule of what may come in) and only then
// posted or sent to hwnd; a send's result goes back on replyFd. False when
// the packet was refused.
bool DeliverIncomingPacket(HWND hwnd, int replyFd, const unsigned char* bytes, std::size_t size);

class RemoteListener : public std::enable_shared_from_this<RemoteListener> {
public:
    // How long an accepted connection may take to deliver its packet.
    static constexpr std::chrono::milliseconds kReceiveDeadline{1000};
    // Connections waiting for their packet at once; past this the oldest is closed.
    static constexpr std::size_t kMaxWaiting = 256;

    // Serves listenFd (bound, listening, non-blocking; the listener owns it
    // from here on) for hwnd on the calling thread. Null when the timer
    // cannot be made (listenFd is closed then).
    static std::shared_ptr<RemoteListener> Start(HWND hwnd, int listenFd);
    ~RemoteListener();
    RemoteListener(const RemoteListener&) = delete;
    RemoteListener& operator=(const RemoteListener&) = delete;

    // Closes the socket and every waiting connection. From another thread
    // than the owner, the owner's sources drop themselves when they next run.
    void Stop();

private:
    struct Connection {
        int fd = -1;
        int sourceId = 0;
        std::chrono::steady_clock::time_point deadline;
    };
    using ConnectionPtr = std::shared_ptr<Connection>;

    RemoteListener(HWND hwnd, int listenFd, int timerFd);
    // False (and everything closed) once stopped; owner thread only.
    bool Serving();
    void CloseAll();
    void OnListenReady();
    void OnConnectionReady(const ConnectionPtr& connection);
    void OnTimer();
    void Wait(int fd);
    // Takes the connection out of the waiting list and its source off the
    // thread (by value: callers pass elements of the list).
    void Forget(ConnectionPtr connection);
    void Close(ConnectionPtr connection);
    void ArmTimer();
    // Receives the packet waiting on fd and handles it. False when nothing
    // has arrived yet; true when the connection is done (handled, dropped,
    // or closed by the peer).
    bool ReceiveAndHandle(int fd, const ConnectionPtr& connection);

    HWND hwnd_ = nullptr;
    DWORD ownerThread_ = 0;
    int listenFd_ = -1;
    int timerFd_ = -1;
    int listenSource_ = 0;
    int timerSource_ = 0;
    std::atomic<bool> stopped_{false};
    std::list<ConnectionPtr> waiting_;  // oldest first
};

}  // namespace win::detail
