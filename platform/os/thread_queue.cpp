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

// Each thread's message queue, and the waits every message loop is built of.

namespace win {
namespace detail {

ThreadQueue::ThreadQueue() {
    threadId = GetCurrentThreadId();
    wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

ThreadQueue::~ThreadQueue() {
    if (wakeFd >= 0) {
        ::close(wakeFd);
    }
}

void ThreadQueue::Wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeFd, &one, sizeof one);
}

void ThreadQueue::Drain() {
    std::uint64_t value = 0;
    [[maybe_unused]] ssize_t n = ::read(wakeFd, &value, sizeof value);
}

QueueDirectory& Directory() {
    static auto* directory = new QueueDirectory;
    return *directory;
}

void Complete(const std::shared_ptr<SentMessage>& sent, LRESULT result) {
    {
        std::lock_guard lock(sent->mutex);
        if (sent->done) {
            return;
        }
        sent->done = true;
        sent->result = result;
    }
    if (sent->sender) {
        sent->sender->Wake();
    }
}

// Ends a thread's queue: every send still waiting for it returns 0, and its
// windows stop existing (no procedure runs any more on a thread that ended).
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (!queue) {
            return;
        }
        std::deque<std::shared_ptr<SentMessage>> pending;
        {
            std::lock_guard lock(queue->mutex);
            queue->dead = true;
            pending.swap(queue->sent);
            queue->posted.clear();
            queue->timers.clear();
        }
        for (auto& sent : pending) {
            Complete(sent, 0);
        }
        ForgetThreadWindows(queue);
        queue->sources.clear();
        {
            auto& directory = Directory();
            std::lock_guard lock(directory.mutex);
            directory.byThread.erase(queue->threadId);
        }
    }
};

thread_local QueueHolder current_queue;

bool MatchesFilter(const MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (hwnd != nullptr && msg.hwnd != hwnd) {
        return false;
    }
    if (filterMin == 0 && filterMax == 0) {
        return true;
    }
    return msg.message >= filterMin && msg.message <= filterMax;
}

// Runs every message other threads sent to this thread.
void ServeSent(const std::shared_ptr<ThreadQueue>& queue) {
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard lock(queue->mutex);
            if (queue->sent.empty()) {
                return;
            }
            sent = std::move(queue->sent.front());
            queue->sent.pop_front();
        }
        {
            std::lock_guard lock(sent->mutex);
            if (sent->done || sent->abandoned) {
                continue;
            }
        }
        auto window = FindWindowObject(sent->hwnd);
        if (!window || window->destroying.load() || window->proc == nullptr) {
            Complete(sent, 0);
            continue;
        }
        ++queue->inSendDepth;
        LRESULT result = window->proc.load()(sent->hwnd, sent->message, sent->wParam, sent->lParam);
        --queue->inSendDepth;
        Complete(sent, result);
    }
}

// Runs the sources that have buffered events or whose descriptor is ready in
// `ready`. Returns true when any ran.
bool RunPendingSources(const std::shared_ptr<ThreadQueue>& queue) {
    auto sources = queue->sources;
    bool ran = false;
    for (auto& source : sources) {
        if (source->hasPending && source->hasPending()) {
            source->onReady();
            ran = true;
        }
    }
    return ran;
}

// Finds a message to return: posted first, then the quit message, then (when
// `timers`) a due timer. Removes it when `remove`. Returns false when there is
// none.
bool TakeMessage(const std::shared_ptr<ThreadQueue>& queue, MSG* out, HWND hwnd, UINT filterMin, UINT filterMax,
                 bool remove, bool timers) {
    std::lock_guard lock(queue->mutex);
    for (auto it = queue->posted.begin(); it != queue->posted.end(); ++it) {
        if (MatchesFilter(*it, hwnd, filterMin, filterMax)) {
            *out = *it;
            if (remove) {
                queue->posted.erase(it);
            }
            return true;
        }
    }
    if (queue->quitPosted) {
        *out = MSG{};
        out->message = WM_QUIT;
        out->wParam = static_cast<WPARAM>(queue->quitCode);
        out->time = GetTickCount();
        if (remove) {
            queue->quitPosted = false;
        }
        return true;
    }
    if (!timers) {
        return false;
    }
    if (filterMin != 0 || filterMax != 0) {
        if (WM_TIMER < filterMin || WM_TIMER > filterMax) {
            return false;
        }
    }
    const auto now = GetTickCount64();
    QueueTimer* best = nullptr;
    for (auto& timer : queue->timers) {
        if (timer.due <= now && (hwnd == nullptr || timer.hwnd == hwnd) && (best == nullptr || timer.due < best->due)) {
            best = &timer;
        }
    }
    if (best == nullptr) {
        return false;
    }
    *out = MSG{};
    out->hwnd = best->hwnd;
    out->message = WM_TIMER;
    out->wParam = best->id;
    out->lParam = reinterpret_cast<LPARAM>(best->proc);
    out->time = static_cast<DWORD>(now);
    if (remove) {
        best->due = now + best->elapse;
    }
    return true;
}

// Milliseconds until the next timer of the queue is due; -1 for none.
int NextTimerMs(const std::shared_ptr<ThreadQueue>& queue) {
    std::lock_guard lock(queue->mutex);
    if (queue->timers.empty()) {
        return -1;
    }
    std::uint64_t next = UINT64_MAX;
    for (const auto& timer : queue->timers) {
        next = std::min(next, timer.due);
    }
    const auto now = GetTickCount64();
    if (next <= now) {
        return 0;
    }
    return static_cast<int>(std::min<std::uint64_t>(next - now, 0x7FFFFFFF));
}

int MinTimeout(int a, int b) {
    if (a < 0) {
        return b;
    }
    if (b < 0) {
        return a;
    }
    return std::min(a, b);
}

// One blocking step of a message wait: waits on the queue, the sources, the
// extra descriptors and the next timer, for at most timeoutMs (-1: no limit).
// Runs the sources whose descriptor became ready. Returns the index into
// `extra` of a ready extra descriptor, or -1.
int WaitStep(const std::shared_ptr<ThreadQueue>& queue, const std::vector<pollfd>& extra, int timeoutMs) {
    auto sources = queue->sources;
    std::vector<pollfd> fds;
    fds.reserve(1 + sources.size() + extra.size());
    fds.push_back(pollfd{queue->wakeFd, POLLIN, 0});
    for (const auto& source : sources) {
        fds.push_back(pollfd{source->fd, POLLIN, 0});
    }
    for (const auto& p : extra) {
        fds.push_back(pollfd{p.fd, p.events, 0});
    }
    int rc = ::poll(fds.data(), fds.size(), timeoutMs);
    if (rc <= 0) {
        return -1;
    }
    for (size_t i = 0; i < sources.size(); ++i) {
        if (fds[1 + i].revents != 0) {
            sources[i]->onReady();
        }
    }
    for (size_t j = 0; j < extra.size(); ++j) {
        if (fds[1 + sources.size() + j].revents != 0) {
            return static_cast<int>(j);
        }
    }
    return -1;
}

int RemainingMs(bool infinite, Clock::time_point deadline) {
    if (infinite) {
        return -1;
    }
    auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) {
        return 0;
    }
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(left + std::chrono::microseconds(999)).count());
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
    if (!current_queue.queue) {
        auto queue = std::make_shared<ThreadQueue>();
        current_queue.queue = queue;
        auto& directory = Directory();
        std::lock_guard lock(directory.mutex);
        directory.byThread[queue->threadId] = queue;
    }
    return current_queue.queue;
}

}  // namespace detail
}  // namespace win
