#include "platform/os/power.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/os/clock.h"
#include "platform/os/debug_trace.h"
#include "platform/os/message_queue.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace win;

std::vector<WPARAM> power_events;

LRESULT PowerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_POWERBROADCAST) {
        power_events.push_back(wParam);
        return TRUE;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(Power, SuspendIsHandledBeforeTheSourceGoesOnAndResumeIsPosted) {
    power_events.clear();
    HWND hwnd = CreateWindowHandle(&PowerProc, L"main");
    MSG peek;
    PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE);  // this thread serves messages
    auto owned = std::make_unique<ManualPowerSource>();
    ManualPowerSource* source = owned.get();
    ASSERT_TRUE(StartPowerNotifications(std::move(owned)));

    std::atomic<bool> suspendReturned{false};
    std::thread system([&] {
        source->Suspend();  // the sleep waits for the windows
        suspendReturned = true;
        source->Resume();
    });
    DWORD start = GetTickCount();
    while (!suspendReturned && GetTickCount() - start < DWORD(tavrik::test::WaitBoundMs(5000))) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    system.join();
    ASSERT_EQ(power_events, (std::vector<WPARAM>{PBT_APMSUSPEND}));
    EXPECT_EQ(source->SuspendsHandled(), 1);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageW(&msg);
    EXPECT_EQ(power_events, (std::vector<WPARAM>{PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC}));
    StopPowerNotifications();
    source = nullptr;
    DestroyWindow(hwnd);
}

// Runs in a child process of its own, since the notice is given once per process.
int CountNoticesWithoutBus() {
    static std::vector<std::string> lines;
    SetPlatformLogSink([](std::string_view line) { lines.emplace_back(line); });
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/tavrik-test-bus", 1);
    bool started = StartPowerNotifications() || StartPowerNotifications();
    if (started || lines.size() != 1 || lines[0].find("suspend") == std::string::npos) {
        return 10 + static_cast<int>(lines.size());
    }
    return 1;
}

TEST(Power, WithoutASystemBusTheProgramRunsOnAndSaysSoOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(CountNoticesWithoutBus()), ::testing::ExitedWithCode(1), "");
}

}  // namespace
