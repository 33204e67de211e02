#pragma once

// Suspend and resume notices.
//
// Once started, every top-level window of the process receives
// WM_POWERBROADCAST with PBT_APMSUSPEND before the system sleeps (sent, so the
// window has handled it when the call returns; at most kPowerSuspendSendMs per
// window) and with PBT_APMRESUMEAUTOMATIC after it wakes (posted). The real
// source is systemd-logind's PrepareForSleep signal on the system bus; while
// it runs the process holds a "delay" sleep inhibitor so that the suspend
// notice is handled before the machine sleeps. Without a system bus the
// program runs without notices and says so once in the log.

#include <functional>
#include <memory>

#include "platform/files/win_types.h"

namespace win {

inline constexpr DWORD kPowerSuspendSendMs = 2000;

// Where suspend/resume events come from.
class PowerSource {
public:
    using Callback = std::function<void(bool suspending)>;
    virtual ~PowerSource() = default;
    // Starts delivering events to callback (from any thread). false when the
    // source is not available.
    virtual bool Start(Callback callback) = 0;
    // Stops delivering; no callback runs after it returns.
    virtual void Stop() = 0;
    // Called after a suspend notice has been handled by every window.
    virtual void SuspendHandled() {}
};

// The logind source (sd-bus).
std::unique_ptr<PowerSource> CreateLogindPowerSource();

// A source that tests drive.
class ManualPowerSource : public PowerSource {
public:
    bool Start(Callback callback) override;
    void Stop() override;
    void Suspend();
    void Resume();
    int SuspendsHandled() const { return handled_; }
    void SuspendHandled() override { ++handled_; }

private:
    Callback callback_;
    int handled_ = 0;
};

// Starts notices from the source (null: the logind source). Replaces a
// source started before. FALSE when the source is not available.
BOOL StartPowerNotifications(std::unique_ptr<PowerSource> source = nullptr);
void StopPowerNotifications();

}  // namespace win
