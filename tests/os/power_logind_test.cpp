// The logind power source against a private message bus that stands in for
// the system bus, with a fake logind on it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/os/clock.h"
#include "platform/os/message_queue.h"
#include "platform/os/power.h"
#include "tests/os/peer_process.h"
#include "tests/support/required_service.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace win;

// Owns "org.freedesktop.login1" on the bus: answers Inhibit with a pipe and
// emits PrepareForSleep on request, all on a thread of its own.
class FakeLogind {
public:
    explicit FakeLogind(const std::string& address) {
        if (sd_bus_new(&bus_) < 0 || sd_bus_set_address(bus_, address.c_str()) < 0 ||
            sd_bus_set_bus_client(bus_, 1) < 0 || sd_bus_start(bus_) < 0) {
            return;
        }
        if (sd_bus_add_object_vtable(bus_, nullptr, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                     kVtable, this) < 0 ||
            sd_bus_request_name(bus_, "org.freedesktop.login1", 0) < 0) {
            return;
        }
        ready_ = true;
        thread_ = std::thread([this] { Run(); });
    }
    ~FakeLogind() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        for (int fd : inhibitors_) {
            ::close(fd);
        }
        sd_bus_flush_close_unref(bus_);
    }

    bool Ready() const { return ready_; }
    void Emit(bool sleeping) { pending_ = sleeping ? 1 : 2; }
    int Inhibits() const { return inhibits_; }
    // The read end of the newest inhibitor pipe (EOF once the client lets go).
    int LastInhibitor() const { return lastInhibitor_; }

private:
    static int Inhibit(sd_bus_message* m, void* data, sd_bus_error*) {
        auto* self = static_cast<FakeLogind*>(data);
        const char *what, *who, *why, *mode;
        if (sd_bus_message_read(m, "ssss", &what, &who, &why, &mode) < 0 || std::string(mode) != "delay" ||
            std::string(what) != "sleep") {
            return -EINVAL;
        }
        int p[2];
        if (::pipe2(p, O_CLOEXEC) != 0) {
            return -errno;
        }
        self->inhibitors_.push_back(p[0]);
        self->lastInhibitor_ = p[0];
        ++self->inhibits_;
        int r = sd_bus_reply_method_return(m, "h", p[1]);
        ::close(p[1]);
        return r;
    }

    void Run() {
        while (!stop_) {
            int pending = pending_.exchange(0);
            if (pending != 0) {
                sd_bus_emit_signal(bus_, "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep",
                                   "b", pending == 1 ? 1 : 0);
            }
            while (sd_bus_process(bus_, nullptr) > 0) {
            }
            sd_bus_wait(bus_, 5000);
        }
    }

    static constexpr sd_bus_vtable kVtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Inhibit", "ssss", "h", &FakeLogind::Inhibit, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_SIGNAL("PrepareForSleep", "b", 0),
        SD_BUS_VTABLE_END,
    };

    sd_bus* bus_ = nullptr;
    bool ready_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<int> pending_{0};
    std::atomic<int> inhibits_{0};
    std::atomic<int> lastInhibitor_{-1};
    std::vector<int> inhibitors_;
    std::thread thread_;
};

std::vector<WPARAM> events;

LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_POWERBROADCAST) {
        events.push_back(wParam);
        return TRUE;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool PumpUntil(size_t count) {
    DWORD start = GetTickCount();
    while (events.size() < count && GetTickCount() - start < DWORD(tavrik::test::WaitBoundMs(5000))) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
    }
    return events.size() >= count;
}

TEST(PowerLogind, PrepareForSleepBecomesSuspendAndResumeNotices) {
    if (::access("/usr/bin/dbus-daemon", X_OK) != 0) {
        TAVRIK_MISSING_SERVICE("dbus-daemon is not installed: run tools/setup");
    }
    tavrik::test::PeerProcess daemon("/usr/bin/dbus-daemon",
                                     {"--session", "--nofork", "--nopidfile", "--print-address=1"});
    std::string address = daemon.ReadLine();
    if (address.empty()) {
        TAVRIK_MISSING_SERVICE("dbus-daemon could not start");
    }
    FakeLogind logind(address);
    ASSERT_TRUE(logind.Ready());
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);

    events.clear();
    HWND hwnd = CreateWindowHandle(&Proc, L"main");
    ASSERT_TRUE(StartPowerNotifications());
    EXPECT_EQ(logind.Inhibits(), 1) << "a delay lock is held while running";

    logind.Emit(true);
    ASSERT_TRUE(PumpUntil(1));
    EXPECT_EQ(events[0], PBT_APMSUSPEND);
    // Once the windows handled the notice the machine may sleep: the lock goes.
    pollfd p{logind.LastInhibitor(), POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, tavrik::test::WaitBoundMs(2000)), 1);
    EXPECT_NE(p.revents & POLLHUP, 0);

    logind.Emit(false);
    ASSERT_TRUE(PumpUntil(2));
    EXPECT_EQ(events[1], PBT_APMRESUMEAUTOMATIC);
    DWORD start = GetTickCount();
    while (logind.Inhibits() < 2 && GetTickCount() - start < DWORD(tavrik::test::WaitBoundMs(2000))) {
        Sleep(5);
    }
    EXPECT_EQ(logind.Inhibits(), 2) << "the lock is taken again for the next sleep";

    StopPowerNotifications();
    DestroyWindow(hwnd);
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

}  // namespace
