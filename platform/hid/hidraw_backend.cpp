#include "platform/hid/hidraw_backend.h"

#include "platform/os/clock.h"
#include "platform/dump/signal_stack.h"
#include "platform/os/event.h"
#include "platform/os/thread.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace tavrik::hid {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxDescriptor = 4096;

std::string ReadSmallFile(const fs::path& p, std::size_t limit = 65536) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return {};
    std::string s(limit, '\0');
    in.read(s.data(), static_cast<std::streamsize>(limit));
    s.resize(static_cast<std::size_t>(in.gcount()));
    return s;
}

std::string Trim(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ' || s.back() == '\r')) s.pop_back();
    return s;
}

// The number at the end of "hidraw12"; names without one sort last.
long NodeNumber(const std::string& name) {
    std::size_t i = name.size();
    while (i > 0 && std::isdigit(static_cast<unsigned char>(name[i - 1]))) --i;
    if (i == name.size()) return -1;
    return std::strtol(name.c_str() + i, nullptr, 10);
}

struct Probe {
    NodeInfo info;
    std::string hidDir;  // canonical HID device folder: tells one plug-in from the next
};

bool ProbeNode(const fs::path& sysRoot, const std::string& name, Probe* out) {
    std::error_code ec;
    const fs::path link = sysRoot / "class" / "hidraw" / name / "device";
    const fs::path hidDir = fs::canonical(link, ec);
    if (ec) return false;
    const std::string uevent = ReadSmallFile(hidDir / "uevent");
    unsigned bus = 0, vendor = 0, product = 0;
    bool haveId = false;
    std::istringstream lines(uevent);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("HID_ID=", 0) == 0 && std::sscanf(line.c_str() + 7, "%x:%x:%x", &bus, &vendor, &product) == 3)
            haveId = true;
    }
    if (!haveId) return false;
    const std::string desc = ReadSmallFile(hidDir / "report_descriptor", kMaxDescriptor);
    if (desc.empty()) return false;

    NodeInfo& info = out->info;
    info.vendorId = static_cast<std::uint16_t>(vendor);
    info.productId = static_cast<std::uint16_t>(product);
    info.bluetooth = bus == 0x05;
    info.descriptor.assign(desc.begin(), desc.end());
    info.interfaceNumber = -1;
    if (bus == 0x03) {  // USB: the interface folder holds the HID device, the device folder the interface
        const fs::path itf = hidDir.parent_path();
        const fs::path usb = itf.parent_path();
        const std::string number = Trim(ReadSmallFile(itf / "bInterfaceNumber", 64));
        const std::string count = Trim(ReadSmallFile(usb / "bNumInterfaces", 64));
        if (!number.empty() && std::strtol(count.c_str(), nullptr, 10) > 1)
            info.interfaceNumber = static_cast<int>(std::strtol(number.c_str(), nullptr, 16));
        const std::string bcd = Trim(ReadSmallFile(usb / "bcdDevice", 64));
        if (!bcd.empty()) info.version = static_cast<std::uint16_t>(std::strtoul(bcd.c_str(), nullptr, 16));
    }
    // The HID device folder is named bus:vendor:product.sequence; the sequence
    // changes with every plug-in, so a replugged device gets a new path.
    const std::string dirName = hidDir.filename().string();
    const auto dot = dirName.rfind('.');
    std::string seq = dot == std::string::npos ? "0" : dirName.substr(dot + 1);
    std::transform(seq.begin(), seq.end(), seq.begin(), [](unsigned char c) { return std::tolower(c); });
    info.instance = name + "&" + seq;
    out->hidDir = hidDir.string();
    return true;
}

int DefaultOpen(const fs::path& p) {
    int fd = ::open(p.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == EACCES) fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return fd;
}

bool Writable(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && (flags & O_ACCMODE) != O_RDONLY;
}

class HidrawNode : public Node {
public:
    HidrawNode(NodeInfo info, fs::path device, NodeOpener opener)
        : Node(std::move(info)), device_(std::move(device)), opener_(std::move(opener)) {}

