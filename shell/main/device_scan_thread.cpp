#include "shell/main/device_scan_thread.h"

#include "link/registered_messages.h"
#include "platform/os/event.h"
#include "platform/os/message_queue.h"
#include "platform/os/thread.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/process_state.h"

// The stop event is polled for 1 ms before each pass and then waited on for
// the pace, so a stop ends the thread within a pass instead of after a sleep.
// The event is not reset here: a stop set before the thread got to run must
// still end it.
win::DWORD DeviceScanThreadProc(void* parameter) {
    auto* param = static_cast<win::WorkerParam*>(parameter);
    if (param == nullptr || param->owner == nullptr) return 0;
    auto& window = *static_cast<CMainWnd*>(param->owner);
    bool firstPass = true;
    while (win::WaitForSingleObject(param->stopEvent, 1) == win::WAIT_TIMEOUT) {
        DeviceScanPass(window);
        if (firstPass) {
            firstPass = false;
            win::PostMessageW(MainWindowHandle, WM_ACTIVATE_INSTANCE, 0, 0);
        }
        if (win::WaitForSingleObject(param->stopEvent, CMainWnd::kScanPaceMs) != win::WAIT_TIMEOUT) break;
    }
    return 0;
}
