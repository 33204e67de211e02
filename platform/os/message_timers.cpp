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

// Timers, and the extra descriptors a thread's message waits serve.

namespace win {

using detail::CurrentQueue;
using detail::FindWindowObject;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    std::shared_ptr<detail::ThreadQueue> queue;
    std::shared_ptr<detail::Window> target;
    if (hwnd == nullptr) {
        queue = CurrentQueue();
    } else {
        auto window = FindWindowObject(hwnd);
        if (!window || !window->queue) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        queue = window->queue;
        target = window;
    }
    const DWORD elapse = std::max<UINT>(elapseMs, 1);
    UINT_PTR result = 0;
    {
        std::lock_guard lock(queue->mutex);
        // Checked under the queue's lock, which DestroyWindow takes to drop
        // the window's timers: no timer outlives its window.
        if (queue->dead || (target && target->destroying.load())) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (hwnd == nullptr) {
            id = ++queue->nextThreadTimerId;
        }
        detail::QueueTimer timer;
        timer.hwnd = hwnd;
        timer.id = id;
        timer.elapse = elapse;
        timer.due = GetTickCount64() + elapse;
        timer.proc = proc;
        auto it = std::find_if(queue->timers.begin(), queue->timers.end(),
                               [&](const detail::QueueTimer& t) { return t.hwnd == hwnd && t.id == id; });
        if (it != queue->timers.end()) {
            *it = timer;
        } else {
            queue->timers.push_back(timer);
        }
        result = hwnd == nullptr ? id : (id != 0 ? id : 1);
    }
    queue->Wake();
    return result;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    std::shared_ptr<detail::ThreadQueue> queue;
    if (hwnd == nullptr) {
        queue = CurrentQueue();
    } else {
        auto window = FindWindowObject(hwnd);
        if (!window || !window->queue) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        queue = window->queue;
    }
    std::lock_guard lock(queue->mutex);
    auto before = queue->timers.size();
    std::erase_if(queue->timers, [&](const detail::QueueTimer& t) { return t.hwnd == hwnd && t.id == id; });
    return queue->timers.size() != before ? TRUE : FALSE;
}

// Descriptors served inside a thread's message waits.

int AddMessageSource(int fd, std::function<void()> onReady, std::function<bool()> hasPending) {
    static std::atomic<int> next_id{1};
    if (!onReady) {
        return 0;
    }
    auto source = std::make_shared<detail::MessageSource>();
    source->id = next_id++;
    source->fd = fd;
    source->onReady = std::move(onReady);
    source->hasPending = std::move(hasPending);
    CurrentQueue()->sources.push_back(source);
    return source->id;
}

void RemoveMessageSource(int id) {
    auto queue = CurrentQueue();
    std::erase_if(queue->sources, [id](const std::shared_ptr<detail::MessageSource>& s) { return s->id == id; });
}

int GetQueueDescriptor() { return CurrentQueue()->wakeFd; }

}  // namespace win
