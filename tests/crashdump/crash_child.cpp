// A program that binds cvn_CrashDump the way the real program does and then
// crashes in the way its first argument names. The crashdump tests copy it
// with the library into a temporary program folder and run it.
//
//   crash_child <mode>
//     null         enabled, writes through a null pointer
//     divide       enabled, divides an integer by zero
//     abort        enabled, calls abort()
//     disabled     enabled, then disabled, then writes through a null pointer
//     disabled-abort  the same, then aborts
//     dump-now     enabled, asks for a dump (DoCashDump), then writes through
//                  a null pointer
//     freed        enabled, the object freed, then writes through a null pointer
//     own-handler  installs its own SIGSEGV handler (which exits with 42),
//                  enables, disables, then writes through a null pointer
//     two-threads  enabled, two threads write through a null pointer at once
//     overflow     enabled, recurses until the stack is exhausted
//     thread-overflow  enabled, a second thread with the alternate signal
//                  stack every platform thread gets recurses until its stack
//                  is exhausted
//
// A helper thread is blocked in read() whenever the child crashes.
// Before it crashes it prints "READY <id of the thread that crashes>";
// the dump callback prints "DUMP <path>".

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "crashdump/crash_dump.h"
#include "platform/dump/signal_stack.h"

namespace {

int g_wakePipe[2];

void WriteText(const char* text) {
    std::size_t length = std::strlen(text);
    while (length > 0) {
        ssize_t n = ::write(STDOUT_FILENO, text, length);
        if (n <= 0) {
            return;
        }
        text += n;
        length -= static_cast<std::size_t>(n);
    }
}

// Runs inside the crash handler: only write().
void OnDump(win::EXCEPTION_POINTERS* exception, const wchar_t* path) {
    static char line[4200];
    std::size_t n = 0;
    const char* head = exception != nullptr ? "DUMP " : "DUMP-NOW ";
    for (const char* p = head; *p != '\0'; ++p) {
        line[n++] = *p;
    }
    for (const wchar_t* p = path; *p != L'\0' && n + 2 < sizeof(line); ++p) {
        line[n++] = *p < 0x80 ? static_cast<char>(*p) : '?';
    }
    line[n++] = '\n';
    line[n] = '\0';
    WriteText(line);
}

std::atomic<long> g_helperThread{0};

void* BlockedHelper(void*) {
    g_helperThread.store(::syscall(SYS_gettid));
    char c;
    [[maybe_unused]] ssize_t n = ::read(g_wakePipe[0], &c, 1);
    return nullptr;
}

__attribute__((noinline)) void CrashByNullWrite() {
    // Hidden from the optimiser, which would otherwise drop a write it can
    // prove goes to null.
    int* target = nullptr;
    asm volatile("" : "+r"(target));
    *reinterpret_cast<volatile int*>(target) = 1;
}

__attribute__((noinline)) int CrashByDivide(int divisor) {
    volatile int by = divisor;
    return 100 / by;
}

void OwnHandler(int) { ::_exit(42); }

pthread_barrier_t g_together;

void* CrashTogether(void*) {
    ::pthread_barrier_wait(&g_together);
    CrashByNullWrite();
    return nullptr;
}

volatile int g_depthLimit = -1;  // never reached

__attribute__((noinline)) int Recurse(int depth) {
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    if (depth == g_depthLimit) {
        return 0;
    }
    return Recurse(depth + 1) + frame[0];
}

// Bounded: 10 s.
bool WaitUntilBlockedInRead(std::atomic<long>* thread) {
    for (int i = 0; i < 10000; ++i) {
        if (const long id = thread->load(); id != 0) {
            char path[64];
            std::snprintf(path, sizeof(path), "/proc/self/task/%ld/syscall", id);
            char line[32] = {};
            const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
            if (fd >= 0) {
                [[maybe_unused]] ssize_t n = ::read(fd, line, sizeof(line) - 1);
                ::close(fd);
            }
            if (std::strncmp(line, "0 ", 2) == 0) {
                return true;
            }
        }
        ::usleep(1000);
    }
    return false;
}

void* OverflowOnAThread(void*) {
    const win::ThreadSignalStack signalStack;  // as every platform thread has
    char ready[64];
    std::snprintf(ready, sizeof(ready), "READY %ld\n", static_cast<long>(::syscall(SYS_gettid)));
    WriteText(ready);
    Recurse(0);
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    std::string mode = argv[1];
    // No core files from the intended crashes.
    struct rlimit none = {0, 0};
    ::setrlimit(RLIMIT_CORE, &none);

    if (::pipe(g_wakePipe) != 0) {
        return 3;
    }
    pthread_t helper;
    ::pthread_create(&helper, nullptr, BlockedHelper, nullptr);

    if (mode == "own-handler") {
        struct sigaction own = {};
        own.sa_handler = OwnHandler;
        ::sigaction(SIGSEGV, &own, nullptr);
    }

    corvane::ICrashDump* dumper = corvane::CreateCrashDump();
    if (dumper == nullptr) {
        return 0;
    }
    dumper->Enable(1);
    dumper->SetTag(L"0104");
    dumper->SetDumpCallback(&OnDump);

    if (mode == "disabled" || mode == "disabled-abort" || mode == "own-handler") {
        dumper->Enable(0);
    } else if (mode == "dump-now") {
        corvane::DoCashDump();
    } else if (mode == "freed") {
        corvane::FreeCrashDump(dumper);
        corvane::FreeCrashDump(nullptr);
        dumper = nullptr;
    }

    // The kernel tells the registers of a thread only while it is blocked:
    // wait until the helper is inside its read (system call 0), however
    // long a busy machine takes to get it there.
    if (!WaitUntilBlockedInRead(&g_helperThread)) {
        return 4;
    }
    if (mode == "thread-overflow") {
        pthread_t overflowing;
        ::pthread_create(&overflowing, nullptr, OverflowOnAThread, nullptr);
        ::pthread_join(overflowing, nullptr);
        return 1;
    }
    char ready[64];
    std::snprintf(ready, sizeof(ready), "READY %ld\n", static_cast<long>(::syscall(SYS_gettid)));
    WriteText(ready);

    if (mode == "abort" || mode == "disabled-abort") {
        std::abort();
    }
    if (mode == "divide") {
        return CrashByDivide(0);
    }
    if (mode == "overflow") {
        return Recurse(0);
    }
    if (mode == "two-threads") {
        ::pthread_barrier_init(&g_together, nullptr, 2);
        pthread_t other;
        ::pthread_create(&other, nullptr, CrashTogether, nullptr);
        ::pthread_barrier_wait(&g_together);
    }
    CrashByNullWrite();
    return 1;
}
