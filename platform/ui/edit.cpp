#include "platform/ui/edit.h"

#include "platform/files/folders.h"
#include "platform/ui/display_backend.h"
#include "platform/ui/input_state.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cwctype>

namespace DuiLib {

namespace {

constexpr WPARAM kVkBack = 0x08, kVkReturn = 0x0D, kVkEnd = 0x23, kVkHome = 0x24, kVkLeft = 0x25, kVkRight = 0x27,
                 kVkDelete = 0x2E, kVkShift = 0x10, kVkControl = 0x11;

// Pixel x of the boundary before character `index` of `text`.
int TextX(CPaintManagerUI* pm, int font, const CDuiString& text, int index) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(s);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    TFontInfo* f = pm ? pm->GetFontInfo(font) : nullptr;
    if (f && f->desc) pango_layout_set_font_description(layout, f->desc);
    std::string utf8 = win::ToUtf8(text.Left(index).str());
    pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return w;
}

}  // namespace

CEditUI::CEditUI() {
    m_uTextStyle = DT_SINGLELINE | DT_VCENTER;
    SetCursor(UICURSOR_IBEAM);
}

LPCTSTR CEditUI::GetClass() const { return L"EditUI"; }
LPVOID CEditUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"Edit") == 0) return this;
    return CLabelUI::GetInterface(n);
}
UINT CEditUI::GetControlFlags() const { return IsEnabled() ? (UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : 0; }

void CEditUI::SetText(LPCTSTR pstrText) {
    CDuiString t(pstrText);
    if (static_cast<UINT>(t.GetLength()) > m_uMaxChar) t = t.Left(static_cast<int>(m_uMaxChar));
    m_sText = t;
    m_nCaret = m_nSelStart = t.GetLength();
    Invalidate();
}

void CEditUI::SetSel(long start, long end) {
    int len = m_sText.GetLength();
    if (start < 0) start = 0;
    if (end < 0 || end > len) end = len;
    if (start > len) start = len;
    m_nSelStart = static_cast<int>(start);
    m_nCaret = static_cast<int>(end);
    Invalidate();
}

void CEditUI::SetReplaceSel(LPCTSTR s) { ReplaceSelection(CDuiString(s), false); }

CDuiString CEditUI::DisplayText() const {
    if (!m_bPasswordMode) return m_sText;
    return CDuiString(std::wstring(static_cast<size_t>(m_sText.GetLength()), L'*'));
}

void CEditUI::ReplaceSelection(const CDuiString& with, bool notify) {
    int a = std::min(m_nCaret, m_nSelStart), b = std::max(m_nCaret, m_nSelStart);
    CDuiString insert = with;
    if (m_bNumberOnly) {
        CDuiString digits;
        for (int i = 0; i < insert.GetLength(); ++i)
            if (std::iswdigit(static_cast<wint_t>(insert[i]))) digits += insert[i];
        insert = digits;
    }
    int room = static_cast<int>(m_uMaxChar) - (m_sText.GetLength() - (b - a));
    if (room < 0) room = 0;
    if (insert.GetLength() > room) insert = insert.Left(room);
    if (insert.IsEmpty() && a == b) return;
    m_sText = m_sText.Left(a) + insert + m_sText.Mid(b);
    m_nCaret = m_nSelStart = a + insert.GetLength();
    Invalidate();
    if (notify && m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_TEXTCHANGED);
}

void CEditUI::ApplyRange() {
    if (!m_bNumberOnly || !m_bHasRange || m_sText.IsEmpty()) return;
    long v = std::wcstol(m_sText.GetData(), nullptr, 10);
    long c = std::clamp<long>(v, m_nMinNumber, std::max(m_nMinNumber, m_nMaxNumber));
    CDuiString s;
    s.Format(L"%ld", c);
    if (s != m_sText) {
        m_sText = s;
        m_nCaret = m_nSelStart = s.GetLength();
        Invalidate();
        if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_TEXTCHANGED);
    }
}

