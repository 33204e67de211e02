#include "platform/ui/list.h"

#include "platform/ui/input_state.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"

#include <algorithm>

namespace DuiLib {

namespace {
constexpr WPARAM kVkUp = 0x26, kVkDown = 0x28, kVkHome = 0x24, kVkEnd = 0x23, kVkPrior = 0x21, kVkNext = 0x22,
                 kVkReturn = 0x0D, kVkControl = 0x11;

IListItemUI* AsItem(CControlUI* c) { return c ? static_cast<IListItemUI*>(c->GetInterface(L"ListItem")) : nullptr; }
}  // namespace

bool TListInfoUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    auto is = [n](const wchar_t* name) { return DuiCompareNoCase(n, name) == 0; };
    if (is(L"itemfont"))
        nFont = ParseIntUI(v);
    else if (is(L"itemalign")) {
        CDuiString s(v);
        uTextStyle &= ~(DT_CENTER | DT_RIGHT);
        if (s.Find(L"center") >= 0)
            uTextStyle |= DT_CENTER;
        else if (s.Find(L"right") >= 0)
            uTextStyle |= DT_RIGHT;
    } else if (is(L"itemendellipsis")) {
        if (ParseBoolUI(v)) uTextStyle |= DT_END_ELLIPSIS;
    } else if (is(L"itemtextpadding"))
        rcTextPadding = ParseRectUI(v);
    else if (is(L"itemtextcolor"))
        dwTextColor = ParseColorUI(v);
    else if (is(L"itembkcolor"))
        dwBkColor = ParseColorUI(v);
    else if (is(L"itembkimage"))
        sBkImage = v;
    else if (is(L"itemselectedtextcolor"))
        dwSelectedTextColor = ParseColorUI(v);
    else if (is(L"itemselectedbkcolor"))
        dwSelectedBkColor = ParseColorUI(v);
    else if (is(L"itemselectedimage"))
        sSelectedImage = v;
    else if (is(L"itemhottextcolor"))
        dwHotTextColor = ParseColorUI(v);
    else if (is(L"itemhotbkcolor"))
        dwHotBkColor = ParseColorUI(v);
    else if (is(L"itemhotimage"))
        sHotImage = v;
    else if (is(L"itemdisabledtextcolor"))
        dwDisabledTextColor = ParseColorUI(v);
    else if (is(L"itemdisabledbkcolor"))
        dwDisabledBkColor = ParseColorUI(v);
    else if (is(L"itemlinecolor"))
        dwLineColor = ParseColorUI(v);
    else if (is(L"itemshowhtml"))
        bShowHtml = ParseBoolUI(v);
    else
        return false;
    return true;
}

// ---- shared row behaviour -------------------------------------------------------

template <typename Row>
static void RowEvent(Row* row, TEventUI& event, CPaintManagerUI* pm, IListOwnerUI* owner, UINT& state,
                     void (*base)(Row*, TEventUI&)) {
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_RBUTTONDOWN:
            if (row->IsEnabled()) {
                if (pm) pm->SendNotify(row, DUI_MSGTYPE_ITEMCLICK);
                if (owner && owner->IsMultiSelect() && IsKeyDownUI(kVkControl)) {
                    if (row->IsSelected())
                        owner->UnSelectItem(row->GetIndex());
                    else
                        owner->SelectMultiItem(row->GetIndex(), true);
                } else {
                    row->Select(true, true);
                }
                row->Invalidate();
            }
            return;
        case UIEVENT_DBLCLICK:
            if (row->IsEnabled()) {
                row->Activate();
                row->Invalidate();
            }
            return;
        case UIEVENT_KEYDOWN:
            if (row->IsEnabled() && event.wParam == kVkReturn) {
                row->Activate();
                row->Invalidate();
                return;
            }
            if (owner) owner->DoEvent(event);
            return;
        case UIEVENT_SCROLLWHEEL:
            if (owner) owner->DoEvent(event);
            return;
        case UIEVENT_MOUSEENTER:
            if (row->IsEnabled()) {
                state |= UISTATE_HOT;
                row->Invalidate();
            }
            return;
        case UIEVENT_MOUSELEAVE:
            state &= ~UISTATE_HOT;
            row->Invalidate();
            return;
        default:
            break;
    }
    base(row, event);
}

LPCTSTR CListElementUI::GetClass() const { return L"ListElementUI"; }
LPVOID CListElementUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"ListItem") == 0) return static_cast<IListItemUI*>(this);
    if (DuiCompareNoCase(n, L"ListElement") == 0) return this;
    return CControlUI::GetInterface(n);
}

