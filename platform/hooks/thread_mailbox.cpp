#include "platform/hooks/thread_mailbox.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "platform/os/message_queue.h"
#include "platform/os/window.h"

namespace tavrik::hooks {

std::shared_ptr<ThreadMailbox> ThreadMailbox::Open() {
    std::shared_ptr<ThreadMailbox> box(new ThreadMailbox());
    box->owner_ = win::GetCurrentThreadId();
    box->fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (box->fd_ < 0) return nullptr;
    // The thread's message wait holds the mailbox until the mailbox, once
    // closed, takes itself out of the wait (on the owning thread).
    box->source_ = win::AddMessageSource(
        box->fd_, [box] { box->Serve(); }, [box] { return box->NeedsServing(); });
    return box;
}

ThreadMailbox::~ThreadMailbox() {
    if (fd_ >= 0) ::close(fd_);
}

void ThreadMailbox::Wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(fd_, &one, sizeof one);
}

bool ThreadMailbox::Post(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) return false;
        queue_.push_back(std::move(work));
    }
    Wake();
    return true;
}

void ThreadMailbox::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        queue_.clear();
    }
    if (win::GetCurrentThreadId() == owner_)
        Serve();
    else
        Wake();
}

bool ThreadMailbox::NeedsServing() {
    std::lock_guard lock(mutex_);
    return !detached_ && (closed_ || !queue_.empty());
}

void ThreadMailbox::Serve() {
    std::uint64_t count = 0;
    [[maybe_unused]] ssize_t n = ::read(fd_, &count, sizeof count);
    // One item per call: an item may open a nested message loop, which then
    // serves the next ones in order.
    std::function<void()> work;
    {
        std::lock_guard lock(mutex_);
        if (detached_) return;
        if (closed_) {
            detached_ = true;
        } else if (!queue_.empty()) {
            work = std::move(queue_.front());
            queue_.pop_front();
            if (!queue_.empty()) Wake();
        }
    }
    if (detached_) {
        // Releases the wait's hold on the mailbox; this object may end once
        // the wait is done with it.
        win::RemoveMessageSource(source_);
        return;
    }
    if (work) work();
}

}  // namespace tavrik::hooks
