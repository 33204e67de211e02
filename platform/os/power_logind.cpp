#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/os/debug_trace.h"
#include "platform/os/power.h"
#include "platform/dump/signal_stack.h"

namespace win {
namespace {

// Watches logind's PrepareForSleep on a thread of its own.
class LogindPowerSource : public PowerSource {
public:
    ~LogindPowerSource() override { Stop(); }

    bool Start(Callback callback) override {
        callback_ = std::move(callback);
        if (sd_bus_open_system(&bus_) < 0) {
            bus_ = nullptr;
            ReportUnavailable("no system bus");
            return false;
        }
        int r = sd_bus_match_signal(bus_, nullptr, "org.freedesktop.login1", "/org/freedesktop/login1",
                                    "org.freedesktop.login1.Manager", "PrepareForSleep", &OnSignal, this);
        if (r < 0) {
            sd_bus_unref(bus_);
            bus_ = nullptr;
            ReportUnavailable("cannot watch logind");
            return false;
        }
        TakeInhibitor();
        stopFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        thread_ = std::thread([this] {
            const ThreadSignalStack signalStack;  // crashes here are dumped too
            Run();
        });
        return true;
    }

    void Stop() override {
        if (thread_.joinable()) {
            const std::uint64_t one = 1;
            [[maybe_unused]] ssize_t n = ::write(stopFd_, &one, sizeof one);
            thread_.join();
        }
        if (stopFd_ >= 0) {
            ::close(stopFd_);
            stopFd_ = -1;
        }
        ReleaseInhibitor();
        if (bus_ != nullptr) {
            sd_bus_flush_close_unref(bus_);
            bus_ = nullptr;
        }
    }

    void SuspendHandled() override { ReleaseInhibitor(); }

private:
    static void ReportUnavailable(const char* why) {
        static std::atomic<bool> said{false};
        if (!said.exchange(true)) {
            PlatformLog(std::string("suspend and resume notices are off: ") + why);
        }
    }

    static int OnSignal(sd_bus_message* message, void* data, sd_bus_error*) {
        auto* self = static_cast<LogindPowerSource*>(data);
        int sleeping = 0;
        if (sd_bus_message_read(message, "b", &sleeping) < 0) {
            return 0;
        }
        if (!sleeping) {
            self->TakeInhibitor();  // for the next suspend
        }
        if (self->callback_) {
            self->callback_(sleeping != 0);
        }
        return 0;
    }

    void TakeInhibitor() {
        if (inhibitFd_ >= 0 || bus_ == nullptr) {
            return;
        }
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        int r = sd_bus_call_method(bus_, "org.freedesktop.login1", "/org/freedesktop/login1",
                                   "org.freedesktop.login1.Manager", "Inhibit", &error, &reply, "ssss", "sleep",
                                   "Tavrik", "Switch the device lighting off before sleeping", "delay");
        if (r >= 0) {
            int fd = -1;
            if (sd_bus_message_read(reply, "h", &fd) >= 0 && fd >= 0) {
                inhibitFd_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
            }
        }
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
    }

    void ReleaseInhibitor() {
        if (inhibitFd_ >= 0) {
            ::close(inhibitFd_);
            inhibitFd_ = -1;
        }
    }

    void Run() {
        for (;;) {
            while (sd_bus_process(bus_, nullptr) > 0) {
            }
            pollfd fds[2] = {{sd_bus_get_fd(bus_), static_cast<short>(sd_bus_get_events(bus_)), 0},
                             {stopFd_, POLLIN, 0}};
            std::uint64_t usec = 0;
            int timeout = -1;
            if (sd_bus_get_timeout(bus_, &usec) > 0 && usec != UINT64_MAX) {
                timeout = 1000;  // re-check at least every second when the bus has timers
            }
            if (::poll(fds, 2, timeout) < 0 && errno != EINTR) {
                return;
            }
            if (fds[1].revents != 0) {
                return;
            }
            if ((fds[0].revents & (POLLERR | POLLHUP)) != 0 && (fds[0].revents & POLLIN) == 0) {
                ReportUnavailable("system bus connection lost");
                return;
            }
        }
    }

    Callback callback_;
    sd_bus* bus_ = nullptr;
    int stopFd_ = -1;
    int inhibitFd_ = -1;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<PowerSource> CreateLogindPowerSource() { return std::make_unique<LogindPowerSource>(); }

}  // namespace win
