#include "shell/controls/msg_progress_wnd.h"

#include "platform/os/messages.h"
#include "platform/ui/win_window_api.h"
#include "shell/controls/message_boxes.h"

using namespace DuiLib;

void CMsgProgressWnd::SetButtonMode(int mode) {
    CMessageWindowBase::SetButtonMode(mode);
    if (mode == 0) SetShown(L"sep_btn", false);
}

void CMsgProgressWnd::InitWindow() {
    CMessageWindowBase::InitWindow();
    PublishProgressWindow(GetHWND());
}

void CMsgProgressWnd::OnFinalMessage(HWND hWnd) {
    WindowImplBase::OnFinalMessage(hWnd);
    WithdrawProgressWindow(hWnd);
    delete this;
}

void CMsgProgressWnd::ShowProgress(WPARAM finished, LPARAM percent) {
    auto* bar = static_cast<CProgressUI*>(m_pm.FindControl(L"updating_status_progress"));
    if (bar == nullptr) return;
    if (finished != 0) {
        bar->SetValue(100);
    } else {
        bar->SetValue(static_cast<int>(percent));
        if (CControlUI* label = m_pm.FindControl(L"updating_status_value")) {
            CDuiString text;
            text.Format(L"%d%%", static_cast<int>(percent));
            label->SetText(text);
        }
        win::SetWindowPos(GetHWND(), nullptr, 0, 0, 0, 0, win::SWP_NOSIZE | win::SWP_NOMOVE);
    }
    bar->Invalidate();
}

LRESULT CMsgProgressWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    bHandled = FALSE;
    if (uMsg == win::WM_DPICHANGED) {
        FollowDpiChange(wParam, lParam, 200);
    } else if (uMsg == WM_TRANSFER_PROGRESS) {
        bHandled = TRUE;
        ShowProgress(wParam, lParam);
    } else if (uMsg == win::WM_CLOSE) {
        Close(0);
    }
    return 0;
}
