#include "platform/os/message_queue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>

#include "platform/os/clock.h"
#include "platform/os/message_system_internal.h"
#include "platform/os/remote.h"

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

namespace {

struct QueueDirectory {
    std::mutex mutex;
    std::map<DWORD, std::weak_ptr<ThreadQueue>> byThread;
};

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

void ForgetThreadWindows(const std::shared_ptr<ThreadQueue>& queue);

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

using Clock = std::chrono::steady_clock;

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

}  // namespace

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

namespace {

struct WindowRegistry {
    std::mutex mutex;
    std::map<std::uintptr_t, std::shared_ptr<Window>> windows;
    std::uintptr_t next = 0x10010;
};

WindowRegistry& Registry() {
    static auto* registry = new WindowRegistry;
    return *registry;
}

void ForgetThreadWindows(const std::shared_ptr<ThreadQueue>& queue) {
    std::vector<HWND> gone;
    {
        auto& registry = Registry();
        std::lock_guard lock(registry.mutex);
        for (auto it = registry.windows.begin(); it != registry.windows.end();) {
            if (it->second->queue == queue) {
                it->second->destroying = true;
                it->second->destroyed = true;
                gone.push_back(it->second->handle);
                it = registry.windows.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (HWND hwnd : gone) {
        OnLocalWindowGone(hwnd);
    }
}

}  // namespace

std::shared_ptr<Window> FindWindowObject(HWND hwnd) {
    auto& registry = Registry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.windows.find(reinterpret_cast<std::uintptr_t>(hwnd));
    return it == registry.windows.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<Window>> LocalWindows() {
    std::vector<std::shared_ptr<Window>> out;
    auto& registry = Registry();
    std::lock_guard lock(registry.mutex);
    for (auto& [key, window] : registry.windows) {
        if (window->queue) {
            out.push_back(window);
        }
    }
    return out;
}

HWND RegisterRemoteWindow(const std::string& address, const std::wstring& title, DWORD processId) {
    auto& registry = Registry();
    std::lock_guard lock(registry.mutex);
    for (auto& [key, window] : registry.windows) {
        if (!window->queue && window->remoteAddress == address) {
            window->title = title;
            return window->handle;
        }
    }
    auto window = std::make_shared<Window>();
    window->handle = reinterpret_cast<HWND>(registry.next);
    registry.next += 2;
    window->remoteAddress = address;
    window->remoteProcessId = processId;
    window->title = title;
    registry.windows[reinterpret_cast<std::uintptr_t>(window->handle)] = window;
    return window->handle;
}

namespace {

HWND AddLocalWindow(std::shared_ptr<Window> window) {
    auto& registry = Registry();
    std::lock_guard lock(registry.mutex);
    window->handle = reinterpret_cast<HWND>(registry.next);
    registry.next += 2;
    registry.windows[reinterpret_cast<std::uintptr_t>(window->handle)] = window;
    return window->handle;
}

void RemoveWindow(HWND hwnd) {
    auto& registry = Registry();
    std::lock_guard lock(registry.mutex);
    registry.windows.erase(reinterpret_cast<std::uintptr_t>(hwnd));
}

}  // namespace
}  // namespace detail

using detail::CurrentQueue;
using detail::FindWindowObject;

// ---------------------------------------------------------------- windows

DWORD GetCurrentThreadId() {
    // Asked on every message call; the kernel is asked once per thread.
    thread_local const DWORD id = static_cast<DWORD>(::gettid());
    return id;
}
DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }

HWND CreateWindowHandle(WNDPROC proc, LPCWSTR title, HWND parent, void* createParam, DWORD style, DWORD exStyle) {
    if (proc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto window = std::make_shared<detail::Window>();
    window->queue = CurrentQueue();
    window->proc = proc;
    window->parent = parent;
    window->style = style;
    window->exStyle = exStyle;
    if (title != nullptr) {
        window->title = title;
    }
    HWND hwnd = detail::AddLocalWindow(window);
    CREATESTRUCTW cs;
    cs.lpCreateParams = createParam;
    cs.hwndParent = parent;
    cs.lpszName = title;
    cs.style = style;
    cs.dwExStyle = exStyle;
    if (window->proc.load()(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) == 0) {
        window->destroying = true;
        window->destroyed = true;
        detail::RemoveWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) {
        return nullptr;
    }
    if (window->proc.load()(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) {
        return nullptr;
    }
    // Top-level windows are reachable from the user's other processes, as
    // the program's outside senders and second instance expect. Without a
    // runtime folder the window still works, only not from outside.
    if (parent == nullptr) {
        MakeWindowReachable(hwnd, true);
    }
    return hwnd;
}

BOOL DestroyWindow(HWND hwnd) {
    auto window = FindWindowObject(hwnd);
    if (!window || !window->queue) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    auto queue = window->queue;
    if (queue->threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    std::vector<std::shared_ptr<detail::SentMessage>> cancelled;
    {
        std::lock_guard lock(queue->mutex);
        if (window->destroying.exchange(true)) {
            return TRUE;  // already on its way out (DestroyWindow from WM_DESTROY)
        }
        for (auto it = queue->sent.begin(); it != queue->sent.end();) {
            if ((*it)->hwnd == hwnd) {
                cancelled.push_back(std::move(*it));
                it = queue->sent.erase(it);
            } else {
                ++it;
            }
        }
        std::erase_if(queue->posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
        std::erase_if(queue->timers, [hwnd](const detail::QueueTimer& t) { return t.hwnd == hwnd; });
    }
    // Senders blocked on this window wake up now, before anything of the
    // window is torn down.
    for (auto& sent : cancelled) {
        detail::Complete(sent, 0);
    }
    detail::OnLocalWindowGone(hwnd);
    window->proc.load()(hwnd, WM_DESTROY, 0, 0);
    for (auto& owned : detail::LocalWindows()) {
        if (owned->parent == hwnd && owned->queue == queue) {
            DestroyWindow(owned->handle);
        }
    }
    {
        std::lock_guard lock(queue->mutex);
        std::erase_if(queue->posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
        std::erase_if(queue->timers, [hwnd](const detail::QueueTimer& t) { return t.hwnd == hwnd; });
    }
    window->proc.load()(hwnd, WM_NCDESTROY, 0, 0);
    window->destroyed = true;
    detail::RemoveWindow(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    auto window = FindWindowObject(hwnd);
    if (window && !window->queue) {
        return detail::RemoteAlive(*window) ? TRUE : FALSE;
    }
    return (window && !window->destroyed.load()) ? TRUE : FALSE;
}

BOOL IsWindowBeingDestroyed(HWND hwnd) {
    auto window = FindWindowObject(hwnd);
    return (!window || window->destroying.load()) ? TRUE : FALSE;
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
    auto window = FindWindowObject(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(window->proc.load());
        case GWLP_USERDATA:
            return window->userData.load();
        case GWL_STYLE:
            return window->style.load();
        case GWL_EXSTYLE:
            return window->exStyle.load();
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
    }
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    auto window = FindWindowObject(hwnd);
    if (!window || !window->queue) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR old = 0;
    switch (index) {
        case GWLP_WNDPROC:
            if (value == 0) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            old = reinterpret_cast<LONG_PTR>(window->proc.exchange(reinterpret_cast<WNDPROC>(value)));
            break;
        case GWLP_USERDATA:
            old = window->userData.exchange(value);
            break;
        case GWL_STYLE:
            old = window->style.exchange(value);
            break;
        case GWL_EXSTYLE:
            old = window->exStyle.exchange(value);
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
    }
    return old;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc == nullptr ? 0 : proc(hwnd, message, wParam, lParam);
}

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        default:
            return 0;
    }
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    auto window = FindWindowObject(hwnd);
    if (!window || !window->queue) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    {
        std::lock_guard lock(window->queue->mutex);
        window->title = text != nullptr ? text : L"";
    }
    detail::OnLocalWindowTitle(hwnd);
    return TRUE;
}

std::wstring GetWindowTitle(HWND hwnd) {
    auto window = FindWindowObject(hwnd);
    if (!window) {
        return {};
    }
    if (window->queue) {
        std::lock_guard lock(window->queue->mutex);
        return window->title;
    }
    // A window of another process: its title changes under the registry lock.
    std::lock_guard lock(detail::Registry().mutex);
    return window->title;
}

int GetWindowTextW(HWND hwnd, LPWSTR buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) {
        return 0;
    }
    std::wstring title = GetWindowTitle(hwnd);
    size_t n = std::min(title.size(), static_cast<size_t>(capacity - 1));
    std::copy_n(title.data(), n, buffer);
    buffer[n] = L'\0';
    return static_cast<int>(n);
}

HWND GetParent(HWND hwnd) {
    auto window = FindWindowObject(hwnd);
    return window ? window->parent.load() : nullptr;
}

HWND SetParent(HWND hwnd, HWND parent) {
    auto window = FindWindowObject(hwnd);
    if (!window || !window->queue) {
        return nullptr;
    }
    return window->parent.exchange(parent);
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
    auto window = FindWindowObject(hwnd);
    if (!window) {
        if (processId != nullptr) {
            *processId = 0;
        }
        return 0;
    }
    if (!window->queue) {
        if (processId != nullptr) {
            *processId = window->remoteProcessId;
        }
        return 0;
    }
    if (processId != nullptr) {
        *processId = GetCurrentProcessId();
    }
    return window->queue->threadId;
}

std::vector<HWND> GetThreadWindows(DWORD threadId) {
    std::vector<HWND> out;
    for (auto& window : detail::LocalWindows()) {
        if (window->queue->threadId == threadId && !window->destroyed.load()) {
            out.push_back(window->handle);
        }
    }
    return out;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR title) {
    // Windows here have no classes: a search by class finds nothing.
    if (title == nullptr || (className != nullptr && className[0] != L'\0')) {
        return nullptr;
    }
    std::wstring wanted(title);
    for (auto& window : detail::LocalWindows()) {
        if (!window->destroying.load() && GetWindowTitle(window->handle) == wanted) {
            return window->handle;
        }
    }
    return detail::RemoteFindWindow(wanted);
}

// ---------------------------------------------------------------- messages

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

// ---------------------------------------------------------------- timers

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

// ---------------------------------------------------------------- sources

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
