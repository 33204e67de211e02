#pragma once

// Tick counts, local time and sleeping.

#include <cstdint>

#include "platform/files/win_types.h"

namespace win {

// Milliseconds since an arbitrary start, from the monotonic clock; wraps after
// 49.7 days. Callers take differences as unsigned 32-bit values.
DWORD GetTickCount();
// The same clock without wrapping.
std::uint64_t GetTickCount64();

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;      // 1..12
    WORD wDayOfWeek = 0;  // 0 = Sunday
    WORD wDay = 0;        // 1..31
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

// The wall-clock time in the local time zone.
void GetLocalTime(SYSTEMTIME* time);
// The wall-clock time in UTC.
void GetSystemTime(SYSTEMTIME* time);

// Suspends the calling thread for at least the given number of milliseconds.
// Sleep(0) yields.
void Sleep(DWORD milliseconds);

}  // namespace win