int CEditUI::HitChar(POINT pt) {
    RECT p = GetTextPadding();
    int x = pt.x - m_rcItem.left - p.left;
    CDuiString shown = DisplayText();
    int best = 0, bestDist = 1 << 30;
    for (int i = 0; i <= shown.GetLength(); ++i) {
        int d = std::abs(TextX(m_pManager, m_iFont, shown, i) - x);
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

void CEditUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        if (m_pParent) m_pParent->DoEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
            m_bFocused = true;
            if (!m_bDragging) SetSelAll();
            Invalidate();
            return;
        case UIEVENT_KILLFOCUS:
            m_bFocused = false;
            ApplyRange();
            m_nSelStart = m_nCaret;
            Invalidate();
            return;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (!IsEnabled()) return;
            m_bDragging = true;
            if (event.Type == UIEVENT_DBLCLICK)
                SetSelAll();
            else {
                m_nCaret = HitChar(event.ptMouse);
                if (!(event.wKeyState & UIKEY_SHIFT)) m_nSelStart = m_nCaret;
            }
            Invalidate();
            return;
        case UIEVENT_MOUSEMOVE:
            if (m_bDragging) {
                m_nCaret = HitChar(event.ptMouse);
                Invalidate();
            }
            return;
        case UIEVENT_BUTTONUP:
            m_bDragging = false;
            return;
        case UIEVENT_MOUSEENTER:
            m_uButtonState |= UISTATE_HOT;
            Invalidate();
            return;
        case UIEVENT_MOUSELEAVE:
            m_uButtonState &= ~UISTATE_HOT;
            Invalidate();
            return;
        case UIEVENT_KEYDOWN: {
            bool shift = IsKeyDownUI(kVkShift), ctrl = IsKeyDownUI(kVkControl);
            int len = m_sText.GetLength();
            auto move = [&](int to) {
                m_nCaret = std::clamp(to, 0, len);
                if (!shift) m_nSelStart = m_nCaret;
                Invalidate();
            };
            switch (event.wParam) {
                case kVkReturn:
                    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_RETURN);
                    return;
                case kVkLeft:
                    move(m_nCaret - 1);
                    return;
                case kVkRight:
                    move(m_nCaret + 1);
                    return;
                case kVkHome:
                    move(0);
                    return;
                case kVkEnd:
                    move(len);
                    return;
                case kVkBack:
                    if (m_bReadOnly) return;
                    if (m_nCaret == m_nSelStart && m_nCaret > 0) m_nSelStart = m_nCaret - 1;
                    ReplaceSelection(L"", true);
                    return;
                case kVkDelete:
                    if (m_bReadOnly) return;
                    if (m_nCaret == m_nSelStart && m_nCaret < len) m_nSelStart = m_nCaret + 1;
                    ReplaceSelection(L"", true);
                    return;
                default:
                    break;
            }
            if (ctrl) {
                int a = std::min(m_nCaret, m_nSelStart), b = std::max(m_nCaret, m_nSelStart);
                if (event.wParam == 'A') {
                    SetSelAll();
                    return;
                }
                if ((event.wParam == 'C' || event.wParam == 'X') && b > a && !m_bPasswordMode) {
                    GetDisplayBackend().SetClipboardText(m_sText.Mid(a, b - a).str());
                    if (event.wParam == 'X' && !m_bReadOnly) ReplaceSelection(L"", true);
                    return;
                }
                if (event.wParam == 'V' && !m_bReadOnly) {
                    CDuiString clip(GetDisplayBackend().GetClipboardText());
                    clip.Replace(L"\r", L"");
                    clip.Replace(L"\n", L" ");
                    ReplaceSelection(clip, true);
                    return;
                }
            }
            break;
        }
        case UIEVENT_CHAR: {
            if (m_bReadOnly || IsKeyDownUI(kVkControl)) return;
            wchar_t ch = static_cast<wchar_t>(event.wParam);
            if (ch < 0x20 || ch == 0x7F) return;  // control characters come as keys
            if (m_bNumberOnly && !std::iswdigit(static_cast<wint_t>(ch))) return;
            ReplaceSelection(CDuiString(ch), true);
            return;
        }
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

void CEditUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    auto is = [n](const wchar_t* name) { return DuiCompareNoCase(n, name) == 0; };
    if (is(L"readonly"))
        SetReadOnly(ParseBoolUI(v));
    else if (is(L"numberonly"))
        SetNumberOnly(ParseBoolUI(v));
    else if (is(L"password"))
        SetPasswordMode(ParseBoolUI(v));
    else if (is(L"maxchar"))
        SetMaxChar(static_cast<UINT>(std::max(0, ParseIntUI(v))));
    else if (is(L"minnum") || is(L"minnumber")) {
        m_nMinNumber = ParseIntUI(v);
        m_bHasRange = true;
    } else if (is(L"maxnum") || is(L"maxnumber")) {
        m_nMaxNumber = ParseIntUI(v);
        m_bHasRange = true;
    } else if (is(L"tipvalue"))
        SetTipValue(v);
    else if (is(L"tipvaluecolor"))
        SetTipValueColor(ParseColorUI(v));
    else if (is(L"nativebkcolor") || is(L"nativetextcolor"))
        SetNativeEditBkColor(ParseColorUI(v));
    else if (is(L"normalimage"))
        m_sNormalImage = v;
    else if (is(L"hotimage"))
        m_sHotImage = v;
    else if (is(L"focusedimage"))
        m_sFocusedImage = v;
    else if (is(L"disabledimage"))
        m_sDisabledImage = v;
    else if (is(L"text"))
        SetText(v);
    else
        CLabelUI::SetAttribute(n, v);
}

