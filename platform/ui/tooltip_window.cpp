#include "platform/ui/tooltip_window.h"

#include "platform/ui/label.h"
#include "platform/ui/render_engine.h"

namespace DuiLib {

void CToolTipWnd::ShowAt(HWND owner, const CDuiString& text, POINT pt, CPaintManagerUI* fonts) {
    m_sText = text;
    SIZE size = CRenderEngine::GetTextSize(nullptr, fonts, text, -1, DT_SINGLELINE);
    int w = size.cx + 10, h = size.cy + 6;
    if (!m_hWnd) {
        Create(owner, L"", UI_WS_POPUP, UI_WS_EX_TOOLWINDOW | UI_WS_EX_TOPMOST, pt.x, pt.y, w, h);
        m_pm.Init(m_hWnd);
        m_pm.SetWindow(this);
        auto* label = new CLabelUI;
        label->SetBkColor(0xFFFFFFE1);
        label->SetBorderColor(0xFF767676);
        label->SetBorderSize(1);
        label->SetTextPadding({5, 3, 5, 3});
        label->SetTextColor(0xFF000000);
        m_pm.AttachDialog(label);
    }
    if (fonts && fonts->GetDefaultFontInfo()) {
        TFontInfo* f = fonts->GetDefaultFontInfo();
        m_pm.SetDefaultFont(f->sFontName, f->iSize, f->bBold, f->bUnderline, f->bItalic);
    }
    m_pm.GetRoot()->SetText(text);
    SetWindowRect({pt.x, pt.y, pt.x + w, pt.y + h});
    ShowWindow(true, false);
    m_pm.Invalidate();
}

void CToolTipWnd::Hide() {
    if (m_hWnd && IsVisible()) ShowWindow(false, false);
}

LRESULT CToolTipWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    LRESULT res = 0;
    if (m_pm.GetPaintWindow() && m_pm.MessageHandler(uMsg, wParam, lParam, res)) return res;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

}  // namespace DuiLib
