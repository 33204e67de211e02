#include "platform/dump/safe_clock.h"

#include <time.h>

namespace platform::dump {

long CurrentUtcOffsetSeconds() {
    time_t now = ::time(nullptr);
    struct tm local;
    if (::localtime_r(&now, &local) == nullptr) {
        return 0;
    }
    return local.tm_gmtoff;
}

CivilTime CivilFromSeconds(long long seconds) {
    long long days = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Days since 1970-01-01 to a proleptic Gregorian date, counting in
    // 400-year eras that start on 1 March.
    days += 719468;
    long long era = (days >= 0 ? days : days - 146096) / 146097;
    long long dayOfEra = days - era * 146097;
    long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    long long monthIndex = (5 * dayOfYear + 2) / 153;
    CivilTime t;
    t.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    t.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    t.year = static_cast<int>(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

CivilTime ClockNow(long utcOffsetSeconds) {
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return CivilFromSeconds(static_cast<long long>(now.tv_sec) + utcOffsetSeconds);
}

}  // namespace platform::dump
