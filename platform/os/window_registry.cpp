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

// The table of windows: this process's own and those of other processes it has met.

namespace win {
namespace detail {

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

}  // namespace detail
}  // namespace win
