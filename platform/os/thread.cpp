#include "platform/os/thread.h"

#include "platform/dump/signal_stack.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "platform/os/debug_trace.h"
#include "platform/os/message_queue.h"
#include "platform/os/window.h"

namespace win {
namespace {

// The cancel event of the calling thread, kept alive by its thread object
// (workers) or by the thread itself (any other thread).
struct CancelHolder {
    std::shared_ptr<detail::EventObject> event;
    HANDLE handle = nullptr;
    ~CancelHolder() {
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
};
thread_local CancelHolder thread_cancel;

class ThreadObject : public detail::Waitable {
public:
    ThreadObject() : ended_(true, false), cancel_(std::make_shared<detail::EventObject>(true, false)) {}

    int Descriptor() const override { return ended_.Descriptor(); }
    bool TryAcquire() override { return ended_.TryAcquire(); }
    bool IsSignalled() const override { return ended_.IsSignalled(); }

    void Finish(DWORD code) {
        exitCode_ = code;
        running_ = false;
        ended_.Set();
    }

    detail::EventObject ended_;
    std::shared_ptr<detail::EventObject> cancel_;
    std::atomic<bool> running_{true};
    std::atomic<bool> abandoned_{false};
    std::atomic<DWORD> exitCode_{STILL_ACTIVE};
    std::atomic<DWORD> threadId_{0};
};

void Abandon(const std::shared_ptr<ThreadObject>& thread, const char* name, DWORD boundMs) {
    if (thread->abandoned_.exchange(true)) {
        return;
    }
    std::string line = "worker thread ";
    line += name != nullptr ? name : std::to_string(thread->threadId_.load());
    line += " did not end within " + std::to_string(boundMs) + " ms; left to finish on its own";
    PlatformLog(line);
}

}  // namespace

HANDLE CreateThread(void*, SIZE_T, LPTHREAD_START_ROUTINE start, void* parameter, DWORD flags, DWORD* threadId) {
    if (start == nullptr || (flags & CREATE_SUSPENDED) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_shared<ThreadObject>();
    // The handle table holds the object until CloseHandle; the thread holds
    // it until it ends, so a closed handle never pulls it from under it.
    HANDLE handle = detail::RegisterObject(object);
    auto started = std::make_shared<detail::EventObject>(true, false);
    try {
        std::thread([object, start, parameter, started] {
            // A crash handler must be able to run even on an exhausted stack.
            const ThreadSignalStack signalStack;
            object->threadId_ = GetCurrentThreadId();
            thread_cancel.event = object->cancel_;
            started->Set();
            DWORD code = start(parameter);
            object->Finish(code);
        }).detach();
    } catch (const std::system_error&) {
        CloseHandle(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // The id is known once the thread runs; callers may ask for it at once.
    while (!started->TryAcquire()) {
        std::this_thread::yield();
    }
    if (threadId != nullptr) {
        *threadId = object->threadId_;
    }
    return handle;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
    auto object = detail::LookupAs<ThreadObject>(thread);
    if (!object || exitCode == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *exitCode = object->exitCode_;
    return TRUE;
}

DWORD GetThreadId(HANDLE thread) {
    auto object = detail::LookupAs<ThreadObject>(thread);
    return object ? object->threadId_.load() : 0;
}

BOOL TerminateThread(HANDLE thread, DWORD) {
    auto object = detail::LookupAs<ThreadObject>(thread);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!object->running_) {
        return TRUE;  // already ended: nothing to do
    }
    Abandon(object, nullptr, 0);
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

HANDLE GetThreadCancelEvent() {
    if (thread_cancel.handle == nullptr) {
        if (!thread_cancel.event) {
            thread_cancel.event = std::make_shared<detail::EventObject>(true, false);
        }
        thread_cancel.handle = detail::RegisterObject(thread_cancel.event);
    }
    return thread_cancel.handle;
}

void ResetThreadCancel() {
    if (thread_cancel.event) {
        thread_cancel.event->Reset();
    }
}

BOOL CancelSynchronousIo(HANDLE thread) {
    auto object = detail::LookupAs<ThreadObject>(thread);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->cancel_->Set();
    return TRUE;
}

StopResult StopWorker(HANDLE thread, HANDLE stopEvent, DWORD boundMs, const std::function<void()>& cancelIo,
                      const char* name) {
    auto object = detail::LookupAs<ThreadObject>(thread);
    if (stopEvent != nullptr) {
        SetEvent(stopEvent);
    }
    if (!object) {
        return StopResult::Invalid;
    }
    object->cancel_->Set();
    if (cancelIo) {
        cancelIo();
    }
    if (WaitForSingleObject(thread, boundMs) == WAIT_OBJECT_0) {
        return StopResult::Ended;
    }
    Abandon(object, name, boundMs);
    return StopResult::Abandoned;
}

BOOL IsThreadAbandoned(HANDLE thread) {
    auto object = detail::LookupAs<ThreadObject>(thread);
    return (object && object->abandoned_) ? TRUE : FALSE;
}

}  // namespace win
