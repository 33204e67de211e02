#include "platform/hid/sim_socket_backend.h"
#include "tests/hid/hid_test_util.h"
#include "tests/support/temp_home.h"
#include "tests/support/wait_bound.h"
#include "tools/devsim/devsim_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <poll.h>
#include <cstdio>
#include <sys/socket.h>
#include <sys/stat.h>
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
    ASSERT_EQ(win::ReadReport(events, event, 3, &n, tavrik::test::WaitBoundMs(1000), nullptr), HidIoResult::Ok);
    EXPECT_EQ(event[1] | (event[2] << 8), 0x1001);

    // A device plugged later appears; an unplugged one fails its handles at once.
    Emulator pad(ProductKind::MousePad);
    pad.Plug(server);
    tavrik::test::WaitUntil([&] { return Paths(*backend).size() == 10; }, std::chrono::seconds(2));
    EXPECT_EQ(Paths(*backend).size(), 10u);
    std::thread unplugger([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        kb.Unplug();
    });
    EXPECT_EQ(win::ReadReport(events, event, 3, &n, tavrik::test::WaitBoundMs(5000), nullptr), HidIoResult::Failed);
    unplugger.join();

    // The emulator going away fails everything, and no devices are listed until it is back.
    Handle padCommand(Open(pad.InterfacePath()));
    ASSERT_TRUE(padCommand.Valid());
    server.Stop();
    Bytes buffer(64);
    EXPECT_EQ(win::ReadReport(padCommand, buffer.data(), 64, &n, tavrik::test::WaitBoundMs(5000), nullptr),
              HidIoResult::Failed);
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
        {3, 0, 0, 0, 5, 0x10, 0},                 // output too short to name a node
        {1, 0, 0, 0, 0x77},                       // unknown frame type
        {7, 0, 0, 0, 5, 0x11, 0, 0, 0, 9, 4},     // report kind out of range
        {0xFF, 0xFF, 0xFF, 0x7F, 5},              // length beyond the limit
    };
    for (const auto& f : frames) ::send(rogue, f.data(), f.size(), MSG_NOSIGNAL);
    tavrik::test::WaitUntil([&] { return server.ClientCount() == 0; }, std::chrono::seconds(2));
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

