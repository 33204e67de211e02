#include "platform/os/message_system_internal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>

#include "platform/os/clock.h"
#include "platform/os/remote.h"

// Messages: getting, peeking, posting and sending, within and across threads.

namespace win {

using detail::CurrentQueue;
using detail::FindWindowObject;

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Its data lives only as long as a send: a posted WM_COPYDATA would point
    // at memory that is gone by the time it is handled.
    if (message == WM_COPYDATA) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (hwnd == nullptr) {
        return PostThreadMessageW(GetCurrentThreadId(), message, wParam, lParam);
    }
    if (hwnd == HWND_BROADCAST) {
        for (auto& window : detail::LocalWindows()) {
            if (window->parent == nullptr && !window->destroying.load()) {
                PostMessageW(window->handle, message, wParam, lParam);
            }
        }
        detail::RemoteBroadcastPost(message, wParam, lParam);
        return TRUE;
    }
    auto window = FindWindowObject(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!window->queue) {
        return detail::RemotePost(*window, message, wParam, lParam);
    }
    auto& queue = window->queue;
    {
        std::lock_guard lock(queue->mutex);
        if (queue->dead || window->destroying.load()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        MSG msg;
        msg.hwnd = hwnd;
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = lParam;
        msg.time = GetTickCount();
        queue->posted.push_back(msg);
    }
    queue->Wake();
    return TRUE;
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::shared_ptr<detail::ThreadQueue> queue;
    if (threadId == GetCurrentThreadId()) {
        queue = CurrentQueue();
    } else {
        auto& directory = detail::Directory();
        std::lock_guard lock(directory.mutex);
        auto it = directory.byThread.find(threadId);
        if (it != directory.byThread.end()) {
            queue = it->second.lock();
        }
    }
    if (!queue) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    {
        std::lock_guard lock(queue->mutex);
        if (queue->dead) {
            return FALSE;
        }
        MSG msg;
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = lParam;
        msg.time = GetTickCount();
        queue->posted.push_back(msg);
    }
    queue->Wake();
    return TRUE;
}

namespace {

// Sends to a window of another thread of this process. `timeoutMs` INFINITE
// for no limit. Returns true when the procedure ran.
bool SendAcrossThreads(const std::shared_ptr<detail::Window>& window, UINT message, WPARAM wParam, LPARAM lParam,
                       DWORD timeoutMs, LRESULT* result) {
    *result = 0;
    auto self = CurrentQueue();
    auto target = window->queue;
    auto sent = std::make_shared<detail::SentMessage>();
    sent->hwnd = window->handle;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    sent->sender = self;
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data == nullptr || (data->cbData > 0 && data->lpData == nullptr)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        sent->copy.dwData = data->dwData;
        sent->copy.cbData = data->cbData;
        if (data->cbData > 0) {
            const auto* bytes = static_cast<const unsigned char*>(data->lpData);
            sent->copyBytes.assign(bytes, bytes + data->cbData);
            sent->copy.lpData = sent->copyBytes.data();
        }
        sent->lParam = reinterpret_cast<LPARAM>(&sent->copy);
    }
    {
        std::lock_guard lock(target->mutex);
        if (target->dead || target->leftLoop || window->destroying.load()) {
            return false;
        }
        target->sent.push_back(sent);
    }
    target->Wake();

