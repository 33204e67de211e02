#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/os/clock.h"
#include "platform/os/instance_lock.h"
#include "platform/os/message_queue.h"
#include "platform/os/registered_message.h"
#include "platform/os/remote.h"
#include "tests/os/peer_process.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace win;
using tavrik::test::PeerProcess;

// Runs this thread's message loop until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > DWORD(tavrik::test::WaitBoundMs(int(timeoutMs)))) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
    }
    return true;
}

struct Received {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    ULONG_PTR code = 0;
    std::vector<unsigned char> bytes;
};

// A reachable window that records what reaches it.
class RecordingWindow {
public:
    explicit RecordingWindow(const std::wstring& title, bool broadcasts = true) {
        hwnd_ = CreateWindowHandle(&Proc, title.c_str(), nullptr, this);
        reachable_ = hwnd_ != nullptr && MakeWindowReachable(hwnd_, broadcasts);
    }
    ~RecordingWindow() { DestroyWindow(hwnd_); }

    HWND Handle() const { return hwnd_; }
    bool Reachable() const { return reachable_; }
    std::vector<Received> received;
    LRESULT copyResult = 77;

private:
    static LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            return TRUE;
        }
        auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_COPYDATA || message >= WM_USER) {
            Received r;
            r.message = message;
            r.wParam = wParam;
            r.lParam = lParam;
            if (message == WM_COPYDATA) {
                auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
                r.code = data->dwData;
                auto* bytes = static_cast<const unsigned char*>(data->lpData);
                r.bytes.assign(bytes, bytes + data->cbData);
                r.lParam = 0;
            }
            self->received.push_back(std::move(r));
            return message == WM_COPYDATA ? self->copyResult : 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    HWND hwnd_ = nullptr;
    bool reachable_ = false;
};

std::wstring UniqueTitle(const char* base) { return FromUtf8(std::string(base) + "-" + std::to_string(::getpid())); }

TEST(RegisteredMessages, SameNameSameIdCaseInsensitiveAndInRange) {
    UINT a = RegisterWindowMessageW(L"UWM_MOUSERBUTTONDOWN_USER_MSG");
    UINT b = RegisterWindowMessageW(L"UWM_MOUSERBUTTONDOWN_USER_MSG");
    UINT c = RegisterWindowMessageW(L"uwm_mouserbuttondown_user_msg");
    UINT d = RegisterWindowMessageW(L"Game_Start");
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c);
    EXPECT_NE(a, d);
    for (UINT id : {a, d}) {
        EXPECT_GE(id, 0xC000u);
        EXPECT_LE(id, 0xFFFFu);
    }
    EXPECT_EQ(RegisterWindowMessageW(L""), 0u);
    EXPECT_EQ(RegisterWindowMessageW(nullptr), 0u);
    EXPECT_EQ(RegisterWindowMessageA("Game_Start"), d);
}

TEST(RegisteredMessages, EqualAcrossProcessesWhateverTheOrder) {
    const std::vector<std::string> names = {"Halvord  Q580-RGB-PRO", "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}",
                                            "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}", "Game_Death",
                                            "name with\nline break"};
    // The other process registers them first, in reverse order.
    std::vector<std::string> reversed(names.rbegin(), names.rend());
    std::vector<std::string> args{"id"};
    args.insert(args.end(), reversed.begin(), reversed.end());
    PeerProcess peer("os_test_peer", args);
    ASSERT_TRUE(peer.Started());
    std::vector<UINT> theirs;
    for (size_t i = 0; i < names.size(); ++i) {
        theirs.push_back(static_cast<UINT>(std::stoul(peer.ReadLine())));
    }
    EXPECT_EQ(peer.Wait(), 0);
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(RegisterWindowMessageA(names[i].c_str()), theirs[names.size() - 1 - i]) << names[i];
    }
}

