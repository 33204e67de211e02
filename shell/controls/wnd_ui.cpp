#include "shell/controls/wnd_ui.h"

#include "platform/os/window.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/win_window_api.h"

using namespace DuiLib;

CControlUI* CWndUI::CreateInstance() { return new CWndUI(); }

LPCTSTR CWndUI::GetClass() const { return kClassName; }

void CWndUI::SetPos(RECT rc, bool bNeedInvalidate) {
    CControlUI::SetPos(rc, bNeedInvalidate);
    SyncHostedWindow();
}

void CWndUI::SetVisible(bool bVisible) {
    CControlUI::SetVisible(bVisible);
    SyncHostedWindow();
}

void CWndUI::SetInternVisible(bool bVisible) {
    CControlUI::SetInternVisible(bVisible);
    SyncHostedWindow();
}

void CWndUI::Attach(HWND hWnd) {
    m_hHosted = hWnd;
    SyncHostedWindow();
}

void CWndUI::SyncHostedWindow() {
    if (!m_hHosted || !win::IsWindow(m_hHosted)) return;
    if (m_pManager) {
        // Every window is placed on the screen (there are no windows inside
        // windows here), so the control's place in its window is shifted by
        // where that window's client area is on the screen.
        POINT origin{0, 0};
        win::ClientToScreen(m_pManager->GetPaintWindow(), &origin);
        win::SetWindowPos(m_hHosted, nullptr, m_rcItem.left + origin.x, m_rcItem.top + origin.y, GetWidth(),
                          GetHeight(), win::SWP_NOACTIVATE | win::SWP_NOZORDER);
    }
    // Shown without taking the activation, as a window inside another never takes it.
    win::ShowWindow(m_hHosted, IsVisible() ? win::SW_SHOWNA : win::SW_HIDE);
}
