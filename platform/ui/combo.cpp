#include "platform/ui/combo.h"

#include "platform/os/messages.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"
#include "platform/ui/scroll_into_view.h"
#include "platform/ui/window.h"

#include <algorithm>

using namespace win;

namespace DuiLib {

namespace {
constexpr WPARAM kVkUp = 0x26, kVkDown = 0x28, kVkEscape = 0x1B, kVkReturn = 0x0D;
// An open list at most this tall (unscaled) unless the skin gives its own.
constexpr int kDefaultDropHeight = 300;
constexpr DWORD kDropBackground = 0xFF262B33;
constexpr DWORD kDropBorder = 0xFF3A404C;
IListItemUI* AsItem(CControlUI* c) { return c ? static_cast<IListItemUI*>(c->GetInterface(L"ListItem")) : nullptr; }
}  // namespace

// The drop-down window: the combo's rows, borrowed into its own layout
// while it is open.
class CComboWnd : public CWindowWnd {
public:
    explicit CComboWnd(CComboUI* owner) : m_pOwner(owner) {}

    void Open() {
        CPaintManagerUI* ownerPm = m_pOwner->GetManager();
        CWindowWnd* ownerWnd = ownerPm ? ownerPm->GetWindow() : nullptr;
        RECT anchor = m_pOwner->GetPos();
        RECT win = ownerWnd ? ownerWnd->GetWindowRect() : RECT{};
        SIZE box = m_pOwner->GetDropBoxSize();
        int width = box.cx > 0 ? box.cx : anchor.right - anchor.left;
        int rows = 0;
        for (int i = 0; i < m_pOwner->GetCount(); ++i) {
            CControlUI* c = m_pOwner->GetItemAt(i);
            if (!c->IsVisible()) continue;
            SIZE s = c->EstimateSize({width, 0});
            rows += s.cy > 0 ? s.cy : 22;
        }
        // The box's height is given unscaled, like every size in a skin.
        const int maxHeight = ownerPm ? ownerPm->GetDPIObj()->Scale(box.cy > 0 ? box.cy : kDefaultDropHeight)
                                      : (box.cy > 0 ? box.cy : kDefaultDropHeight);
        int height = std::max(1, std::min(rows + 2, maxHeight));
        int x = win.left + anchor.left, y = win.top + anchor.bottom;
        // The rows keep the owner's scale in the drop window (set before the
        // window exists, so that nothing is resized by it).
        if (ownerPm) m_pm.SetDPI(ownerPm->GetDPIObj()->GetDPI());
        Create(ownerWnd ? ownerWnd->GetHWND() : nullptr, L"", UI_WS_POPUP, UI_WS_EX_TOOLWINDOW | UI_WS_EX_TOPMOST, x, y,
               width, height);
        m_pm.Init(m_hWnd);
        m_pm.SetWindow(this);
        m_pLayout = new CVerticalLayoutUI;
        m_pLayout->SetAutoDestroy(false);
        m_pLayout->EnableScrollBar(true, false);
        // The list takes its rows' background, so that a dark list is dark
        // below its last row too.
        const TListInfoUI* info = m_pOwner->GetListInfo();
        m_pLayout->SetBkColor(info && info->dwBkColor ? info->dwBkColor : kDropBackground);
        m_pLayout->SetBorderColor(kDropBorder);
        m_pLayout->SetBorderSize(1);
        m_pLayout->SetInset({1, 1, 1, 1});
        for (int i = 0; i < m_pOwner->GetCount(); ++i) m_pLayout->Add(m_pOwner->GetItemAt(i));
        m_pm.AttachDialog(m_pLayout);
        // The rows are placed before the list scrolls to the current one: a
        // layout of no size yet would scroll it just out of sight.
        m_pLayout->SetPos({0, 0, width, height}, false);
        ShowWindow(true, true);
        ScrollIntoView(m_pOwner->GetCurSel());
        m_pm.Invalidate();
    }