TEST(InstanceLock, SecondProcessFindsTheLockAndItsBroadcastReachesTheFirst) {
    const std::wstring lockName = UniqueTitle("Halvord  Q580-RGB-PRO");
    const std::string activationName = "tavrik-test-activation";
    const UINT activation = RegisterWindowMessageA(activationName.c_str());
    RecordingWindow main(UniqueTitle("main"));
    ASSERT_TRUE(main.Reachable());

    HANDLE lock = CreateMutexW(nullptr, TRUE, lockName.c_str());
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);

    PeerProcess second("os_test_peer", {"instance", ToUtf8(lockName), activationName});
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.ReadLine(), "second");
    EXPECT_EQ(second.Wait(), 0);
    ASSERT_TRUE(PumpUntil([&] { return !main.received.empty(); }));
    EXPECT_EQ(main.received[0].message, activation);
    EXPECT_EQ(main.received[0].wParam, 0u);
    EXPECT_EQ(main.received[0].lParam, 1);

    // Released: the next process is the first instance again.
    CloseHandle(lock);
    PeerProcess third("os_test_peer", {"instance", ToUtf8(lockName), activationName});
    EXPECT_EQ(third.ReadLine(), "first");
    // While it holds the lock, this process is the second one.
    HANDLE again = CreateMutexW(nullptr, TRUE, lockName.c_str());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CloseHandle(again);
    // A crash releases it too.
    third.Kill();
    HANDLE after = CreateMutexW(nullptr, TRUE, lockName.c_str());
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(after);
}

TEST(InstanceLock, SameProcessSecondCreatorLearnsItExists) {
    HANDLE a = CreateMutexW(nullptr, TRUE, L"tavrik-test-local");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE b = CreateMutexW(nullptr, TRUE, L"tavrik-test-local");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_NE(b, nullptr);
    CloseHandle(b);
    CloseHandle(a);
}

TEST(CrossProcess, CopyDataFromAnotherProcessReachesTheWindowByTitle) {
    const std::wstring title = UniqueTitle("Vexmar");
    RecordingWindow window(title);
    ASSERT_TRUE(window.Reachable());
    window.copyResult = 1234;
    PeerProcess post("tavrik-post",
                     {"--title", ToUtf8(title), "--copydata", "5", "--data-hex", "01 02 03 ff", "--wparam", "9"});
    ASSERT_TRUE(post.Started());
    ASSERT_TRUE(PumpUntil([&] { return !window.received.empty(); }));
    // tavrik-post waits for the result: keep serving until it has it.
    std::string line;
    std::atomic<bool> gotLine{false};
    std::thread reader([&] {
        line = post.ReadLine();
        gotLine = true;
    });
    PumpUntil([&] { return gotLine.load(); }, 2000);
    reader.join();
    EXPECT_EQ(line, "1234");
    EXPECT_EQ(post.Wait(), 0);
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0].message, WM_COPYDATA);
    EXPECT_EQ(window.received[0].code, 5u);
    EXPECT_EQ(window.received[0].wParam, 9u);
    EXPECT_EQ(window.received[0].bytes, (std::vector<unsigned char>{1, 2, 3, 0xff}));
}

TEST(CrossProcess, OutsideSenderPostsARegisteredMessageByName) {
    const std::wstring title = UniqueTitle("main-window");
    RecordingWindow window(title);
    ASSERT_TRUE(window.Reachable());
    PeerProcess post("tavrik-post",
                     {"--title", ToUtf8(title), "--message", "Game_Kill", "--wparam", "2", "--lparam", "-3"});
    EXPECT_EQ(post.Wait(), 0);
    ASSERT_TRUE(PumpUntil([&] { return !window.received.empty(); }));
    EXPECT_EQ(window.received[0].message, RegisterWindowMessageW(L"Game_Kill"));
    EXPECT_EQ(window.received[0].wParam, 2u);
    EXPECT_EQ(window.received[0].lParam, -3);

    PeerProcess missing("tavrik-post", {"--title", "no such window", "--message", "Game_Kill"});
    EXPECT_EQ(missing.Wait(), 2);
    PeerProcess usage("tavrik-post", {"--title", ToUtf8(title)});
    EXPECT_EQ(usage.Wait(), 1);
}

