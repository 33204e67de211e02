#include "shell/main/about_wnd.h"

#include "platform/ui/win_window_api.h"
#include "shell/main/main_wnd.h"

using namespace DuiLib;

void CAboutWnd::SetVersionText(CDuiString version) {
    m_version = version;
    CControlUI* lookup = m_pm.FindControl(L"text_test");
    CControlUI* label = m_pm.FindControl(L"software_ver_label");
    if (lookup == nullptr || label == nullptr) return;
    // The hidden label translates the key in the language shown now.
    lookup->SetResourceText(true);
    lookup->SetText(L"software_rev_text");
    label->SetText(lookup->GetText() + version);
}

// A language change builds the version line in the new language and
// repaints the window.
LRESULT CAboutWnd::HandleCustomMessage(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    if (uMsg == WM_LANGUAGE_CHANGED) {
        SetVersionText(m_version);
        win::InvalidateRect(GetHWND(), nullptr, TRUE);
        if (CControlUI* root = m_pm.GetRoot()) root->NeedUpdate();
        m_pm.NeedUpdate();
    }
    return 0;
}
