#include "platform/os/clock.h"

#include <sched.h>
#include <time.h>

#include <cerrno>

namespace win {

std::uint64_t GetTickCount64() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec / 1000000);
}

DWORD GetTickCount() { return static_cast<DWORD>(GetTickCount64()); }

namespace {

void Fill(SYSTEMTIME* out, const tm& t, long nanoseconds) {
    out->wYear = static_cast<WORD>(t.tm_year + 1900);
    out->wMonth = static_cast<WORD>(t.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(t.tm_wday);
    out->wDay = static_cast<WORD>(t.tm_mday);
    out->wHour = static_cast<WORD>(t.tm_hour);
    out->wMinute = static_cast<WORD>(t.tm_min);
    // A leap second shows as 59, as the 0..59 range promises.
    out->wSecond = static_cast<WORD>(t.tm_sec > 59 ? 59 : t.tm_sec);
    out->wMilliseconds = static_cast<WORD>(nanoseconds / 1000000);
}

}  // namespace

void GetLocalTime(SYSTEMTIME* time) {
    if (time == nullptr) {
        return;
    }
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    tm t{};
    ::localtime_r(&ts.tv_sec, &t);
    Fill(time, t, ts.tv_nsec);
}

void GetSystemTime(SYSTEMTIME* time) {
    if (time == nullptr) {
        return;
    }
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    tm t{};
    ::gmtime_r(&ts.tv_sec, &t);
    Fill(time, t, ts.tv_nsec);
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        ::sched_yield();
        return;
    }
    timespec ts{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

}  // namespace win
