#include "link/time_id.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <tuple>

namespace {

auto Key(const win::SYSTEMTIME& t) {
    return std::make_tuple(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

}  // namespace

std::string FormatTimeId(const win::SYSTEMTIME& time) {
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, "%d_%02d_%02d_%02d_%02d_%02d_%03d", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
    return buffer;
}

win::SYSTEMTIME AddOneMillisecond(const win::SYSTEMTIME& time) {
    using namespace std::chrono;
    const sys_days date{year_month_day{year{time.wYear}, month{time.wMonth}, day{time.wDay}}};
    const sys_time<milliseconds> next = date + hours{time.wHour} + minutes{time.wMinute} + seconds{time.wSecond} +
                                        milliseconds{time.wMilliseconds} + milliseconds{1};
    const sys_days nextDate = floor<days>(next);
    const year_month_day ymd{nextDate};
    const hh_mm_ss<milliseconds> clock{next - nextDate};

    win::SYSTEMTIME out{};
    out.wYear = static_cast<win::WORD>(static_cast<int>(ymd.year()));
    out.wMonth = static_cast<win::WORD>(static_cast<unsigned>(ymd.month()));
    out.wDay = static_cast<win::WORD>(static_cast<unsigned>(ymd.day()));
    out.wDayOfWeek = static_cast<win::WORD>(weekday{nextDate}.c_encoding());
    out.wHour = static_cast<win::WORD>(clock.hours().count());
    out.wMinute = static_cast<win::WORD>(clock.minutes().count());
    out.wSecond = static_cast<win::WORD>(clock.seconds().count());
    out.wMilliseconds = static_cast<win::WORD>(clock.subseconds().count());
    return out;
}

std::string NextTimeId() {
    static std::mutex mutex;
    static win::SYSTEMTIME last{};
    static bool issued = false;

    win::SYSTEMTIME now{};
    win::GetLocalTime(&now);

    std::lock_guard lock(mutex);
    if (issued && Key(now) <= Key(last)) {
        now = AddOneMillisecond(last);
    }
    last = now;
    issued = true;
    return FormatTimeId(now);
}
