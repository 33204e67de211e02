#include "platform/ui/tooltip_window.h"

#include <algorithm>

#include "platform/ui/container.h"
#include "platform/ui/render_engine.h"

namespace DuiLib {

namespace {

// Room around the text, in skin pixels (scaled like every size of a skin).
constexpr int kPadX = 5;
constexpr int kPadY = 3;

CLabelUI* MakeLine(const wchar_t* name, DWORD color) {
    auto* label = new CLabelUI;
    label->SetName(name);
    label->SetTextPadding({kPadX, 0, kPadX, 0});
    label->SetTextColor(color);
    return label;
}

}  // namespace

SIZE CToolTipWnd::MeasureTip(CPaintManagerUI& pm, const CDuiString& title, const CDuiString& text) {
    const CDPI& dpi = *pm.GetDPIObj();
    int width = 0, height = 2 * dpi.Scale(kPadY);
    for (const CDuiString* line : {&title, &text}) {
        if (line->IsEmpty()) continue;
        const SIZE size = CRenderEngine::GetTextSize(nullptr, &pm, *line, -1, DT_SINGLELINE);
        width = std::max<int>(width, size.cx + 2 * dpi.Scale(kPadX));
        height += size.cy;
    }
    return {width, height};
}

void CToolTipWnd::ShowAt(HWND owner, const CDuiString& title, const CDuiString& text, POINT pt,
                         CPaintManagerUI* fonts) {
    m_sTitle = title;
    m_sText = text;
    // The tip is drawn at its owner's scale, in its owner's font; set before
    // the window exists, so that nothing is resized by it.
    if (fonts) m_pm.SetDPI(fonts->GetDPIObj()->GetDPI());
    if (!m_hWnd) {
        Create(owner, L"", UI_WS_POPUP, UI_WS_EX_TOOLWINDOW | UI_WS_EX_TOPMOST, pt.x, pt.y, 1, 1);
        m_pm.Init(m_hWnd);
        m_pm.SetWindow(this);
        auto* box = new CVerticalLayoutUI;
        box->SetBkColor(0xFFFFFFE1);
        box->SetBorderColor(0xFF767676);
        box->SetBorderSize(1);
        box->SetInset({0, kPadY, 0, kPadY});
        m_pTitle = MakeLine(L"tooltip_title", 0xFF000000);
        m_pText = MakeLine(L"tooltip_text", 0xFF303030);
        box->Add(m_pTitle);
        box->Add(m_pText);
        m_pm.AttachDialog(box);
    }
    if (fonts && fonts->GetDefaultFontInfo()) {
        TFontInfo* f = fonts->GetDefaultFontInfo();
        m_pm.SetDefaultFont(f->sFontName, f->iSize, f->bBold, f->bUnderline, f->bItalic);
    }
    // The lines share the box's height: each is one line of the same font.
    for (auto [label, line] : {std::pair{m_pTitle, &title}, std::pair{m_pText, &text}}) {
        label->SetText(*line);
        label->SetVisible(!line->IsEmpty());
    }
    const SIZE size = MeasureTip(m_pm, title, text);
    SetWindowRect({pt.x, pt.y, pt.x + size.cx, pt.y + size.cy});
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
