#include "shell/main/secondary_wnd.h"

#include "platform/os/messages.h"

using namespace DuiLib;

namespace {
constexpr const wchar_t* kCaptionNames[] = {L"closebtn", L"maxbtn", L"restorebtn", L"minbtn", L"menubtn"};
}  // namespace

void CSecondaryWnd::InitWindow() {
    CMessageWindowBase::InitWindow();
    for (int i = 0; i < kCaptionCount; ++i) m_captionButtons[i] = m_pm.FindControl(kCaptionNames[i]);
}

bool CSecondaryWnd::OnCaptionClick(TNotifyUI& msg) {
    CControlUI* sender = msg.pSender;
    if (sender == nullptr) return false;
    if (sender == m_captionButtons[kClose])
        Close(0);
    else if (sender == m_captionButtons[kMin])
        SendMessage(win::WM_SYSCOMMAND, win::SC_MINIMIZE, 0);
    else if (sender == m_captionButtons[kMax])
        SendMessage(win::WM_SYSCOMMAND, win::SC_MAXIMIZE, 0);
    else if (sender == m_captionButtons[kRestore])
        SendMessage(win::WM_SYSCOMMAND, win::SC_RESTORE, 0);
    else
        return sender == m_captionButtons[kMenu];
    return true;
}

// A system close ends only this window (the program goes on running): the
// base sends WM_CLOSE, so the close takes the same road as the close button's.
LRESULT CSecondaryWnd::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    return WindowImplBase::OnSysCommand(uMsg, wParam, lParam, bHandled);
}
