// End to end: the real Tavrik finds the devices of a real emulator process,
// drops them when they are unplugged and takes them back when they return;
// a keyboard on cable and receiver moves between the two without leaving
// the list. The program's debug trace says what it did.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "platform/files/utf8.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/os/window.h"
#include "tests/e2e/child_process.h"
#include "tests/e2e/tavrik_session.h"
#include "tests/support/wait_bound.h"
#include "tests/x11/x_display.h"
#include "tests/x11/x_driver.h"

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

// Longest a round trip through the window's thread may wait (scaled).
constexpr int kPromptBoundMs = 2000;

class DeviceDiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        folder_ =
            std::filesystem::temp_directory_path() / ("tavrik-e2e-devices-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        // The emulator serves only from a folder that is the user's alone.
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
        socket_ = (folder_ / "devsim.sock").string();
        commands_ = (folder_ / "devsim.in").string();
        ASSERT_EQ(::mkfifo(commands_.c_str(), 0600), 0);
    }

    void TearDown() override {
        if (tavrik_) tavrik_->Stop();
        tavrik_.reset();
        input_.close();
        if (devsim_) devsim_->Stop();
        devsim_.reset();
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    // The emulator with these products, and Tavrik against it.
    void Start(const std::vector<std::string>& products) {
        std::vector<std::string> args{"--socket", socket_, "--log"};
        args.insert(args.end(), products.begin(), products.end());
        devsim_ = std::make_unique<ChildProcess>("tavrik-devsim", args, std::map<std::string, std::string>{},
                                                 (folder_ / "devsim.log").string(), commands_,
                                                 (folder_ / "devsim.out").string());
        ASSERT_TRUE(devsim_->Started());
        input_.open(commands_);
        ASSERT_TRUE(input_.is_open());
        ASSERT_TRUE(Poll([&] { return std::filesystem::exists(socket_); }, 10s)) << "the emulator did not start";
        tavrik_ = std::make_unique<ChildProcess>(
            "Tavrik", std::vector<std::string>{},
            std::map<std::string, std::string>{
                {"TAVRIK_HID_BACKEND", "sim"}, {"TAVRIK_DEVSIM_SOCKET", socket_}, {"TAVRIK_DEBUG", "1"}},
            (folder_ / "tavrik.log").string());
        ASSERT_TRUE(tavrik_->Started());
    }

    void Command(const std::string& line) {
        input_ << line << std::endl;
        ASSERT_TRUE(input_.good());
    }

    static bool Poll(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
        return PumpUntil([] {}, done, timeout);
    }

    std::string Trace() { return ReadTextFile((folder_ / "tavrik.log").string()); }
    static size_t Occurrences(const std::string& log, const std::string& text) {
        size_t n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    }
    size_t Count(const std::string& text) { return Occurrences(Trace(), text); }
    // How often the emulator recorded `line` (e.g. "mouse: command 0x07").
    size_t Received(const std::string& line) {
        return Occurrences(ReadTextFile((folder_ / "devsim.out").string()), line);
    }
    // A round trip through the window's thread from this process (as
    // tavrik-post sends it, without the start of a process in the measure):
    // the time from the send to the answer is how long the thread could not
    // serve its messages. The bound only ends a run whose window hangs; the
    // longest wait is kept for the report.
    void ExpectPromptAnswer() {
        if (window_ == nullptr) window_ = win::FindWindowW(nullptr, win::FromUtf8(kMainWindowTitle).c_str());
        ASSERT_NE(window_, nullptr) << "no window titled " << kMainWindowTitle;
        char text[] = "ping";
        win::COPYDATASTRUCT data{};
        data.dwData = 7;
        data.cbData = sizeof text - 1;
        data.lpData = text;
        win::DWORD_PTR result = 0;
        const auto begin = std::chrono::steady_clock::now();
        const bool answered =
            win::SendMessageTimeoutW(window_, win::WM_COPYDATA, 0, reinterpret_cast<win::LPARAM>(&data),
                                     win::SMTO_NORMAL, WaitBoundMs(kPromptBoundMs), &result) != 0;
        const auto waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
        longest_ = std::max(longest_, waited);
        EXPECT_TRUE(answered) << "the window's thread did not answer for " << waited.count() << " ms";
    }
    // Waits until the trace holds `text` at least `times` times.
    bool WaitFor(const std::string& text, size_t times = 1) {
        return Poll([&] { return Count(text) >= times; }, 30s);
    }

    std::filesystem::path folder_;
    std::string socket_;
    std::string commands_;
    std::ofstream input_;
    std::unique_ptr<ChildProcess> devsim_;
    std::unique_ptr<ChildProcess> tavrik_;
    win::HWND window_ = nullptr;
    std::chrono::milliseconds longest_{0};
};

