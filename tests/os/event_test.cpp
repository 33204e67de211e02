#include "platform/os/event.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/os/clock.h"
#include "platform/os/critical_section.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace win;

struct EventCloser {
    explicit EventCloser(HANDLE h) : handle(h) {}
    ~EventCloser() { CloseHandle(handle); }
    HANDLE handle;
};

TEST(Event, ManualResetStaysSignalledUntilReset) {
    HANDLE e = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EventCloser closer(e);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
    ASSERT_TRUE(SetEvent(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    ASSERT_TRUE(ResetEvent(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
}

TEST(Event, AutoResetIsConsumedByOneWait) {
    HANDLE e = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    EventCloser closer(e);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
}

TEST(Event, MultipleLowestIndexWinsAndOthersStaySet) {
    HANDLE a = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE b = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE c = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EventCloser ca(a), cb(b), cc(c);
    SetEvent(c);
    SetEvent(b);
    HANDLE all[] = {a, b, c};
    EXPECT_EQ(WaitForMultipleObjects(3, all, FALSE, 0), WAIT_OBJECT_0 + 1);
    // c did not satisfy that wait and is still set.
    EXPECT_EQ(WaitForMultipleObjects(3, all, FALSE, 0), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForMultipleObjects(3, all, FALSE, 0), WAIT_TIMEOUT);
}

TEST(Event, WaitAllNeedsEveryObject) {
    HANDLE a = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    HANDLE b = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EventCloser ca(a), cb(b);
    HANDLE both[] = {a, b};
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 5), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_OBJECT_0) << "a failed wait-all must not consume a";
    SetEvent(a);
    SetEvent(b);
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 5), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_OBJECT_0);
}

TEST(Event, WakesAWaiterOnAnotherThread) {
    HANDLE e = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EventCloser closer(e);
    std::thread setter([e] {
        Sleep(20);
        SetEvent(e);
    });
    DWORD start = GetTickCount();
    EXPECT_EQ(WaitForSingleObject(e, tavrik::test::WaitBoundMs(5000)), WAIT_OBJECT_0);
    EXPECT_LT(GetTickCount() - start, static_cast<DWORD>(tavrik::test::WaitBoundMs(4000)));
    setter.join();
}

TEST(Event, TwoWaitersOneAutoResetSignalWakesExactlyOne) {
    HANDLE e = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EventCloser closer(e);
    std::atomic<int> woken{0};
    auto waiter = [&] {
        if (WaitForSingleObject(e, tavrik::test::WaitBoundMs(200)) == WAIT_OBJECT_0) {
            ++woken;
        }
    };
    std::thread t1(waiter), t2(waiter);
    Sleep(20);
    SetEvent(e);
    t1.join();
    t2.join();
    EXPECT_EQ(woken.load(), 1);
}

TEST(Event, TimeoutElapses) {
    HANDLE e = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EventCloser closer(e);
    DWORD start = GetTickCount();
    EXPECT_EQ(WaitForSingleObject(e, 30), WAIT_TIMEOUT);
    EXPECT_GE(GetTickCount() - start, 29u);
}

TEST(Event, ClosedOrBogusHandleFails) {
    HANDLE e = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(CloseHandle(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(e));
    EXPECT_FALSE(CloseHandle(e));
    int dummy = 0;
    EXPECT_EQ(WaitForSingleObject(&dummy, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Event, WaitOnEventAndDescriptorTogether) {
    HANDLE e = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EventCloser closer(e);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    WaitDescriptor d{pipeFds[0], false};

    EXPECT_EQ(WaitForObjectsAndDescriptors(1, &e, 1, &d, 10), WAIT_TIMEOUT);

    std::thread writer([&] {
        Sleep(10);
        ASSERT_EQ(::write(pipeFds[1], "x", 1), 1);
    });
    EXPECT_EQ(WaitForObjectsAndDescriptors(1, &e, 1, &d, 5000), WAIT_OBJECT_0 + 1);
    writer.join();

    // Both ready: the event comes first; the descriptor is not read.
    SetEvent(e);
    EXPECT_EQ(WaitForObjectsAndDescriptors(1, &e, 1, &d, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForObjectsAndDescriptors(1, &e, 1, &d, 0), WAIT_OBJECT_0 + 1);

    // A hang-up counts as ready, so a reader learns the peer went away.
    char c;
    ASSERT_EQ(::read(pipeFds[0], &c, 1), 1);
    ::close(pipeFds[1]);
    EXPECT_EQ(WaitForObjectsAndDescriptors(1, &e, 1, &d, 1000), WAIT_OBJECT_0 + 1);
    ::close(pipeFds[0]);
}

TEST(Event, DescriptorOfHandleIsReadableWhileSignalled) {
    HANDLE e = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EventCloser closer(e);
    int fd = GetWaitDescriptor(e);
    ASSERT_GE(fd, 0);
    WaitDescriptor d{fd, false};
    EXPECT_EQ(WaitForObjectsAndDescriptors(0, nullptr, 1, &d, 0), WAIT_TIMEOUT);
    SetEvent(e);
    EXPECT_EQ(WaitForObjectsAndDescriptors(0, nullptr, 1, &d, 0), WAIT_OBJECT_0);
    ResetEvent(e);
    EXPECT_EQ(WaitForObjectsAndDescriptors(0, nullptr, 1, &d, 0), WAIT_TIMEOUT);
    EXPECT_EQ(GetWaitDescriptor(nullptr), -1);
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads) {
    CCriticalSection section;
    std::atomic<bool> otherGotIt{false};
    {
        CriticalSectionGuard outer(section);
        CriticalSectionGuard inner(section);
        std::thread other([&] {
            otherGotIt = section.TryLock();
            if (otherGotIt) section.Unlock();
        });
        other.join();
    }
    EXPECT_FALSE(otherGotIt.load());
    std::thread after([&] {
        otherGotIt = section.TryLock();
        if (otherGotIt) section.Unlock();
    });
    after.join();
    EXPECT_TRUE(otherGotIt.load());

    CRITICAL_SECTION raw;
    InitializeCriticalSection(&raw);
    EnterCriticalSection(&raw);
    EXPECT_TRUE(TryEnterCriticalSection(&raw));
    LeaveCriticalSection(&raw);
    LeaveCriticalSection(&raw);
    DeleteCriticalSection(&raw);
}

TEST(Clock, TickCountAdvancesAndLocalTimeIsSane) {
    DWORD a = GetTickCount();
    Sleep(15);
    DWORD b = GetTickCount();
    EXPECT_GE(b - a, 14u);
    SYSTEMTIME t;
    GetLocalTime(&t);
    EXPECT_GE(t.wYear, 2020);
    EXPECT_GE(t.wMonth, 1);
    EXPECT_LE(t.wMonth, 12);
    EXPECT_LE(t.wDayOfWeek, 6);
    EXPECT_LE(t.wMilliseconds, 999);
    time_t now = ::time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    EXPECT_EQ(t.wDayOfWeek, local.tm_wday);
}

}  // namespace
