#pragma once

// Runs work on one thread, inside that thread's message waits (GetMessageW,
// PeekMessageW, modal loops, ...), posted from any thread: the way input
// events reach a hook procedure on the thread that installed it.

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/files/win_types.h"

namespace tavrik::hooks {

class ThreadMailbox {
public:
    // Opens a mailbox served by the calling thread; null when the system has
    // no descriptor left. The calling thread's message waits keep it alive
    // until it is closed.
    static std::shared_ptr<ThreadMailbox> Open();
    ~ThreadMailbox();
    ThreadMailbox(const ThreadMailbox&) = delete;
    ThreadMailbox& operator=(const ThreadMailbox&) = delete;

    // Any thread. False once closed (the work is dropped).
    bool Post(std::function<void()> work);
    // Drops what is still queued; nothing runs afterwards. Any thread, also
    // from inside a work item; never waits for the owning thread.
    void Close();
    win::DWORD OwnerThread() const { return owner_; }

private:
    ThreadMailbox() = default;
    void Serve();  // owning thread, inside its message wait
    bool NeedsServing();
    void Wake();

    std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
    bool closed_ = false;
    bool detached_ = false;  // owning thread only
    int fd_ = -1;            // eventfd: readable while work may be queued
    int source_ = 0;         // message source of the owning thread
    win::DWORD owner_ = 0;
};

}  // namespace tavrik::hooks
