#include "platform/hid/devsim_wire.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrik::hid::wire {
namespace {

class Writer {
public:
    void U8(std::uint8_t v) { out.push_back(v); }
    void U16(std::uint16_t v) {
        U8(v & 0xFF);
        U8(v >> 8);
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Bytes(const std::uint8_t* p, std::size_t n) { out.insert(out.end(), p, p + n); }
    std::vector<std::uint8_t> out;
};

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& in) : in_(in) {}
    bool U8(std::uint8_t* v) {
        if (pos_ + 1 > in_.size()) return false;
        *v = in_[pos_++];
        return true;
    }
    bool U16(std::uint16_t* v) {
        std::uint8_t a, b;
        if (!U8(&a) || !U8(&b)) return false;
        *v = static_cast<std::uint16_t>(a | (b << 8));
        return true;
    }
    bool U32(std::uint32_t* v) {
        std::uint16_t a, b;
        if (!U16(&a) || !U16(&b)) return false;
        *v = a | (static_cast<std::uint32_t>(b) << 16);
        return true;
    }
    bool Bytes(std::size_t n, std::vector<std::uint8_t>* v) {
        if (n > in_.size() - pos_) return false;
        v->assign(in_.begin() + static_cast<std::ptrdiff_t>(pos_), in_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
        pos_ += n;
        return true;
    }
    bool AtEnd() const { return pos_ == in_.size(); }

private:
    const std::vector<std::uint8_t>& in_;
    std::size_t pos_ = 0;
};

bool WriteAll(int fd, const std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::send(fd, p, n, MSG_NOSIGNAL);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

bool ReadAll(int fd, std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t r = ::recv(fd, p, n, 0);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        n -= static_cast<std::size_t>(r);
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeNodeAdd(std::uint32_t nodeId, const NodeInfo& info) {
    Writer w;
    w.U32(nodeId);
    w.U16(info.vendorId);
    w.U16(info.productId);
    w.U16(info.version);
    w.U16(static_cast<std::uint16_t>(static_cast<std::int16_t>(info.interfaceNumber)));
    w.U8(info.bluetooth ? 1 : 0);
    w.U16(static_cast<std::uint16_t>(info.instance.size()));
    w.Bytes(reinterpret_cast<const std::uint8_t*>(info.instance.data()), info.instance.size());
    w.U32(static_cast<std::uint32_t>(info.descriptor.size()));
    w.Bytes(info.descriptor.data(), info.descriptor.size());
    return w.out;
}

bool DecodeNodeAdd(const std::vector<std::uint8_t>& payload, std::uint32_t* nodeId, NodeInfo* info) {
    Reader r(payload);
    std::uint16_t itf = 0, instanceLength = 0;
    std::uint8_t bt = 0;
    std::uint32_t descLength = 0;
    std::vector<std::uint8_t> instance;
    if (!r.U32(nodeId) || !r.U16(&info->vendorId) || !r.U16(&info->productId) || !r.U16(&info->version) ||
        !r.U16(&itf) || !r.U8(&bt) || !r.U16(&instanceLength) || !r.Bytes(instanceLength, &instance) ||
        !r.U32(&descLength) || descLength > 65536 || !r.Bytes(descLength, &info->descriptor) || !r.AtEnd())
        return false;
    info->interfaceNumber = static_cast<std::int16_t>(itf);
    info->bluetooth = bt != 0;
    info->instance.assign(instance.begin(), instance.end());
    return true;
}

std::vector<std::uint8_t> EncodeReport(std::uint32_t nodeId, std::uint8_t kind, const std::uint8_t* report,
                                       std::size_t length) {
    Writer w;
    w.U32(nodeId);
    w.U8(kind);
    w.Bytes(report, length);
    return w.out;
}

bool DecodeReport(const std::vector<std::uint8_t>& payload, std::uint32_t* nodeId, std::uint8_t* kind,
                  std::vector<std::uint8_t>* report) {
    Reader r(payload);
    if (!r.U32(nodeId) || !r.U8(kind)) return false;
    return r.Bytes(payload.size() - 5, report) && !report->empty();
}

std::vector<std::uint8_t> EncodeNodeId(std::uint32_t nodeId) {
    Writer w;
    w.U32(nodeId);
    return w.out;
}

bool DecodeNodeId(const std::vector<std::uint8_t>& payload, std::uint32_t* nodeId) {
    Reader r(payload);
    return r.U32(nodeId) && r.AtEnd();
}

std::vector<std::uint8_t> EncodeFrame(FrameType type, const std::vector<std::uint8_t>& payload) {
    if (payload.size() + 1 > kMaxFrame) return {};
    Writer w;
    w.U32(static_cast<std::uint32_t>(payload.size() + 1));
    w.U8(static_cast<std::uint8_t>(type));
    w.Bytes(payload.data(), payload.size());
    return w.out;
}

bool WriteFrame(int fd, FrameType type, const std::vector<std::uint8_t>& payload) {
    return WriteEncoded(fd, EncodeFrame(type, payload));
}

bool WriteEncoded(int fd, const std::vector<std::uint8_t>& frame) {
    return !frame.empty() && WriteAll(fd, frame.data(), frame.size());
}

bool ReadFrame(int fd, FrameType* type, std::vector<std::uint8_t>* payload) {
    std::uint8_t head[5];
    if (!ReadAll(fd, head, sizeof head)) return false;
    const std::uint32_t length =
        head[0] | (head[1] << 8) | (head[2] << 16) | (static_cast<std::uint32_t>(head[3]) << 24);
    if (length == 0 || length > kMaxFrame) return false;
    *type = static_cast<FrameType>(head[4]);
    payload->resize(length - 1);
    return length == 1 || ReadAll(fd, payload->data(), payload->size());
}

}  // namespace tavrik::hid::wire
