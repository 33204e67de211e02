#include "platform/dump/thread_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/dump/safe_text.h"

namespace platform::dump {
namespace {

// The kernel's directory entry as getdents64 returns it.
struct DirEntry64 {
    std::uint64_t inode;
    std::int64_t offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

bool ParseNumber(const char* text, std::uint64_t* value) {
    std::uint64_t v = 0;
    const char* p = text;
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    if (*p == '\0') {
        return false;
    }
    for (; *p != '\0'; ++p) {
        int digit;
        if (*p >= '0' && *p <= '9') {
            digit = *p - '0';
        } else if (base == 16 && *p >= 'a' && *p <= 'f') {
            digit = *p - 'a' + 10;
        } else if (base == 16 && *p >= 'A' && *p <= 'F') {
            digit = *p - 'A' + 10;
        } else {
            return false;
        }
        v = v * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    *value = v;
    return true;
}

}  // namespace

std::uint32_t CurrentThreadId() { return static_cast<std::uint32_t>(::syscall(SYS_gettid)); }
std::uint32_t CurrentProcessId() { return static_cast<std::uint32_t>(::syscall(SYS_getpid)); }

// "nr arg1 .. arg6 sp pc" for a thread in a system call, "-1 sp pc" for one
// that is blocked elsewhere, "running" for one on a CPU.
bool ThreadList::ParseSyscallLine(const char* text, std::size_t length, std::uint64_t* stackPointer,
                                  std::uint64_t* instructionPointer) {
    char tokens[9][24];
    int count = 0;
    std::size_t i = 0;
    while (i < length && count < 10) {
        while (i < length && (text[i] == ' ' || text[i] == '\n')) {
            ++i;
        }
        if (i >= length || text[i] == '\0') {
            break;
        }
        if (count == 9) {
            return false;
        }
        std::size_t n = 0;
        while (i < length && text[i] != ' ' && text[i] != '\n' && text[i] != '\0') {
            if (n + 1 >= sizeof(tokens[0])) {
                return false;
            }
            tokens[count][n++] = text[i++];
        }
        tokens[count][n] = '\0';
        ++count;
    }
    if (count != 3 && count != 9) {
        return false;
    }
    return ParseNumber(tokens[count - 2], stackPointer) && ParseNumber(tokens[count - 1], instructionPointer);
}

void ThreadList::ReadRegisters(ThreadState* thread) {
    char path[64];
    SafeText text(path, sizeof(path));
    text.Append("/proc/self/task/").AppendDecimal(thread->id).Append("/syscall");
    int fd = static_cast<int>(::syscall(SYS_openat, AT_FDCWD, path, O_RDONLY | O_CLOEXEC));
    if (fd < 0) {
        return;
    }
    char line[256];
    long n = ::syscall(SYS_read, fd, line, sizeof(line) - 1);
    ::syscall(SYS_close, fd);
    if (n <= 0) {
        return;
    }
    thread->hasRegisters =
        ParseSyscallLine(line, static_cast<std::size_t>(n), &thread->stackPointer, &thread->instructionPointer);
}

bool ThreadList::Read() {
    count_ = 0;
    int fd = static_cast<int>(::syscall(SYS_openat, AT_FDCWD, "/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd < 0) {
        return false;
    }
    alignas(8) static char buffer[4096];
    std::uint32_t self = CurrentThreadId();
    for (;;) {
        long n = ::syscall(SYS_getdents64, fd, buffer, sizeof(buffer));
        if (n <= 0) {
            break;
        }
        for (long pos = 0; pos < n;) {
            auto* entry = reinterpret_cast<DirEntry64*>(buffer + pos);
            pos += entry->length;
            std::uint64_t id = 0;
            if (entry->name[0] == '.' || !ParseNumber(entry->name, &id) || count_ >= kMaxThreads) {
                continue;
            }
            ThreadState& thread = threads_[count_++];
            thread = ThreadState{};
            thread.id = static_cast<std::uint32_t>(id);
            if (thread.id != self) {
                ReadRegisters(&thread);
            }
        }
    }
    ::syscall(SYS_close, fd);
    return count_ > 0;
}

}  // namespace platform::dump
