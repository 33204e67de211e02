#include "platform/os/event.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <memory_resource>
#include <vector>

namespace win {
namespace detail {

EventObject::EventObject(bool manualReset, bool initialState) : manual_(manualReset) {
    fd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (initialState) {
        Set();
    }
}

EventObject::~EventObject() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void EventObject::Set() {
    std::lock_guard lock(mutex_);
    if (signalled_) {
        return;
    }
    signalled_ = true;
    const std::uint64_t one = 1;
    // The counter stays 1 while signalled; a failed write only costs a wake-up.
    [[maybe_unused]] ssize_t n = ::write(fd_, &one, sizeof one);
}

void EventObject::Reset() {
    std::lock_guard lock(mutex_);
    if (signalled_) {
        signalled_ = false;
        DrainLocked();
    }
}

void EventObject::DrainLocked() {
    std::uint64_t value = 0;
    [[maybe_unused]] ssize_t n = ::read(fd_, &value, sizeof value);
}

bool EventObject::TryAcquire() {
    std::lock_guard lock(mutex_);
    if (!signalled_) {
        return false;
    }
    if (!manual_) {
        signalled_ = false;
        DrainLocked();
    }
    return true;
}

bool EventObject::IsSignalled() const {
    std::lock_guard lock(mutex_);
    return signalled_;
}

}  // namespace detail

namespace {

using Clock = std::chrono::steady_clock;

std::shared_ptr<detail::Waitable> LookupWaitable(HANDLE handle) { return detail::LookupAs<detail::Waitable>(handle); }

// Milliseconds left until the deadline for poll(): -1 for no deadline.
int RemainingMs(bool infinite, Clock::time_point deadline) {
    if (infinite) {
        return -1;
    }
    auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) {
        return 0;
    }
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(left + std::chrono::microseconds(999));
    return static_cast<int>(ms.count());
}

using HeldObjects = std::pmr::vector<std::shared_ptr<detail::Waitable>>;

// Room on the stack for a wait's bookkeeping: every object a wait may take and
// as many descriptors again, so an ordinary wait (a thread's pass, a listener's
// read) allocates nothing; a larger one spills to the heap.
struct WaitArena {
    alignas(std::max_align_t) std::array<std::byte, 4096> bytes;
    std::pmr::monotonic_buffer_resource resource{bytes.data(), bytes.size()};
};

bool TryAcquireAll(const HeldObjects& objects) {
    for (const auto& object : objects) {
        if (!object->IsSignalled()) {
            return false;
        }
    }
    for (const auto& object : objects) {
        object->TryAcquire();
    }
    return true;
}

}  // namespace

HANDLE CreateEventW(void*, BOOL manualReset, BOOL initialState, LPCWSTR) {
    auto event = std::make_shared<detail::EventObject>(manualReset != FALSE, initialState != FALSE);
    if (event->Descriptor() < 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return detail::RegisterObject(std::move(event));
}

BOOL SetEvent(HANDLE event) {
    auto object = detail::LookupAs<detail::EventObject>(event);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->Set();
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    auto object = detail::LookupAs<detail::EventObject>(event);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->Reset();
    return TRUE;
}

int GetWaitDescriptor(HANDLE object) {
    auto waitable = LookupWaitable(object);
    return waitable ? waitable->Descriptor() : -1;
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    return WaitForObjectsAndDescriptors(1, &object, 0, nullptr, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll, DWORD milliseconds) {
    if (!waitAll) {
        return WaitForObjectsAndDescriptors(count, objects, 0, nullptr, milliseconds);
    }
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || objects == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    WaitArena arena;
    HeldObjects held(&arena.resource);
    held.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        auto object = LookupWaitable(objects[i]);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        held.push_back(std::move(object));
    }
    const bool infinite = milliseconds == INFINITE;
    const auto deadline = Clock::now() + std::chrono::milliseconds(infinite ? 0 : milliseconds);
    for (;;) {
        if (TryAcquireAll(held)) {
            return WAIT_OBJECT_0;
        }
        // Wait for the first one that is not yet signalled.
        int timeout = RemainingMs(infinite, deadline);
        if (timeout == 0) {
            return WAIT_TIMEOUT;
        }
        for (const auto& object : held) {
            if (!object->IsSignalled()) {
                pollfd p{object->Descriptor(), POLLIN, 0};
                int rc = ::poll(&p, 1, timeout);
                if (rc < 0 && errno != EINTR) {
                    return WAIT_FAILED;
                }
                break;
            }
        }
    }
}

DWORD WaitForObjectsAndDescriptors(DWORD count, const HANDLE* objects, DWORD descriptorCount,
                                   const WaitDescriptor* descriptors, DWORD milliseconds) {
    if ((count > 0 && objects == nullptr) || (descriptorCount > 0 && descriptors == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    WaitArena arena;
    HeldObjects held(&arena.resource);
    held.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        auto object = LookupWaitable(objects[i]);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        held.push_back(std::move(object));
    }
    std::pmr::vector<pollfd> fds(count + descriptorCount, &arena.resource);
    for (DWORD i = 0; i < count; ++i) {
        fds[i] = pollfd{held[i]->Descriptor(), POLLIN, 0};
    }
    for (DWORD j = 0; j < descriptorCount; ++j) {
        fds[count + j] = pollfd{descriptors[j].fd, static_cast<short>(descriptors[j].forWrite ? POLLOUT : POLLIN), 0};
    }

    const bool infinite = milliseconds == INFINITE;
    const auto deadline = Clock::now() + std::chrono::milliseconds(infinite ? 0 : milliseconds);
    for (;;) {
        for (DWORD i = 0; i < count; ++i) {
            if (held[i]->TryAcquire()) {
                return WAIT_OBJECT_0 + i;
            }
        }
        for (auto& p : fds) {
            p.revents = 0;
        }
        int timeout = RemainingMs(infinite, deadline);
        int rc = ::poll(fds.data(), fds.size(), timeout);
        if (rc < 0) {
            if (errno == EINTR) {
                continue;
            }
            SetLastError(ERROR_INVALID_PARAMETER);
            return WAIT_FAILED;
        }
        for (DWORD i = 0; i < count; ++i) {
            if (held[i]->TryAcquire()) {
                return WAIT_OBJECT_0 + i;
            }
        }
        for (DWORD j = 0; j < descriptorCount; ++j) {
            if (fds[count + j].revents != 0) {
                return WAIT_OBJECT_0 + count + j;
            }
        }
        if (rc == 0 && timeout == 0) {
            return WAIT_TIMEOUT;
        }
        // An auto-reset event taken by another waiter, or a spurious wake:
        // wait again for the rest of the time.
        if (!infinite && Clock::now() >= deadline) {
            return WAIT_TIMEOUT;
        }
    }
}

}  // namespace win
