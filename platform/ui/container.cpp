#include "platform/ui/container.h"

#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"

#include <algorithm>

namespace DuiLib {

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
    m_bDelayedDestroy = false;  // the children go with their container
    RemoveAll();
    delete m_pVerticalScrollBar;
    delete m_pHorizontalScrollBar;
}

LPCTSTR CContainerUI::GetClass() const { return L"ContainerUI"; }

LPVOID CContainerUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
    if (DuiCompareNoCase(n, L"Container") == 0) return static_cast<CContainerUI*>(this);
    return CControlUI::GetInterface(n);
}

CControlUI* CContainerUI::GetItemAt(int i) const {
    if (i < 0 || i >= GetCount()) return nullptr;
    return m_items[static_cast<size_t>(i)];
}

int CContainerUI::GetItemIndex(CControlUI* c) const {
    auto it = std::find(m_items.begin(), m_items.end(), c);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

bool CContainerUI::SetItemIndex(CControlUI* c, int iIndex) {
    int from = GetItemIndex(c);
    if (from < 0 || iIndex < 0 || iIndex >= GetCount()) return false;
    m_items.erase(m_items.begin() + from);
    m_items.insert(m_items.begin() + iIndex, c);
    if (m_pManager) m_pManager->InvalidateNameMap();
    NeedUpdate();
    return true;
}

bool CContainerUI::Add(CControlUI* c) { return AddAt(c, GetCount()); }

bool CContainerUI::AddAt(CControlUI* c, int iIndex) {
    if (!c || iIndex < 0 || iIndex > GetCount() || GetItemIndex(c) >= 0) return false;
    if (m_pManager)
        m_pManager->InitControls(c, this);
    else
        c->SetManager(nullptr, this, false);
    if (IsVisible() || !m_bInternVisible || !m_bVisible) c->SetInternVisible(IsVisible());
    m_items.insert(m_items.begin() + iIndex, c);
    if (m_pManager) m_pManager->InvalidateNameMap();
    NeedUpdate();
    return true;
}

void CContainerUI::DestroyChild(CControlUI* c) {
    if (!m_bAutoDestroy) return;
    if (m_bDelayedDestroy && m_pManager)
        m_pManager->AddDelayedCleanup(c);
    else
        delete c;
}

bool CContainerUI::Remove(CControlUI* c, bool bDoNotDestroy) {
    int i = GetItemIndex(c);
    if (i < 0) return false;
    return RemoveAt(i, bDoNotDestroy);
}

bool CContainerUI::RemoveAt(int iIndex, bool bDoNotDestroy) {
    CControlUI* c = GetItemAt(iIndex);
    if (!c) return false;
    m_items.erase(m_items.begin() + iIndex);
    if (m_pManager) m_pManager->InvalidateNameMap();
    if (!bDoNotDestroy) DestroyChild(c);
    NeedUpdate();
    return true;
}

void CContainerUI::RemoveAll() {
    std::vector<CControlUI*> items;
    items.swap(m_items);
    if (m_pManager) m_pManager->InvalidateNameMap();
    for (CControlUI* c : items) DestroyChild(c);
    NeedUpdate();
}

void CContainerUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        if (m_pParent) m_pParent->DoEvent(event);
        return;
    }
    if (event.Type == UIEVENT_SCROLLWHEEL) {
        if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible() && m_pVerticalScrollBar->IsEnabled()) {
            if (event.wParam == 0)
                LineUp();
            else
                LineDown();
            return;
        }
        if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible() && m_pHorizontalScrollBar->IsEnabled()) {
            if (event.wParam == 0)
                LineLeft();
            else
                LineRight();
            return;
        }
    }
    CControlUI::DoEvent(event);
}

void CContainerUI::SetVisible(bool bVisible) {
    if (m_bVisible == bVisible) return;
    CControlUI::SetVisible(bVisible);
    for (CControlUI* c : m_items) c->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool bVisible) {
    CControlUI::SetInternVisible(bVisible);
    for (CControlUI* c : m_items) c->SetInternVisible(IsVisible());
}

void CContainerUI::SetEnabled(bool bEnable) { CControlUI::SetEnabled(bEnable); }

RECT CContainerUI::GetInset() const { return Scaled(m_rcInset); }
void CContainerUI::SetInset(RECT rc) {
    m_rcInset = rc;
    NeedUpdate();
}
int CContainerUI::GetChildPadding() const { return Scaled(m_iChildPadding); }
void CContainerUI::SetChildPadding(int p) {
    m_iChildPadding = p < 0 ? 0 : p;
    NeedUpdate();
}

