#include "platform/ui/button.h"

#include "platform/ui/container.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"

#include <algorithm>
#include <cmath>

namespace DuiLib {

namespace {
constexpr WPARAM kVkReturn = 0x0D;
constexpr WPARAM kVkSpace = 0x20;
}  // namespace

CButtonUI::CButtonUI() { m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

LPCTSTR CButtonUI::GetClass() const { return L"ButtonUI"; }
LPVOID CButtonUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"Button") == 0) return this;
    return CLabelUI::GetInterface(n);
}

UINT CButtonUI::GetControlFlags() const {
    return (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0) | (IsEnabled() ? UIFLAG_SETCURSOR : 0);
}

bool CButtonUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_CLICK);
    BindTriggerTabSel();
    return true;
}

void CButtonUI::BindTriggerTabSel(int iSetSelectIndex) {
    if (m_sBindTabLayoutName.IsEmpty() || !m_pManager) return;
    if (iSetSelectIndex < 0) iSetSelectIndex = m_iBindTabIndex;
    if (iSetSelectIndex < 0) return;
    auto* tab = static_cast<CTabLayoutUI*>(m_pManager->FindControl(m_sBindTabLayoutName));
    if (!tab || !tab->GetInterface(L"TabLayout")) return;
    tab->SelectItem(iSetSelectIndex);
}

void CButtonUI::SetEnabled(bool bEnable) {
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled()) m_uButtonState = 0;
}

void CButtonUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        if (m_pParent)
            m_pParent->DoEvent(event);
        else
            CLabelUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS:
            Invalidate();
            break;
        case UIEVENT_KEYDOWN:
            if (IsKeyboardEnabled() && (event.chKey == kVkSpace || event.chKey == kVkReturn)) {
                Activate();
                return;
            }
            break;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (PtInRectUI(m_rcItem, event.ptMouse) && IsEnabled()) {
                m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSEMOVE:
            if (m_uButtonState & UISTATE_CAPTURED) {
                if (PtInRectUI(m_rcItem, event.ptMouse))
                    m_uButtonState |= UISTATE_PUSHED;
                else
                    m_uButtonState &= ~UISTATE_PUSHED;
                Invalidate();
            }
            return;
        case UIEVENT_BUTTONUP:
            if (m_uButtonState & UISTATE_CAPTURED) {
                m_uButtonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
                Invalidate();
                if (PtInRectUI(m_rcItem, event.ptMouse)) Activate();
            }
            return;
        case UIEVENT_CONTEXTMENU:
            if (IsContextMenuUsed() && m_pManager)
                m_pManager->SendNotify(this, DUI_MSGTYPE_MENU, event.wParam, event.lParam);
            return;
        case UIEVENT_MOUSEENTER:
            if (IsEnabled()) {
                m_uButtonState |= UISTATE_HOT;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSELEAVE:
            if (IsEnabled()) {
                m_uButtonState &= ~UISTATE_HOT;
                Invalidate();
            }
            return;
        case UIEVENT_SETCURSOR:
            return;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    auto is = [n](const wchar_t* name) { return DuiCompareNoCase(n, name) == 0; };
    if (is(L"normalimage"))
        SetNormalImage(v);
    else if (is(L"hotimage"))
        SetHotImage(v);
    else if (is(L"pushedimage"))
        SetPushedImage(v);
    else if (is(L"focusedimage"))
        SetFocusedImage(v);
    else if (is(L"disabledimage"))
        SetDisabledImage(v);
    else if (is(L"hotforeimage"))
        m_sHotForeImage = v;
    else if (is(L"pushedforeimage"))
        m_sPushedForeImage = v;
    else if (is(L"hotbkcolor"))
        SetHotBkColor(ParseColorUI(v));
    else if (is(L"pushedbkcolor"))
        SetPushedBkColor(ParseColorUI(v));
    else if (is(L"disabledbkcolor"))
        m_dwDisabledBkColor = ParseColorUI(v);
    else if (is(L"hottextcolor"))
        SetHotTextColor(ParseColorUI(v));
    else if (is(L"pushedtextcolor"))
        SetPushedTextColor(ParseColorUI(v));
    else if (is(L"focusedtextcolor"))
        SetFocusedTextColor(ParseColorUI(v));
    else if (is(L"bindtabindex"))
        BindTabIndex(ParseIntUI(v));
    else if (is(L"bindtablayoutname"))
        BindTabLayoutName(v);
    else
        CLabelUI::SetAttribute(n, v);
}

void CButtonUI::PaintBkColor(HDC hDC) {
    DWORD c = 0;
    if (!IsEnabled())
        c = m_dwDisabledBkColor;
    else if (m_uButtonState & UISTATE_PUSHED)
        c = m_dwPushedBkColor;
    else if (m_uButtonState & UISTATE_HOT)
        c = m_dwHotBkColor;
    if (c)
        CRenderEngine::DrawColor(hDC, m_rcItem, GetAdjustColor(c));
    else
        CLabelUI::PaintBkColor(hDC);
}

void CButtonUI::PaintStatusImage(HDC hDC) {
    if (IsFocused())
        m_uButtonState |= UISTATE_FOCUSED;
    else
        m_uButtonState &= ~UISTATE_FOCUSED;
    if (!IsEnabled())
        m_uButtonState |= UISTATE_DISABLED;
    else
        m_uButtonState &= ~UISTATE_DISABLED;
    const CDuiString* img = &m_sNormalImage;
    if ((m_uButtonState & UISTATE_DISABLED) && !m_sDisabledImage.IsEmpty())
        img = &m_sDisabledImage;
    else if ((m_uButtonState & UISTATE_PUSHED) && !m_sPushedImage.IsEmpty())
        img = &m_sPushedImage;
    else if ((m_uButtonState & UISTATE_HOT) && !m_sHotImage.IsEmpty())
        img = &m_sHotImage;
    else if ((m_uButtonState & UISTATE_FOCUSED) && !m_sFocusedImage.IsEmpty())
        img = &m_sFocusedImage;
    if (!img->IsEmpty()) DrawImage(hDC, *img);
    if ((m_uButtonState & UISTATE_PUSHED) && !m_sPushedForeImage.IsEmpty())
        DrawImage(hDC, m_sPushedForeImage);
    else if ((m_uButtonState & UISTATE_HOT) && !m_sHotForeImage.IsEmpty())
        DrawImage(hDC, m_sHotForeImage);
}

void CButtonUI::PaintText(HDC hDC) {
    CDuiString text = GetText();
    if (text.IsEmpty()) return;
    DWORD color = m_dwTextColor;
    if (!IsEnabled())
        color = m_dwDisabledTextColor ? m_dwDisabledTextColor : 0xFFA7A6AA;
    else if ((m_uButtonState & UISTATE_PUSHED) && m_dwPushedTextColor)
        color = m_dwPushedTextColor;
    else if ((m_uButtonState & UISTATE_HOT) && m_dwHotTextColor)
        color = m_dwHotTextColor;
    else if (IsFocused() && m_dwFocusedTextColor)
        color = m_dwFocusedTextColor;
    DrawTextIn(hDC, m_rcItem, text, color);
}

// ---- option ---------------------------------------------------------------------

COptionUI::~COptionUI() {
    if (!m_sGroupName.IsEmpty() && m_pManager) m_pManager->RemoveOptionGroup(m_sGroupName, this);
}

LPCTSTR COptionUI::GetClass() const { return L"OptionUI"; }
LPVOID COptionUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"Option") == 0) return this;
    return CButtonUI::GetInterface(n);
}

void COptionUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
    if (m_pManager && m_pManager != pManager && !m_sGroupName.IsEmpty())
        m_pManager->RemoveOptionGroup(m_sGroupName, this);
    CButtonUI::SetManager(pManager, pParent, bInit);
    if (bInit && !m_sGroupName.IsEmpty() && m_pManager) m_pManager->AddOptionGroup(m_sGroupName, this);
}

const CControlUI* COptionUI::GroupScope() const { return m_pParent ? m_pParent->OptionScope() : this; }

void COptionUI::SetGroup(LPCTSTR name) {
    CDuiString g(name);
    if (g == m_sGroupName) return;
    if (!m_sGroupName.IsEmpty() && m_pManager) m_pManager->RemoveOptionGroup(m_sGroupName, this);
    m_sGroupName = g;
    if (!m_sGroupName.IsEmpty() && m_pManager) m_pManager->AddOptionGroup(m_sGroupName, this);
    Selected(m_bSelected, false);
}

void COptionUI::Selected(bool bSelected, bool bTriggerEvent) {
    if (m_bSelected == bSelected) return;
    m_bSelected = bSelected;
    if (m_bSelected)
        m_uButtonState |= UISTATE_SELECTED;
    else
        m_uButtonState &= ~UISTATE_SELECTED;
    if (m_pManager) {
        if (!m_sGroupName.IsEmpty()) {
            if (m_bSelected) {
                CStdPtrArray* group = m_pManager->GetOptionGroup(m_sGroupName);
                if (group) {
                    // Only the members under this option's scope: the same
                    // group on another page keeps its own choice.
                    const CControlUI* scope = GroupScope();
                    CStdPtrArray members = *group;
                    for (CControlUI* c : members) {
                        auto* o = static_cast<COptionUI*>(c->GetInterface(L"Option"));
                        if (o && o != this && o->GroupScope() == scope) o->Selected(false, bTriggerEvent);
                    }
                }
                if (bTriggerEvent) m_pManager->SendNotify(this, DUI_MSGTYPE_SELECTCHANGED, m_bSelected, 0);
            }
        } else if (bTriggerEvent) {
            m_pManager->SendNotify(this, DUI_MSGTYPE_SELECTCHANGED, m_bSelected, 0);
        }
        if (m_bSelected) BindTriggerTabSel();
    }
    Invalidate();
}