TEST(CrossProcess, FindAndSendToAWindowOfAnotherProcess) {
    const std::wstring title = UniqueTitle("peer-window");
    PeerProcess peer("os_test_peer", {"serve", ToUtf8(title)});
    ASSERT_EQ(peer.ReadLine(), "ready");
    HWND remote = FindWindowW(nullptr, title.c_str());
    ASSERT_NE(remote, nullptr);
    EXPECT_TRUE(IsWindow(remote));
    EXPECT_EQ(FindWindowW(nullptr, title.c_str()), remote) << "one handle per remote window";
    EXPECT_EQ(FindWindowW(nullptr, L"no window has this title"), nullptr);
    DWORD pid = 0;
    GetWindowThreadProcessId(remote, &pid);
    EXPECT_EQ(pid, static_cast<DWORD>(peer.Pid()));

    std::vector<unsigned char> block(1024, 0);
    block[0] = 7;
    COPYDATASTRUCT data{5, static_cast<DWORD>(block.size()), block.data()};
    EXPECT_EQ(SendMessageW(remote, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 5 * 100000 + 1024 + 7);

    // A code that overflows a signed product still gets its (wrapped) answer.
    COPYDATASTRUCT bigCode{0x7FFFFFFFFFFFull, static_cast<DWORD>(block.size()), block.data()};
    EXPECT_EQ(static_cast<ULONG_PTR>(SendMessageW(remote, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&bigCode))),
              0x7FFFFFFFFFFFull * 100000u + 1024 + 7);

    // Too much data is refused here, before anything is sent.
    std::vector<unsigned char> big(kMaxCopyDataBytes + 1);
    COPYDATASTRUCT tooBig{1, static_cast<DWORD>(big.size()), big.data()};
    EXPECT_EQ(SendMessageW(remote, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&tooBig)), 0);

    peer.CloseStdin();
    EXPECT_EQ(peer.Wait(), 0);
    // Gone with its process: nothing to find, and sending fails quietly.
    EXPECT_EQ(FindWindowW(nullptr, title.c_str()), nullptr);
    EXPECT_FALSE(IsWindow(remote));
    EXPECT_EQ(SendMessageW(remote, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 0);
}

// The wire header, as an outside (possibly hostile) sender would write it.
struct WireHeader {
    std::uint32_t magic = 0x4B4D5654;
    std::uint16_t version = 1;
    std::uint16_t kind = 2;
    std::uint32_t message = WM_COPYDATA;
    std::uint32_t dataSize = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    std::uint64_t dataCode = 0;
};
static_assert(sizeof(WireHeader) == 40);

// Sends one raw packet and reports whether a reply came back.
bool SendRaw(const std::string& socketPath, const WireHeader& header, size_t dataBytes) {
    int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    int size = 1 << 20;
    ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    std::vector<unsigned char> packet(sizeof header + dataBytes, 0xAB);
    std::memcpy(packet.data(), &header, sizeof header);
    ::send(fd, packet.data(), packet.size(), MSG_NOSIGNAL);
    WireHeader reply;
    timeval timeout{2, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ssize_t n = ::recv(fd, &reply, sizeof reply, 0);
    ::close(fd);
    return n == static_cast<ssize_t>(sizeof reply);
}

TEST(CrossProcess, MalformedPacketsAreDroppedAndNothingOverflows) {
    RecordingWindow window(UniqueTitle("target"));
    ASSERT_TRUE(window.Reachable());
    const std::string path = GetWindowSocketPath(window.Handle());
    ASSERT_FALSE(path.empty());

    struct Case {
        const char* what;
        WireHeader header;
        size_t dataBytes;
        bool delivered;
    };
    auto header = [](std::uint32_t declared, std::uint16_t kind = 2, std::uint32_t message = WM_COPYDATA) {
        WireHeader h;
        h.dataSize = declared;
        h.kind = kind;
        h.message = message;
        h.dataCode = 2;
        return h;
    };
    WireHeader badMagic = header(4);
    badMagic.magic = 0;
    const std::vector<Case> cases = {
        {"truncated: declares 100, carries 50", header(100), 50, false},
        {"declares more than it may", header(0xFFFFFFFF), 16, false},
        {"oversized", header(kMaxCopyDataBytes + 8), kMaxCopyDataBytes + 8, false},
        {"trailing bytes beyond the declared size", header(4), 8, false},
        {"posted WM_COPYDATA", header(4, 1), 4, false},
        {"pointer-carrying system message", header(0, 2, WM_SETTEXT), 0, false},
        {"no message number above 0xFFFF", header(0, 2, 0x10479), 0, false},
        {"unknown kind", header(4, 9), 4, false},
        {"bad magic", badMagic, 4, false},
        {"valid 24-byte feed", header(24), 24, true},
        {"valid at the limit", header(kMaxCopyDataBytes), kMaxCopyDataBytes, true},
    };
    for (const auto& c : cases) {
        window.received.clear();
        bool replied = false;
        std::atomic<bool> finished{false};
        std::thread sender([&] {
            replied = SendRaw(path, c.header, c.dataBytes);
            finished = true;
        });
        PumpUntil([&] { return finished.load(); });
        sender.join();
        EXPECT_EQ(replied, c.delivered) << c.what;
        if (c.delivered) {
            ASSERT_EQ(window.received.size(), 1u) << c.what;
            EXPECT_EQ(window.received[0].bytes.size(), c.dataBytes) << c.what;
            EXPECT_EQ(window.received[0].code, 2u);
        } else {
            EXPECT_TRUE(window.received.empty()) << c.what;
        }
    }
}

// Reads the peer's next line on another thread while this one serves its windows.
std::string ReadLineWhilePumping(PeerProcess& peer, DWORD timeoutMs = 10000) {
    std::string line;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        line = peer.ReadLine(static_cast<int>(timeoutMs));
        done = true;
    });
    PumpUntil([&] { return done.load(); }, timeoutMs + 1000);
    reader.join();
    return line;
}

