#include "platform/hid/hidraw_backend.h"
#include "tests/hid/hid_test_util.h"
#include "tests/support/temp_home.h"
#include "tools/devsim/products.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrik::hid {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::Handle;
using test::Open;
using win::HidIoResult;

const Bytes kConsumerNoIds = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x01, 0x26, 0xFF, 0x03, 0x19, 0x01,
                              0x2A, 0xFF, 0x03, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0x91, 0x00, 0xC0};

void WriteFile(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

// A fake sysfs tree and device nodes that are socketpairs.
class FakeHidraw : public ::testing::Test {
protected:
    void SetUp() override {
        sys = dir.Path() / "sys";
        dev = dir.Path() / "dev";
        fs::create_directories(dev);
        backend = MakeHidrawBackend(sys, dev, [this](const fs::path& p) { return OpenNode(p); });
        SetBackend(backend);
    }
    void TearDown() override {
        SetBackend(nullptr);
        backend.reset();
        for (auto& [name, fds] : peers) ::close(fds);
    }

    // usbDevice/usbInterface/hidDevice folders, class link, uevent, descriptor.
    void AddNode(const std::string& name, const std::string& hidId, const std::string& seq, int interfaceNumber,
                 int interfaces, const Bytes& descriptor) {
        const fs::path usb = sys / "devices" / ("usb-" + name);
        const fs::path itf = usb / ("1-1:1." + std::to_string(interfaceNumber));
        const fs::path hid = itf / (hidId + "." + seq);
        WriteFile(usb / "bNumInterfaces", " " + std::to_string(interfaces) + "\n");
        WriteFile(usb / "bcdDevice", "0104\n");
        WriteFile(itf / "bInterfaceNumber", "0" + std::to_string(interfaceNumber) + "\n");
        WriteFile(hid / "uevent", "DRIVER=hid-generic\nHID_ID=" + hidId.substr(0, 4) + ":0000" + hidId.substr(5, 4) +
                                      ":0000" + hidId.substr(10, 4) + "\nHID_NAME=Test\n");
        WriteFile(hid / "report_descriptor", std::string(descriptor.begin(), descriptor.end()));
        fs::create_directories(sys / "class" / "hidraw" / name);
        fs::remove(sys / "class" / "hidraw" / name / "device");
        fs::create_directory_symlink(hid, sys / "class" / "hidraw" / name / "device");
    }

    int OpenNode(const fs::path& p) {
        if (refused.count(p.filename().string())) {
            errno = EACCES;
            return -1;
        }
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0) return -1;
        std::lock_guard lock(mutex);
        if (peers.count(p.filename().string())) ::close(peers[p.filename().string()]);
        peers[p.filename().string()] = fds[1];
        return fds[0];
    }
    int Peer(const std::string& name) {
        std::lock_guard lock(mutex);
        return peers.count(name) ? peers[name] : -1;
    }

    std::vector<std::wstring> Paths() {
        std::vector<std::shared_ptr<Node>> nodes;
        EXPECT_TRUE(backend->ListNodes(&nodes));
        std::vector<std::wstring> out;
        for (const auto& n : nodes)
            for (std::size_t i = 0; i < n->CollectionCount(); ++i) out.push_back(n->Path(i));
        return out;
    }

    tavrik::test::TempDir dir;
    fs::path sys, dev;
    std::shared_ptr<Backend> backend;
    std::mutex mutex;
    std::map<std::string, int> peers;
    std::set<std::string> refused;  // device files without permission
};

TEST_F(FakeHidraw, EnumeratesCollectionsFromSysfsAndSkipsVanishedNodes) {
    const Bytes composite = devsim::MakeDeviceDescription(devsim::ProductKind::KeyboardCable).interfaces[1].descriptor;
    AddNode("hidraw10", "0003:3151:4010", "000A", 1, 2, composite);
    AddNode("hidraw2", "0003:046D:C077", "0003", 0, 1, kConsumerNoIds);
    AddNode("hidraw3", "0005:046D:B33C", "0004", 0, 1, kConsumerNoIds);
    // A node whose device went away between listing and reading.
    fs::create_directories(sys / "class" / "hidraw" / "hidraw5");
    fs::create_directory_symlink(sys / "devices" / "gone", sys / "class" / "hidraw" / "hidraw5" / "device");

    auto paths = Paths();
    const std::wstring guid = L"#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    ASSERT_EQ(paths.size(), 6u);
    EXPECT_EQ(paths[0], L"\\\\?\\hid#vid_046d&pid_c077#hidraw2&0003" + guid);
    EXPECT_EQ(paths[1].find(L"vid_"), std::wstring::npos);  // Bluetooth
    EXPECT_EQ(paths[2], L"\\\\?\\hid#vid_3151&pid_4010&mi_01&col01#hidraw10&000a" + guid);
    EXPECT_EQ(paths[5], L"\\\\?\\hid#vid_3151&pid_4010&mi_01&col04#hidraw10&000a" + guid);

    Handle h(Open(paths[5], 0));
    ASSERT_TRUE(h.Valid());
    win::HIDD_ATTRIBUTES a;
    ASSERT_TRUE(win::HidD_GetAttributes(h, &a));
    EXPECT_EQ(a.VendorID, 0x3151);
    EXPECT_EQ(a.ProductID, 0x4010);
    EXPECT_EQ(a.VersionNumber, 0x0104);
}

