// Feeds arbitrary bytes as the stream between the device emulator and the
// program: every frame read from it is decoded as each kind of payload.
// Reading must stop at the first malformed frame and never read out of
// bounds or take a declared size on trust.

#include "platform/hid/devsim_wire.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace wire = tavrik::hid::wire;
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return 0;
    int room = 1 << 20;
    ::setsockopt(fds[0], SOL_SOCKET, SO_SNDBUF, &room, sizeof room);
    ::setsockopt(fds[1], SOL_SOCKET, SO_RCVBUF, &room, sizeof room);
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(fds[0], data + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    ::shutdown(fds[0], SHUT_WR);
    wire::FrameType type;
    std::vector<std::uint8_t> payload;
    while (wire::ReadFrame(fds[1], &type, &payload)) {
        std::uint32_t nodeId = 0;
        tavrik::hid::NodeInfo info;
        wire::DecodeNodeAdd(payload, &nodeId, &info);
        std::uint8_t kind = 0;
        std::vector<std::uint8_t> report;
        wire::DecodeReport(payload, &nodeId, &kind, &report);
        wire::DecodeNodeId(payload, &nodeId);
    }
    ::close(fds[0]);
    ::close(fds[1]);
    return 0;
}