TEST_F(DeviceDiscoveryTest, KeyboardAndMouseAreListedRemovedAndListedAgain) {
    Start({"keyboard", "mouse"});
    ASSERT_TRUE(WaitFor("show: entry 1 (keyboard)")) << Trace();
    ASSERT_TRUE(WaitFor("show: entry 0 (mouse)")) << Trace();
    std::filesystem::create_directories(TAVRIK_E2E_SHOTS);
    EXPECT_TRUE(SaveScreenshot(std::string(TAVRIK_E2E_SHOTS) + "/devices_keyboard_and_mouse.png"));

    const size_t mouseShown = Count("show: entry 0 (mouse)");
    Command("unplug mouse");
    ASSERT_TRUE(WaitFor("detach: slot 4 mouse")) << Trace();
    ASSERT_TRUE(WaitFor("hide: entry 0 (mouse)")) << Trace();

    Command("plug mouse");
    ASSERT_TRUE(WaitFor("show: entry 0 (mouse)", mouseShown + 1)) << Trace();
    EXPECT_EQ(Count("attach: slot 4 mouse wired"), 2u) << Trace();
}

size_t CountEntries(const std::filesystem::path& folder) {
    std::error_code error;
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(folder, error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error))
        ++n;
    return n;
}

// 50 replugs of the keyboard and 50 of the mouse while the keyboard streams:
// after each the window answers a round trip from another process at once
// and the entry is back; in the end the program holds no more descriptors
// and threads than before the first.
// Its 100 replugs take longer than the suite's usual bound: its own bound is
// set in this folder's CMakeLists.txt.
TEST_F(DeviceDiscoveryTest, ReplugsKeepTheWindowPromptAndLeakNothing) {
    constexpr int kReplugs = 50;
    Start({"keyboard", "mouse"});
    ASSERT_TRUE(WaitFor("show: entry 1 (keyboard)")) << Trace();
    ASSERT_TRUE(WaitFor("show: entry 0 (mouse)")) << Trace();
    // The pages' threads start as they connect: the keyboard's clock write and
    // the mouse's layout read come from their connect, and the answer to a
    // round trip behind them means both connects have returned.
    ASSERT_TRUE(Poll([&] { return Received("keyboard: command 0x29") > 0; }, 30s)) << Trace();
    ASSERT_TRUE(Poll([&] { return Received("mouse: command 0x07") > 0; }, 30s)) << Trace();
    ExpectPromptAnswer();
    const std::filesystem::path process = "/proc/" + std::to_string(tavrik_->Pid());
    const size_t descriptors = CountEntries(process / "fd");
    const size_t threads = CountEntries(process / "task");

    const struct {
        const char* device;
        const char* detached;
        const char* shown;
    } devices[] = {
        {"keyboard", "detach: slot 0 keyboard", "show: entry 1 (keyboard)"},
        {"mouse", "detach: slot 4 mouse", "show: entry 0 (mouse)"},
    };
    for (const auto& d : devices) {
        for (int i = 0; i < kReplugs; ++i) {
            SCOPED_TRACE(std::string(d.device) + " replug " + std::to_string(i + 1));
            const size_t detached = Count(d.detached);
            const size_t shown = Count(d.shown);
            Command(std::string("unplug ") + d.device);
            ASSERT_TRUE(WaitFor(d.detached, detached + 1)) << Trace();
            Command(std::string("plug ") + d.device);
            ASSERT_TRUE(WaitFor(d.shown, shown + 1)) << Trace();
            ExpectPromptAnswer();
        }
    }
    std::cout << "longest wait for the window's thread: " << longest_.count() << " ms\n";
    // Threads and handles of the detached channels wind down.
    EXPECT_TRUE(Poll([&] { return CountEntries(process / "fd") <= descriptors; }, 30s))
        << CountEntries(process / "fd") << " descriptors, " << descriptors << " at the start";
    EXPECT_TRUE(Poll([&] { return CountEntries(process / "task") <= threads; }, 30s))
        << CountEntries(process / "task") << " threads, " << threads << " at the start";
}

TEST_F(DeviceDiscoveryTest, AKeyboardMovesBetweenCableAndReceiverWithoutLeavingTheList) {
    Start({"keyboard", "keyboard-receiver"});
    ASSERT_TRUE(WaitFor("attach: slot 0 keyboard wired")) << Trace();
    ASSERT_TRUE(WaitFor("show: entry 1 (keyboard)")) << Trace();

    const std::string out = (folder_ / "devsim.out").string();
    const size_t begins = Received("keyboard-receiver: command 0x01");
    Command("unplug keyboard");
    ASSERT_TRUE(WaitFor("switch: keyboard to receiver")) << Trace();
    // The keep-alive (begin and end) goes out through the receiver.
    ASSERT_TRUE(Poll([&] { return Received("keyboard-receiver: command 0x01") > begins; }, 30s)) << ReadTextFile(out);
    ASSERT_TRUE(Poll([&] { return Received("keyboard-receiver: command 0x02") > 0; }, 30s)) << ReadTextFile(out);
    EXPECT_EQ(Count("hide: entry 1 (keyboard)"), 0u) << Trace();

    Command("plug keyboard");
    ASSERT_TRUE(WaitFor("switch: keyboard to wired")) << Trace();
    EXPECT_EQ(Count("hide: entry 1 (keyboard)"), 0u) << Trace();
}

}  // namespace
}  // namespace tavrik::test
