#include <climits>
#include <cstring>

#include "link/registered_messages.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/ui/control.h"
#include "platform/ui/win_window_api.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

// Every window message passes here before the paint manager. Only WM_DESTROY,
// WM_MENU_COMMAND and WM_DEVICE_BOUND (whose answer the scan thread reads)
// are marked handled; the result is 0 but for WM_DEVICE_BOUND.
LRESULT CMainWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    // Window state, always handled.
    if (uMsg == win::WM_ACTIVATE) {
        const int active = (wParam & 0xFFFF) == win::WA_INACTIVE ? 0 : 1;
        m_nWindowActiveA = active;
        m_nWindowActiveB = active;
        SetWindowActiveAll(m_nWindowActiveB);
        OnKeyCaptureActivation(active != 0);
    }
    if (uMsg == win::WM_SHOWWINDOW && wParam == 0) OnKeyCaptureActivation(false);
    if (uMsg == WM_AUDIO_DEMAND) UpdateAudioCapture();
    if ((uMsg == win::WM_MOVE || uMsg == win::WM_CLOSE) && isFirst == 0) PlaceFloatingWindows();
    if (uMsg == win::WM_MOUSELEAVE && m_nWindowActiveA == 0) {
        m_nWindowActiveB = 0;
        SetWindowActiveAll(0);
    }
    if (uMsg == win::WM_MOUSEHOVER && m_nWindowActiveA == 0) {
        m_nWindowActiveB = 1;
        SetWindowActiveAll(1);
    }
    if (uMsg == win::WM_MOUSEWHEEL && m_captionButtons[8] != nullptr) m_captionButtons[8]->SetFocus();
    if (WM_ACTIVATE_INSTANCE != 0 && uMsg == WM_ACTIVATE_INSTANCE) RaiseWindow();
    if (WM_UPDATER_PROGRESS != 0 && uMsg == WM_UPDATER_PROGRESS && m_hSettingsWnd != nullptr) {
        win::PostMessageW(m_hSettingsWnd, uMsg, wParam, lParam);
    }
    if (WM_LIGHTING_REQUEST != 0 && uMsg == WM_LIGHTING_REQUEST && wParam == 1) OnLightingRequest(lParam);
    if (WM_VEXMAR_QUERY != 0 && uMsg == WM_VEXMAR_QUERY) SendVexmarTable();
    if (uMsg == win::WM_DESTROY) {
        StopWorkerThreads();
        win::PostQuitMessage(0);
        bHandled = TRUE;
        return 0;
    }
    if (uMsg == win::WM_POWERBROADCAST) {
        if (wParam == win::PBT_APMRESUMEAUTOMATIC) {
            SystemAwakeFlag = 1;
            SetLightingEnabledAll(m_nLightingEnabled);
        } else if (wParam == win::PBT_APMSUSPEND) {
            SystemAwakeFlag = 0;
            SetLightingEnabledAll(0);
        }
    }

    // Binding and loss come from the scan thread, which has already claimed or
    // freed the slot: dropping them while suspended would leave a claimed slot
    // without a page, or an open channel on a device that is gone.
    // The scan thread reads the answer of a binding (0: not bound, try again).
    if (uMsg == WM_DEVICE_BOUND) {
        bHandled = TRUE;
        return OnDeviceSlotAttached(static_cast<int>(wParam));
    }
    if (uMsg == WM_DEVICE_LOST) {
        OnDeviceSlotDetached(static_cast<int>(wParam));
        return 0;
    }

    // While the system sleeps the main window does nothing of its own.
    if (SystemAwakeFlag == 0) return 0;

    if (HandleHookMessage(uMsg, wParam, lParam)) return 0;

    switch (uMsg) {
        case win::WM_DPICHANGED: {
            m_pm.SetDPI(static_cast<int>(wParam & 0xFFFF));
            m_pm.ResetDPIAssets();
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            if (suggested != nullptr) {
                win::SetWindowPos(GetHWND(), nullptr, suggested->left, suggested->top,
                                  suggested->right - suggested->left, suggested->bottom - suggested->top,
                                  win::SWP_NOZORDER | win::SWP_NOACTIVATE);
            }
            CenterWindow();
            if (m_pm.GetRoot() != nullptr) m_pm.GetRoot()->NeedUpdate();
            break;
        }
        case win::WM_DISPLAYCHANGE:
            m_nDisplayFit = 1;
            OnDisplayChange();
            break;
        case win::WM_TIMER: {
            BOOL timerHandled = FALSE;
            OnTimer(uMsg, wParam, lParam, timerHandled);
            break;
        }
        case win::WM_COPYDATA:
            OnCopyData(reinterpret_cast<const win::COPYDATASTRUCT*>(lParam));
            break;
        case WM_MENU_COMMAND:
            OnMenuCommandMessage(wParam);
            bHandled = TRUE;
            break;
        default:
            HandlePrivateMessage(uMsg, wParam, lParam);
            break;
    }
    return 0;
}

// WM_LIGHTING_REQUEST with wParam 1: another program takes (lParam 0) or
// gives back (lParam 1) the lighting; every page is told the flag again.
void CMainWnd::OnLightingRequest(LPARAM lParam) {
    if (lParam == 0 || lParam == 1) {
        m_nLightingEnabled = int(lParam);
        ShowLightingControlState();
    }
    SetLightingEnabledAll(m_nLightingEnabled);
}