void CListElementUI::SetOwner(CControlUI* pOwner) {
    m_pOwnerControl = pOwner;
    m_pOwner = pOwner ? static_cast<IListOwnerUI*>(pOwner->GetInterface(L"IListOwner")) : nullptr;
}

bool CListElementUI::Select(bool bSelect, bool bTriggerEvent) {
    if (!IsEnabled()) return false;
    if (bSelect == m_bSelected) return true;
    m_bSelected = bSelect;
    if (bSelect && m_pOwner) m_pOwner->SelectItem(m_iIndex, true, bTriggerEvent);
    Invalidate();
    return true;
}

bool CListElementUI::SelectMulti(bool bSelect) {
    if (!IsEnabled()) return false;
    m_bSelected = bSelect;
    Invalidate();
    return true;
}

bool CListElementUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_ITEMACTIVATE);
    return true;
}

void CListElementUI::SetVisible(bool bVisible) {
    CControlUI::SetVisible(bVisible);
    if (!IsVisible() && m_bSelected) {
        m_bSelected = false;
        if (m_pOwner) m_pOwner->SelectItem(-1);
    }
}

void CListElementUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        if (m_pOwner)
            m_pOwner->DoEvent(event);
        else
            CControlUI::DoEvent(event);
        return;
    }
    RowEvent<CListElementUI>(this, event, m_pManager, m_pOwner, m_uButtonState,
                             [](CListElementUI* r, TEventUI& e) { r->CControlUI::DoEvent(e); });
}

TListInfoUI* CListElementUI::ListInfo() const { return m_pOwner ? m_pOwner->GetListInfo() : nullptr; }

static void PaintRow(HDC hDC, CControlUI* row, TListInfoUI* info, bool selected, UINT state) {
    if (!info) return;
    const RECT& rc = row->GetPos();
    DWORD bk = info->dwBkColor;
    const CDuiString* img = &info->sBkImage;
    if (!row->IsEnabled())
        bk = info->dwDisabledBkColor;
    else if (selected) {
        bk = info->dwSelectedBkColor;
        img = &info->sSelectedImage;
    } else if (state & UISTATE_HOT) {
        bk = info->dwHotBkColor;
        img = &info->sHotImage;
    }
    if (bk) CRenderEngine::DrawColor(hDC, rc, bk);
    if (!img->IsEmpty()) row->DrawImage(hDC, *img);
    if (info->dwLineColor)
        CRenderEngine::DrawColor(hDC, {rc.left, rc.bottom - 1, rc.right, rc.bottom}, info->dwLineColor);
}

void CListElementUI::DrawRowBackground(HDC hDC) { DrawItemBk(hDC, m_rcItem); }

void CListElementUI::DrawItemBk(HDC hDC, const RECT&) { PaintRow(hDC, this, ListInfo(), m_bSelected, m_uButtonState); }

void CListElementUI::PaintBkColor(HDC hDC) {
    CControlUI::PaintBkColor(hDC);
    DrawRowBackground(hDC);
}

DWORD CListElementUI::RowTextColor() const {
    TListInfoUI* info = ListInfo();
    if (!info) return 0xFF000000;
    if (!IsEnabled()) return info->dwDisabledTextColor;
    if (m_bSelected) return info->dwSelectedTextColor;
    if (m_uButtonState & UISTATE_HOT) return info->dwHotTextColor;
    return info->dwTextColor;
}

LPCTSTR CListLabelElementUI::GetClass() const { return L"ListLabelElementUI"; }
LPVOID CListLabelElementUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"ListLabelElement") == 0) return this;
    return CListElementUI::GetInterface(n);
}

SIZE CListLabelElementUI::EstimateSize(SIZE szAvailable) {
    SIZE s = CControlUI::EstimateSize(szAvailable);
    if (s.cy == 0) {
        TListInfoUI* info = ListInfo();
        TFontInfo* f = m_pManager ? m_pManager->GetFontInfo(info ? info->nFont : -1) : nullptr;
        RECT p = info ? Scaled(info->rcTextPadding) : RECT{};
        s.cy = (f ? f->tmHeight : 14) + 8 + p.top + p.bottom;
    }
    return s;
}

