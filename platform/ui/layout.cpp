// Vertical, horizontal and tab layouts, and the scroll bar.

#include "platform/ui/container.h"

#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"

#include <algorithm>

namespace DuiLib {

namespace {

// Stacks the visible, non-floating children along one axis. `vertical`
// chooses the axis; the other axis is filled (or the child's fixed size,
// placed by the child alignment).
void StackChildren(CContainerUI* self, std::vector<CControlUI*>& items, RECT rc, bool vertical, int childPadding,
                   UINT align, UINT valign, SIZE scroll, int& required, int& crossRequired) {
    auto along = [vertical](const RECT& r) { return vertical ? r.bottom - r.top : r.right - r.left; };
    auto across = [vertical](const RECT& r) { return vertical ? r.right - r.left : r.bottom - r.top; };
    const int avail = along(rc);
    const int cross = across(rc);
    int adjustable = 0, fixed = 0, visible = 0;
    for (CControlUI* c : items) {
        if (!c->IsVisible() || c->IsFloat()) continue;
        RECT pad = c->GetPadding();
        SIZE sz = c->EstimateSize({rc.right - rc.left, rc.bottom - rc.top});
        int len = vertical ? sz.cy : sz.cx;
        int mn = vertical ? c->GetMinHeight() : c->GetMinWidth();
        int mx = vertical ? c->GetMaxHeight() : c->GetMaxWidth();
        if (len == 0) {
            ++adjustable;
            fixed += mn;
        } else {
            fixed += std::clamp(len, mn, std::max(mn, mx));
        }
        fixed += vertical ? pad.top + pad.bottom : pad.left + pad.right;
        ++visible;
    }
    if (visible > 1) fixed += (visible - 1) * childPadding;
    int expand = adjustable > 0 ? std::max(0, (avail - fixed) / adjustable) : 0;
    int remainder = adjustable > 0 ? std::max(0, avail - fixed - expand * adjustable) : 0;
    int pos = (vertical ? rc.top : rc.left) - (vertical ? scroll.cy : scroll.cx);
    // Alignment of the whole run when nothing stretches.
    if (adjustable == 0 && fixed < avail) {
        UINT a = vertical ? valign : align;
        if (a & (vertical ? DT_VCENTER : DT_CENTER))
            pos += (avail - fixed) / 2;
        else if (a & (vertical ? DT_BOTTOM : DT_RIGHT))
            pos += avail - fixed;
    }
    int seen = 0;
    crossRequired = 0;
    for (CControlUI* c : items) {
        if (!c->IsVisible() || c->IsFloat()) continue;
        RECT pad = c->GetPadding();
        SIZE sz = c->EstimateSize({rc.right - rc.left, rc.bottom - rc.top});
        int len = vertical ? sz.cy : sz.cx;
        int mn = vertical ? c->GetMinHeight() : c->GetMinWidth();
        int mx = vertical ? c->GetMaxHeight() : c->GetMaxWidth();
        if (len == 0) {
            len = expand + mn;
            if (++seen == adjustable) len += remainder;
        }
        len = std::clamp(len, mn, std::max(mn, mx));
        int crossLen = vertical ? sz.cx : sz.cy;
        int cmn = vertical ? c->GetMinWidth() : c->GetMinHeight();
        int cmx = vertical ? c->GetMaxWidth() : c->GetMaxHeight();
        int crossPad = vertical ? pad.left + pad.right : pad.top + pad.bottom;
        int crossStart = (vertical ? rc.left + pad.left : rc.top + pad.top) - (vertical ? scroll.cx : scroll.cy);
        if (crossLen == 0) crossLen = cross - crossPad;
        crossLen = std::clamp(crossLen, cmn, std::max(cmn, cmx));
        UINT ca = vertical ? align : valign;
        int room = cross - crossPad - crossLen;
        if (room > 0) {
            if (ca & (vertical ? DT_CENTER : DT_VCENTER))
                crossStart += room / 2;
            else if (ca & (vertical ? DT_RIGHT : DT_BOTTOM))
                crossStart += room;
        }
        crossRequired = std::max(crossRequired, crossLen + crossPad);
        RECT r;
        if (vertical) {
            pos += pad.top;
            r = {crossStart, pos, crossStart + crossLen, pos + len};
            pos += len + pad.bottom + childPadding;
        } else {
            pos += pad.left;
            r = {pos, crossStart, pos + len, crossStart + crossLen};
            pos += len + pad.right + childPadding;
        }
        c->SetPos(r, false);
    }
    required = fixed + (adjustable > 0 ? 0 : 0);
    (void)self;
}

}  // namespace

LPCTSTR CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }
LPVOID CVerticalLayoutUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"VerticalLayout") == 0) return this;
    return CContainerUI::GetInterface(n);
}