// tavrik-devsim started as its own process, with pipes on its standard input and output.
struct DevsimProcess {
    explicit DevsimProcess(std::vector<std::string> args) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        child = ::fork();
        if (child == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::close(in[1]);
            ::close(out[0]);
            std::vector<char*> argv{const_cast<char*>("tavrik-devsim")};
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(TAVRIK_DEVSIM_EXE, argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        toChild = in[1];
        fromChild = out[0];
    }
    ~DevsimProcess() {
        if (child > 0 && !ended) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        if (toChild >= 0) ::close(toChild);
        if (fromChild >= 0) ::close(fromChild);
    }
    bool Write(const std::string& text) const {
        return ::write(toChild, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }
    // Output up to and including the first line that contains `what`; "" after
    // 10 s (scaled) or at the end of the output.
    std::string ReadUntil(const std::string& what) {
        std::string output;
        bool ended = false;
        tavrik::test::WaitUntil(
            [&] {
                pollfd p{fromChild, POLLIN, 0};
                if (::poll(&p, 1, 10) > 0) {
                    char chunk[4096];
                    const ssize_t got = ::read(fromChild, chunk, sizeof chunk);
                    if (got <= 0)
                        ended = true;
                    else
                        output.append(chunk, static_cast<std::size_t>(got));
                }
                return ended || output.find(what) != std::string::npos;
            },
            std::chrono::seconds(10), std::chrono::milliseconds(0));
        return output.find(what) == std::string::npos ? std::string() : output;
    }
    int Stop() {
        ::kill(child, SIGTERM);
        int status = 0;
        ended = ::waitpid(child, &status, 0) == child;
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    pid_t child = -1;
    int toChild = -1;
    int fromChild = -1;
    bool ended = false;
};

TEST(HidSocket, SeparatelyStartedEmulatorProcess) {
    tavrik::test::TempDir dir;
    const std::string socketPath = (dir.Path() / "devsim.sock").string();
    const std::string recordPath = (dir.Path() / "record.txt").string();
    DevsimProcess process({"--socket", socketPath, "--record", recordPath, "--log", "keyboard", "mouse-receiver"});
    ASSERT_GT(process.child, 0);
    auto backend = hid::MakeSimSocketBackend(socketPath);
    hid::SetBackend(backend);
    std::vector<std::wstring> paths;
    bool ok = false;
    tavrik::test::WaitUntil(
        [&] {
            paths = Paths(*backend, &ok);
            return paths.size() == 10;
        },
        std::chrono::seconds(4), std::chrono::milliseconds(10));
    ASSERT_TRUE(ok);
    ASSERT_EQ(paths.size(), 10u);
    Handle command(Open(paths[9]));  // the receiver mouse's command collection
    ASSERT_TRUE(command.Valid());
    Bytes reply;
    ASSERT_EQ(Transact(command, BuildCommandReport(0xAA, 0, 0), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[8], 0xFF);

    // Driven through its standard input: memory seeded, then the receiver loses its link.
    const std::string seed = "poke mouse-receiver params 0 2a00\n";
    ASSERT_EQ(process.Write(seed), true);
    bool seeded = false;
    HidIoResult seededRead = HidIoResult::Ok;
    tavrik::test::WaitUntil(
        [&] {
            seededRead = Transact(command, BuildCommandReport(0x05, 1, 0), &reply);
            seeded = seededRead == HidIoResult::Ok && reply[8] == 0x2A;
            return seeded || seededRead != HidIoResult::Ok;
        },
        std::chrono::seconds(2), std::chrono::milliseconds(10));
    ASSERT_EQ(seededRead, HidIoResult::Ok);
    EXPECT_TRUE(seeded);
    const std::string line = "peek mouse-receiver params 0 2\nlink mouse-receiver off\n";
    ASSERT_EQ(process.Write(line), true);
    bool unlinked = false;
    HidIoResult unlinkedRead = HidIoResult::Ok;
    tavrik::test::WaitUntil(
        [&] {
            unlinkedRead = Transact(command, BuildCommandReport(0x05, 1, 0), &reply);
            unlinked = unlinkedRead == HidIoResult::Ok && reply[3] == 0xAA;
            return unlinked || unlinkedRead != HidIoResult::Ok;
        },
        std::chrono::seconds(2), std::chrono::milliseconds(10));
    ASSERT_EQ(unlinkedRead, HidIoResult::Ok);
    EXPECT_TRUE(unlinked);

    EXPECT_EQ(process.Stop(), 0);
    std::string output;
    char chunk[4096];
    for (ssize_t got; (got = ::read(process.fromChild, chunk, sizeof chunk)) > 0;)
        output.append(chunk, static_cast<std::size_t>(got));
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
    EXPECT_EQ(win::ReadReport(command, buffer.data(), 64, &n, tavrik::test::WaitBoundMs(5000), nullptr),
              HidIoResult::Failed);
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

// Waits (bounded) until the server has `count` clients.
bool ClientCountBecomes(DevsimServer& server, std::size_t count) {
    return tavrik::test::WaitUntil([&] { return server.ClientCount() == count; }, std::chrono::seconds(5));
}

TEST(HidSocket, AClientThatStopsReadingHoldsUpNobodyAndIsDisconnected) {
    tavrik::test::TempDir dir;
    const std::string socketPath = (dir.Path() / "devsim.sock").string();
    DevsimServer server(socketPath, 16 * 1024);
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    Emulator kb(ProductKind::KeyboardCable);
    ASSERT_TRUE(kb.Plug(server));

    const int idle = ConnectRaw(socketPath);  // never reads
    ASSERT_GE(idle, 0);
    ASSERT_TRUE(ClientCountBecomes(server, 1));
    auto backend = hid::MakeSimSocketBackend(socketPath);
    hid::SetBackend(backend);
    {
        Handle command(Open(kb.InterfacePath(kCommandCollection)));
        ASSERT_TRUE(command.Valid());
        // Every reply goes to both clients: the idle one's socket fills after
        // a few hundred, and its queue overflows soon after.
        Bytes reply;
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(Transact(command, BuildCommandReport(0x03, 37, 0), &reply), HidIoResult::Ok) << i;
    }
    EXPECT_TRUE(ClientCountBecomes(server, 1)) << "the client that stopped reading is still served";
    hid::SetBackend(nullptr);
    ::close(idle);
    kb.Unplug();
}

TEST(HidSocket, CommandLineAnswersWhileAClientStopsReading) {
    tavrik::test::TempDir dir;
    const std::string socketPath = (dir.Path() / "devsim.sock").string();
    DevsimProcess process({"--socket", socketPath, "keyboard"});
    ASSERT_GT(process.child, 0);
    ASSERT_FALSE(process.ReadUntil("socket ").empty());
    const int idle = ConnectRaw(socketPath);
    ASSERT_GE(idle, 0);
    auto backend = hid::MakeSimSocketBackend(socketPath);
    hid::SetBackend(backend);
    std::vector<std::wstring> paths;
    tavrik::test::WaitUntil(
        [&] {
            paths = Paths(*backend);
            return paths.size() == 5;
        },
        std::chrono::seconds(4), std::chrono::milliseconds(10));
    ASSERT_EQ(paths.size(), 5u);
    {
        Handle command(Open(paths[4]));
        ASSERT_TRUE(command.Valid());
        Bytes reply;
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(Transact(command, BuildCommandReport(0x03, 37, 0), &reply), HidIoResult::Ok) << i;
    }
    ASSERT_TRUE(process.Write("peek keyboard params 0 1\nunplug keyboard\nplug keyboard\npeek keyboard info 0 1\n"));
    const std::string output = process.ReadUntil("peek keyboard info");
    EXPECT_NE(output.find("peek keyboard params 00"), std::string::npos) << output;
    EXPECT_NE(output.find("peek keyboard info"), std::string::npos) << output;
    hid::SetBackend(nullptr);
    ::close(idle);
    EXPECT_EQ(process.Stop(), 0);
}

TEST(HidSocket, SocketIsPrivateAndRefusedInAFolderOpenToOthers) {
    tavrik::test::TempDir dir;
    const std::string socketPath = (dir.Path() / "devsim.sock").string();
    {
        DevsimServer server(socketPath);
        std::string error;
        ASSERT_TRUE(server.Start(&error)) << error;
        struct stat st {};
        ASSERT_EQ(::lstat(socketPath.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
    }
    const auto open = dir.Path() / "open";
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(open.c_str(), 0755), 0);
    DevsimServer server((open / "devsim.sock").string());
    std::string error;
    EXPECT_FALSE(server.Start(&error));
    EXPECT_NE(error.find("0700"), std::string::npos) << error;
    struct stat st {};
    EXPECT_NE(::lstat((open / "devsim.sock").c_str(), &st), 0) << "no socket made there";
}

TEST(HidSocket, WithoutAProductTheEmulatorPrintsItsUsage) {
    DevsimProcess process({});
    ASSERT_GT(process.child, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(process.child, &status, 0), process.child);
    process.ended = true;
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
}  // namespace tavrik::devsim
