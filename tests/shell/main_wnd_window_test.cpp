// The main window's life: start-up until the first scan pass shows it, the
// activation of a second start, the system commands, the workers' stop.

#include <atomic>
#include <fstream>
#include <chrono>
#include <thread>

#include "link/device_tables.h"
#include "link/registered_messages.h"
#include "platform/os/event.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/ui/win_window_api.h"
#include "shell/controls/process_state.h"
#include "platform/files/folders.h"
#include "tests/e2e/child_process.h"
#include "tests/support/temp_home.h"
#include "tests/shell/main_wnd_fixture.h"

namespace mainwndtest {
namespace {

class MainWindowLife : public MainWndTest {
protected:
    void TearDown() override {
        isFirst = 0;
        ScreenTabActive = 0;
        ScreenFramesUnsaved = 0;
        MainWndTest::TearDown();
    }
};

TEST_F(MainWindowLife, StartsHiddenAndShowsAfterTheFirstScanPassWithTheNoDevicePanel) {
    OpenMainWindow();
    EXPECT_EQ(MainWindowHandle.load(), window_->GetHWND());
    EXPECT_TRUE(Surface()->HasIcon());
    EXPECT_EQ(Surface()->Title(), kProductString);
    ASSERT_NE(window_->GetWorkerThread(CMainWnd::kScanWorkerSlot), nullptr);
    for (int slot = 0; slot < CMainWnd::kWorkerSlots; ++slot) {
        ASSERT_NE(window_->GetWorkerParam(slot), nullptr) << slot;
        EXPECT_EQ(window_->GetWorkerParam(slot)->owner, window_);
        const bool started = slot == CMainWnd::kScanWorkerSlot || slot == CMainWnd::kSyncLightWorkerSlot;
        EXPECT_EQ(window_->GetWorkerThread(slot) != nullptr, started) << slot;
    }
    ASSERT_TRUE(PumpUntil([&] { return window_->IsVisible(); }));
    EXPECT_TRUE(Find(L"No_device_Link")->IsVisible());
    EXPECT_FALSE(Surface()->IsTopMost());
    // The two first windows' sizes: 1000 x 640 after the first-show timer.
    ASSERT_TRUE(PumpUntil([&] {
        const RECT r = window_->GetWindowRect();
        return r.right - r.left == 1000 && r.bottom - r.top == 640;
    }));
}

TEST_F(MainWindowLife, TheDefaultMouseAndKeyboardPanelsAreBuiltAtStart) {
    OpenMainWindow();
    const int mouse = window_->FindSupportedDeviceRow(DeviceOptionTable[0].vendorId, DeviceOptionTable[0].productId,
                                                      DeviceOptionTable[0].deviceType, DeviceOptionTable[0].subKind);
    const int keyboard = window_->FindSupportedDeviceRow(DeviceOptionTable[1].vendorId, DeviceOptionTable[1].productId,
                                                         DeviceOptionTable[1].deviceType, DeviceOptionTable[1].subKind);
    std::vector<std::string> panels;
    for (const std::string& call : window_->calls) {
        if (call.starts_with("Create")) panels.push_back(call);
    }
    EXPECT_EQ(panels, (std::vector<std::string>{"CreateMousePanel(" + std::to_string(mouse) + ",0)",
                                                "CreateKeyboardPanel(" + std::to_string(keyboard) + ",0)"}));
    // The slot list is a copy of the supported-device table.
    ASSERT_EQ(window_->Slots().size(), static_cast<size_t>(kSupportedDeviceCount));
    for (size_t i = 0; i < window_->Slots().size(); ++i) {
        EXPECT_TRUE(window_->Slots()[i].IsSameDevice(SupportedDeviceTable[i])) << i;
    }
}

TEST_F(MainWindowLife, TheActivationRestoresAMinimisedWindowAndHidesThePanelWhenADeviceShows) {
    OpenMainWindow();
    ASSERT_TRUE(PumpUntil([&] { return window_->IsVisible(); }));
    window_->ShowCmd(win::SW_MINIMIZE);
    ASSERT_TRUE(window_->IsIconic());
    window_->anyShown = true;
    win::PostMessageW(window_->GetHWND(), WM_ACTIVATE_INSTANCE, 0, 1);
    ASSERT_TRUE(PumpUntil([&] { return !window_->IsIconic() && window_->IsVisible(); }));
    EXPECT_FALSE(Find(L"No_device_Link")->IsVisible());
    EXPECT_FALSE(Surface()->IsTopMost());
    // Hidden to the tray, the same.
    window_->ShowWindow(false);
    window_->anyShown = false;
    Send(WM_ACTIVATE_INSTANCE, 0, 0);
    EXPECT_TRUE(window_->IsVisible());
    EXPECT_TRUE(Find(L"No_device_Link")->IsVisible());
}

TEST_F(MainWindowLife, MinimiseAndRestoreHideAndShowTheScreenEditor) {
    OpenMainWindow();
    ASSERT_TRUE(PumpUntil([&] { return window_->IsVisible(); }));
    // A device shown: the panel is hidden.
    Find(L"No_device_Link")->SetVisible(false);
    window_->Clear();
    Send(win::WM_SYSCOMMAND, win::SC_MINIMIZE);
    EXPECT_EQ(window_->calls, std::vector<std::string>{"HideScreenEditor()"});
    EXPECT_EQ(isFirst, 1);
    EXPECT_TRUE(window_->IsIconic());
    // Restore with the screen tab chosen: the editor comes back.
    ScreenTabActive = 1;
    ScreenFramesUnsaved = 1;
    window_->Clear();
    Send(win::WM_SYSCOMMAND, win::SC_RESTORE);
    EXPECT_EQ(window_->Count("ShowScreenEditor()"), 1);
    EXPECT_EQ(isFirst, 0);
    EXPECT_EQ(ScreenFramesUnsaved, 0);
    EXPECT_FALSE(window_->IsIconic());
    // Without the screen tab nothing but the restore.
    ScreenTabActive = 0;
    Send(win::WM_SYSCOMMAND, win::SC_MINIMIZE);
    window_->Clear();
    Send(win::WM_SYSCOMMAND, win::SC_RESTORE);
    EXPECT_EQ(window_->Count("ShowScreenEditor()"), 0);
    EXPECT_EQ(isFirst, 1);
}

TEST_F(MainWindowLife, TheCaptionCloseButtonEndsInTheMainPageAndClosesNothing) {
    OpenMainWindow();
    ASSERT_TRUE(PumpUntil([&] { return window_->IsVisible(); }));
    window_->GetPaintManager()->SendNotify(Find(L"closebtn"), DUI_MSGTYPE_CLICK);
    Pump();
    EXPECT_NE(window_->GetHWND(), nullptr);
    // Hidden to the tray by the click's own row, not closed.
    EXPECT_FALSE(window_->IsVisible());
}

win::DWORD SendThenWaitForStop(void* parameter) {
    auto* param = static_cast<win::WorkerParam*>(parameter);
    win::SendMessageW(MainWindowHandle, win::WM_USER + 77, 0, 0);
    win::WaitForSingleObject(param->stopEvent, win::INFINITE);
    return 0;
}

std::atomic<bool> g_slowWorkerFinished{false};

// Ignores its stop for a while, as a worker stuck in a long call would.
win::DWORD SlowToStop(void* parameter) {
    auto* param = static_cast<win::WorkerParam*>(parameter);
    win::WaitForSingleObject(param->stopEvent, win::INFINITE);
    std::this_thread::sleep_for(std::chrono::milliseconds(win::kWorkerStopBoundMs + 500));
    g_slowWorkerFinished = true;
    return 0;
}

TEST_F(MainWindowLife, AWorkerBlockedInASendToTheWindowStillEnds) {
    OpenMainWindow();
    ASSERT_TRUE(window_->StartWorker(3, &SendThenWaitForStop));
    win::HANDLE thread = window_->GetWorkerThread(3);
    ASSERT_NE(thread, nullptr);
    // The worker now waits in its send: the stop serves it.
    window_->StopWorkerThreads();
    for (int slot = 0; slot < CMainWnd::kWorkerSlots; ++slot) {
        EXPECT_EQ(window_->GetWorkerThread(slot), nullptr);
        EXPECT_EQ(window_->GetWorkerParam(slot), nullptr);
    }
}

TEST_F(MainWindowLife, AWorkerPastTheBoundIsWaitedFor) {
    OpenMainWindow();
    g_slowWorkerFinished = false;
    ASSERT_TRUE(window_->StartWorker(5, &SlowToStop));
    window_->StopWorkerThreads();
    EXPECT_TRUE(g_slowWorkerFinished);
}

TEST_F(MainWindowLife, DestroyingTheWindowStopsTheWorkersAndQuits) {
    OpenMainWindow();
    ASSERT_TRUE(PumpUntil([&] { return window_->IsVisible(); }));
    win::DestroyWindow(window_->GetHWND());
    EXPECT_EQ(window_->GetWorkerThread(CMainWnd::kScanWorkerSlot), nullptr);
    win::MSG msg;
    bool quit = false;
    while (win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) quit = quit || msg.message == win::WM_QUIT;
    EXPECT_TRUE(quit);
}

// WM_COPYDATA from another process (tavrik-post), of every size around the
// two record sizes: only the exact sizes reach the main window.
TEST_F(MainWindowLife, CopiedDataFromAnotherProcessIsTakenOnlyAtTheRecordSize) {
    OpenMainWindow();
    tavrik::test::TempDir dir("tavrik-copydata");
    const struct {
        int code;
        size_t size;
        const char* expected;
    } cases[] = {
        {1, 0, nullptr},
        {1, 23, nullptr},
        {2, 23, nullptr},
        {2, 24, "OnExternalFeed()"},
        {2, 25, nullptr},
        {1, 1999, nullptr},
        {1, 2000, "OnSpectrumFrame()"},
        {2, 2000, nullptr},
        {1, 65536, nullptr},
        {2, 65536, nullptr},
    };
    for (const auto& c : cases) {
        const std::string data = (dir.Path() / "block").string();
        {
            std::ofstream out(data, std::ios::binary);
            for (size_t i = 0; i < c.size; ++i) out.put(static_cast<char>(i * 13));
        }
        window_->Clear();
        tavrik::test::ChildProcess post(
            "tavrik-post",
            {"--title", win::ToUtf8(kProductString), "--copydata", std::to_string(c.code), "--data-file", data}, {},
            (dir.Path() / "post.log").string());
        int code = -1;
        ASSERT_TRUE(PumpUntil([&] { return (code = post.Wait(std::chrono::milliseconds(0))) >= 0; }, 30000));
        EXPECT_EQ(code, 0) << c.code << " " << c.size << ": "
                           << tavrik::test::ReadTextFile((dir.Path() / "post.log").string());
        const std::vector<std::string> expected =
            c.expected ? std::vector<std::string>{c.expected} : std::vector<std::string>{};
        // The window's own timers (placing floating windows, starting the
        // capture) run while the test serves its messages: only the data's
        // handlers count.
        std::vector<std::string> handled;
        for (const std::string& call : window_->calls)
            if (call == "OnExternalFeed()" || call == "OnSpectrumFrame()") handled.push_back(call);
        EXPECT_EQ(handled, expected) << c.code << " " << c.size;
        if (c.expected != nullptr && c.code == 1) {
            EXPECT_EQ(window_->GetSpectrumFrame()[1] & 0xFF, 13 * 4 & 0xFF);
        }
    }
}

// The messages whose parameters the window uses as its own pointers or as
// state of its threads: from another process (tavrik-post) they get no
// answer and reach no handler, however they are posted or sent; from inside
// they are handled as ever.
TEST_F(MainWindowLife, PointerCarryingMessagesFromAnotherProcessAreRefused) {
    OpenMainWindow();
    tavrik::test::TempDir dir("tavrik-kept");
    const struct {
        win::UINT message;
        const char* handler;
    } cases[] = {
        {WM_MENU_COMMAND, "OnMenuCommandMessage"},       {WM_DEVICE_BOUND, "OnDeviceSlotAttached"},
        {WM_DEVICE_LOST, "OnDeviceSlotDetached"},        {WM_DEVICE_ONLINE, "OnDeviceOnline"},
        {HookMessageId(kHookKeySingleKey), "OnHookKey"},
    };
    auto handled = [&](const char* handler) {
        for (const std::string& call : window_->calls)
            if (call.rfind(handler, 0) == 0) return true;
        return false;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.handler);
        window_->Clear();
        for (const bool send : {true, false}) {
            std::vector<std::string> args = {"--title",   win::ToUtf8(kProductString),
                                             "--message", std::to_string(c.message),
                                             "--wparam",  "0x4141414141",
                                             "--lparam",  "0x4242424242"};
            if (send) args.push_back("--send");
            tavrik::test::ChildProcess post("tavrik-post", args, {}, (dir.Path() / "post.log").string());
            int code = -1;
            ASSERT_TRUE(PumpUntil([&] { return (code = post.Wait(std::chrono::milliseconds(0))) >= 0; }, 30000));
            EXPECT_EQ(code, send ? 3 : 0) << "a refused send is not delivered";
        }
        // A post from outside that is taken: everything before it was served.
        tavrik::test::ChildProcess marker(
            "tavrik-post",
            {"--title", win::ToUtf8(kProductString), "--message", "0xD05", "--wparam", "0x5A1", "--lparam", "0x103"},
            {}, (dir.Path() / "post.log").string());
        ASSERT_TRUE(PumpUntil([&] { return handled("LaunchFirmwareUpdate"); }, 30000));
        EXPECT_FALSE(handled(c.handler));
        EXPECT_TRUE(win::IsWindow(window_->GetHWND()));

        win::SendMessageW(window_->GetHWND(), c.message, 0, 1);
        EXPECT_TRUE(handled(c.handler)) << "from inside it is taken";
    }
}

}  // namespace
}  // namespace mainwndtest
