#pragma once

// Local wall-clock time that can be read inside a signal handler. The local
// time zone's offset cannot be looked up there (that takes locks and may read
// files), so it is taken beforehand and the handler only adds the clock.

namespace platform::dump {

struct CivilTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Seconds east of UTC of the local time zone now. Not for signal handlers.
long CurrentUtcOffsetSeconds();

// The clock now, shifted by the given offset. Safe in a signal handler.
CivilTime ClockNow(long utcOffsetSeconds);

// Calendar fields of a count of seconds since 1970-01-01 00:00.
CivilTime CivilFromSeconds(long long seconds);

}  // namespace platform::dump