    // Scrolls by whole rows (negative: up).
    void ScrollRows(int rows) {
        if (!m_pLayout) return;
        SIZE pos = m_pLayout->GetScrollPos();
        pos.cy += rows * RowHeight();
        m_pLayout->SetScrollPos(pos);
    }

    // Scrolls the list so that row `index` is whole in view.
    void ScrollIntoView(int index) {
        if (m_pLayout && index >= 0 && index < m_pOwner->GetCount())
            DuiLib::ScrollIntoView(m_pLayout, m_pOwner->GetItemAt(index));
    }

    LPCTSTR GetWindowClassName() const override { return L"ComboWnd"; }

    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
        if (uMsg == WM_ACTIVATE && wParam == WA_INACTIVE) {
            Close();
            return 0;
        }
        if (uMsg == WM_KEYDOWN && (wParam == kVkEscape || wParam == kVkReturn)) {
            Close();
            return 0;
        }
        if (uMsg == WM_KEYDOWN && (wParam == kVkUp || wParam == kVkDown)) {
            // The arrows move the selection through the open list.
            m_pOwner->SelectNeighbour(wParam == kVkUp ? -1 : 1);
            ScrollIntoView(m_pOwner->GetCurSel());
            return 0;
        }
        if (uMsg == WM_DESTROY) {
            // Give the rows back before the layout goes. The pointer is no
            // longer over any of them: a row left hot would open hot again.
            if (m_pLayout) {
                for (int i = 0; i < m_pOwner->GetCount(); ++i) {
                    CControlUI* row = m_pOwner->GetItemAt(i);
                    TEventUI leave;
                    leave.Type = UIEVENT_MOUSELEAVE;
                    leave.pSender = row;
                    row->DoEvent(leave);
                    row->SetManager(m_pOwner->GetManager(), m_pOwner, false);
                }
                m_pLayout->RemoveAll();
            }
            m_pOwner->m_pWindow = nullptr;
            m_pOwner->m_uButtonState &= ~UISTATE_PUSHED;
            m_pOwner->Invalidate();
        }
        LRESULT res = 0;
        if (m_pm.MessageHandler(uMsg, wParam, lParam, res)) return res;
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }

    void OnFinalMessage(HWND) override { delete this; }

private:
    int RowHeight() const {
        for (int i = 0; i < m_pOwner->GetCount(); ++i) {
            const RECT r = m_pOwner->GetItemAt(i)->GetPos();
            if (m_pOwner->GetItemAt(i)->IsVisible() && r.bottom > r.top) return r.bottom - r.top;
        }
        return 22;
    }

    CComboUI* m_pOwner;
    CPaintManagerUI m_pm;
    CVerticalLayoutUI* m_pLayout = nullptr;
};

CComboUI::CComboUI() {
    m_ListInfo.uTextStyle = DT_VCENTER | DT_SINGLELINE;
    // As wide as the combo, as tall as kDefaultDropHeight allows, unless the
    // skin says otherwise.
    m_szDropBox = {0, 0};
}

CComboUI::~CComboUI() {
    if (m_pWindow) {
        CComboWnd* w = m_pWindow;
        m_pWindow = nullptr;
        if (HWND h = w->GetHWND()) DestroyWindow(h);
    }
}

