#include "platform/dump/exception_filter.h"

#include "platform/dump/signal_stack.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>

namespace win {
namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr std::size_t kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);

std::atomic<LPTOP_LEVEL_EXCEPTION_FILTER> g_filter{nullptr};
std::atomic<bool> g_installed{false};
// Thread id of the thread that is handling a crash, 0 when none is.
std::atomic<long> g_handlingThread{0};
struct sigaction g_previous[kSignalCount];

long ThreadId() { return ::syscall(SYS_gettid); }

// A thread that overflowed its stack cannot run a handler on it; the thread
// that installs the filter gets a separate stack for the handler for the rest
// of the process (threads started through the OS layer get their own).
void EnsureAlternateStack() {
    static thread_local ThreadSignalStack* stack = nullptr;
    if (stack == nullptr) {
        stack = new ThreadSignalStack;  // kept: the handler may run at any later time
    }
}

void RestorePrevious() {
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    }
    g_installed.store(false);
}

// Ends the process by the signal itself: default action, raised again. The
// signal stays blocked until the handler returns, then it is delivered.
void EndBySignal(int signal) {
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
    ::syscall(SYS_tgkill, ::getpid(), ThreadId(), signal);
}

std::size_t IndexOf(int signal) {
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        if (kSignals[i] == signal) {
            return i;
        }
    }
    return 0;
}

bool IsHandler(const struct sigaction& action) {
    if ((action.sa_flags & SA_SIGINFO) != 0) {
        return action.sa_sigaction != nullptr;
    }
    return action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN;
}

void CrashHandler(int signal, siginfo_t* info, void* context) {
    long self = ThreadId();
    long expected = 0;
    if (!g_handlingThread.compare_exchange_strong(expected, self)) {
        if (expected == self) {
            EndBySignal(signal);
            return;
        }
        // Another thread is writing the dump and will end the process; wait,
        // and retry only if that thread resumed instead.
        while (g_handlingThread.load() != 0) {
            struct timespec pause = {0, 1000000};
            ::nanosleep(&pause, nullptr);
        }
        return;
    }

    long result = EXCEPTION_CONTINUE_SEARCH;
    if (LPTOP_LEVEL_EXCEPTION_FILTER filter = g_filter.load(); filter != nullptr) {
        EXCEPTION_POINTERS pointers;
        pointers.ExceptionRecord = info;
        pointers.ContextRecord = context;
        result = filter(&pointers);
    }
    if (g_filter.load() == nullptr && g_installed.load()) {
        // The filter took itself away while it ran.
        RestorePrevious();
    }

    if (result == EXCEPTION_CONTINUE_EXECUTION) {
        g_handlingThread.store(0);
        return;
    }
    if (result == EXCEPTION_CONTINUE_SEARCH) {
        struct sigaction previous = g_previous[IndexOf(signal)];
        if (IsHandler(previous)) {
            g_handlingThread.store(0);
            if ((previous.sa_flags & SA_SIGINFO) != 0) {
                previous.sa_sigaction(signal, info, context);
            } else {
                previous.sa_handler(signal);
            }
            return;
        }
    }
    EndBySignal(signal);
}

void Install() {
    EnsureAlternateStack();
    struct sigaction action = {};
    action.sa_sigaction = CrashHandler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    // While one crash is handled the other crash signals wait; a fault in the
    // handler itself then ends the process at once.
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals) {
        sigaddset(&action.sa_mask, signal);
    }
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        ::sigaction(kSignals[i], &action, &g_previous[i]);
    }
    g_installed.store(true);
}

}  // namespace

LPTOP_LEVEL_EXCEPTION_FILTER SetUnhandledExceptionFilter(LPTOP_LEVEL_EXCEPTION_FILTER filter) {
    LPTOP_LEVEL_EXCEPTION_FILTER previous = g_filter.exchange(filter);
    if (filter != nullptr && !g_installed.load()) {
        Install();
    } else if (filter == nullptr && g_installed.load() && g_handlingThread.load() == 0) {
        // During a crash the handler puts the previous handlers back itself,
        // once it is done, so that a second faulting thread still waits.
        RestorePrevious();
    }
    return previous;
}

}  // namespace win
