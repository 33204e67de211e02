#include "platform/audio/bounded_wait.h"

#include "platform/os/event.h"

namespace tavrik::audio {

win::DWORD Deadline::RemainingMs() const {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end_ - std::chrono::steady_clock::now()).count();
    return left > 0 ? static_cast<win::DWORD>(left) : 0;
}

WaitResult WaitReadyOrCancel(win::HANDLE cancel, int fd, const Deadline& deadline) {
    win::DWORD handleCount = cancel != nullptr ? 1 : 0;
    win::WaitDescriptor descriptor{fd, false};
    win::DWORD descriptorCount = fd >= 0 ? 1 : 0;
    win::DWORD r =
        win::WaitForObjectsAndDescriptors(handleCount, &cancel, descriptorCount, &descriptor, deadline.RemainingMs());
    if (r == win::WAIT_TIMEOUT) {
        return WaitResult::TimedOut;
    }
    if (r == win::WAIT_OBJECT_0 && handleCount == 1) {
        return WaitResult::Cancelled;
    }
    if (r == win::WAIT_OBJECT_0 + handleCount && descriptorCount == 1) {
        return WaitResult::Ready;
    }
    return WaitResult::Failed;
}

}  // namespace tavrik::audio
