#include "platform/hid/sim_socket_backend.h"
#include "tests/hid/hid_test_util.h"
#include "tests/support/temp_home.h"
#include "tools/devsim/devsim_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tavrik::devsim {
namespace {

using hid::test::Bytes;
using hid::test::Handle;
using hid::test::Open;
using hid::test::Transact;
using win::HidIoResult;

std::vector<std::wstring> Paths(hid::Backend& backend, bool* ok = nullptr) {
    std::vector<std::shared_ptr<hid::Node>> nodes;
    const bool listed = backend.ListNodes(&nodes);
    if (ok) *ok = listed;
    std::vector<std::wstring> out;
    for (const auto& n : nodes)
        for (std::size_t i = 0; i < n->CollectionCount(); ++i) out.push_back(n->Path(i));
    return out;
}

TEST(HidSocket, EmulatorInAnotherThreadServesTheProgramOverTheSocket) {
    tavrik::test::TempDir dir;
    const std::string socketPath = (dir.Path() / "devsim.sock").string();
    auto backend = hid::MakeSimSocketBackend(socketPath);
    bool ok = false;
    EXPECT_TRUE(Paths(*backend, &ok).empty());  // nobody serves yet: no devices, not a failure
    EXPECT_TRUE(ok);

    DevsimServer server(socketPath);
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    Emulator kb(ProductKind::KeyboardCable);
    ASSERT_TRUE(kb.Plug(server));
    hid::SetBackend(backend);

    auto paths = Paths(*backend, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(paths.size(), 5u);
    EXPECT_EQ(paths[4], kb.InterfacePath(kCommandCollection));

    Handle command(Open(kb.InterfacePath(kCommandCollection)));
    Handle events(Open(kb.InterfacePath(kConsumerCollection)));
    ASSERT_TRUE(command.Valid());
    Bytes reply;
    ASSERT_EQ(Transact(command, BuildCommandReport(0x03, 37, 0), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[3], 0x03);
    EXPECT_EQ(reply[8 + 5], 170);

    ASSERT_TRUE(kb.SendEvent(0x1001));
    std::uint8_t event[3] = {};
    win::DWORD n = 0;
    ASSERT_EQ(win::ReadReport(events, event, 3, &n, 1000, nullptr), HidIoResult::Ok);
    EXPECT_EQ(event[1] | (event[2] << 8), 0x1001);

    // A device plugged later appears; an unplugged one fails its handles at once.
    Emulator pad(ProductKind::MousePad);
    pad.Plug(server);
    for (int i = 0; i < 400 && Paths(*backend).size() != 10; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(Paths(*backend).size(), 10u);
    std::thread unplugger([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        kb.Unplug();
    });
    EXPECT_EQ(win::ReadReport(events, event, 3, &n, 5000, nullptr), HidIoResult::Failed);
    unplugger.join();

    // The emulator going away fails everything, and no devices are listed until it is back.
    Handle padCommand(Open(pad.InterfacePath()));
    ASSERT_TRUE(padCommand.Valid());
    server.Stop();
    Bytes buffer(64);
    EXPECT_EQ(win::ReadReport(padCommand, buffer.data(), 64, &n, 5000, nullptr), HidIoResult::Failed);
    EXPECT_TRUE(Paths(*backend, &ok).empty());
    EXPECT_TRUE(ok);

    // Back again under the same socket: found by the next listing.
    DevsimServer again(socketPath);
    ASSERT_TRUE(again.Start(&error)) << error;
    pad.Plug(again);
    EXPECT_EQ(Paths(*backend).size(), 5u);
    pad.Unplug();  // before its host goes away
    hid::SetBackend(nullptr);
}

int ConnectRaw(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

TEST(HidSocket, MalformedFramesAreDroppedAndTheServerKeepsServing) {
    tavrik::test::TempDir dir;
    const std::string socketPath = (dir.Path() / "devsim.sock").string();
    DevsimServer server(socketPath);
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    Emulator kb(ProductKind::KeyboardCable);
    ASSERT_TRUE(kb.Plug(server));

    // Frames for unknown nodes, short frames, an unknown type, then a
    // length far beyond the limit: nothing reaches the device.
    const int rogue = ConnectRaw(socketPath);
    ASSERT_GE(rogue, 0);
    const std::vector<std::vector<std::uint8_t>> frames = {
        {7, 0, 0, 0, 5, 0x99, 0x99, 0, 0, 1, 4},  // output for an unknown node
        {3, 0, 0, 0, 5, 0x10, 0},              // output too short to name a node
        {1, 0, 0, 0, 0x77},                    // unknown frame type
        {7, 0, 0, 0, 5, 0x11, 0, 0, 0, 9, 4},     // report kind out of range
        {0xFF, 0xFF, 0xFF, 0x7F, 5},           // length beyond the limit
    };
    for (const auto& f : frames) ::send(rogue, f.data(), f.size(), MSG_NOSIGNAL);
    for (int i = 0; i < 400 && server.ClientCount() != 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(server.ClientCount(), 0u);  // the client that sent the oversized frame was dropped
    ::close(rogue);
    EXPECT_TRUE(kb.Record().empty());

    auto backend = hid::MakeSimSocketBackend(socketPath);
    hid::SetBackend(backend);
    Handle command(Open(kb.InterfacePath(kCommandCollection)));
    ASSERT_TRUE(command.Valid());
    Bytes reply;
    EXPECT_EQ(Transact(command, BuildCommandReport(0x01, 0, 0), &reply), HidIoResult::Ok);
    command.Reset();
    hid::SetBackend(nullptr);
    kb.Unplug();
}

TEST(HidSocket, SeparatelyStartedEmulatorProcess) {
    tavrik::test::TempDir dir;
    const std::string socketPath = (dir.Path() / "devsim.sock").string();
    const std::string recordPath = (dir.Path() / "record.txt").string();
    int toChild[2], fromChild[2];
    ASSERT_EQ(::pipe(toChild), 0);
    ASSERT_EQ(::pipe(fromChild), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(toChild[0], 0);
        ::dup2(fromChild[1], 1);
        ::close(toChild[1]);
        ::close(fromChild[0]);
        ::execl(TAVRIK_DEVSIM_EXE, "tavrik-devsim", "--socket", socketPath.c_str(), "--record", recordPath.c_str(),
                "--log", "keyboard", "mouse-receiver", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    auto backend = hid::MakeSimSocketBackend(socketPath);
    hid::SetBackend(backend);
    std::vector<std::wstring> paths;
    bool ok = false;
    for (int i = 0; i < 400 && paths.size() != 10; ++i) {
        paths = Paths(*backend, &ok);
        if (paths.size() != 10) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(ok);
    ASSERT_EQ(paths.size(), 10u);
    Handle command(Open(paths[9]));  // the receiver mouse's command collection
    ASSERT_TRUE(command.Valid());
    Bytes reply;
    ASSERT_EQ(Transact(command, BuildCommandReport(0xAA, 0, 0), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[8], 0xFF);

    // Driven through its standard input: memory seeded, then the receiver loses its link.
    const std::string seed = "poke mouse-receiver params 0 2a\n";
    ASSERT_EQ(::write(toChild[1], seed.data(), seed.size()), static_cast<ssize_t>(seed.size()));
    bool seeded = false;
    for (int i = 0; i < 200 && !seeded; ++i) {
        ASSERT_EQ(Transact(command, BuildCommandReport(0x05, 1, 0), &reply), HidIoResult::Ok);
        seeded = reply[8] == 0x2A;
        if (!seeded) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(seeded);
    const std::string line = "peek mouse-receiver params 0 2\nlink mouse-receiver off\n";
    ASSERT_EQ(::write(toChild[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
    bool unlinked = false;
    for (int i = 0; i < 200 && !unlinked; ++i) {
        ASSERT_EQ(Transact(command, BuildCommandReport(0x05, 1, 0), &reply), HidIoResult::Ok);
        unlinked = reply[3] == 0xAA;
        if (!unlinked) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(unlinked);

    ::kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    ::close(toChild[1]);
    std::string output;
    char chunk[4096];
    for (ssize_t got; (got = ::read(fromChild[0], chunk, sizeof chunk)) > 0;) output.append(chunk, static_cast<std::size_t>(got));
    ::close(fromChild[0]);
    const auto& keyboard = Product(ProductKind::KeyboardCable);
    char serving[160];
    std::snprintf(serving, sizeof serving,
                  "serving keyboard vid %04x pid %04x command \\\\?\\hid#vid_%04x&pid_%04x&mi_01&col04#",
                  keyboard.vendorId, keyboard.productId, keyboard.vendorId, keyboard.productId);
    EXPECT_NE(output.find(serving), std::string::npos) << output;
    EXPECT_NE(output.find("mouse-receiver: command 0xAA count 0 offset 0: ok"), std::string::npos) << output;
    EXPECT_NE(output.find("peek mouse-receiver params 2a00"), std::string::npos) << output;
    Bytes buffer(64);
    win::DWORD n = 0;
    EXPECT_EQ(win::ReadReport(command, buffer.data(), 64, &n, 5000, nullptr), HidIoResult::Failed);
    hid::SetBackend(nullptr);

    std::FILE* f = std::fopen(recordPath.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char text[512];
    int lines = 0;
    bool sawQuery = false;
    while (std::fgets(text, sizeof text, f)) {
        ++lines;
        sawQuery = sawQuery || std::string(text).find("mouse-receiver 04") != std::string::npos;
    }
    std::fclose(f);
    EXPECT_GE(lines, 2);
    EXPECT_TRUE(sawQuery);
}

}  // namespace
}  // namespace tavrik::devsim