void CListLabelElementUI::PaintText(HDC hDC) {
    TListInfoUI* info = ListInfo();
    CDuiString text = GetText();
    if (text.IsEmpty()) return;
    RECT rc = m_rcItem;
    RECT p = info ? Scaled(info->rcTextPadding) : RECT{};
    rc.left += p.left;
    rc.top += p.top;
    rc.right -= p.right;
    rc.bottom -= p.bottom;
    UINT style = info ? info->uTextStyle : (DT_VCENTER | DT_SINGLELINE);
    int font = info ? info->nFont : -1;
    if (info && info->bShowHtml) {
        int links = 0;
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, text, RowTextColor(), nullptr, nullptr, links, font, style);
    } else {
        CRenderEngine::DrawText(hDC, m_pManager, rc, text, RowTextColor(), font, style);
    }
}

LPCTSTR CListTextElementUI::GetClass() const { return L"ListTextElementUI"; }
LPVOID CListTextElementUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"ListTextElement") == 0) return this;
    return CListLabelElementUI::GetInterface(n);
}

CDuiString CListTextElementUI::GetText(int i) const {
    if (i < 0 || i >= static_cast<int>(m_aTexts.size())) return {};
    return m_aTexts[static_cast<size_t>(i)];
}

void CListTextElementUI::SetText(int i, LPCTSTR t) {
    if (i < 0 || i > 255) return;
    if (static_cast<size_t>(i) >= m_aTexts.size()) m_aTexts.resize(static_cast<size_t>(i) + 1);
    m_aTexts[static_cast<size_t>(i)] = t;
    if (i == 0) m_sText = t;
    Invalidate();
}

void CListTextElementUI::PaintText(HDC hDC) {
    if (m_aTexts.empty()) {
        CListLabelElementUI::PaintText(hDC);
        return;
    }
    TListInfoUI* info = ListInfo();
    int n = static_cast<int>(m_aTexts.size());
    int w = GetWidth() / n;
    for (int i = 0; i < n; ++i) {
        RECT rc = {m_rcItem.left + i * w, m_rcItem.top, m_rcItem.left + (i + 1) * w, m_rcItem.bottom};
        RECT p = info ? Scaled(info->rcTextPadding) : RECT{};
        rc.left += p.left;
        rc.right -= p.right;
        CRenderEngine::DrawText(hDC, m_pManager, rc, m_aTexts[static_cast<size_t>(i)], RowTextColor(),
                                info ? info->nFont : -1, info ? info->uTextStyle : (DT_VCENTER | DT_SINGLELINE));
    }
}

// ---- container rows -------------------------------------------------------------

LPCTSTR CListContainerElementUI::GetClass() const { return L"ListContainerElementUI"; }
LPVOID CListContainerElementUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"ListItem") == 0) return static_cast<IListItemUI*>(this);
    if (DuiCompareNoCase(n, L"ListContainerElement") == 0) return this;
    return CHorizontalLayoutUI::GetInterface(n);
}

void CListContainerElementUI::SetOwner(CControlUI* pOwner) {
    m_pOwnerControl = pOwner;
    m_pOwner = pOwner ? static_cast<IListOwnerUI*>(pOwner->GetInterface(L"IListOwner")) : nullptr;
}

bool CListContainerElementUI::Select(bool bSelect, bool bTriggerEvent) {
    if (!IsEnabled()) return false;
    if (bSelect == m_bSelected) return true;
    m_bSelected = bSelect;
    if (bSelect && m_pOwner) m_pOwner->SelectItem(m_iIndex, true, bTriggerEvent);
    Invalidate();
    return true;
}

bool CListContainerElementUI::SelectMulti(bool bSelect) {
    if (!IsEnabled()) return false;
    m_bSelected = bSelect;
    Invalidate();
    return true;
}

bool CListContainerElementUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_ITEMACTIVATE);
    return true;
}

void CListContainerElementUI::SetVisible(bool bVisible) {
    CContainerUI::SetVisible(bVisible);
    if (!IsVisible() && m_bSelected) {
        m_bSelected = false;
        if (m_pOwner) m_pOwner->SelectItem(-1);
    }
}

void CListContainerElementUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        if (m_pOwner)
            m_pOwner->DoEvent(event);
        else
            CContainerUI::DoEvent(event);
        return;
    }
    RowEvent<CListContainerElementUI>(this, event, m_pManager, m_pOwner, m_uButtonState,
                                      [](CListContainerElementUI* r, TEventUI& e) { r->CContainerUI::DoEvent(e); });
}

