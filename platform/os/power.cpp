#include "platform/os/power.h"

#include <mutex>
#include <vector>

#include "platform/os/debug_trace.h"
#include "platform/os/message_queue.h"
#include "platform/os/message_system_internal.h"

namespace win {
namespace {

struct PowerState {
    std::mutex mutex;
    std::unique_ptr<PowerSource> source;
};

PowerState& State() {
    static auto* state = new PowerState;
    return *state;
}

void Deliver(PowerSource* source, bool suspending) {
    for (auto& window : detail::LocalWindows()) {
        if (window->parent != nullptr || window->destroying.load()) {
            continue;
        }
        if (suspending) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(window->handle, WM_POWERBROADCAST, PBT_APMSUSPEND, 0, SMTO_ABORTIFHUNG,
                                kPowerSuspendSendMs, &result);
        } else {
            PostMessageW(window->handle, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
        }
    }
    if (suspending) {
        source->SuspendHandled();
    }
}

}  // namespace

bool ManualPowerSource::Start(Callback callback) {
    callback_ = std::move(callback);
    return true;
}

void ManualPowerSource::Stop() { callback_ = nullptr; }

void ManualPowerSource::Suspend() {
    if (callback_) {
        callback_(true);
    }
}

void ManualPowerSource::Resume() {
    if (callback_) {
        callback_(false);
    }
}

BOOL StartPowerNotifications(std::unique_ptr<PowerSource> source) {
    StopPowerNotifications();
    if (!source) {
        source = CreateLogindPowerSource();
    }
    PowerSource* raw = source.get();
    if (!raw->Start([raw](bool suspending) { Deliver(raw, suspending); })) {
        return FALSE;
    }
    std::lock_guard lock(State().mutex);
    State().source = std::move(source);
    return TRUE;
}

void StopPowerNotifications() {
    std::unique_ptr<PowerSource> source;
    {
        std::lock_guard lock(State().mutex);
        source = std::move(State().source);
    }
    if (source) {
        source->Stop();
    }
}

}  // namespace win
