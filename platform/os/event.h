#pragma once

// Events and waits.
//
// An event is manual-reset (stays signalled until ResetEvent) or auto-reset
// (released by exactly one wait that it satisfies). Each waitable object is
// backed by a file descriptor that is readable while it is signalled, so one
// wait can take events, threads and plain descriptors (a device node, a
// socket, the display connection) together without polling.

#include <mutex>

#include "platform/os/handle.h"

namespace win {

inline constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
inline constexpr DWORD WAIT_ABANDONED_0 = 0x00000080;
inline constexpr DWORD WAIT_TIMEOUT = 0x00000102;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
inline constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

// name is accepted for source compatibility and ignored: events are local to
// the process. The first argument (security attributes) is ignored.
HANDLE CreateEventW(void* security, BOOL manualReset, BOOL initialState, LPCWSTR name);
inline HANDLE CreateEvent(void* security, BOOL manualReset, BOOL initialState, LPCWSTR name) {
    return CreateEventW(security, manualReset, initialState, name);
}
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Waits until the object is signalled or the time-out (ms, INFINITE) passes.
// WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED (unknown handle).
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);

// waitAll = FALSE: returns WAIT_OBJECT_0 + the lowest index that is signalled;
// only that object is consumed (an auto-reset event that did not satisfy the
// wait stays set). waitAll = TRUE: waits until all are signalled at once and
// consumes them all.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll, DWORD milliseconds);

// A plain descriptor to wait on beside kernel objects.
struct WaitDescriptor {
    int fd = -1;
    bool forWrite = false;  // wait until writable instead of readable
};

// Waits on objects and descriptors together. Objects come first: the result
// is WAIT_OBJECT_0 + i for handle i, WAIT_OBJECT_0 + count + j for descriptor
// j (nothing is read from it), WAIT_TIMEOUT or WAIT_FAILED. Lowest index wins.
// A descriptor that reports an error or hang-up counts as ready, so the caller
// sees it and can find out by reading it.
DWORD WaitForObjectsAndDescriptors(DWORD count, const HANDLE* objects, DWORD descriptorCount,
                                   const WaitDescriptor* descriptors, DWORD milliseconds);

// The descriptor behind a waitable handle (readable while signalled), for
// callers that build their own poll sets; -1 for an unknown handle. Owned by
// the handle: never read, write or close it.
int GetWaitDescriptor(HANDLE object);

namespace detail {

// Base of every object that a wait can take.
class Waitable : public KernelObject {
public:
    // Readable whenever the object may be signalled.
    virtual int Descriptor() const = 0;
    // True when signalled; consumes the signal of auto-reset objects.
    virtual bool TryAcquire() = 0;
    // True when signalled, consuming nothing.
    virtual bool IsSignalled() const = 0;
};

// Event implementation, shared with the message queues and threads.
class EventObject : public Waitable {
public:
    EventObject(bool manualReset, bool initialState);
    ~EventObject() override;
    EventObject(const EventObject&) = delete;
    EventObject& operator=(const EventObject&) = delete;

    void Set();
    void Reset();
    int Descriptor() const override { return fd_; }
    bool TryAcquire() override;
    bool IsSignalled() const override;

private:
    void DrainLocked();
    mutable std::mutex mutex_;
    bool manual_;
    bool signalled_ = false;
    int fd_ = -1;
};

}  // namespace detail
}  // namespace win
