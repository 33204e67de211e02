#pragma once

#include <string>

#include "platform/os/clock.h"

// Time-stamp identifiers of profiles and macros: the local time formatted as
// "%d_%02d_%02d_%02d_%02d_%02d_%03d" (year, month, day, hour, minute, second,
// millisecond), e.g. 2023_07_04_09_05_03_007. The id is also the stem of the
// profile's or macro's file name.

// The id of the given local time.
std::string FormatTimeId(const win::SYSTEMTIME& time);

// The id of the current local time, never equal to an id this process issued
// before: when the clock has not moved past the last id issued (two calls in one
// millisecond, or the clock set back), the id is that of the last one plus one
// millisecond. Safe to call from any thread.
std::string NextTimeId();

// The time one millisecond after the given one, carrying into seconds, minutes,
// hours and the calendar date (month lengths and leap years included).
win::SYSTEMTIME AddOneMillisecond(const win::SYSTEMTIME& time);
