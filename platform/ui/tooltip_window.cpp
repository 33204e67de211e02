#include "platform/ui/tooltip_window.h"

#include <algorithm>

#include "platform/ui/container.h"
#include "platform/ui/render_engine.h"

namespace DuiLib {

namespace {

constexpr int kPadX = 5;
constexpr int kPadY = 3;

CLabelUI* MakeLine(DWORD color) {
    auto* label = new CLabelUI;
    label->SetTextPadding({kPadX, 0, kPadX, 0});
    label->SetTextColor(color);
    return label;
}

}  // namespace

void CToolTipWnd::ShowAt(HWND owner, const CDuiString& title, const CDuiString& text, POINT pt,
                         CPaintManagerUI* fonts) {
    m_sTitle = title;
    m_sText = text;
    if (!m_hWnd) {
        Create(owner, L"", UI_WS_POPUP, UI_WS_EX_TOOLWINDOW | UI_WS_EX_TOPMOST, pt.x, pt.y, 1, 1);
        m_pm.Init(m_hWnd);
        m_pm.SetWindow(this);
        auto* box = new CVerticalLayoutUI;
        box->SetBkColor(0xFFFFFFE1);
        box->SetBorderColor(0xFF767676);
        box->SetBorderSize(1);
        box->SetInset({0, kPadY, 0, kPadY});
        m_pTitle = MakeLine(0xFF000000);
        m_pText = MakeLine(0xFF303030);
        box->Add(m_pTitle);
        box->Add(m_pText);
        m_pm.AttachDialog(box);
    }
    if (fonts && fonts->GetDefaultFontInfo()) {
        TFontInfo* f = fonts->GetDefaultFontInfo();
        m_pm.SetDefaultFont(f->sFontName, f->iSize, f->bBold, f->bUnderline, f->bItalic);
    }
    int width = 0, height = 2 * kPadY;
    for (auto [label, line] : {std::pair{m_pTitle, &title}, std::pair{m_pText, &text}}) {
        label->SetText(*line);
        label->SetVisible(!line->IsEmpty());
        if (line->IsEmpty()) continue;
        const SIZE size = CRenderEngine::GetTextSize(nullptr, fonts, *line, -1, DT_SINGLELINE);
        label->SetFixedHeight(size.cy);
        width = std::max<int>(width, size.cx + 2 * kPadX);
        height += size.cy;
    }
    SetWindowRect({pt.x, pt.y, pt.x + width, pt.y + height});
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