// The hook and game messages; true when the message was one of them.
bool CMainWnd::HandleHookMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    using Handler = void (CMainWnd::*)(WPARAM, LPARAM);
    struct Route {
        int message;
        Handler handler;
    };
    static constexpr Route kRoutes[] = {
        {kHookKeySingleKey, &CMainWnd::OnHookKey},
        {kHookKeyHitKey, nullptr},
        {kHookKeyKbMacro, &CMainWnd::OnHookKeyMacro},
        {kHookKeyKbMacroLater, &CMainWnd::OnHookKeyMacroAfter},
        {kHookKeyKbMacroPrevious, &CMainWnd::OnHookKeyMacroBefore},
        {kHookKeyKbMacroSingle, &CMainWnd::OnHookKeyMacroReplace},
        {kHookKeyMsMacro, &CMainWnd::OnHookMouseMacro},
        {kHookKeyMsMacroLater, &CMainWnd::OnHookMouseMacroAfter},
        {kHookKeyMsMacroPrevious, &CMainWnd::OnHookMouseMacroBefore},
        {kHookKeyMsMacroSingle, &CMainWnd::OnHookMouseMacroReplace},
    };
    for (const Route& route : kRoutes) {
        if (uMsg != HookMessageId(route.message)) continue;
        if (route.handler != nullptr) (this->*route.handler)(wParam, lParam);
        return true;
    }
    for (int game : {kGameStart, kGameEnd, kGameKill, kGameDeath}) {
        if (uMsg == HookMessageId(game)) {
            OnGameEvent(static_cast<int>(wParam), static_cast<int>(lParam));
            return true;
        }
    }
    return false;
}

// Copied data: only blocks of exactly the size of their record are taken;
// a block of another size (a sender that is not ours, a truncated frame) is
// dropped rather than read past or half-filled.
void CMainWnd::OnCopyData(const win::COPYDATASTRUCT* data) {
    if (data == nullptr || data->lpData == nullptr) return;
    if (data->dwData == COPYDATA_SPECTRUM && data->cbData == kSpectrumFrameBytes) {
        std::memcpy(m_spectrumFrame.data(), data->lpData, kSpectrumFrameBytes);
        OnSpectrumFrame();
    } else if (data->dwData == COPYDATA_EXTERNAL_FEED && data->cbData == kExternalFeedBytes) {
        std::memcpy(m_externalFeed.data(), data->lpData, kExternalFeedBytes);
        OnExternalFeed();
    }
}

void CMainWnd::HandlePrivateMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
        case WM_SCREEN_PREVIEW_PAINT:
            OnScreenPreviewPaint(wParam, lParam);
            break;
        case WM_SCREEN_UNDO_READY:
            OnScreenUndoReady();
            break;
        case WM_SCREEN_CANVAS_CHANGED:
            OnScreenCanvasChanged();
            break;
        case WM_TRAY_NOTIFY:
            OnTrayNotify(static_cast<UINT>(lParam));
            break;
        case WM_KEY_CAPTURE:
            if (wParam == 0 || wParam == 1) SetKeyCaptureHook(static_cast<int>(wParam));
            break;
        case WM_SHOW_SETTING_PROGRESS:
            if (CControlUI* progress = m_pm.FindControl(L"setting_progress")) progress->SetVisible(true);
            break;
        case WM_LANGUAGE_CHANGED:
            OnLanguageMessage(static_cast<int>(wParam), true);
            break;
        case WM_KEYBOARD_LAYOUT_REFRESH:
            OnLanguageMessage(static_cast<int>(wParam), false);
            break;
        case WM_OPEN_SETTINGS:
            ShowSettingsWindow(true);
            break;
        case WM_CLEAR_UPDATE_BADGE:
            if (m_captionButtons[8] != nullptr) m_captionButtons[8]->SetAttribute(L"foreimage", L"");
            break;
        case WM_RELAY_REQUEST:
            if (m_hSpareWnd != nullptr) win::SendMessageW(m_hSpareWnd, WM_RELAYED_NOTICE, wParam, lParam);
            break;
        case WM_SELECT_LANGUAGE:
            // Any process of the user may send it: only an index of
            // "Language.config" is passed on.
            if (m_hSettingsWnd != nullptr && Languages().At(static_cast<int>(wParam)) != nullptr &&
                wParam <= static_cast<WPARAM>(INT_MAX)) {
                win::SendMessageW(m_hSettingsWnd, WM_SELECT_LANGUAGE, wParam, 0);
            }
            break;
        case WM_DEVICE_ONLINE:
            OnDeviceOnline(static_cast<int>(wParam), static_cast<int>(lParam));
            break;
        case WM_OPEN_SCREEN_EDITOR:
            ShowScreenEditor();
            ShowScreenFramesPage();
            break;
        case WM_FIRMWARE_CHECK:
            LaunchFirmwareUpdate(static_cast<int>(wParam), static_cast<int>(lParam));
            break;
        case WM_START_CLOCK_SYNC:
            win::SetTimer(GetHWND(), TIMER_MAIN_CLOCK_SYNC, 30000, nullptr);
            break;
        default:
            break;
    }
}
