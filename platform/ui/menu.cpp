#include "platform/ui/menu.h"

#include "platform/os/messages.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/render_engine.h"
#include "platform/ui/ui_log.h"

#include <algorithm>
#include <cwchar>

using namespace win;

namespace DuiLib {

namespace {

std::vector<CMenuWnd*>& Menus() {
    static std::vector<CMenuWnd*> menus;
    return menus;
}

void CopyText(wchar_t* out, size_t cap, const CDuiString& text) {
    std::wcsncpy(out, text.GetData(), cap - 1);
    out[cap - 1] = L'\0';
}

// Menu skins name their own element types.
class MenuBuilderCallback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(LPCTSTR cls) override {
        if (DuiCompareNoCase(cls, L"Menu") == 0) return new CMenuUI;
        if (DuiCompareNoCase(cls, L"MenuElement") == 0) return new CMenuElementUI;
        return nullptr;
    }
};

}  // namespace

LPCTSTR CMenuUI::GetClass() const { return L"MenuUI"; }
LPVOID CMenuUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"Menu") == 0) return this;
    return CListUI::GetInterface(n);
}

SIZE CMenuUI::EstimateSize(SIZE avail) {
    int w = GetFixedWidth() > 0 ? GetFixedWidth() : 0, h = 0;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = GetItemAt(i);
        if (!c->IsVisible()) continue;
        SIZE s = c->EstimateSize(avail);
        h += s.cy;
        w = std::max<int>(w, s.cx);
    }
    RECT in = GetInset();
    return {std::max(w, 120) + in.left + in.right, h + in.top + in.bottom};
}

LPCTSTR CMenuElementUI::GetClass() const { return L"MenuElementUI"; }
LPVOID CMenuElementUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"MenuElement") == 0) return this;
    return CListContainerElementUI::GetInterface(n);
}

SIZE CMenuElementUI::EstimateSize(SIZE) {
    SIZE s = {GetFixedWidth(), GetFixedHeight()};
    if (s.cy == 0) s.cy = Scaled(26);
    if (s.cx == 0 && m_pManager)
        s.cx = CRenderEngine::GetTextSize(nullptr, m_pManager, GetText(), m_iFont, DT_SINGLELINE).cx + Scaled(40);
    return s;
}

void CMenuElementUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    if (DuiCompareNoCase(n, L"textcolor") == 0)
        m_dwTextColor = ParseColorUI(v);
    else if (DuiCompareNoCase(n, L"hottextcolor") == 0)
        m_dwHotTextColor = ParseColorUI(v);
    else if (DuiCompareNoCase(n, L"hotbkcolor") == 0)
        m_dwHotBkColor = ParseColorUI(v);
    else if (DuiCompareNoCase(n, L"font") == 0)
        m_iFont = ParseIntUI(v);
    else if (DuiCompareNoCase(n, L"checked") == 0)
        m_bChecked = ParseBoolUI(v);
    else if (DuiCompareNoCase(n, L"align") == 0 || DuiCompareNoCase(n, L"textpadding") == 0) {
    } else
        CListContainerElementUI::SetAttribute(n, v);
}

void CMenuElementUI::DrawItemBk(HDC hDC, const RECT& rcItem) {
    if (IsEnabled() && !m_bSelected && (m_uButtonState & UISTATE_HOT) && m_dwHotBkColor)
        CRenderEngine::DrawColor(hDC, m_rcItem, m_dwHotBkColor);
    else
        CListContainerElementUI::DrawItemBk(hDC, rcItem);
}

void CMenuElementUI::PaintText(HDC hDC) {
    CDuiString text = GetText();
    if (text.IsEmpty()) return;
    RECT rc = m_rcItem;
    rc.left += Scaled(24);
    DWORD color = IsEnabled() ? m_dwTextColor : 0xFFA0A0A0;
    if (IsEnabled() && (m_uButtonState & UISTATE_HOT) && m_dwHotTextColor) color = m_dwHotTextColor;
    CRenderEngine::DrawText(hDC, m_pManager, rc, text, color, m_iFont, DT_SINGLELINE | DT_VCENTER);
    if (m_bChecked) {
        RECT mark = {m_rcItem.left + Scaled(8), m_rcItem.top, m_rcItem.left + Scaled(20), m_rcItem.bottom};
        CRenderEngine::DrawText(hDC, m_pManager, mark, L"\u2713", color, m_iFont, DT_SINGLELINE | DT_VCENTER);
    }
}

void CMenuElementUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_BUTTONUP && IsEnabled() && PtInRectUI(m_rcItem, event.ptMouse)) {
        if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_ITEMCLICK, 1, 0);
        return;
    }
    if (event.Type == UIEVENT_KEYDOWN && event.wParam == 0x0D && IsEnabled()) {
        if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_ITEMCLICK, 1, 0);
        return;
    }
    if (event.Type == UIEVENT_BUTTONDOWN || event.Type == UIEVENT_DBLCLICK) {
        Select(true, false);
        return;
    }
    CListContainerElementUI::DoEvent(event);
}

CMenuWnd::CMenuWnd() = default;

CMenuWnd::~CMenuWnd() {
    auto& m = Menus();
    m.erase(std::remove(m.begin(), m.end(), this), m.end());
}

std::vector<CMenuWnd*> CMenuWnd::OpenMenus() { return Menus(); }

void CMenuWnd::Init(CMenuElementUI*, LPCTSTR xml, POINT point, CPaintManagerUI* pMain,
                    std::map<CDuiString, bool>* pCheckInfo, DWORD align) {
    m_hReceiver = pMain ? pMain->GetPaintWindow() : nullptr;
    m_pCheckInfo = pCheckInfo;
    Create(m_hReceiver, L"", UI_WS_POPUP, UI_WS_EX_TOOLWINDOW | UI_WS_EX_TOPMOST, point.x, point.y, 1, 1);
    if (!m_hWnd) return;
    Menus().push_back(this);
    m_pm.Init(m_hWnd);
    m_pm.SetWindow(this);
    MenuBuilderCallback callback;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(xml, nullptr, &callback, &m_pm);
    if (!root) {
        ReportUIProblem(CDuiString(L"menu skin cannot be built: ") + builder.GetLastError());
        Close();
        return;
    }
    m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    if (m_pCheckInfo) {
        for (auto& entry : *m_pCheckInfo) {
            auto* item = static_cast<CMenuElementUI*>(m_pm.FindControl(entry.first));
            if (item && item->GetInterface(L"MenuElement")) item->SetChecked(entry.second);
        }
    }
    SIZE s = root->EstimateSize({9999, 9999});
    if (root->GetFixedWidth() > 0) s.cx = root->GetFixedWidth();
    if (root->GetFixedHeight() > 0) s.cy = root->GetFixedHeight();
    int x = (align & eMenuAlignment_Right) ? point.x - s.cx : point.x;
    int y = (align & eMenuAlignment_Bottom) ? point.y - s.cy : point.y;
    BackendRect screen = GetDisplayBackend().GetWorkArea();
    x = std::max<int>(screen.left, std::min<int>(x, screen.right - s.cx));
    y = std::max<int>(screen.top, std::min<int>(y, screen.bottom - s.cy));
    SetWindowRect({x, y, x + s.cx, y + s.cy});
    ShowWindow(true, true);
    m_pm.Invalidate();
}

void CMenuWnd::DestroyMenu() {
    std::vector<CMenuWnd*> open = Menus();
    for (CMenuWnd* m : open)
        if (m->GetHWND()) DestroyWindow(m->GetHWND());
}

void CMenuWnd::Choose(CMenuElementUI* item) {
    if (m_hReceiver && IsWindow(m_hReceiver)) {
        auto* cmd = new MenuCmd{};
        CopyText(cmd->szName, 256, item->GetName());
        CopyText(cmd->szUserData, 1024, item->GetUserData());
        CopyText(cmd->szText, 1024, item->GetText());
        cmd->bChecked = item->GetChecked() ? TRUE : FALSE;
        if (!PostMessageW(m_hReceiver, WM_MENU_COMMAND_UI, reinterpret_cast<WPARAM>(cmd), 0)) delete cmd;
    }
    DestroyMenu();
}

void CMenuWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_ITEMCLICK && msg.wParam == 1 && msg.pSender) {
        auto* item = static_cast<CMenuElementUI*>(msg.pSender->GetInterface(L"MenuElement"));
        if (item) Choose(item);
    }
}

LRESULT CMenuWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_ACTIVATE && wParam == WA_INACTIVE) {
        Close();
        return 0;
    }
    if (uMsg == WM_KEYDOWN && wParam == 0x1B) {
        Close();
        return 0;
    }
    if (uMsg == WM_DESTROY) {
        auto& m = Menus();
        m.erase(std::remove(m.begin(), m.end(), this), m.end());
    }
    LRESULT res = 0;
    if (m_pm.GetPaintWindow() && m_pm.MessageHandler(uMsg, wParam, lParam, res)) return res;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CMenuWnd::OnFinalMessage(HWND) {
    // The program owns menu objects and deletes them; nothing to free here.
    m_pm.RemoveNotifier(this);
}

}  // namespace DuiLib
