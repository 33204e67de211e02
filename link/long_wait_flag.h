#pragma once
// Process-wide: 1 while the user has accepted a long screen upload. While it
// is 1 a wired transaction waits up to 50000 ms for its reply instead of 5000.
// Written by the main window and the keyboard, read by every transaction.

#include <atomic>
#include <cstdint>

extern std::atomic<int32_t> LongWaitFlag;