    ~HidrawNode() override {
        StopReader();
        std::lock_guard lock(fdMutex_);
        if (fd_ >= 0) ::close(fd_);
    }

    win::HidIoResult SendOutput(win::HIDP_REPORT_TYPE, const std::uint8_t* report, std::size_t length,
                                win::DWORD timeoutMs, win::HANDLE cancelEvent) override {
        const int fd = Fd();
        if (fd < 0 || !Present()) {
            win::SetLastError(win::ERROR_DEVICE_NOT_CONNECTED);
            return win::HidIoResult::Failed;
        }
        // Without report ids the node takes the data alone.
        const bool strip = !Descriptor().usesReportIds;
        const std::uint8_t* data = strip ? report + 1 : report;
        const std::size_t size = strip ? length - 1 : length;
        const std::uint64_t start = win::GetTickCount64();
        for (;;) {
            const ssize_t n = ::write(fd, data, size);
            if (n == static_cast<ssize_t>(size)) return win::HidIoResult::Ok;
            if (n >= 0 || (errno != EAGAIN && errno != EINTR)) {
                if (n < 0 && (errno == ENODEV || errno == EPIPE || errno == ENXIO)) MarkGone();
                win::SetLastError(win::ERROR_DEVICE_NOT_CONNECTED);
                return win::HidIoResult::Failed;
            }
            std::uint64_t elapsed = win::GetTickCount64() - start;
            if (timeoutMs != win::INFINITE && elapsed >= timeoutMs) return win::HidIoResult::TimedOut;
            const win::DWORD wait =
                timeoutMs == win::INFINITE ? win::INFINITE : static_cast<win::DWORD>(timeoutMs - elapsed);
            win::WaitDescriptor d{fd, true};
            win::HANDLE cancels[2];
            win::DWORD count = 0;
            if (cancelEvent) cancels[count++] = cancelEvent;
            cancels[count++] = win::GetThreadCancelEvent();
            const win::DWORD r = win::WaitForObjectsAndDescriptors(count, cancels, 1, &d, wait);
            if (r < win::WAIT_OBJECT_0 + count) return win::HidIoResult::Cancelled;
            if (r == win::WAIT_TIMEOUT) return win::HidIoResult::TimedOut;
            if (r == win::WAIT_FAILED) return win::HidIoResult::Failed;
        }
    }

    const fs::path& Device() const { return device_; }

    bool Accessible(win::DWORD access) override {
        const int fd = Fd();
        if (fd < 0) return false;
        return !(access & win::GENERIC_WRITE) || Writable(fd);
    }

protected:
    void OnReadersChanged(std::size_t readers) override {
        if (readers > 0) StartReader();
    }

private:
    int Fd() {
        std::lock_guard lock(fdMutex_);
        if (fd_ < 0) fd_ = opener_ ? opener_(device_) : DefaultOpen(device_);
        return fd_;
    }

    // The reader thread shares this with the node; it lets a node that is
    // released on the reader thread itself end the thread safely.
    struct Reader {
        win::HANDLE stop = nullptr;
        std::atomic<bool> ended{false};
        std::thread thread;
    };

    void StartReader() {
        std::lock_guard lock(readerMutex_);
        if (reader_) return;
        const int fd = Fd();
        if (fd < 0) return;
        reader_ = std::make_shared<Reader>();
        reader_->stop = win::CreateEventW(nullptr, win::TRUE, win::FALSE, nullptr);
        std::weak_ptr<Node> weak = weak_from_this();
        auto reader = reader_;
        reader_->thread = std::thread([weak, reader, fd] {
            const win::ThreadSignalStack signalStack;  // crashes here are dumped too
            ReadLoop(weak, reader, fd);
        });
    }

    void StopReader() {
        std::shared_ptr<Reader> reader;
        {
            std::lock_guard lock(readerMutex_);
            reader.swap(reader_);
        }
        if (!reader) return;
        reader->ended = true;
        win::SetEvent(reader->stop);
        if (reader->thread.get_id() == std::this_thread::get_id()) {
            reader->thread.detach();  // the loop sees `ended` and leaves without touching the node
        } else {
            reader->thread.join();
        }
    }

