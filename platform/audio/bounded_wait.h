#pragma once

// The waits of a loopback source: on its own descriptor and the worker's
// cancel event at once, never past a deadline.

#include <chrono>

#include "platform/files/win_types.h"

namespace tavrik::audio {

enum class WaitResult { Ready, Cancelled, TimedOut, Failed };

class Deadline {
public:
    explicit Deadline(win::DWORD ms) : end_(std::chrono::steady_clock::now() + std::chrono::milliseconds(ms)) {}
    // Milliseconds left, 0 once passed.
    win::DWORD RemainingMs() const;

private:
    std::chrono::steady_clock::time_point end_;
};

// Waits until `fd` is readable (fd < 0: nothing but the cancel event and the
// deadline), `cancel` is signalled (when not null) or the deadline passes.
// The cancel event wins when both are ready.
WaitResult WaitReadyOrCancel(win::HANDLE cancel, int fd, const Deadline& deadline);

}  // namespace tavrik::audio