std::atomic<int> g_ticks{0};
void CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

TEST(CrossProcess, IdleConnectionsNeitherStallTheWindowNorStayOpen) {
    const std::wstring title = UniqueTitle("idle-target");
    RecordingWindow window(title);
    ASSERT_TRUE(window.Reachable());
    PeerProcess idle("os_test_peer", {"idle", GetWindowSocketPath(window.Handle()), "200"});
    ASSERT_TRUE(idle.Started());
    ASSERT_EQ(ReadLineWhilePumping(idle), "connected");

    // With 200 connections that send nothing, a post arrives and the
    // window's timer keeps ticking (each idle connection used to hold the
    // thread for 100 ms: 20 s in all).
    g_ticks = 0;
    ASSERT_NE(SetTimer(window.Handle(), 1, 10, &CountTick), 0u);
    PeerProcess post("tavrik-post", {"--title", ToUtf8(title), "--message", "Game_Kill", "--wparam", "4"});
    EXPECT_TRUE(PumpUntil([&] { return !window.received.empty() && g_ticks >= 20; }, 4000))
        << "received " << window.received.size() << ", ticks " << g_ticks;
    KillTimer(window.Handle(), 1);
    EXPECT_EQ(post.Wait(), 0);
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0].wParam, 4u);

    // Past their deadline the idle connections are closed.
    std::string closed;
    PumpUntil(
        [&] {
            closed = idle.WriteLine("") ? ReadLineWhilePumping(idle) : "";
            return closed == "200" || closed.empty();
        },
        10000);
    EXPECT_EQ(closed, "200");
}

