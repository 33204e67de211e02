#include "shell/main/device_scan_thread.h"

#include "link/registered_messages.h"
#include "platform/os/event.h"
#include "platform/os/message_queue.h"
#include "platform/os/thread.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/process_state.h"

// The stop event is waited on for 1 ms before the first pass and for the pace
// and that 1 ms between passes: one wait, so a pass costs one wake-up, not
// two, and a stop ends the thread without another pass. The event is not
// reset here: a stop set before the thread got to run must still end it.
win::DWORD DeviceScanThreadProc(void* parameter) {
    auto* param = static_cast<win::WorkerParam*>(parameter);
    if (param == nullptr || param->owner == nullptr) return 0;
    auto& window = *static_cast<CMainWnd*>(param->owner);
    constexpr win::DWORD kStopLookMs = 1;
    win::DWORD wait = kStopLookMs;
    bool firstPass = true;
    while (win::WaitForSingleObject(param->stopEvent, wait) == win::WAIT_TIMEOUT) {
        DeviceScanPass(window);
        if (firstPass) {
            firstPass = false;
            win::PostMessageW(MainWindowHandle, WM_ACTIVATE_INSTANCE, 0, 0);
        }
        wait = CMainWnd::kScanPaceMs + kStopLookMs;
    }
    return 0;
}