void CListContainerElementUI::PaintBkColor(HDC hDC) {
    CControlUI::PaintBkColor(hDC);
    DrawItemBk(hDC, m_rcItem);
}

void CListContainerElementUI::DrawItemBk(HDC hDC, const RECT&) {
    PaintRow(hDC, this, m_pOwner ? m_pOwner->GetListInfo() : nullptr, m_bSelected, m_uButtonState);
}

// ---- the list --------------------------------------------------------------------

CListUI::CListUI() { EnableScrollBar(true, false); }

LPCTSTR CListUI::GetClass() const { return L"ListUI"; }
LPVOID CListUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"List") == 0) return this;
    if (DuiCompareNoCase(n, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
    return CVerticalLayoutUI::GetInterface(n);
}

void CListUI::Reindex(int from) {
    for (int i = std::max(0, from); i < GetCount(); ++i)
        if (IListItemUI* it = AsItem(GetItemAt(i))) it->SetIndex(i);
}

bool CListUI::Add(CControlUI* c) { return AddAt(c, GetCount()); }

bool CListUI::AddAt(CControlUI* c, int iIndex) {
    if (!CVerticalLayoutUI::AddAt(c, iIndex)) return false;
    if (IListItemUI* it = AsItem(c)) it->SetOwner(this);
    Reindex(iIndex);
    for (int& s : m_aSelItems)
        if (s >= iIndex) ++s;
    if (m_iCurSel >= iIndex) ++m_iCurSel;
    return true;
}

bool CListUI::Remove(CControlUI* c, bool bDoNotDestroy) {
    int i = GetItemIndex(c);
    return i >= 0 && RemoveAt(i, bDoNotDestroy);
}

bool CListUI::RemoveAt(int iIndex, bool bDoNotDestroy) {
    if (!GetItemAt(iIndex)) return false;
    if (!CVerticalLayoutUI::RemoveAt(iIndex, bDoNotDestroy)) return false;
    Reindex(iIndex);
    std::vector<int> sel;
    for (int s : m_aSelItems) {
        if (s == iIndex) continue;
        sel.push_back(s > iIndex ? s - 1 : s);
    }
    m_aSelItems = sel;
    if (m_iCurSel == iIndex)
        m_iCurSel = -1;
    else if (m_iCurSel > iIndex)
        --m_iCurSel;
    return true;
}

void CListUI::RemoveAll() {
    m_iCurSel = -1;
    m_aSelItems.clear();
    CVerticalLayoutUI::RemoveAll();
}

bool CListUI::SetItemIndex(CControlUI* c, int iIndex) {
    int from = GetItemIndex(c);
    if (!CVerticalLayoutUI::SetItemIndex(c, iIndex)) return false;
    Reindex(0);
    m_aSelItems.clear();
    m_iCurSel = -1;
    for (int i = 0; i < GetCount(); ++i)
        if (IListItemUI* it = AsItem(GetItemAt(i)); it && it->IsSelected()) {
            m_aSelItems.push_back(i);
            if (m_iCurSel < 0) m_iCurSel = i;
        }
    (void)from;
    return true;
}

void CListUI::SetMultiSelect(bool b) {
    m_bMultiSel = b;
    if (!b && m_aSelItems.size() > 1) SelectItem(m_iCurSel, false, false);
}

bool CListUI::SelectItem(int iIndex, bool bTakeFocus, bool bTriggerEvent) {
    int old = m_iCurSel;
    if (iIndex == m_iCurSel && m_aSelItems.size() == 1) {
        if (IListItemUI* it = AsItem(GetItemAt(iIndex)); it && !it->IsSelected()) it->SelectMulti(true);
        return true;
    }
    for (int s : m_aSelItems)
        if (s != iIndex)
            if (IListItemUI* it = AsItem(GetItemAt(s))) it->SelectMulti(false);
    m_aSelItems.clear();
    m_iCurSel = -1;
    if (iIndex < 0) return false;
    CControlUI* c = GetItemAt(iIndex);
    IListItemUI* it = AsItem(c);
    if (!it || !c->IsVisible() || !c->IsEnabled()) return false;
    it->SelectMulti(true);
    m_iCurSel = iIndex;
    m_aSelItems.push_back(iIndex);
    EnsureVisible(iIndex);
    if (bTakeFocus) c->SetFocus();
    if (bTriggerEvent && m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_ITEMSELECT, m_iCurSel, old);
    return true;
}

bool CListUI::SelectMultiItem(int iIndex, bool bTakeFocus) {
    if (!m_bMultiSel) return SelectItem(iIndex, bTakeFocus);
    CControlUI* c = GetItemAt(iIndex);
    IListItemUI* it = AsItem(c);
    if (!it || !c->IsVisible() || !c->IsEnabled()) return false;
    if (std::find(m_aSelItems.begin(), m_aSelItems.end(), iIndex) != m_aSelItems.end()) return false;
    it->SelectMulti(true);
    m_aSelItems.push_back(iIndex);
    int old = m_iCurSel;
    m_iCurSel = iIndex;
    EnsureVisible(iIndex);
    if (bTakeFocus) c->SetFocus();
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_ITEMSELECT, m_iCurSel, old);
    return true;
}

