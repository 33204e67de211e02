// End to end: the caption's close button hides the real program to the tray
// and a second start shows it again; the status bar's lighting switch tells
// other processes, through the broadcast WM_LIGHTING_STATE, that the program
// gave the lighting up and took it back. Clicks come through XTest at the
// places the UI probe names.

#include "tests/e2e/tavrik_session.h"

#include <vector>

#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/os/registered_message.h"
#include "platform/os/window.h"

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

// What the peer window of this process heard.
std::vector<win::LPARAM> g_lightingStates;
win::UINT g_lightingMessage = 0;

win::LRESULT PeerProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
    if (message == g_lightingMessage && message != 0) g_lightingStates.push_back(lParam);
    return win::DefWindowProcW(hwnd, message, wParam, lParam);
}

void PumpPeer() {
    win::MSG msg;
    while (win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) win::DispatchMessageW(&msg);
}

using CaptionButtonsTest = TavrikSession;

TEST_F(CaptionButtonsTest, CloseHidesToTheTrayAndASecondStartShowsTheWindowAgain) {
    StartEmulator({"mouse"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    const Window window = WaitForShownWindow();
    ASSERT_NE(window, 0u) << Log("tavrik.log");

    ASSERT_TRUE(Click("closebtn")) << Log("tavrik.log");
    EXPECT_TRUE(Poll([&] { return !driver_->Viewable(window); }, 10s)) << Log("tavrik.log");

    // The process stayed: a second start finds it, ends with 0 and brings
    // the same window back.
    ChildProcess second("Tavrik", {}, {{"TAVRIK_HID_BACKEND", "sim"}, {"TAVRIK_DEVSIM_SOCKET", socket_}},
                        (folder_ / "second.log").string());
    EXPECT_EQ(second.Wait(30s), 0) << Log("second.log");
    EXPECT_TRUE(Poll([&] { return driver_->Viewable(window); }, 10s)) << Log("tavrik.log");
    EXPECT_EQ(FindMainWindow(), window);

    EXPECT_EQ(ChildProcess("tavrik-post", {"--title", kMainWindowTitle, "--message", "0x10"}, {},
                           (folder_ / "post.log").string())
                  .Wait(30s),
              0)
        << Log("post.log");
    EXPECT_EQ(tavrik_->Wait(30s), 0) << Log("tavrik.log");
}

TEST_F(CaptionButtonsTest, TheLightingSwitchTellsAPeerProcessOffThenOn) {
    g_lightingMessage = win::RegisterWindowMessageW(L"{4695579F-999A-41d4-9FAF-EFFCE93EBF16}");
    ASSERT_NE(g_lightingMessage, 0u);
    g_lightingStates.clear();
    // A top-level window of this process: reachable, and taking broadcasts.
    const win::HWND peer = win::CreateWindowHandle(&PeerProc, L"tavrik e2e lighting peer");
    ASSERT_NE(peer, nullptr);

    StartEmulator({"mouse"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    // The start's own broadcast (lighting on) comes first.
    ASSERT_TRUE(Poll([] { return !g_lightingStates.empty(); }, 30s, PumpPeer)) << Log("tavrik.log");
    EXPECT_EQ(g_lightingStates.front(), 1);
    g_lightingStates.clear();

    ASSERT_TRUE(Click("control_light_status")) << Log("tavrik.log");
    ASSERT_TRUE(Poll([] { return g_lightingStates.size() >= 1; }, 30s, PumpPeer)) << Log("tavrik.log");
    // The switch shows its new state before the second click.
    EXPECT_TRUE(WaitForControl("control_light_status", [](const ProbeControl& c) {
        return c.text == "Lighting not controlled";
    })) << Log("tavrik.log");
    ASSERT_TRUE(Click("control_light_status")) << Log("tavrik.log");
    ASSERT_TRUE(Poll([] { return g_lightingStates.size() >= 2; }, 30s, PumpPeer)) << Log("tavrik.log");
    EXPECT_EQ(g_lightingStates, (std::vector<win::LPARAM>{0, 1}));

    win::DestroyWindow(peer);
    PumpPeer();
}

}  // namespace
}  // namespace tavrik::test
