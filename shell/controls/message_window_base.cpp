#include "shell/controls/message_window_base.h"

#include <cwchar>

#include "platform/os/messages.h"
#include "platform/ui/win_window_api.h"

using namespace DuiLib;

int CMessageWindowBase::AcceptedDpi(int dpi) {
    switch (dpi) {
        case 48:
        case 72:
        case 96:
        case 120:
        case 144:
        case 168:
        case 192:
            return dpi;
        default:
            return 96;
    }
}

void CMessageWindowBase::SetDPI(int dpi) {
    if (dpi == m_nDpi) return;
    m_nDpi = AcceptedDpi(dpi);
    m_pm.SetDPI(m_nDpi);
}

void CMessageWindowBase::SetTitleText(const wchar_t* title, int isKey) { SetTextOf(L"MessageTitle", title, isKey); }

void CMessageWindowBase::SetTextOf(const wchar_t* control, const wchar_t* text, int isKey) {
    if (text == nullptr || *text == L'\0') return;
    CControlUI* c = m_pm.FindControl(control);
    if (c == nullptr) return;
    if (isKey >= 0) c->SetResourceText(isKey != 0);
    c->SetText(text);
}

void CMessageWindowBase::SetShown(const wchar_t* control, bool shown) {
    if (CControlUI* c = m_pm.FindControl(control)) c->SetVisible(shown);
}

void CMessageWindowBase::SetButtonMode(int mode) {
    if (mode != 0 && mode != 1) return;
    SetShown(L"cancel_btn", mode == 1);
    SetShown(L"confirm_btn", true);
}

void CMessageWindowBase::InitWindow() { m_pCloseButton = m_pm.FindControl(L"closebtn"); }

void CMessageWindowBase::OnClick(TNotifyUI& msg) {
    if (msg.pSender == nullptr) return;
    if (msg.pSender == m_pCloseButton) {
        Close(0);
        return;
    }
    const CDuiString name = msg.pSender->GetName();
    if (name.CompareNoCase(L"confirm_btn") == 0)
        Close(1);
    else if (name.CompareNoCase(L"cancel_btn") == 0)
        Close(0);
}

LRESULT CMessageWindowBase::OnSysCommand(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

void CMessageWindowBase::FollowDpiChange(WPARAM wParam, LPARAM lParam, int shiftX) {
    m_pm.SetDPI(static_cast<int>(wParam & 0xFFFF));
    m_pm.ResetDPIAssets();
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
        win::SetWindowPos(GetHWND(), nullptr, suggested->left + shiftX, suggested->top,
                          suggested->right - suggested->left, suggested->bottom - suggested->top,
                          win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    }
    if (CControlUI* root = m_pm.GetRoot()) root->NeedUpdate();
}