bool COptionUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_CLICK);
    if (!m_sGroupName.IsEmpty()) {
        Selected(true);
    } else {
        Selected(!m_bSelected);
        // A check box also says that it was clicked.
        if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_CHECKCLICK, m_bSelected, 0);
    }
    return true;
}

void COptionUI::SetEnabled(bool bEnable) {
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled()) m_uButtonState = m_bSelected ? UISTATE_SELECTED : 0;
}

void COptionUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    auto is = [n](const wchar_t* name) { return DuiCompareNoCase(n, name) == 0; };
    if (is(L"group"))
        SetGroup(v);
    else if (is(L"selected"))
        Selected(ParseBoolUI(v), false);
    else if (is(L"selectedimage"))
        SetSelectedImage(v);
    else if (is(L"selectedhotimage"))
        m_sSelectedHotImage = v;
    else if (is(L"selectedpushedimage"))
        m_sSelectedPushedImage = v;
    else if (is(L"selecteddisabledimage"))
        m_sSelectedDisabledImage = v;
    else if (is(L"selectedforeimage"))
        m_sSelectedForeImage = v;
    else if (is(L"selectedtextcolor"))
        SetSelectedTextColor(ParseColorUI(v));
    else if (is(L"selectedbkcolor"))
        SetSelectedBkColor(ParseColorUI(v));
    else if (is(L"selectedbordercolor"))
        SetSelectedBorderColor(ParseColorUI(v));
    else if (is(L"indicator"))
        SetIndicator(DuiCompareNoCase(v, L"radio") == 0   ? Indicator::Radio
                     : DuiCompareNoCase(v, L"check") == 0 ? Indicator::Check
                                                          : Indicator::None);
    else
        CButtonUI::SetAttribute(n, v);
}

namespace {
constexpr int kIndicatorSize = 14;
constexpr int kIndicatorGap = 6;
constexpr DWORD kIndicatorRing = 0xFF8A9099;
constexpr DWORD kIndicatorAccent = 0xFF2F8FFF;
constexpr DWORD kIndicatorDisabled = 0xFF4A505A;
constexpr DWORD kSwatchFrameInner = 0xFF101214;

void SetSourceArgb(HDC hDC, DWORD c) {
    cairo_set_source_rgba(hDC, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                          ((c >> 24) & 0xFF) / 255.0);
}
}  // namespace

void COptionUI::SetIndicator(Indicator indicator) {
    m_indicator = indicator;
    // The text stands left, right of the indicator.
    if (indicator != Indicator::None) m_uTextStyle = (m_uTextStyle & ~(DT_CENTER | DT_RIGHT)) | DT_LEFT;
    Invalidate();
}

RECT COptionUI::IndicatorRect() const {
    if (m_indicator == Indicator::None) return {};
    const int size = std::min(Scaled(kIndicatorSize), std::min(GetWidth(), GetHeight()));
    const int left = GetText().IsEmpty() ? (m_rcItem.left + m_rcItem.right - size) / 2 : m_rcItem.left;
    const int top = (m_rcItem.top + m_rcItem.bottom - size) / 2;
    return {left, top, left + size, top + size};
}

RECT COptionUI::GetTextArea() const {
    RECT area = CButtonUI::GetTextArea();
    if (m_indicator != Indicator::None)
        area.left = IndicatorRect().right + Scaled(kIndicatorGap) + GetTextPadding().left;
    return area;
}

