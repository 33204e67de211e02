#include "platform/hid/open_state.h"

#include "platform/os/clock.h"
#include "platform/os/event.h"
#include "platform/os/thread.h"

#include <algorithm>
#include <cstring>

namespace tavrik::hid {

OpenState::OpenState(std::shared_ptr<Node> node, std::size_t collection, win::DWORD access, win::DWORD share)
    : node_(std::move(node)),
      collectionIndex_(collection),
      collection_(node_->Collection(collection)),
      access_(access),
      share_(share),
      dataEvent_(win::CreateEventW(nullptr, win::FALSE, win::FALSE, nullptr)) {}

OpenState::~OpenState() {
    if (dataEvent_) win::CloseHandle(dataEvent_);
}

void OpenState::Push(const std::vector<std::uint8_t>& report) {
    {
        std::lock_guard lock(mutex_);
        if (closed_ || gone_) return;
        if (queue_.size() >= kQueueLimit) queue_.pop_front();
        queue_.push_back(report);
    }
    win::SetEvent(dataEvent_);
}

void OpenState::Flush() {
    std::lock_guard lock(mutex_);
    queue_.clear();
}

void OpenState::Close() {
    {
        std::lock_guard lock(mutex_);
        if (closed_) return;
        closed_ = true;
        queue_.clear();
    }
    win::SetEvent(dataEvent_);
    node_->RemoveOpen(this);
}

void OpenState::Gone() {
    {
        std::lock_guard lock(mutex_);
        gone_ = true;
        queue_.clear();
    }
    win::SetEvent(dataEvent_);
}

void OpenState::CancelWaits() {
    {
        std::lock_guard lock(mutex_);
        ++cancelCount_;
    }
    win::SetEvent(dataEvent_);
}

bool OpenState::Usable(win::DWORD* error) const {
    if (closed_) {
        *error = win::ERROR_INVALID_HANDLE;
        return false;
    }
    if (gone_ || !node_->Present()) {
        *error = win::ERROR_DEVICE_NOT_CONNECTED;
        return false;
    }
    return true;
}

namespace {

// Consumes a pending signal of the cancel event, if there is one; the
// thread's own I/O cancel event (set when its worker is being stopped) ends
// every wait for as long as it is set.
bool CancelPending(win::HANDLE cancelEvent, win::HANDLE threadCancel) {
    if (cancelEvent && win::WaitForSingleObject(cancelEvent, 0) == win::WAIT_OBJECT_0) return true;
    return threadCancel && win::WaitForSingleObject(threadCancel, 0) == win::WAIT_OBJECT_0;
}

win::DWORD Remaining(win::DWORD timeoutMs, std::uint64_t start) {
    if (timeoutMs == win::INFINITE) return win::INFINITE;
    std::uint64_t elapsed = win::GetTickCount64() - start;
    return elapsed >= timeoutMs ? 0 : static_cast<win::DWORD>(timeoutMs - elapsed);
}

}  // namespace

win::HidIoResult OpenState::Read(void* buffer, win::DWORD length, win::DWORD* transferred, win::DWORD timeoutMs,
                                 win::HANDLE cancelEvent) {
    if (transferred) *transferred = 0;
    const std::size_t need = collection_->reportLength[win::HidP_Input];
    if (!(access_ & win::GENERIC_READ)) {
        win::SetLastError(win::ERROR_ACCESS_DENIED);
        return win::HidIoResult::Failed;
    }
    if (!buffer || need == 0 || length < need) {
        win::SetLastError(win::ERROR_INVALID_PARAMETER);
        return win::HidIoResult::Failed;
    }
    const std::uint64_t start = win::GetTickCount64();
    const win::HANDLE threadCancel = win::GetThreadCancelEvent();
    std::uint64_t cancelSeen;
    {
        std::lock_guard lock(mutex_);
        cancelSeen = cancelCount_;
    }
    for (;;) {
        if (CancelPending(cancelEvent, threadCancel)) {
            win::SetLastError(win::ERROR_OPERATION_ABORTED);
            return win::HidIoResult::Cancelled;
        }
        {
            std::lock_guard lock(mutex_);
            win::DWORD error = 0;
            if (!Usable(&error)) {
                win::SetLastError(error);
                return win::HidIoResult::Failed;
            }
            if (cancelCount_ != cancelSeen) {
                win::SetLastError(win::ERROR_OPERATION_ABORTED);
                return win::HidIoResult::Cancelled;
            }
            if (!queue_.empty()) {
                const auto& report = queue_.front();
                std::memcpy(buffer, report.data(), report.size());
                if (transferred) *transferred = static_cast<win::DWORD>(report.size());
                queue_.pop_front();
                return win::HidIoResult::Ok;
            }
        }
        const win::DWORD wait = Remaining(timeoutMs, start);
        if (wait == 0) {
            win::SetLastError(win::ERROR_TIMEOUT);
            return win::HidIoResult::TimedOut;
        }
        win::HANDLE handles[3];
        win::DWORD n = 0;
        if (cancelEvent) handles[n++] = cancelEvent;
        if (threadCancel) handles[n++] = threadCancel;
        const win::DWORD data = n;
        handles[n++] = dataEvent_;
        const win::DWORD r = win::WaitForMultipleObjects(n, handles, win::FALSE, wait);
        if (r < win::WAIT_OBJECT_0 + data) {
            win::SetLastError(win::ERROR_OPERATION_ABORTED);
            return win::HidIoResult::Cancelled;
        }
        if (r == win::WAIT_TIMEOUT) {
            win::SetLastError(win::ERROR_TIMEOUT);
            return win::HidIoResult::TimedOut;
        }
        if (r == win::WAIT_FAILED) {
            // The cancel event was closed under us: nothing left to wait for.
            win::SetLastError(win::ERROR_INVALID_HANDLE);
            return win::HidIoResult::Failed;
        }
    }
}

win::HidIoResult OpenState::Write(win::HIDP_REPORT_TYPE kind, const void* buffer, win::DWORD length,
                                  win::DWORD timeoutMs, win::HANDLE cancelEvent) {
    if (!(access_ & win::GENERIC_WRITE)) {
        win::SetLastError(win::ERROR_ACCESS_DENIED);
        return win::HidIoResult::Failed;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    const std::size_t collectionLength = collection_->reportLength[kind];
    if (!bytes || collectionLength == 0) {
        win::SetLastError(win::ERROR_INVALID_PARAMETER);
        return win::HidIoResult::Failed;
    }
    const std::uint8_t id = bytes[0];
    const Node& node = *node_;
    if (!collection_->HasReport(kind, id)) {
        win::SetLastError(win::ERROR_INVALID_PARAMETER);
        return win::HidIoResult::Failed;
    }
    const std::size_t own = node.Descriptor().ReportBytes(kind, id);
    if (length != collectionLength && length != own) {
        win::SetLastError(win::ERROR_INVALID_PARAMETER);
        return win::HidIoResult::Failed;
    }
    if (CancelPending(cancelEvent, win::GetThreadCancelEvent())) {
        win::SetLastError(win::ERROR_OPERATION_ABORTED);
        return win::HidIoResult::Cancelled;
    }
    {
        std::lock_guard lock(mutex_);
        win::DWORD error = 0;
        if (!Usable(&error)) {
            win::SetLastError(error);
            return win::HidIoResult::Failed;
        }
    }
    return node_->SendOutput(kind, bytes, std::min(own, static_cast<std::size_t>(length)), timeoutMs, cancelEvent);
}

}  // namespace tavrik::hid