void CEditUI::PaintStatusImage(HDC hDC) {
    const CDuiString* img = &m_sNormalImage;
    if (!IsEnabled() && !m_sDisabledImage.IsEmpty())
        img = &m_sDisabledImage;
    else if (IsFocused() && !m_sFocusedImage.IsEmpty())
        img = &m_sFocusedImage;
    else if ((m_uButtonState & UISTATE_HOT) && !m_sHotImage.IsEmpty())
        img = &m_sHotImage;
    if (!img->IsEmpty()) DrawImage(hDC, *img);
    if (IsFocused() && m_dwEditBkColor) CRenderEngine::DrawColor(hDC, m_rcItem, m_dwEditBkColor | 0xFF000000);
}

void CEditUI::PaintText(HDC hDC) {
    RECT p = GetTextPadding();
    RECT rc = {m_rcItem.left + p.left, m_rcItem.top + p.top, m_rcItem.right - p.right, m_rcItem.bottom - p.bottom};
    CDuiString shown = DisplayText();
    if (shown.IsEmpty() && !IsFocused() && !m_sTipValue.IsEmpty()) {
        CRenderEngine::DrawText(hDC, m_pManager, rc, m_sTipValue, m_dwTipValueColor, m_iFont, m_uTextStyle);
        return;
    }
    UINT style = (m_uTextStyle & ~(DT_CENTER | DT_RIGHT | DT_END_ELLIPSIS)) | DT_SINGLELINE | DT_VCENTER;
    if (IsFocused() && m_nCaret != m_nSelStart) {
        int a = std::min(m_nCaret, m_nSelStart), b = std::max(m_nCaret, m_nSelStart);
        RECT sel = rc;
        sel.left = rc.left + TextX(m_pManager, m_iFont, shown, a);
        sel.right = rc.left + TextX(m_pManager, m_iFont, shown, b);
        CRenderEngine::DrawColor(hDC, sel, 0xFF3399FF);
    }
    DWORD color = IsEnabled() ? m_dwTextColor : (m_dwDisabledTextColor ? m_dwDisabledTextColor : 0xFFA7A6AA);
    CRenderEngine::DrawText(hDC, m_pManager, rc, shown, color, m_iFont, style);
    if (IsFocused() && !m_bReadOnly) {
        int x = rc.left + TextX(m_pManager, m_iFont, shown, m_nCaret);
        TFontInfo* f = m_pManager ? m_pManager->GetFontInfo(m_iFont) : nullptr;
        int h = f ? f->tmHeight : 14;
        int mid = (rc.top + rc.bottom) / 2;
        CRenderEngine::DrawColor(hDC, {x, mid - h / 2, x + 1, mid + h / 2}, m_dwTextColor | 0xFF000000);
    }
}

CRichEditUI::CRichEditUI() {
    m_uTextStyle = DT_WORDBREAK;
    m_uMaxChar = 30000;
}
LPCTSTR CRichEditUI::GetClass() const { return L"RichEditUI"; }
LPVOID CRichEditUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"RichEdit") == 0) return this;
    return CEditUI::GetInterface(n);
}
void CRichEditUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    if (DuiCompareNoCase(n, L"multiline") == 0 || DuiCompareNoCase(n, L"vscrollbar") == 0 ||
        DuiCompareNoCase(n, L"autovscroll") == 0 || DuiCompareNoCase(n, L"rich") == 0)
        return;
    if (DuiCompareNoCase(n, L"wantreturn") == 0) {
        m_bWantReturn = ParseBoolUI(v);
        return;
    }
    CEditUI::SetAttribute(n, v);
}

}  // namespace DuiLib
