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
//
// Before it crashes it prints "READY <id of the thread that crashes>";
// the dump callback prints "DUMP <path>".

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "crashdump/crash_dump.h"

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

void* BlockedHelper(void*) {
    char c;
    [[maybe_unused]] ssize_t n = ::read(g_wakePipe[0], &c, 1);
    return nullptr;
}

__attribute__((noinline)) void CrashByNullWrite() {
    *static_cast<volatile int*>(nullptr) = 1;
}

__attribute__((noinline)) int CrashByDivide(int divisor) {
    volatile int by = divisor;
    return 100 / by;
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

    corvane::ICrashDump* dumper = corvane::CreateCrashDump();
    if (dumper == nullptr) {
        return 0;
    }
    dumper->Enable(1);
    dumper->SetTag(L"0104");
    dumper->SetDumpCallback(&OnDump);

    if (mode == "disabled" || mode == "disabled-abort") {
        dumper->Enable(0);
    } else if (mode == "dump-now") {
        corvane::DoCashDump();
    } else if (mode == "freed") {
        corvane::FreeCrashDump(dumper);
        corvane::FreeCrashDump(nullptr);
        dumper = nullptr;
    }

    // Give the helper time to block in its read, so the kernel can tell its
    // registers.
    ::usleep(20000);
    char ready[64];
    std::snprintf(ready, sizeof(ready), "READY %ld\n", static_cast<long>(::syscall(SYS_gettid)));
    WriteText(ready);

    if (mode == "abort" || mode == "disabled-abort") {
        std::abort();
    }
    if (mode == "divide") {
        return CrashByDivide(0);
    }
    CrashByNullWrite();
    return 1;
}
