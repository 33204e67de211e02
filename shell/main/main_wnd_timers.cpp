#include "link/device/corvane_usb_device.h"
#include "link/debug_log.h"
#include "link/light_setting.h"
#include "platform/os/clock.h"
#include "platform/os/debug_trace.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/ui/control.h"
#include "platform/ui/win_window_api.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

namespace {

constexpr UINT kClockSyncMs = 30000;
constexpr UINT kGameRestoreMs = 5000;
constexpr int kHighestLightMode = 20;

}  // namespace

LRESULT CMainWnd::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&) {
    const auto id = static_cast<UINT_PTR>(wParam);
    switch (id) {
        case TIMER_MAIN_FIRST_SHOW:
            win::KillTimer(GetHWND(), id);
            FitToScreen();
            // A hidden window was just drawn whole by the fit: drawn again it
            // would only show the same picture once more.
            if (IsVisible()) win::InvalidateRect(GetHWND(), nullptr, TRUE);
            UpdateAudioCapture();
            break;
        case TIMER_MAIN_CLOCK_SYNC:
            win::KillTimer(GetHWND(), id);
            SyncKeyboardClock();
            win::SetTimer(GetHWND(), TIMER_MAIN_CLOCK_SYNC, kClockSyncMs, nullptr);
            break;
        case TIMER_MAIN_TRAY_MENU:
            win::KillTimer(GetHWND(), id);
            ShowTrayMenu();
            break;
        case TIMER_MAIN_PROFILE_SWITCH:
            win::KillTimer(GetHWND(), id);
            ApplySelectedProfile();
            break;
        case TIMER_MAIN_GAME_RESTORE:
            win::KillTimer(GetHWND(), id);
            RestoreGameLighting();
            break;
        default:
            break;
    }
    return 0;
}

LRESULT CMainWnd::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    CControlUI* noDevice = m_pm.FindControl(L"No_device_Link");
    const bool deviceShown = noDevice != nullptr && !noDevice->IsVisible();
    const UINT command = static_cast<UINT>(wParam & 0xFFF0);
    if (command == win::SC_MINIMIZE) {
        if (deviceShown) HideScreenEditor();
        isFirst = 1;
        WriteLog("OnSysCommand>SC_MINIMIZE>isFirst = true;");
    } else if (command == win::SC_RESTORE && isFirst == 1 && ScreenTabActive != 0) {
        ScreenFramesUnsaved = 0;
        if (deviceShown) ShowScreenEditor();
        isFirst = 0;
        WriteLog("OnSysCommand>SC_RESTORE>isFirst = false;");
    }
    // The command itself is carried out as by any window.
    return WindowImplBase::OnSysCommand(uMsg, wParam, lParam, bHandled);
}

// Shows and raises the window: the second instance's activation, the scan
// thread's first pass and a device's arrival all come here.
void CMainWnd::RaiseWindow(int) {
    int first = -1;
    int count = 0;
    const bool anyShown = CountShownDevices(&first, &count);
    if (CControlUI* noDevice = m_pm.FindControl(L"No_device_Link")) noDevice->SetVisible(!anyShown);
    win::OutputDebugStringW(anyShown ? L"RaiseWindow: device panel shown" : L"RaiseWindow: no-device panel shown");
    for (CCorvaneUSBDevice* page : CopyDeviceLists({&m_mice, &m_keyboards})) page->SetWindowHidden(0);
    // A hidden window is fitted to the screen and drawn before it appears:
    // it comes onto the screen once, at its place and with its picture, and
    // nothing moves under the pointer afterwards.
    if (!IsVisible()) FitToScreen();
    SendMessage(win::WM_SYSCOMMAND, win::SC_RESTORE, 0);
    win::SetWindowPos(GetHWND(), win::HWND_TOPMOST, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
    win::Sleep(10);
    win::SetWindowPos(GetHWND(), win::HWND_NOTOPMOST, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
}

// Game events (the four game messages): kinds 0 to 2 switch the current
// device's lighting to the mode at once; every event (re)arms the restore.
void CMainWnd::OnGameEvent(int kind, int mode) {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    // Any process of the user may send these: the mode is the low byte, and
    // a mode the devices do not have switches nothing.
    const int lightMode = mode & 0xFF;
    if (page != nullptr && kind >= 0 && kind <= 2 && lightMode <= kHighestLightMode) {
        LeaveLightingSync(page);
        ShowLightMode(page, lightMode);
        LightSetting setting = page->CurrentLightSetting();
        if (kind == 0) {
            setting.previousMode = (setting.mode == 0 || setting.mode > kHighestLightMode) ? 1 : setting.mode;
        }
        setting.mode = static_cast<std::uint8_t>(lightMode);
        page->CommitLighting(setting);
    }
    win::SetTimer(GetHWND(), TIMER_MAIN_GAME_RESTORE, kGameRestoreMs, nullptr);
}

// Timer 1066: back to the mode stored by the first kind-0 event. Without one
// (OldLedmode 0) there is nothing to go back to, and mode 0 would switch the
// lighting off, so the lighting stays as it is.
void CMainWnd::RestoreGameLighting() {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    if (page == nullptr) return;
    LightSetting setting = page->CurrentLightSetting();
    if (setting.previousMode == 0) return;
    LeaveLightingSync(page);
    ShowLightMode(page, setting.previousMode);
    setting.mode = setting.previousMode;
    page->CommitLighting(setting);
}