LPCTSTR CComboUI::GetClass() const { return L"ComboUI"; }
LPVOID CComboUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"Combo") == 0) return this;
    if (DuiCompareNoCase(n, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
    return CContainerUI::GetInterface(n);
}

CDuiString CComboUI::GetText() const {
    if (m_iCurSel < 0) return {};
    CControlUI* c = GetItemAt(m_iCurSel);
    return c ? c->GetText() : CDuiString();
}

void CComboUI::SetEnabled(bool bEnable) {
    CContainerUI::SetEnabled(bEnable);
    if (!IsEnabled()) m_uButtonState = 0;
}

void CComboUI::Reindex() {
    for (int i = 0; i < GetCount(); ++i)
        if (IListItemUI* it = AsItem(GetItemAt(i))) it->SetIndex(i);
}

bool CComboUI::Add(CControlUI* c) { return AddAt(c, GetCount()); }

void CComboUI::SetVisible(bool bVisible) { CControlUI::SetVisible(bVisible); }

void CComboUI::SetInternVisible(bool bVisible) { CControlUI::SetInternVisible(bVisible); }

bool CComboUI::AddAt(CControlUI* c, int iIndex) {
    if (!CContainerUI::AddAt(c, iIndex)) return false;
    c->SetInternVisible(true);
    if (IListItemUI* it = AsItem(c)) it->SetOwner(this);
    Reindex();
    if (m_iCurSel >= iIndex) ++m_iCurSel;
    return true;
}

bool CComboUI::Remove(CControlUI* c, bool bDoNotDestroy) {
    int i = GetItemIndex(c);
    return i >= 0 && RemoveAt(i, bDoNotDestroy);
}

bool CComboUI::RemoveAt(int iIndex, bool bDoNotDestroy) {
    CloseDropWindow();
    if (!CContainerUI::RemoveAt(iIndex, bDoNotDestroy)) return false;
    Reindex();
    if (m_iCurSel == iIndex)
        m_iCurSel = -1;
    else if (m_iCurSel > iIndex)
        --m_iCurSel;
    return true;
}

void CComboUI::RemoveAll() {
    CloseDropWindow();
    m_iCurSel = -1;
    CContainerUI::RemoveAll();
}

void CComboUI::CloseDropWindow() {
    if (m_pWindow && m_pWindow->GetHWND()) DestroyWindow(m_pWindow->GetHWND());
}

bool CComboUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (m_pWindow) return true;
    m_pWindow = new CComboWnd(this);
    m_pWindow->Open();
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_DROPDOWN);
    Invalidate();
    return true;
}

bool CComboUI::SelectItem(int iIndex, bool bTakeFocus, bool bTriggerEvent) {
    if (m_pWindow && bTakeFocus) m_pWindow->Close();
    if (iIndex == m_iCurSel) return true;
    if (iIndex >= GetCount()) return false;  // no such row: nothing changes
    int old = m_iCurSel;
    if (IListItemUI* prev = AsItem(GetItemAt(m_iCurSel))) prev->SelectMulti(false);
    if (iIndex < 0 || GetCount() == 0) {
        m_iCurSel = -1;
        Invalidate();
        return false;
    }
    CControlUI* c = GetItemAt(iIndex);
    IListItemUI* it = AsItem(c);
    if (!it || !c->IsVisible() || !c->IsEnabled()) {
        m_iCurSel = -1;
        Invalidate();
        return false;
    }
    m_iCurSel = iIndex;
    it->SelectMulti(true);
    if (bTakeFocus) SetFocus();
    Invalidate();
    if (bTriggerEvent && m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_ITEMSELECT, m_iCurSel, old);
    return true;
}

void CComboUI::SelectNeighbour(int step) {
    const int count = GetCount();
    if (count == 0 || step == 0) return;
    // Rows that cannot be chosen (hidden, disabled) are passed over; an open
    // list stays open.
    const int first = m_iCurSel < 0 ? (step > 0 ? 0 : count - 1) : m_iCurSel + step;
    for (int i = first; i >= 0 && i < count; i += step) {
        CControlUI* c = GetItemAt(i);
        if (!c->IsVisible() || !c->IsEnabled() || !AsItem(c)) continue;
        SelectItem(i);
        return;
    }
}

bool CComboUI::SelectItem1(int iIndex, bool bTakeFocus, bool bNotify) {
    return SelectItem(iIndex, bTakeFocus, bNotify);
}

void CComboUI::SetPos(RECT rc, bool bNeedInvalidate) {
    // The rows are laid out by the drop-down window, not here.
    CControlUI::SetPos(rc, bNeedInvalidate);
}

void CComboUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        if (m_pParent) m_pParent->DoEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS:
            Invalidate();
            return;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (IsEnabled()) {
                m_uButtonState |= UISTATE_PUSHED;
                Activate();
            }
            return;
        case UIEVENT_BUTTONUP:
            if (!m_pWindow) m_uButtonState &= ~UISTATE_PUSHED;
            Invalidate();
            return;
        case UIEVENT_KEYDOWN:
            if (event.wParam == kVkUp || event.wParam == kVkDown) {
                SelectNeighbour(event.wParam == kVkUp ? -1 : 1);
                if (m_pWindow) m_pWindow->ScrollIntoView(m_iCurSel);
                return;
            }
            break;
        case UIEVENT_SCROLLWHEEL:
            if (!IsEnabled()) return;
            if (m_pWindow)
                m_pWindow->ScrollRows(event.wParam == 0 ? -1 : 1);  // the open list scrolls
            else if (GetCount() > 0)
                SelectNeighbour(event.wParam == 0 ? -1 : 1);
            return;
        case UIEVENT_MOUSEENTER:
            if (IsEnabled()) {
                m_uButtonState |= UISTATE_HOT;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSELEAVE:
            m_uButtonState &= ~UISTATE_HOT;
            Invalidate();
            return;
        default:
            break;
    }
    CControlUI::DoEvent(event);
}

void CComboUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    auto is = [n](const wchar_t* name) { return DuiCompareNoCase(n, name) == 0; };
    if (m_ListInfo.SetAttribute(n, v)) return;
    if (is(L"textpadding"))
        m_rcTextPadding = ParseRectUI(v);
    else if (is(L"normalimage"))
        m_sNormalImage = v;
    else if (is(L"hotimage"))
        m_sHotImage = v;
    else if (is(L"pushedimage"))
        m_sPushedImage = v;
    else if (is(L"focusedimage"))
        m_sFocusedImage = v;
    else if (is(L"disabledimage"))
        m_sDisabledImage = v;
    else if (is(L"dropboxsize"))
        SetDropBoxSize(ParseSizeUI(v));
    else if (is(L"font"))
        m_iFont = ParseIntUI(v);
    else if (is(L"textcolor"))
        m_dwTextColor = ParseColorUI(v);
    else if (is(L"dropbox") || is(L"align") || is(L"endellipsis")) {
    } else if (is(L"selectedid"))
        SelectItem(ParseIntUI(v), false, false);
    else
        CContainerUI::SetAttribute(n, v);
}

CControlUI* CComboUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) {
    // Hit tests stop at the combo; searches by name see the rows too.
    if (uFlags & UIFIND_HITTEST) return CControlUI::FindControl(Proc, pData, uFlags);
    return CContainerUI::FindControl(Proc, pData, uFlags);
}

bool CComboUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) {
    return CControlUI::DoPaint(hDC, rcPaint, pStopControl);
}

void CComboUI::PaintStatusImage(HDC hDC) {
    const CDuiString* img = &m_sNormalImage;
    if (!IsEnabled() && !m_sDisabledImage.IsEmpty())
        img = &m_sDisabledImage;
    else if ((m_uButtonState & UISTATE_PUSHED) && !m_sPushedImage.IsEmpty())
        img = &m_sPushedImage;
    else if ((m_uButtonState & UISTATE_HOT) && !m_sHotImage.IsEmpty())
        img = &m_sHotImage;
    else if (IsFocused() && !m_sFocusedImage.IsEmpty())
        img = &m_sFocusedImage;
    if (!img->IsEmpty()) DrawImage(hDC, *img);
}

void CComboUI::PaintText(HDC hDC) {
    CDuiString text = GetText();
    if (text.IsEmpty()) return;
    RECT p = Scaled(m_rcTextPadding);
    RECT rc = {m_rcItem.left + p.left, m_rcItem.top + p.top, m_rcItem.right - p.right, m_rcItem.bottom - p.bottom};
    DWORD color = m_dwTextColor ? m_dwTextColor : m_ListInfo.dwTextColor;
    if (!IsEnabled()) color = m_ListInfo.dwDisabledTextColor;
    int font = m_iFont >= 0 ? m_iFont : m_ListInfo.nFont;
    CRenderEngine::DrawText(hDC, m_pManager, rc, text, color, font, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

}  // namespace DuiLib