    // Reads reports for as long as the node lives; one read is one report.
    static void ReadLoop(std::weak_ptr<Node> weak, std::shared_ptr<Reader> reader, int fd) {
        std::vector<std::uint8_t> buffer(kMaxDescriptor + 1);
        while (!reader->ended) {
            win::WaitDescriptor d{fd, false};
            const win::DWORD r = win::WaitForObjectsAndDescriptors(1, &reader->stop, 1, &d, win::INFINITE);
            if (r != win::WAIT_OBJECT_0 + 1 || reader->ended) break;
            auto node = weak.lock();
            if (!node) break;
            const ssize_t n = ::read(fd, buffer.data() + 1, buffer.size() - 1);
            if (n > 0) {
                if (!node->Descriptor().usesReportIds) {
                    buffer[0] = 0;
                    node->DeliverInput(buffer.data(), static_cast<std::size_t>(n) + 1);
                } else {
                    node->DeliverInput(buffer.data() + 1, static_cast<std::size_t>(n));
                }
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            node->MarkGone();  // end of file or a device error: the node is gone
            break;
        }
        win::CloseHandle(reader->stop);
    }

    fs::path device_;
    NodeOpener opener_;
    std::mutex fdMutex_;
    int fd_ = -1;
    std::mutex readerMutex_;
    std::shared_ptr<Reader> reader_;
};

class HidrawBackend : public Backend {
public:
    HidrawBackend(fs::path sysRoot, fs::path devRoot, NodeOpener opener)
        : sysRoot_(std::move(sysRoot)), devRoot_(std::move(devRoot)), opener_(std::move(opener)) {}

    bool ListNodes(std::vector<std::shared_ptr<Node>>* nodes) override {
        std::error_code ec;
        const fs::path dir = sysRoot_ / "class" / "hidraw";
        std::vector<std::string> names;
        if (fs::is_directory(dir, ec)) {
            for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
                names.push_back(it->path().filename().string());
        }
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            const long na = NodeNumber(a), nb = NodeNumber(b);
            return na != nb ? (na < 0 ? false : nb < 0 ? true : na < nb) : a < b;
        });
        std::lock_guard lock(mutex_);
        std::map<std::string, Entry> next;
        nodes->clear();
        for (const auto& name : names) {
            // A node whose HID device folder is unchanged is the same plug-in:
            // its attributes are not read again.
            auto it = known_.find(name);
            const fs::path hidDir = fs::canonical(dir / name / "device", ec);
            if (ec) continue;  // vanished: skip
            if (it != known_.end() && it->second.hidDir == hidDir.string() && it->second.node->Present()) {
                next[name] = it->second;
                nodes->push_back(it->second.node);
                continue;
            }
            Probe probe;
            if (!ProbeNode(sysRoot_, name, &probe)) continue;  // vanished or unreadable: skip
            next[name] = Entry{probe.hidDir, std::make_shared<HidrawNode>(probe.info, devRoot_ / name, opener_)};
            nodes->push_back(next[name].node);
        }
        for (auto& [name, entry] : known_) {
            auto it = next.find(name);
            if (it == next.end() || it->second.node != entry.node) entry.node->MarkGone();
        }
        known_.swap(next);
        return true;
    }

private:
    struct Entry {
        std::string hidDir;
        std::shared_ptr<HidrawNode> node;
    };
    fs::path sysRoot_;
    fs::path devRoot_;
    NodeOpener opener_;
    std::mutex mutex_;
    std::map<std::string, Entry> known_;
};

}  // namespace

std::shared_ptr<Backend> MakeHidrawBackend(const fs::path& sysRoot, const fs::path& devRoot, NodeOpener opener) {
    return std::make_shared<HidrawBackend>(sysRoot, devRoot, std::move(opener));
}

}  // namespace tavrik::hid
