#include "link/channel_watch.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/os/event.h"

namespace channel_watch {
namespace {

struct Watchers {
    std::mutex mutex;
    std::vector<win::HANDLE> events;
};

Watchers& All() {
    // Never destroyed: a thread may still leave its scope while the process
    // runs its exit handlers.
    static Watchers* const watchers = new Watchers;
    return *watchers;
}

}  // namespace

void Notify() {
    Watchers& w = All();
    std::lock_guard lock(w.mutex);
    for (win::HANDLE event : w.events) win::SetEvent(event);
}

Scope::Scope(win::HANDLE event) : event_(event) {
    if (!event_) return;
    Watchers& w = All();
    std::lock_guard lock(w.mutex);
    w.events.push_back(event_);
}

Scope::~Scope() {
    if (!event_) return;
    Watchers& w = All();
    std::lock_guard lock(w.mutex);
    const auto it = std::find(w.events.begin(), w.events.end(), event_);
    if (it != w.events.end()) w.events.erase(it);
}

}  // namespace channel_watch
