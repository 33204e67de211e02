#include "link/page_worker.h"

#include "platform/os/event.h"
#include "platform/os/handle.h"

PageWorker::PageWorker() : wakeEvent(win::CreateEventW(nullptr, win::FALSE, win::FALSE, nullptr)) {}

PageWorker::~PageWorker() {
    if (wakeEvent) win::CloseHandle(wakeEvent);
}

void PageWorker::Wake() const {
    if (wakeEvent) win::SetEvent(wakeEvent);
}

bool PageWorker::Start(void* owner, win::LPTHREAD_START_ROUTINE routine, std::atomic<int>& running) {
    if (!param) param = std::make_unique<win::WorkerParam>();
    stopEvent = win::CreateEventW(nullptr, win::TRUE, win::FALSE, nullptr);
    if (!stopEvent) return false;
    param->owner = owner;
    param->stopEvent = stopEvent;
    // Counted before the thread runs; the thread takes itself off as it ends.
    running.fetch_add(1);
    thread = win::CreateThread(nullptr, 0, routine, param.get(), 0, nullptr);
    if (thread) return true;
    running.fetch_sub(1);
    return false;
}

void PageWorker::Stop(win::DWORD boundMs, const char* name, const std::function<void()>& cancel) {
    if (!stopEvent) return;
    if (thread) {
        // A thread that outlives the bound is waited for all the same: it uses
        // the page, which may be freed right after.
        if (win::StopWorker(thread, stopEvent, boundMs, cancel, name) == win::StopResult::Abandoned)
            win::WaitForSingleObject(thread, win::INFINITE);
        win::CloseHandle(thread);
    }
    win::CloseHandle(stopEvent);
    thread = nullptr;
    stopEvent = nullptr;
    param.reset();
}