void COptionUI::PaintIndicator(HDC hDC) {
    const RECT r = IndicatorRect();
    const double size = r.right - r.left;
    if (size <= 0) return;
    const DWORD accent = !IsEnabled()          ? kIndicatorDisabled
                         : m_dwSelectedBkColor ? m_dwSelectedBkColor
                                               : kIndicatorAccent;
    const DWORD ring = !IsEnabled() ? kIndicatorDisabled : (m_uButtonState & UISTATE_HOT) ? accent : kIndicatorRing;
    const double line = std::max(1.0, size / 8);
    const double cx = r.left + size / 2, cy = r.top + size / 2;
    cairo_save(hDC);
    cairo_new_path(hDC);
    cairo_set_line_width(hDC, line);
    if (m_indicator == Indicator::Radio) {
        cairo_arc(hDC, cx, cy, size / 2 - line / 2, 0, 2 * M_PI);
        SetSourceArgb(hDC, m_bSelected ? accent : ring);
        cairo_stroke(hDC);
        if (m_bSelected) {
            cairo_arc(hDC, cx, cy, size / 4, 0, 2 * M_PI);
            cairo_fill(hDC);
        }
    } else {
        cairo_rectangle(hDC, r.left + line / 2, r.top + line / 2, size - line, size - line);
        if (m_bSelected) {
            SetSourceArgb(hDC, accent);
            cairo_fill_preserve(hDC);
            cairo_stroke(hDC);
            // The tick.
            cairo_set_line_width(hDC, std::max(1.5, size / 7));
            cairo_move_to(hDC, r.left + size * 0.22, r.top + size * 0.52);
            cairo_line_to(hDC, r.left + size * 0.42, r.top + size * 0.72);
            cairo_line_to(hDC, r.left + size * 0.78, r.top + size * 0.30);
            SetSourceArgb(hDC, 0xFFFFFFFF);
            cairo_stroke(hDC);
        } else {
            SetSourceArgb(hDC, ring);
            cairo_stroke(hDC);
        }
    }
    cairo_restore(hDC);
}

void COptionUI::PaintBkColor(HDC hDC) {
    if (m_bSelected && m_dwSelectedBkColor && m_indicator == Indicator::None)
        CRenderEngine::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwSelectedBkColor));
    else
        CButtonUI::PaintBkColor(hDC);
}

void COptionUI::PaintStatusImage(HDC hDC) {
    if (m_indicator != Indicator::None) PaintIndicator(hDC);
    if (m_bSelected) {
        const CDuiString* img = &m_sSelectedImage;
        if (!IsEnabled() && !m_sSelectedDisabledImage.IsEmpty())
            img = &m_sSelectedDisabledImage;
        else if ((m_uButtonState & UISTATE_PUSHED) && !m_sSelectedPushedImage.IsEmpty())
            img = &m_sSelectedPushedImage;
        else if ((m_uButtonState & UISTATE_HOT) && !m_sSelectedHotImage.IsEmpty())
            img = &m_sSelectedHotImage;
        if (!img->IsEmpty()) {
            DrawImage(hDC, *img);
            if (!m_sSelectedForeImage.IsEmpty()) DrawImage(hDC, m_sSelectedForeImage);
            return;
        }
    }
    CButtonUI::PaintStatusImage(hDC);
    if (m_bSelected && !m_sSelectedForeImage.IsEmpty()) DrawImage(hDC, m_sSelectedForeImage);
}

void COptionUI::PaintText(HDC hDC) {
    if (m_indicator != Indicator::None) {
        // The text starts right of the indicator.
        CDuiString text = GetText();
        if (text.IsEmpty()) return;
        RECT rc = m_rcItem;
        rc.left = IndicatorRect().right + Scaled(kIndicatorGap);
        DWORD color = m_bSelected && m_dwSelectedTextColor ? m_dwSelectedTextColor : m_dwTextColor;
        if (!IsEnabled()) color = m_dwDisabledTextColor ? m_dwDisabledTextColor : 0xFFA7A6AA;
        DrawTextIn(hDC, rc, text, color);
        return;
    }
    if (m_bSelected && m_dwSelectedTextColor && IsEnabled()) {
        CDuiString text = GetText();
        if (!text.IsEmpty()) DrawTextIn(hDC, m_rcItem, text, m_dwSelectedTextColor);
        return;
    }
    CButtonUI::PaintText(hDC);
}

void COptionUI::PaintBorder(HDC hDC) {
    if (!m_bSelected || !m_dwSelectedBorderColor) return CButtonUI::PaintBorder(hDC);
    // Two tones, thick enough to be seen on a swatch of any colour (even the
    // frame's own) at any scale: the frame, and a dark line inside it.
    const int width = std::max(2, Scaled(2));
    CRenderEngine::DrawRect(hDC, m_rcItem, width, GetAdjustColor(m_dwSelectedBorderColor), 0);
    const RECT inner{m_rcItem.left + width, m_rcItem.top + width, m_rcItem.right - width, m_rcItem.bottom - width};
    CRenderEngine::DrawRect(hDC, inner, std::max(1, width / 2), kSwatchFrameInner, 0);
}

LPCTSTR CCheckBoxUI::GetClass() const { return L"CheckBoxUI"; }
LPVOID CCheckBoxUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"CheckBox") == 0) return this;
    return COptionUI::GetInterface(n);
}

}  // namespace DuiLib
