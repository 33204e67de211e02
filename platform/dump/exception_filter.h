#pragma once

// The process's last-chance crash handler, in the shape the program's code
// expects from its platform: one process-wide "unhandled exception filter".
//
// On Linux a crash is a fatal signal. Installing a filter installs handlers
// for SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT that run on an alternate
// stack (so a stack overflow can still be reported) and call the filter.
// What the filter returns decides how the process goes on:
//   EXCEPTION_EXECUTE_HANDLER     the process ends by the signal: its default
//                                 action is restored and the signal raised
//                                 again, so the exit status still names it;
//   EXCEPTION_CONTINUE_SEARCH     the handler that was installed before the
//                                 first filter is run (or the default action);
//   EXCEPTION_CONTINUE_EXECUTION  the interrupted code is resumed.
// The filter runs inside a signal handler: it may use only async-signal-safe
// calls (no allocation, no locks, no stdio).

#include <cstdint>

namespace win {

// What a filter receives about the fault.
struct EXCEPTION_POINTERS {
    // The signal's information (a siginfo_t).
    const void* ExceptionRecord = nullptr;
    // The interrupted thread's machine context (a ucontext_t).
    void* ContextRecord = nullptr;
};

using LPTOP_LEVEL_EXCEPTION_FILTER = long (*)(EXCEPTION_POINTERS* exception);

inline constexpr long EXCEPTION_EXECUTE_HANDLER = 1;
inline constexpr long EXCEPTION_CONTINUE_SEARCH = 0;
inline constexpr long EXCEPTION_CONTINUE_EXECUTION = -1;

// Makes `filter` the process's crash filter and returns the previous one.
// A null filter takes the signal handlers away again and puts back the ones
// that were installed before the first filter. Safe to call from a filter.
LPTOP_LEVEL_EXCEPTION_FILTER SetUnhandledExceptionFilter(LPTOP_LEVEL_EXCEPTION_FILTER filter);

}  // namespace win