    const bool infinite = timeoutMs == INFINITE;
    const auto deadline = detail::Clock::now() + std::chrono::milliseconds(infinite ? 0 : timeoutMs);
    for (;;) {
        self->Drain();
        // Serve what others send to this thread meanwhile, so that two
        // threads sending to each other do not lock up.
        detail::ServeSent(self);
        {
            std::lock_guard lock(sent->mutex);
            if (sent->done) {
                *result = sent->result;
                return true;
            }
        }
        int timeout = detail::RemainingMs(infinite, deadline);
        if (timeout == 0) {
            std::lock_guard lock(sent->mutex);
            if (sent->done) {
                *result = sent->result;
                return true;
            }
            sent->abandoned = true;
            return false;
        }
        pollfd p{self->wakeFd, POLLIN, 0};
        ::poll(&p, 1, timeout);
    }
}

LRESULT SendInternal(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs, bool* ran) {
    *ran = false;
    auto window = FindWindowObject(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (!window->queue) {
        return detail::RemoteSend(*window, message, wParam, lParam, ran);
    }
    if (window->queue->threadId == GetCurrentThreadId()) {
        // Same thread: a direct call, as long as the window exists.
        if (window->destroyed.load() || window->proc == nullptr) {
            return 0;
        }
        *ran = true;
        return window->proc.load()(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    *ran = SendAcrossThreads(window, message, wParam, lParam, timeoutMs, &result);
    return result;
}

}  // namespace

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    bool ran = false;
    return SendInternal(hwnd, message, wParam, lParam, INFINITE, &ran);
}

LRESULT SendMessageTimeoutW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT, UINT timeoutMs,
                            DWORD_PTR* result) {
    bool ran = false;
    LRESULT value = SendInternal(hwnd, message, wParam, lParam, timeoutMs, &ran);
    if (result != nullptr) {
        *result = ran ? static_cast<DWORD_PTR>(value) : 0;
    }
    if (!ran) {
        SetLastError(ERROR_TIMEOUT);
    }
    return ran ? TRUE : FALSE;
}

void PostQuitMessage(int exitCode) {
    auto queue = CurrentQueue();
    {
        std::lock_guard lock(queue->mutex);
        queue->quitPosted = true;
        queue->quitCode = exitCode;
    }
    queue->Wake();
}

BOOL InSendMessage() { return CurrentQueue()->inSendDepth > 0 ? TRUE : FALSE; }

namespace {

void EnterLoop(const std::shared_ptr<detail::ThreadQueue>& queue) {
    std::lock_guard lock(queue->mutex);
    queue->leftLoop = false;
}

void LeaveLoop(const std::shared_ptr<detail::ThreadQueue>& queue) {
    std::deque<std::shared_ptr<detail::SentMessage>> pending;
    {
        std::lock_guard lock(queue->mutex);
        queue->leftLoop = true;
        pending.swap(queue->sent);
    }
    for (auto& sent : pending) {
        detail::Complete(sent, 0);
    }
}

// Serves sent messages and sources until a message is available; blocks up
// to timeoutMs (-1: no limit). Returns true when `msg` was filled.
bool WaitForMessage(const std::shared_ptr<detail::ThreadQueue>& queue, MSG* msg, HWND hwnd, UINT filterMin,
                    UINT filterMax, bool remove, int timeoutMs) {
    const bool infinite = timeoutMs < 0;
    const auto deadline = detail::Clock::now() + std::chrono::milliseconds(infinite ? 0 : timeoutMs);
    for (;;) {
        queue->Drain();
        detail::ServeSent(queue);
        if (detail::TakeMessage(queue, msg, hwnd, filterMin, filterMax, remove, false)) {
            return true;
        }
        if (detail::RunPendingSources(queue)) {
            continue;
        }
        // The sources (the display's input among them) come before timers, as
        // input comes before WM_TIMER on Windows: timers whose handling takes
        // longer than their period are always due and would otherwise keep
        // every click and key from the windows.
        detail::WaitStep(queue, {}, 0);
        if (detail::TakeMessage(queue, msg, hwnd, filterMin, filterMax, remove, false)) {
            return true;
        }
        if (detail::TakeMessage(queue, msg, hwnd, filterMin, filterMax, remove, true)) {
            return true;
        }
        int timeout = detail::MinTimeout(detail::RemainingMs(infinite, deadline), detail::NextTimerMs(queue));
        detail::WaitStep(queue, {}, timeout);
        if (!infinite && detail::Clock::now() >= deadline) {
            queue->Drain();
            detail::ServeSent(queue);
            return detail::TakeMessage(queue, msg, hwnd, filterMin, filterMax, remove, true);
        }
    }
}

}  // namespace

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    auto queue = CurrentQueue();
    EnterLoop(queue);
    WaitForMessage(queue, msg, hwnd, filterMin, filterMax, true, -1);
    if (msg->message == WM_QUIT) {
        LeaveLoop(queue);
        return FALSE;
    }
    return TRUE;
}

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (msg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto queue = CurrentQueue();
    EnterLoop(queue);
    // Let ready sources turn their events into messages first.
    detail::WaitStep(queue, {}, 0);
    detail::RunPendingSources(queue);
    return WaitForMessage(queue, msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0, 0) ? TRUE : FALSE;
}

BOOL WaitMessage() {
    auto queue = CurrentQueue();
    EnterLoop(queue);
    MSG msg;
    WaitForMessage(queue, &msg, nullptr, 0, 0, false, -1);
    return TRUE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageW(const MSG* msg) {
    if (msg == nullptr) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (msg->hwnd == nullptr) {
        return 0;
    }
    auto window = FindWindowObject(msg->hwnd);
    if (!window || !window->queue || window->destroyed.load() || window->proc == nullptr) {
        return 0;
    }
    if (window->queue->threadId != GetCurrentThreadId()) {
        return 0;
    }
    return window->proc.load()(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, DWORD) {
    if (waitAll || (count > 0 && handles == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<detail::Waitable>> held;
    std::vector<pollfd> extra;
    for (DWORD i = 0; i < count; ++i) {
        auto object = detail::LookupAs<detail::Waitable>(handles[i]);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        extra.push_back(pollfd{object->Descriptor(), POLLIN, 0});
        held.push_back(std::move(object));
    }
    auto queue = CurrentQueue();
    EnterLoop(queue);
    const bool infinite = milliseconds == INFINITE;
    const auto deadline = detail::Clock::now() + std::chrono::milliseconds(infinite ? 0 : milliseconds);
    for (;;) {
        queue->Drain();
        detail::ServeSent(queue);
        for (DWORD i = 0; i < count; ++i) {
            if (held[i]->TryAcquire()) {
                return WAIT_OBJECT_0 + i;
            }
        }
        MSG msg;
        if (detail::TakeMessage(queue, &msg, nullptr, 0, 0, false, true)) {
            return WAIT_OBJECT_0 + count;
        }
        if (detail::RunPendingSources(queue)) {
            continue;
        }
        int left = detail::RemainingMs(infinite, deadline);
        if (!infinite && left == 0) {
            return WAIT_TIMEOUT;
        }
        detail::WaitStep(queue, extra, detail::MinTimeout(left, detail::NextTimerMs(queue)));
    }
}

}  // namespace win