bool CListUI::UnSelectItem(int iIndex, bool bOthers) {
    if (bOthers) {
        for (int s : m_aSelItems)
            if (s != iIndex)
                if (IListItemUI* it = AsItem(GetItemAt(s))) it->SelectMulti(false);
        bool had = std::find(m_aSelItems.begin(), m_aSelItems.end(), iIndex) != m_aSelItems.end();
        m_aSelItems.clear();
        if (had) m_aSelItems.push_back(iIndex);
        m_iCurSel = had ? iIndex : -1;
        return true;
    }
    auto pos = std::find(m_aSelItems.begin(), m_aSelItems.end(), iIndex);
    if (pos == m_aSelItems.end()) return false;
    if (IListItemUI* it = AsItem(GetItemAt(iIndex))) it->SelectMulti(false);
    m_aSelItems.erase(pos);
    m_iCurSel = m_aSelItems.empty() ? -1 : m_aSelItems.back();
    return true;
}

void CListUI::SelectAllItems() {
    if (!m_bMultiSel) return;
    m_aSelItems.clear();
    for (int i = 0; i < GetCount(); ++i)
        if (IListItemUI* it = AsItem(GetItemAt(i)); it && GetItemAt(i)->IsVisible() && GetItemAt(i)->IsEnabled()) {
            it->SelectMulti(true);
            m_aSelItems.push_back(i);
        }
    m_iCurSel = m_aSelItems.empty() ? -1 : m_aSelItems.front();
}

void CListUI::UnSelectAllItems() {
    for (int s : m_aSelItems)
        if (IListItemUI* it = AsItem(GetItemAt(s))) it->SelectMulti(false);
    m_aSelItems.clear();
    m_iCurSel = -1;
}

void CListUI::EnsureVisible(int iIndex) {
    CControlUI* c = GetItemAt(iIndex);
    if (!c || m_bUpdateNeeded || IsRectEmptyUI(c->GetPos())) return;
    RECT view = GetClientPos();
    RECT item = c->GetPos();
    int dy = 0;
    if (item.top < view.top)
        dy = item.top - view.top;
    else if (item.bottom > view.bottom)
        dy = item.bottom - view.bottom;
    if (dy) Scroll(0, dy);
}

void CListUI::Scroll(int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    SIZE s = GetScrollPos();
    SetScrollPos({s.cx + dx, s.cy + dy});
}

void CListUI::InitListCtrl() {
    for (CControlUI* c : m_items) c->Invalidate();
    SetScrollPos({0, 0});
}

void CListUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_KEYDOWN) {
        int n = GetCount();
        switch (event.wParam) {
            case kVkUp:
                if (m_iCurSel > 0) SelectItem(FindSelectable(m_iCurSel - 1, false), true);
                return;
            case kVkDown:
                SelectItem(FindSelectable(m_iCurSel + 1, true), true);
                return;
            case kVkPrior:
                PageUp();
                return;
            case kVkNext:
                PageDown();
                return;
            case kVkHome:
                SelectItem(FindSelectable(0, true), true);
                return;
            case kVkEnd:
                SelectItem(FindSelectable(n - 1, false), true);
                return;
            default:
                break;
        }
    }
    CVerticalLayoutUI::DoEvent(event);
}

void CListUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    if (m_ListInfo.SetAttribute(n, v)) {
        Invalidate();
        return;
    }
    if (DuiCompareNoCase(n, L"multiselect") == 0)
        SetMultiSelect(ParseBoolUI(v));
    else if (DuiCompareNoCase(n, L"header") == 0 || DuiCompareNoCase(n, L"headerbkimage") == 0) {
    } else
        CVerticalLayoutUI::SetAttribute(n, v);
}

}  // namespace DuiLib
