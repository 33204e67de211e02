#include "platform/ui/label.h"

#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"

namespace DuiLib {

CLabelUI::CLabelUI() : m_uTextStyle(DT_VCENTER | DT_SINGLELINE) {}

LPCTSTR CLabelUI::GetClass() const { return L"LabelUI"; }
LPVOID CLabelUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"Label") == 0) return this;
    return CControlUI::GetInterface(n);
}

RECT CLabelUI::GetTextPadding() const { return Scaled(m_rcTextPadding); }

RECT CLabelUI::GetTextArea() const {
    const RECT p = GetTextPadding();
    return {m_rcItem.left + p.left, m_rcItem.top + p.top, m_rcItem.right - p.right, m_rcItem.bottom - p.bottom};
}

bool CLabelUI::IsTextCut() {
    const CDuiString text = GetText();
    if (text.IsEmpty() || !m_pManager || m_bShowHtml) return false;
    const RECT area = GetTextArea();
    const int width = area.right - area.left, height = area.bottom - area.top;
    // Nothing of a control without room is drawn; of a text without room, nothing of it.
    if (m_rcItem.right <= m_rcItem.left || m_rcItem.bottom <= m_rcItem.top) return false;
    if (width <= 0 || height <= 0) return true;
    const TFontInfo* font = m_pManager->GetFontInfo(m_iFont);
    const void* face = font ? static_cast<const void*>(font->desc) : nullptr;
    if (m_textCut.font == face && m_textCut.font && m_textCut.style == m_uTextStyle && m_textCut.area.cx == width &&
        m_textCut.area.cy == height && m_textCut.text == text)
        return m_textCut.cut;
    const bool wraps = (m_uTextStyle & DT_WORDBREAK) && !(m_uTextStyle & DT_SINGLELINE);
    const SIZE size = CRenderEngine::GetTextSize(nullptr, m_pManager, text, m_iFont, m_uTextStyle & ~DT_END_ELLIPSIS,
                                                 wraps ? width : 9999);
    m_textCut = {text, {width, height}, face, m_uTextStyle, (!wraps && size.cx > width) || size.cy > height};
    return m_textCut.cut;
}

SIZE CLabelUI::EstimateSize(SIZE szAvailable) {
    SIZE s = CControlUI::EstimateSize(szAvailable);
    if (m_bAutoCalcWidth && m_pManager) {
        SIZE t = CRenderEngine::GetTextSize(nullptr, m_pManager, GetText(), m_iFont, m_uTextStyle);
        RECT p = GetTextPadding();
        s.cx = t.cx + p.left + p.right;
    }
    return s;
}

void CLabelUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    auto is = [n](const wchar_t* name) { return DuiCompareNoCase(n, name) == 0; };
    if (is(L"align")) {
        CDuiString s(v);
        m_uTextStyle &= ~(DT_CENTER | DT_RIGHT);
        if (s.Find(L"center") >= 0)
            m_uTextStyle |= DT_CENTER;
        else if (s.Find(L"right") >= 0)
            m_uTextStyle |= DT_RIGHT;
        Invalidate();
    } else if (is(L"valign")) {
        CDuiString s(v);
        m_uTextStyle &= ~(DT_VCENTER | DT_BOTTOM);
        if (s.Find(L"center") >= 0)
            m_uTextStyle |= DT_VCENTER;
        else if (s.Find(L"bottom") >= 0)
            m_uTextStyle |= DT_BOTTOM;
        Invalidate();
    } else if (is(L"endellipsis")) {
        if (ParseBoolUI(v))
            m_uTextStyle |= DT_END_ELLIPSIS;
        else
            m_uTextStyle &= ~DT_END_ELLIPSIS;
    } else if (is(L"singleline")) {
        if (ParseBoolUI(v)) {
            m_uTextStyle |= DT_SINGLELINE;
            m_uTextStyle &= ~DT_WORDBREAK;
        } else {
            m_uTextStyle &= ~DT_SINGLELINE;
            m_uTextStyle |= DT_WORDBREAK;
        }
    } else if (is(L"multiline") || is(L"wordbreak")) {
        if (ParseBoolUI(v)) {
            m_uTextStyle &= ~DT_SINGLELINE;
            m_uTextStyle |= DT_WORDBREAK;
        }
    } else if (is(L"font"))
        SetFont(ParseIntUI(v));
    else if (is(L"textcolor"))
        SetTextColor(ParseColorUI(v));
    else if (is(L"disabledtextcolor"))
        SetDisabledTextColor(ParseColorUI(v));
    else if (is(L"textpadding"))
        SetTextPadding(ParseRectUI(v));
    else if (is(L"showhtml"))
        SetShowHtml(ParseBoolUI(v));
    else if (is(L"autocalcwidth"))
        SetAutoCalcWidth(ParseBoolUI(v));
    else
        CControlUI::SetAttribute(n, v);
}

void CLabelUI::DrawTextIn(HDC hDC, RECT rc, const CDuiString& text, DWORD color) {
    RECT p = GetTextPadding();
    rc.left += p.left;
    rc.top += p.top;
    rc.right -= p.right;
    rc.bottom -= p.bottom;
    if (m_bShowHtml) {
        int links = 0;
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, text, color, nullptr, nullptr, links, m_iFont, m_uTextStyle);
    } else {
        CRenderEngine::DrawText(hDC, m_pManager, rc, text, color, m_iFont, m_uTextStyle);
    }
}

void CLabelUI::PaintText(HDC hDC) {
    CDuiString text = GetText();
    if (text.IsEmpty()) return;
    DWORD color = IsEnabled() ? m_dwTextColor : (m_dwDisabledTextColor ? m_dwDisabledTextColor : 0xFFA7A6AA);
    DrawTextIn(hDC, m_rcItem, text, color);
}

CTextUI::CTextUI() { m_uTextStyle = DT_WORDBREAK; }
LPCTSTR CTextUI::GetClass() const { return L"TextUI"; }
LPVOID CTextUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"Text") == 0) return this;
    return CLabelUI::GetInterface(n);
}

}  // namespace DuiLib