int CContainerUI::FindSelectable(int iIndex, bool bForward) const {
    if (GetCount() == 0) return -1;
    iIndex = std::clamp(iIndex, 0, GetCount() - 1);
    for (int i = iIndex; i >= 0 && i < GetCount(); i += bForward ? 1 : -1) {
        CControlUI* c = GetItemAt(i);
        if (c->GetInterface(L"ListItem") && c->IsVisible() && c->IsEnabled()) return i;
    }
    return -1;
}

RECT CContainerUI::GetClientPos() const {
    RECT rc = m_rcItem;
    RECT in = GetInset();
    rc.left += in.left;
    rc.top += in.top;
    rc.right -= in.right;
    rc.bottom -= in.bottom;
    rc.left += m_rcTrim.left;
    rc.right -= m_rcTrim.right;
    if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) rc.right -= m_pVerticalScrollBar->GetThickness();
    if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible())
        rc.bottom -= m_pHorizontalScrollBar->GetThickness();
    return rc;
}

void CContainerUI::SetPos(RECT rc, bool bNeedInvalidate) {
    CControlUI::SetPos(rc, bNeedInvalidate);
    if (m_items.empty()) return;
    RECT inner = GetClientPos();
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = m_items[static_cast<size_t>(i)];
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        RECT pad = c->GetPadding();
        RECT r = {inner.left + pad.left, inner.top + pad.top, inner.right - pad.right, inner.bottom - pad.bottom};
        SIZE sz = c->EstimateSize({r.right - r.left, r.bottom - r.top});
        if (sz.cx > 0)
            r.right = r.left + std::clamp<long>(sz.cx, c->GetMinWidth(), std::max(c->GetMinWidth(), c->GetMaxWidth()));
        if (sz.cy > 0)
            r.bottom =
                r.top + std::clamp<long>(sz.cy, c->GetMinHeight(), std::max(c->GetMinHeight(), c->GetMaxHeight()));
        c->SetPos(r, false);
    }
}

void CContainerUI::Move(SIZE off, bool bNeedInvalidate) {
    CControlUI::Move(off, bNeedInvalidate);
    for (CControlUI* c : m_items)
        if (c->IsVisible()) c->Move(off, false);
}

void CContainerUI::SetFloatPos(int iIndex) {
    CControlUI* c = GetItemAt(iIndex);
    if (!c || !c->IsFloat()) return;
    SIZE xy = c->GetFixedXY();
    SIZE scroll = GetScrollPos();
    RECT r;
    r.left = m_rcItem.left + xy.cx - scroll.cx;
    r.top = m_rcItem.top + xy.cy - scroll.cy;
    r.right = r.left + c->GetFixedWidth();
    r.bottom = r.top + c->GetFixedHeight();
    c->SetPos(r, false);
}

bool CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) {
    RECT rcTemp;
    if (!IntersectRectUI(rcTemp, rcPaint, m_rcItem)) return true;
    if (!CControlUI::DoPaint(hDC, rcPaint, pStopControl)) return false;
    if (!m_items.empty()) {
        RECT inner = GetClientPos();
        RECT childPaint;
        bool any = IntersectRectUI(childPaint, rcTemp, inner);
        for (CControlUI* c : m_items) {
            if (c == pStopControl) return false;
            if (!c->IsVisible()) continue;
            RECT area;
            // Floating children may draw over the inset; others stay inside it.
            if (c->IsFloat()) {
                if (!IntersectRectUI(area, rcTemp, c->GetPos())) continue;
                cairo_save(hDC);
                cairo_rectangle(hDC, rcTemp.left, rcTemp.top, rcTemp.right - rcTemp.left, rcTemp.bottom - rcTemp.top);
                cairo_clip(hDC);
                bool go = c->DoPaint(hDC, rcTemp, pStopControl);
                cairo_restore(hDC);
                if (!go) return false;
                continue;
            }
            if (!any || !IntersectRectUI(area, childPaint, c->GetPos())) continue;
            cairo_save(hDC);
            cairo_rectangle(hDC, childPaint.left, childPaint.top, childPaint.right - childPaint.left,
                            childPaint.bottom - childPaint.top);
            cairo_clip(hDC);
            bool go = c->DoPaint(hDC, childPaint, pStopControl);
            cairo_restore(hDC);
            if (!go) return false;
        }
    }
    for (CScrollBarUI* sb : {m_pVerticalScrollBar, m_pHorizontalScrollBar})
        if (sb && sb->IsVisible() && !sb->DoPaint(hDC, rcPaint, pStopControl)) return false;
    return true;
}

void CContainerUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    auto is = [n](const wchar_t* name) { return DuiCompareNoCase(n, name) == 0; };
    if (is(L"inset"))
        SetInset(ParseRectUI(v));
    else if (is(L"mousechild"))
        SetMouseChildEnabled(ParseBoolUI(v));
    else if (is(L"vscrollbar"))
        EnableScrollBar(ParseBoolUI(v), m_pHorizontalScrollBar != nullptr);
    else if (is(L"hscrollbar"))
        EnableScrollBar(m_pVerticalScrollBar != nullptr, ParseBoolUI(v));
    else if (is(L"vscrollbarstyle")) {
        m_sVerticalScrollBarStyle = v;
        EnableScrollBar(true, m_pHorizontalScrollBar != nullptr);
        m_pVerticalScrollBar->ApplyAttributeList(v);
    } else if (is(L"hscrollbarstyle")) {
        m_sHorizontalScrollBarStyle = v;
        EnableScrollBar(m_pVerticalScrollBar != nullptr, true);
        m_pHorizontalScrollBar->ApplyAttributeList(v);
    } else if (is(L"childpadding"))
        SetChildPadding(ParseIntUI(v));
    else if (is(L"childalign")) {
        CDuiString s(v);
        SetChildAlign(s == L"center" ? DT_CENTER : s == L"right" ? DT_RIGHT : DT_LEFT);
    } else if (is(L"childvalign")) {
        CDuiString s(v);
        SetChildVAlign(s == L"vcenter" || s == L"center" ? DT_VCENTER : s == L"bottom" ? DT_BOTTOM : DT_TOP);
    } else if (is(L"scrollstepsize"))
        SetScrollStepSize(ParseIntUI(v));
    else if (is(L"autodestroy"))
        SetAutoDestroy(ParseBoolUI(v));
    else
        CControlUI::SetAttribute(n, v);
}

void CContainerUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
    for (CControlUI* c : m_items) c->SetManager(pManager, this, bInit);
    if (m_pVerticalScrollBar) m_pVerticalScrollBar->SetManager(pManager, this, bInit);
    if (m_pHorizontalScrollBar) m_pHorizontalScrollBar->SetManager(pManager, this, bInit);
    CControlUI::SetManager(pManager, pParent, bInit);
}

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) {
    if ((uFlags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((uFlags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if ((uFlags & UIFIND_HITTEST) != 0) {
        POINT pt = *static_cast<POINT*>(pData);
        if (!PtInRectUI(m_rcItem, pt)) return nullptr;
        if (!m_bMouseChildEnabled) {
            CControlUI* r = nullptr;
            for (CScrollBarUI* sb : {m_pVerticalScrollBar, m_pHorizontalScrollBar})
                if (!r && sb) r = sb->FindControl(Proc, pData, uFlags);
            return r ? r : CControlUI::FindControl(Proc, pData, uFlags);
        }
    }
    if (uFlags & UIFIND_ME_FIRST) {
        CControlUI* me = CControlUI::FindControl(Proc, pData, uFlags & ~UIFIND_HITTEST);
        if (me) return me;
    }
    for (CScrollBarUI* sb : {m_pVerticalScrollBar, m_pHorizontalScrollBar}) {
        if (!sb) continue;
        CControlUI* r = sb->FindControl(Proc, pData, uFlags);
        if (r) return r;
    }
    if (uFlags & UIFIND_HITTEST) {
        POINT pt = *static_cast<POINT*>(pData);
        RECT inner = GetClientPos();
        // Topmost first: later children are drawn over earlier ones.
        for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
            CControlUI* c = *it;
            if (!c->IsFloat() && !PtInRectUI(inner, pt)) continue;
            CControlUI* r = c->FindControl(Proc, pData, uFlags);
            if (r) return r;
        }
    } else {
        for (size_t i = 0; i < m_items.size(); ++i) {
            CControlUI* r = m_items[i]->FindControl(Proc, pData, uFlags);
            if (r) return r;
        }
    }
    if (!(uFlags & UIFIND_ME_FIRST)) return CControlUI::FindControl(Proc, pData, uFlags);
    return nullptr;
}

CControlUI* CContainerUI::FindSubControl(LPCTSTR name) {
    if (!name) return nullptr;
    return FindControl(
        [](CControlUI* c, LPVOID d) { return c->GetName() == static_cast<const wchar_t*>(d) ? c : nullptr; },
        const_cast<wchar_t*>(name), UIFIND_ALL);
}

// ---- scrolling ----------------------------------------------------------------

SIZE CContainerUI::GetScrollPos() const {
    SIZE s{0, 0};
    if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) s.cy = m_pVerticalScrollBar->GetScrollPos();
    if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible()) s.cx = m_pHorizontalScrollBar->GetScrollPos();
    return s;
}

SIZE CContainerUI::GetScrollRange() const {
    SIZE s{0, 0};
    if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) s.cy = m_pVerticalScrollBar->GetScrollRange();
    if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible()) s.cx = m_pHorizontalScrollBar->GetScrollRange();
    return s;
}

