#pragma once
// Threads that sleep while no command channel gives them work (a light thread
// whose channel is closed or in the lighting sync, the lighting-sync thread
// while no synced device is open) watch the channels through this list: each
// registers an auto-reset event, and every change of a channel's open or sync
// flag sets all of them. A woken thread looks at its channels again and goes
// back to sleep when the change was not its own; changes are rare (plugging,
// the same-mode command), so one list for the process costs nothing.

#include "platform/files/win_types.h"

namespace channel_watch {

// Sets every registered event.
void Notify();

// Registers an event for as long as the object lives; a null event is ignored.
class Scope {
public:
    explicit Scope(win::HANDLE event);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    win::HANDLE event_;
};

}  // namespace channel_watch