TEST_F(FakeHidraw, RoutesInputReportsByIdAndWritesThroughTheNode) {
    const Bytes composite = devsim::MakeDeviceDescription(devsim::ProductKind::KeyboardCable).interfaces[1].descriptor;
    AddNode("hidraw0", "0003:3151:4010", "0001", 1, 2, composite);
    auto paths = Paths();
    ASSERT_EQ(paths.size(), 4u);
    Handle events(Open(paths[2]));
    Handle command(Open(paths[3]));
    ASSERT_TRUE(events.Valid());
    ASSERT_TRUE(command.Valid());
    const int peer = Peer("hidraw0");
    ASSERT_GE(peer, 0);

    Bytes request = devsim::BuildCommandReport(0x03, 37, 0);
    win::DWORD n = 0;
    ASSERT_EQ(win::WriteReport(command, request.data(), 64, &n, 500, nullptr), HidIoResult::Ok);
    Bytes got(128);
    ASSERT_EQ(::recv(peer, got.data(), got.size(), 0), 64);
    got.resize(64);
    EXPECT_EQ(got, request);

    const Bytes event = {0x03, 0x02, 0x11};
    ASSERT_EQ(::send(peer, event.data(), event.size(), 0), 3);
    Bytes reply(64, 0x04);
    ASSERT_EQ(::send(peer, reply.data(), reply.size(), 0), 64);
    Bytes buffer(64);
    ASSERT_EQ(win::ReadReport(events, buffer.data(), 3, &n, 1000, nullptr), HidIoResult::Ok);
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(buffer[1] | (buffer[2] << 8), 0x1102);
    ASSERT_EQ(win::ReadReport(command, buffer.data(), 64, &n, 1000, nullptr), HidIoResult::Ok);
    EXPECT_EQ(buffer, reply);
    EXPECT_EQ(win::ReadReport(command, buffer.data(), 64, &n, 0, nullptr), HidIoResult::TimedOut);

    // The node's end closing is an unplug: a waiting read fails at once.
    ::shutdown(peer, SHUT_RDWR);
    EXPECT_EQ(win::ReadReport(events, buffer.data(), 3, &n, 5000, nullptr), HidIoResult::Failed);
    EXPECT_EQ(win::WriteReport(command, request.data(), 64, &n, 500, nullptr), HidIoResult::Failed);
}

TEST_F(FakeHidraw, NodesWithoutReportIdsGetAndLoseTheZeroByte) {
    AddNode("hidraw1", "0003:1234:5678", "0002", 0, 1, kConsumerNoIds);
    auto paths = Paths();
    ASSERT_EQ(paths.size(), 1u);
    Handle h(Open(paths[0]));
    ASSERT_TRUE(h.Valid());
    const int peer = Peer("hidraw1");
    const Bytes data = {0x34, 0x02};
    ASSERT_EQ(::send(peer, data.data(), data.size(), 0), 2);
    Bytes buffer(3);
    win::DWORD n = 0;
    ASSERT_EQ(win::ReadReport(h, buffer.data(), 3, &n, 1000, nullptr), HidIoResult::Ok);
    EXPECT_EQ(buffer, (Bytes{0x00, 0x34, 0x02}));
    win::PHIDP_PREPARSED_DATA p = nullptr;
    ASSERT_TRUE(win::HidD_GetPreparsedData(h, &p));
    win::USAGE usages[2];
    std::uint32_t count = 2;
    EXPECT_EQ(win::HidP_GetUsages(win::HidP_Input, 0x0C, 0, usages, &count, p, buffer.data(), 3),
              win::HIDP_STATUS_SUCCESS);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(usages[0], 0x0234);
    win::HidD_FreePreparsedData(p);

    const Bytes out = {0x00, 0x05, 0x00};
    ASSERT_EQ(win::WriteReport(h, out.data(), 3, &n, 500, nullptr), HidIoResult::Ok);
    Bytes got(16);
    ASSERT_EQ(::recv(peer, got.data(), got.size(), 0), 2);
    EXPECT_EQ(got[0], 0x05);
}

TEST_F(FakeHidraw, ReplugUnderTheSameNodeNameIsANewInterface) {
    AddNode("hidraw1", "0003:1234:5678", "0002", 0, 1, kConsumerNoIds);
    auto before = Paths();
    Handle h(Open(before[0], win::GENERIC_READ));
    ASSERT_TRUE(h.Valid());
    AddNode("hidraw1", "0003:1234:5678", "0007", 0, 1, kConsumerNoIds);
    auto after = Paths();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_NE(after[0], before[0]);
    Bytes buffer(3);
    win::DWORD n = 0;
    EXPECT_EQ(win::ReadReport(h, buffer.data(), 3, &n, 0, nullptr), HidIoResult::Failed);
    EXPECT_EQ(Open(before[0], 0), win::INVALID_HANDLE_VALUE);
}

TEST_F(FakeHidraw, DeviceFileWithoutPermissionRefusesReadingButNotThePresenceCheck) {
    AddNode("hidraw4", "0003:1234:5678", "0002", 0, 1, kConsumerNoIds);
    refused.insert("hidraw4");
    auto paths = Paths();
    ASSERT_EQ(paths.size(), 1u);
    Handle reader(Open(paths[0], win::GENERIC_READ));
    EXPECT_FALSE(reader.Valid());
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
    Handle presence(Open(paths[0], 0));
    EXPECT_TRUE(presence.Valid());
}

}  // namespace
}  // namespace tavrik::hid
