#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "platform/os/thread.h"

// A worker thread of a device page (light, stream or listener thread) with
// its stop event and start parameter. The thread gets the parameter, whose
// owner is the page; `running` counts the page's threads that still run.
struct PageWorker {
    PageWorker();
    ~PageWorker();
    PageWorker(const PageWorker&) = delete;
    PageWorker& operator=(const PageWorker&) = delete;

    // Wakes the thread from a sleep on its events (auto-reset; lives as long
    // as the record, so a wake may come at any time).
    void Wake() const;

    win::HANDLE wakeEvent = nullptr;
    win::HANDLE stopEvent = nullptr;
    win::HANDLE thread = nullptr;
    std::unique_ptr<win::WorkerParam> param;

    // Starts the thread; false (and nothing counted) when it cannot start.
    bool Start(void* owner, win::LPTHREAD_START_ROUTINE routine, std::atomic<int>& running);
    // Sets the stop event, runs `cancel` (a read it may wait in) and waits up
    // to the bound, then for as long as the thread still uses the page; frees
    // the handles. Nothing when never started.
    void Stop(win::DWORD boundMs, const char* name, const std::function<void()>& cancel = {});
};
