#pragma once

// An alternate signal stack for the calling thread, so that a crash handler
// can run even when the thread's own stack is exhausted (a stack overflow).
// Only for code inside platform/: it includes system headers.
//
// Header-only: the OS layer's threads install it for the crash handler
// without calling into the crash-dump code (built without sanitizers).

#include <signal.h>
#include <sys/mman.h>

#include <cstddef>

namespace win {

// Big enough for the crash handler and the dump writer.
inline constexpr std::size_t kSignalStackSize = 256 * 1024;

// Installs a stack of kSignalStackSize for the calling thread unless it has
// one at least that large; gives the earlier one back (and frees its own) when
// it goes. Created and destroyed on the same thread, outside signal handlers.
class ThreadSignalStack {
public:
    ThreadSignalStack() {
        stack_t current{};
        if (::sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) == 0 &&
            current.ss_size >= kSignalStackSize) {
            return;  // the thread has a good one (the dumper's, or the sanitizer's)
        }
        void* memory = ::mmap(nullptr, kSignalStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) {
            return;
        }
        stack_t stack{};
        stack.ss_sp = memory;
        stack.ss_size = kSignalStackSize;
        if (::sigaltstack(&stack, &previous_) != 0) {
            ::munmap(memory, kSignalStackSize);
            return;
        }
        memory_ = memory;
    }

    ~ThreadSignalStack() {
        if (memory_ == nullptr) {
            return;
        }
        stack_t back = previous_;
        if ((back.ss_flags & SS_DISABLE) != 0) {
            back = stack_t{};
            back.ss_flags = SS_DISABLE;
        }
        ::sigaltstack(&back, nullptr);
        ::munmap(memory_, kSignalStackSize);
    }

    ThreadSignalStack(const ThreadSignalStack&) = delete;
    ThreadSignalStack& operator=(const ThreadSignalStack&) = delete;

    // True when this object installed the stack (false: the thread kept its own).
    bool Installed() const { return memory_ != nullptr; }

private:
    void* memory_ = nullptr;
    stack_t previous_{};
};

}  // namespace win
