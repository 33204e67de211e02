#pragma once

// The threads of the calling process and, where the kernel tells it, the
// stack pointer and instruction pointer of each one. Read without allocating,
// for use inside a signal handler.

#include <cstddef>
#include <cstdint>

namespace platform::dump {

struct ThreadState {
    std::uint32_t id = 0;
    // Stack and instruction pointer, known for a thread that is blocked
    // (in a system call or preempted); a thread running on another CPU at
    // the moment of reading has none.
    bool hasRegisters = false;
    std::uint64_t stackPointer = 0;
    std::uint64_t instructionPointer = 0;
};

class ThreadList {
public:
    static constexpr std::size_t kMaxThreads = 1024;

    // Lists the threads of the calling process; false when that fails.
    bool Read();

    std::size_t Count() const { return count_; }
    const ThreadState& At(std::size_t i) const { return threads_[i]; }

    // Parses the text of /proc/<pid>/task/<tid>/syscall; used by Read and tests.
    static bool ParseSyscallLine(const char* text, std::size_t length, std::uint64_t* stackPointer,
                                 std::uint64_t* instructionPointer);

private:
    void ReadRegisters(ThreadState* thread);

    ThreadState threads_[kMaxThreads];
    std::size_t count_ = 0;
};

std::uint32_t CurrentThreadId();
std::uint32_t CurrentProcessId();

}  // namespace platform::dump
