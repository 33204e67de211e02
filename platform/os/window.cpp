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

// Windows: creation, destruction, titles, parents and lookup.

namespace win {

using detail::CurrentQueue;
using detail::FindWindowObject;

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

}  // namespace win