void CVerticalLayoutUI::SetPos(RECT rc, bool bNeedInvalidate) {
    CControlUI::SetPos(rc, bNeedInvalidate);
    RECT inner = GetClientPos();
    int required = 0, crossRequired = 0;
    StackChildren(this, m_items, inner, true, GetChildPadding(), m_iChildAlign, m_iChildVAlign, GetScrollPos(),
                  required, crossRequired);
    for (int i = 0; i < GetCount(); ++i)
        if (m_items[static_cast<size_t>(i)]->IsVisible() && m_items[static_cast<size_t>(i)]->IsFloat()) SetFloatPos(i);
    ProcessScrollBar(inner, crossRequired, required);
}

LPCTSTR CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }
LPVOID CHorizontalLayoutUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"HorizontalLayout") == 0) return this;
    return CContainerUI::GetInterface(n);
}

void CHorizontalLayoutUI::SetPos(RECT rc, bool bNeedInvalidate) {
    CControlUI::SetPos(rc, bNeedInvalidate);
    m_rcTrim = RECT{};
    RECT inner = GetClientPos();
    if (m_bWholeItems) {
        // The children's width and the padding between them make one step;
        // the view holds as many whole steps as fit, at least one.
        const auto first =
            std::find_if(m_items.begin(), m_items.end(), [](CControlUI* c) { return c->IsVisible() && !c->IsFloat(); });
        const int pad = GetChildPadding();
        const int step = first == m_items.end() ? 0 : (*first)->GetFixedWidth() + pad;
        const long width = inner.right - inner.left;
        if (step > 0 && width > 0) {
            const long shown = std::max<long>(1, (width + pad) / step) * step - pad;
            if (shown < width) {
                m_rcTrim.left = (width - shown) / 2;
                m_rcTrim.right = width - shown - m_rcTrim.left;
                inner = GetClientPos();
            }
        }
    }
    int required = 0, crossRequired = 0;
    StackChildren(this, m_items, inner, false, GetChildPadding(), m_iChildAlign, m_iChildVAlign, GetScrollPos(),
                  required, crossRequired);
    for (int i = 0; i < GetCount(); ++i)
        if (m_items[static_cast<size_t>(i)]->IsVisible() && m_items[static_cast<size_t>(i)]->IsFloat()) SetFloatPos(i);
    ProcessScrollBar(inner, required, crossRequired);
}

void CHorizontalLayoutUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    if (DuiCompareNoCase(n, L"wholeitems") == 0)
        m_bWholeItems = ParseBoolUI(v);
    else
        CContainerUI::SetAttribute(n, v);
}

// ---- tab layout ------------------------------------------------------------------

LPCTSTR CTabLayoutUI::GetClass() const { return L"TabLayoutUI"; }
LPVOID CTabLayoutUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"TabLayout") == 0) return this;
    return CContainerUI::GetInterface(n);
}

bool CTabLayoutUI::Add(CControlUI* c) { return AddAt(c, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* c, int iIndex) {
    if (!CContainerUI::AddAt(c, iIndex)) return false;
    if (m_iCurSel == -1 && c->IsVisible()) {
        m_iCurSel = iIndex;
    } else {
        if (m_iCurSel >= iIndex) ++m_iCurSel;
        c->SetVisible(false);
    }
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* c, bool bDoNotDestroy) {
    int index = GetItemIndex(c);
    if (index < 0) return false;
    if (!CContainerUI::RemoveAt(index, bDoNotDestroy)) return false;
    if (m_iCurSel == index) {
        m_iCurSel = -1;
        if (GetCount() > 0) SelectItem(std::min(index, GetCount() - 1), false);
    } else if (m_iCurSel > index) {
        --m_iCurSel;
    }
    return true;
}

void CTabLayoutUI::RemoveAll() {
    m_iCurSel = -1;
    CContainerUI::RemoveAll();
}

bool CTabLayoutUI::SelectItem(int iIndex, bool bTriggerEvent) {
    if (iIndex < 0 || iIndex >= GetCount()) return false;
    if (iIndex == m_iCurSel) return true;
    int old = m_iCurSel;
    m_iCurSel = iIndex;
    for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == iIndex);
    NeedParentUpdate();
    if (m_pManager && bTriggerEvent) m_pManager->SendNotify(this, L"tabselect", m_iCurSel, old);
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* c, bool bTriggerEvent) { return SelectItem(GetItemIndex(c), bTriggerEvent); }

void CTabLayoutUI::SetPos(RECT rc, bool bNeedInvalidate) {
    CControlUI::SetPos(rc, bNeedInvalidate);
    RECT inner = GetClientPos();
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = GetItemAt(i);
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        RECT pad = c->GetPadding();
        RECT r = {inner.left + pad.left, inner.top + pad.top, inner.right - pad.right, inner.bottom - pad.bottom};
        SIZE sz = c->EstimateSize({r.right - r.left, r.bottom - r.top});
        if (sz.cx > 0) r.right = r.left + sz.cx;
        if (sz.cy > 0) r.bottom = r.top + sz.cy;
        c->SetPos(r, false);
    }
}

void CTabLayoutUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    if (DuiCompareNoCase(n, L"selectedid") == 0)
        SelectItem(ParseIntUI(v));
    else
        CContainerUI::SetAttribute(n, v);
}

// ---- scroll bar -----------------------------------------------------------------

LPCTSTR CScrollBarUI::GetClass() const { return L"ScrollBarUI"; }
LPVOID CScrollBarUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"ScrollBar") == 0) return this;
    return CControlUI::GetInterface(n);
}

void CScrollBarUI::SetScrollRange(int nRange) {
    m_nRange = std::max(0, nRange);
    if (m_nScrollPos > m_nRange) m_nScrollPos = m_nRange;
    Invalidate();
}

void CScrollBarUI::SetScrollPos(int nPos) {
    m_nScrollPos = std::clamp(nPos, 0, m_nRange);
    Invalidate();
}

int CScrollBarUI::GetThickness() const { return Scaled(m_nThickness); }

RECT CScrollBarUI::GetThumbRect() const {
    RECT r = m_rcItem;
    int len = m_bHorizontal ? r.right - r.left : r.bottom - r.top;
    int thumb = std::max(std::min(len, 16), len * len / std::max(1, len + m_nRange));
    int off = m_nRange > 0 ? (len - thumb) * m_nScrollPos / m_nRange : 0;
    if (m_bHorizontal) {
        r.left += off;
        r.right = r.left + thumb;
    } else {
        r.top += off;
        r.bottom = r.top + thumb;
    }
    return r;
}

void CScrollBarUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_BUTTONDOWN || event.Type == UIEVENT_DBLCLICK) {
        RECT t = GetThumbRect();
        if (PtInRectUI(t, event.ptMouse)) {
            m_bDragging = true;
            m_ptDrag = event.ptMouse;
            m_nDragPos = m_nScrollPos;
        } else if (m_pOwner) {
            bool before = m_bHorizontal ? event.ptMouse.x < t.left : event.ptMouse.y < t.top;
            if (m_bHorizontal) {
                if (before)
                    m_pOwner->LineLeft();
                else
                    m_pOwner->LineRight();
            } else {
                if (before)
                    m_pOwner->PageUp();
                else
                    m_pOwner->PageDown();
            }
        }
        return;
    }
    if (event.Type == UIEVENT_BUTTONUP) {
        m_bDragging = false;
        return;
    }
    if (event.Type == UIEVENT_MOUSEMOVE && m_bDragging && m_pOwner) {
        int len = m_bHorizontal ? GetWidth() : GetHeight();
        RECT t = GetThumbRect();
        int thumb = m_bHorizontal ? t.right - t.left : t.bottom - t.top;
        int moved = m_bHorizontal ? event.ptMouse.x - m_ptDrag.x : event.ptMouse.y - m_ptDrag.y;
        int span = std::max(1, len - thumb);
        int pos = m_nDragPos + moved * m_nRange / span;
        SIZE s = m_pOwner->GetScrollPos();
        if (m_bHorizontal)
            s.cx = pos;
        else
            s.cy = pos;
        m_pOwner->SetScrollPos(s);
        return;
    }
    if (event.Type == UIEVENT_SCROLLWHEEL && m_pOwner) {
        m_pOwner->DoEvent(event);
        return;
    }
    if (event.Type == UIEVENT_SETFOCUS || event.Type == UIEVENT_KILLFOCUS) return;
}

void CScrollBarUI::PaintBkColor(HDC hDC) {
    if (m_dwBackColor) CControlUI::PaintBkColor(hDC);
}

void CScrollBarUI::PaintStatusImage(HDC hDC) { CRenderEngine::DrawColor(hDC, GetThumbRect(), m_dwThumbColor); }

void CScrollBarUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    if (DuiCompareNoCase(n, L"thumbcolor") == 0)
        m_dwThumbColor = ParseColorUI(v);
    else if (DuiCompareNoCase(n, L"width") == 0 || DuiCompareNoCase(n, L"height") == 0)
        m_nThickness = ParseIntUI(v);
    else if (DuiCompareNoCase(n, L"linesize") == 0)
        m_nLineSize = ParseIntUI(v);
    else if (DuiCompareNoCase(n, L"range") == 0)
        SetScrollRange(ParseIntUI(v));
    else if (DuiCompareNoCase(n, L"value") == 0)
        SetScrollPos(ParseIntUI(v));
    else if (CDuiString(n).Right(5).CompareNoCase(L"image") == 0) {
    }  // image parts of the bar are drawn as colours
    else
        CControlUI::SetAttribute(n, v);
}

}  // namespace DuiLib
