#include "platform/os/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/os/clock.h"
#include "platform/os/debug_trace.h"
#include "platform/dump/signal_stack.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace win;

// A worker that waits on its stop event and its I/O cancel event, as every
// worker of the program must.
DWORD WaitingWorker(void* p) {
    auto* param = static_cast<WorkerParam*>(p);
    HANDLE events[] = {param->stopEvent, GetThreadCancelEvent()};
    WaitForMultipleObjects(2, events, FALSE, INFINITE);
    *static_cast<std::atomic<bool>*>(param->owner) = true;
    return 17;
}

std::atomic<bool> release_stubborn{false};

// A worker that ignores its stop event.
DWORD StubbornWorker(void*) {
    while (!release_stubborn) {
        Sleep(1);
    }
    return 0;
}

struct LogCapture {
    LogCapture() {
        old = SetPlatformLogSink([this](std::string_view line) { lines.emplace_back(line); });
    }
    ~LogCapture() { SetPlatformLogSink(std::move(old)); }
    std::function<void(std::string_view)> old;
    std::vector<std::string> lines;
};

TEST(Threads, WorkerBlockedOnItsStopEventEndsWithinTheBound) {
    std::atomic<bool> sawStop{false};
    WorkerParam param{&sawStop, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, &WaitingWorker, &param, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(GetThreadId(thread), id);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread, 10), WAIT_TIMEOUT);

    EXPECT_EQ(StopWorker(thread, param.stopEvent, kWorkerStopBoundMs), StopResult::Ended);
    EXPECT_TRUE(sawStop.load());
    EXPECT_FALSE(IsThreadAbandoned(thread));
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 17u);
    // The handle stays signalled.
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseHandle(param.stopEvent);
}

TEST(Threads, CancellingIoWakesAWorkerWithoutItsStopEvent) {
    std::atomic<bool> woke{false};
    WorkerParam param{&woke, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, &WaitingWorker, &param, 0, nullptr);
    ASSERT_TRUE(CancelSynchronousIo(thread));
    EXPECT_EQ(WaitForSingleObject(thread, tavrik::test::WaitBoundMs(1000)), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(param.stopEvent, 0), WAIT_TIMEOUT);
    CloseHandle(thread);
    CloseHandle(param.stopEvent);
}

TEST(Threads, WorkerThatIgnoresStopIsAbandonedAndLoggedNeverKilled) {
    LogCapture log;
    release_stubborn = false;
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, &StubbornWorker, nullptr, 0, nullptr);
    DWORD t0 = GetTickCount();
    EXPECT_EQ(StopWorker(thread, stop, 50, {}, "stubborn"), StopResult::Abandoned);
    EXPECT_GE(GetTickCount() - t0, 49u);
    EXPECT_TRUE(IsThreadAbandoned(thread));
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("stubborn"), std::string::npos);
    // Terminating does not kill it and does not claim success.
    EXPECT_FALSE(TerminateThread(thread, 1));
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, STILL_ACTIVE);
    // It can still finish on its own.
    release_stubborn = true;
    EXPECT_EQ(WaitForSingleObject(thread, tavrik::test::WaitBoundMs(2000)), WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseHandle(stop);
}

TEST(Threads, StopOfAClosedHandleIsInvalidButStillSetsTheEvent) {
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(StopWorker(nullptr, stop, 10), StopResult::Invalid);
    EXPECT_EQ(WaitForSingleObject(stop, 0), WAIT_OBJECT_0);
    CloseHandle(stop);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
}

}  // namespace

namespace {

// What a thread saw of its alternate signal stack.
struct SeenStack {
    bool enabled = false;
    std::size_t size = 0;
};

DWORD LookAtSignalStack(void* parameter) {
    stack_t current{};
    if (::sigaltstack(nullptr, &current) == 0) {
        auto* seen = static_cast<SeenStack*>(parameter);
        seen->enabled = (current.ss_flags & SS_DISABLE) == 0;
        seen->size = current.ss_size;
    }
    return 0;
}

// A stack overflow on any worker can only be dumped if the crash handler has
// a stack of its own to run on.
TEST(Threads, EveryWorkerHasAnAlternateSignalStackForTheCrashHandler) {
    SeenStack seen;
    HANDLE thread = CreateThread(nullptr, 0, &LookAtSignalStack, &seen, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, tavrik::test::WaitBoundMs(5000)), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_TRUE(seen.enabled);
    EXPECT_GE(seen.size, kSignalStackSize);
}

TEST(Threads, SignalStackGivesTheEarlierOneBack) {
    stack_t before{};
    ASSERT_EQ(::sigaltstack(nullptr, &before), 0);
    {
        ThreadSignalStack stack;
        stack_t during{};
        ASSERT_EQ(::sigaltstack(nullptr, &during), 0);
        EXPECT_EQ(during.ss_flags & SS_DISABLE, 0);
        EXPECT_GE(during.ss_size, kSignalStackSize);
    }
    stack_t after{};
    ASSERT_EQ(::sigaltstack(nullptr, &after), 0);
    EXPECT_EQ(after.ss_flags & SS_DISABLE, before.ss_flags & SS_DISABLE);
    if ((before.ss_flags & SS_DISABLE) == 0) {
        EXPECT_EQ(after.ss_sp, before.ss_sp);
        EXPECT_EQ(after.ss_size, before.ss_size);
    }
}

TEST(DebugTrace, WrittenOnlyWhenTheDebugVariableIsSet) {
    ::unsetenv("TAVRIK_DEBUG");
    testing::internal::CaptureStderr();
    win::OutputDebugStringW(L"hidden");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ::setenv("TAVRIK_DEBUG", "0", 1);
    testing::internal::CaptureStderr();
    win::OutputDebugStringA("hidden too");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ::setenv("TAVRIK_DEBUG", "1", 1);
    testing::internal::CaptureStderr();
    win::OutputDebugStringW(L"scan \u00e9");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "scan \xc3\xa9\n");
    ::unsetenv("TAVRIK_DEBUG");
}

}  // namespace