TEST(CrossProcess, WindowSocketsArePrivateAndRefusedInAFolderOpenToOthers) {
    RecordingWindow first(UniqueTitle("private"));
    ASSERT_TRUE(first.Reachable());
    struct stat st {};
    ASSERT_EQ(::lstat(GetWindowSocketPath(first.Handle()).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const std::string folder = GetWindowSocketFolder();
    ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    RecordingWindow second(UniqueTitle("exposed"));
    EXPECT_FALSE(second.Reachable());
    ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
    RecordingWindow third(UniqueTitle("private-again"));
    EXPECT_TRUE(third.Reachable());
}

TEST(CrossProcess, FilesOfAWindowNobodyServesAreCleanedUp) {
    // A socket file left behind, its id now held by a live process (ours
    // would be skipped, so the parent process id stands in).
    const std::string folder = GetWindowSocketFolder();
    ::mkdir(folder.c_str(), 0700);
    const std::string base = folder + "/" + std::to_string(::getppid()) + "-dead";
    int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, (base + ".sock").c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);  // bound, never listening: connecting is refused
    std::ofstream(base + ".info") << ::getppid() << "\n1\nghost";
    HWND ghost = FindWindowW(nullptr, L"ghost");
    ASSERT_NE(ghost, nullptr);
    EXPECT_FALSE(PostMessageW(ghost, WM_USER, 0, 0));
    EXPECT_FALSE(std::filesystem::exists(base + ".info"));
    EXPECT_FALSE(std::filesystem::exists(base + ".sock"));
    EXPECT_EQ(FindWindowW(nullptr, L"ghost"), nullptr);
}

TEST(CrossProcess, BroadcastSkipsWindowsThatDoNotAcceptIt) {
    const std::wstring title = UniqueTitle("quiet");
    RecordingWindow quiet(title, false);
    ASSERT_TRUE(quiet.Reachable());
    PeerProcess post("tavrik-post", {"--broadcast", "--message", "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}", "--wparam",
                                     "1", "--lparam", "1"});
    EXPECT_EQ(post.Wait(), 0);
    PumpUntil([] { return false; }, 50);
    EXPECT_TRUE(quiet.received.empty());
    // Addressed by title it is still reachable.
    PeerProcess direct("tavrik-post",
                       {"--title", ToUtf8(title), "--message", "0x0D05", "--wparam", "0x5A1", "--lparam", "0x103"});
    EXPECT_EQ(direct.Wait(), 0);
    ASSERT_TRUE(PumpUntil([&] { return !quiet.received.empty(); }));
    EXPECT_EQ(quiet.received[0].message, 0x0D05u);
    EXPECT_EQ(quiet.received[0].wParam, 0x5A1u);
    EXPECT_EQ(quiet.received[0].lParam, 0x103);
}

// Waits for the peer to end while this thread serves its windows.
int WaitWhilePumping(PeerProcess& peer, int timeoutMs = 10000) {
    int status = -1;
    std::atomic<bool> done{false};
    std::thread waiter([&] {
        status = peer.Wait(timeoutMs);
        done = true;
    });
    PumpUntil([&] { return done.load(); }, static_cast<DWORD>(timeoutMs) + 1000);
    waiter.join();
    return status;
}

// A message whose parameters are this process's pointers: another process
// can neither post nor send it (its wParam would be freed as a record), while
// the process's own posts and sends of it arrive as ever.
TEST(CrossProcess, MessagesKeptInProcessAreRefusedFromOutsideAndTakenFromInside) {
    const std::wstring title = UniqueTitle("kept-target");
    RecordingWindow window(title);
    ASSERT_TRUE(window.Reachable());
    const UINT kept = 0x1479;
    const UINT marker = 0x147A;
    KeepMessageInProcess(kept);
    EXPECT_TRUE(IsMessageKeptInProcess(kept));
    EXPECT_FALSE(IsMessageKeptInProcess(marker));

    PeerProcess post("tavrik-post", {"--title", ToUtf8(title), "--message", "0x1479", "--wparam", "0x4141414141"});
    EXPECT_EQ(WaitWhilePumping(post), 0) << "handed to the socket; the window's side refuses it";
    PeerProcess send("tavrik-post",
                     {"--title", ToUtf8(title), "--message", "0x1479", "--wparam", "0x4141414141", "--send"});
    EXPECT_EQ(WaitWhilePumping(send), 3) << "a refused send is not delivered";
    // A later post from outside arrives: everything before it was handled.
    PeerProcess after("tavrik-post", {"--title", ToUtf8(title), "--message", "0x147A", "--wparam", "5"});
    EXPECT_EQ(WaitWhilePumping(after), 0);
    ASSERT_TRUE(PumpUntil([&] { return !window.received.empty(); }));
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0].message, marker);

    // From inside, posted and sent alike.
    window.received.clear();
    int record = 0;
    EXPECT_TRUE(PostMessageW(window.Handle(), kept, reinterpret_cast<WPARAM>(&record), 0));
    ASSERT_TRUE(PumpUntil([&] { return !window.received.empty(); }));
    SendMessageW(window.Handle(), kept, reinterpret_cast<WPARAM>(&record), 1);
    ASSERT_EQ(window.received.size(), 2u);
    for (const Received& r : window.received) {
        EXPECT_EQ(r.message, kept);
        EXPECT_EQ(r.wParam, reinterpret_cast<WPARAM>(&record));
    }
}

}  // namespace