void CContainerUI::SetScrollPos(SIZE szPos, bool) {
    SIZE old = GetScrollPos();
    if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) m_pVerticalScrollBar->SetScrollPos(szPos.cy);
    if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible()) m_pHorizontalScrollBar->SetScrollPos(szPos.cx);
    SIZE now = GetScrollPos();
    if (now.cx == old.cx && now.cy == old.cy) return;
    SetPos(m_rcItem, true);
    Invalidate();
}

void CContainerUI::LineUp() {
    SIZE s = GetScrollPos();
    s.cy -= GetScrollStepSize();
    SetScrollPos(s);
}
void CContainerUI::LineDown() {
    SIZE s = GetScrollPos();
    s.cy += GetScrollStepSize();
    SetScrollPos(s);
}
void CContainerUI::LineLeft() {
    SIZE s = GetScrollPos();
    s.cx -= GetScrollStepSize();
    SetScrollPos(s);
}
void CContainerUI::LineRight() {
    SIZE s = GetScrollPos();
    s.cx += GetScrollStepSize();
    SetScrollPos(s);
}
void CContainerUI::PageUp() {
    SIZE s = GetScrollPos();
    RECT c = GetClientPos();
    s.cy -= c.bottom - c.top;
    SetScrollPos(s);
}
void CContainerUI::PageDown() {
    SIZE s = GetScrollPos();
    RECT c = GetClientPos();
    s.cy += c.bottom - c.top;
    SetScrollPos(s);
}
void CContainerUI::HomeUp() {
    SIZE s = GetScrollPos();
    s.cy = 0;
    SetScrollPos(s);
}
void CContainerUI::EndDown() {
    SIZE s = GetScrollPos();
    s.cy = GetScrollRange().cy;
    SetScrollPos(s);
}

void CContainerUI::EnableScrollBar(bool bEnableVertical, bool bEnableHorizontal) {
    if (bEnableVertical && !m_pVerticalScrollBar) {
        m_pVerticalScrollBar = new CScrollBarUI;
        m_pVerticalScrollBar->SetOwner(this);
        m_pVerticalScrollBar->SetManager(m_pManager, nullptr, false);
        m_pVerticalScrollBar->SetVisible(false);
    } else if (!bEnableVertical && m_pVerticalScrollBar) {
        delete m_pVerticalScrollBar;
        m_pVerticalScrollBar = nullptr;
    }
    if (bEnableHorizontal && !m_pHorizontalScrollBar) {
        m_pHorizontalScrollBar = new CScrollBarUI;
        m_pHorizontalScrollBar->SetHorizontal(true);
        m_pHorizontalScrollBar->SetOwner(this);
        m_pHorizontalScrollBar->SetManager(m_pManager, nullptr, false);
        m_pHorizontalScrollBar->SetVisible(false);
    } else if (!bEnableHorizontal && m_pHorizontalScrollBar) {
        delete m_pHorizontalScrollBar;
        m_pHorizontalScrollBar = nullptr;
    }
    NeedUpdate();
}

void CContainerUI::ProcessScrollBar(RECT rc, int cxRequired, int cyRequired) {
    if (m_pVerticalScrollBar) {
        int avail = rc.bottom - rc.top;
        bool need = cyRequired > avail;
        if (need) {
            int t = m_pVerticalScrollBar->GetThickness();
            m_pVerticalScrollBar->SetVisible(true);
            m_pVerticalScrollBar->SetScrollRange(cyRequired - avail);
            m_pVerticalScrollBar->SetPos({rc.right, rc.top, rc.right + t, rc.bottom}, false);
        } else if (m_pVerticalScrollBar->IsVisible()) {
            m_pVerticalScrollBar->SetScrollPos(0);
            m_pVerticalScrollBar->SetVisible(false);
        }
    }
    if (m_pHorizontalScrollBar) {
        int avail = rc.right - rc.left;
        bool need = cxRequired > avail;
        if (need) {
            int t = m_pHorizontalScrollBar->GetThickness();
            m_pHorizontalScrollBar->SetVisible(true);
            m_pHorizontalScrollBar->SetScrollRange(cxRequired - avail);
            m_pHorizontalScrollBar->SetPos({rc.left, rc.bottom, rc.right, rc.bottom + t}, false);
        } else if (m_pHorizontalScrollBar->IsVisible()) {
            m_pHorizontalScrollBar->SetScrollPos(0);
            m_pHorizontalScrollBar->SetVisible(false);
        }
    }
}

}  // namespace DuiLib
