#include "platform/ui/window_impl_base.h"

#include "platform/os/messages.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/ui_log.h"

using namespace win;

namespace DuiLib {

namespace {

int ResizeCursorFor(BackendResizeEdge edge) {
    switch (edge) {
        case BackendResizeEdge::Left:
        case BackendResizeEdge::Right:
            return UICURSOR_SIZEWE;
        case BackendResizeEdge::Top:
        case BackendResizeEdge::Bottom:
            return UICURSOR_SIZENS;
        case BackendResizeEdge::TopLeft:
        case BackendResizeEdge::BottomRight:
            return UICURSOR_SIZENWSE;
        case BackendResizeEdge::TopRight:
        case BackendResizeEdge::BottomLeft:
            return UICURSOR_SIZENESW;
    }
    return 0;
}

}  // namespace

DUI_BEGIN_MESSAGE_MAP(WindowImplBase, CNotifyPump)
DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, WindowImplBase::OnClick)
DUI_END_MESSAGE_MAP()

void WindowImplBase::OnFinalMessage(HWND) {
    m_pm.RemovePreMessageFilter(this);
    m_pm.RemoveNotifier(this);
    m_pm.RemoveAllTimers();
}

void WindowImplBase::Notify(TNotifyUI& msg) { NotifyPump(msg); }

void WindowImplBase::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    CDuiString name = msg.pSender->GetName();
    if (name == L"closebtn")
        Close();
    else if (name == L"minbtn")
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (name == L"maxbtn")
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (name == L"restorebtn")
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
}

bool WindowImplBase::IsInStaticControl(CControlUI* c) {
    if (!c) return true;
    CDuiString cls = c->GetClass();
    return cls == L"ControlUI" || cls == L"LabelUI" || cls == L"TextUI" || cls == L"ContainerUI" ||
           cls == L"VerticalLayoutUI" || cls == L"HorizontalLayoutUI" || cls == L"TabLayoutUI" || cls == L"ProgressUI";
}

CControlUI* WindowImplBase::CreateControl(LPCTSTR) { return nullptr; }
LPCTSTR WindowImplBase::QueryControlText(LPCTSTR, LPCTSTR) { return nullptr; }

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM wParam) {
    // Enter goes on to the focused control; Escape is swallowed.
    if (wParam == 0x0D) return FALSE;
    if (wParam == 0x1B) return TRUE;
    return FALSE;
}

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool& bHandled) {
    if (uMsg == WM_KEYDOWN && (wParam == 0x0D || wParam == 0x1B)) {
        LRESULT r = ResponseDefaultKeyEvent(wParam);
        bHandled = r != FALSE;
        return r;
    }
    return FALSE;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}
LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    SIZE round = m_pm.GetRoundCorner();
    if (wParam != UI_SIZE_MINIMIZED && (round.cx || round.cy))
        SetRoundCorner(IsZoomed() ? 0 : round.cx, IsZoomed() ? 0 : round.cy);
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        bHandled = TRUE;
        SendMessage(WM_CLOSE);
        return 0;
    }
    bool zoomed = IsZoomed();
    LRESULT r = DefaultHandler(uMsg, wParam, lParam);
    if (zoomed != IsZoomed()) {
        // Swap the maximise and restore buttons of the caption.
        CControlUI* max = m_pm.FindControl(L"maxbtn");
        CControlUI* restore = m_pm.FindControl(L"restorebtn");
        if (max) max->SetVisible(!IsZoomed());
        if (restore) restore->SetVisible(IsZoomed());
    }
    return r;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    m_pm.SetWindow(this);
    m_pm.Init(m_hWnd);
    m_pm.AddPreMessageFilter(this);
    CDialogBuilder builder;
    CDuiString folder = GetSkinFolder();
    CDuiString skin = GetSkinFile();
    if (!folder.IsEmpty() && skin.GetAt(0) != L'<') skin = folder + skin;
    CControlUI* root = builder.Create(skin, GetSkinType(), this, &m_pm);
    if (!root) {
        // A window without its skin stays usable (and empty) rather than
        // taking the program down.
        ReportUIProblem(CDuiString(L"window ") + GetWindowClassName() + L" has no skin: " + builder.GetLastError());
    } else {
        m_pm.AttachDialog(root);
    }
    m_pm.AddNotifier(this);
    InitWindow();
    m_pm.Invalidate();
    return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}
LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}
LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

bool WindowImplBase::IsCaptionHit(LPARAM lParam) {
    POINT pt = {static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam))),
                static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lParam)))};
    RECT caption = m_pm.GetCaptionRect();
    SIZE client = GetClientSize();
    if (IsZoomed() || pt.x < caption.left || pt.x >= client.cx - caption.right || pt.y < caption.top ||
        pt.y >= caption.bottom)
        return false;
    return IsInStaticControl(m_pm.FindControl(pt));
}

bool WindowImplBase::IsSizeBoxHit(LPARAM lParam, BackendResizeEdge& edge) {
    POINT pt = {static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam))),
                static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lParam)))};
    if (IsZoomed() || IsIconic()) return false;
    RECT box = m_pm.GetSizeBox();
    SIZE client = GetClientSize();
    if (pt.x < 0 || pt.y < 0 || pt.x >= client.cx || pt.y >= client.cy) return false;
    const bool left = pt.x < box.left;
    const bool right = !left && pt.x >= client.cx - box.right;
    const bool top = pt.y < box.top;
    const bool bottom = !top && pt.y >= client.cy - box.bottom;
    using E = BackendResizeEdge;
    if (top)
        edge = left ? E::TopLeft : right ? E::TopRight : E::Top;
    else if (bottom)
        edge = left ? E::BottomLeft : right ? E::BottomRight : E::Bottom;
    else if (left)
        edge = E::Left;
    else if (right)
        edge = E::Right;
    else
        return false;
    return true;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}
LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}
LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}
LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}
LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}
LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    BackendResizeEdge edge = BackendResizeEdge::BottomRight;
    if ((uMsg == WM_LBUTTONDOWN || uMsg == WM_LBUTTONDBLCLK) && IsSizeBoxHit(lParam, edge)) {
        // The size box is the window's frame: a press there resizes it and
        // never reaches the controls under it.
        BeginResize(edge);
        return 0;
    }
    if (uMsg == WM_LBUTTONDOWN && IsCaptionHit(lParam)) {
        // A press on the caption's static parts moves the window.
        BeginMove();
        return 0;
    }
    if (uMsg == WM_MOUSEMOVE && !(wParam & UIKEY_LBUTTON) && IsSizeBoxHit(lParam, edge)) {
        // The controls see the pointer as usual (hover ends where the band
        // begins); the cursor then tells which way a press would resize.
        HWND self = m_hWnd;
        LRESULT lRes = RouteMessage(uMsg, wParam, lParam);
        if (IsWindow(self)) SetCursorShape(ResizeCursorFor(edge));
        return lRes;
    }
    return RouteMessage(uMsg, wParam, lParam);
}

LRESULT WindowImplBase::RouteMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    LRESULT lRes = 0;
    BOOL bHandled = TRUE;
    switch (uMsg) {
        case WM_CREATE:
            lRes = OnCreate(uMsg, wParam, lParam, bHandled);
            break;
        case WM_CLOSE:
            lRes = OnClose(uMsg, wParam, lParam, bHandled);
            break;
        case WM_DESTROY:
            lRes = OnDestroy(uMsg, wParam, lParam, bHandled);
            break;
        case WM_SIZE:
            lRes = OnSize(uMsg, wParam, lParam, bHandled);
            break;
        case WM_CHAR:
            lRes = OnChar(uMsg, wParam, lParam, bHandled);
            break;
        case WM_SYSCOMMAND:
            lRes = OnSysCommand(uMsg, wParam, lParam, bHandled);
            break;
        case WM_KEYDOWN:
            lRes = OnKeyDown(uMsg, wParam, lParam, bHandled);
            break;
        case WM_KILLFOCUS:
            lRes = OnKillFocus(uMsg, wParam, lParam, bHandled);
            break;
        case WM_SETFOCUS:
            lRes = OnSetFocus(uMsg, wParam, lParam, bHandled);
            break;
        case WM_LBUTTONUP:
            lRes = OnLButtonUp(uMsg, wParam, lParam, bHandled);
            break;
        case WM_LBUTTONDOWN:
            lRes = OnLButtonDown(uMsg, wParam, lParam, bHandled);
            break;
        case WM_MOUSEMOVE:
            lRes = OnMouseMove(uMsg, wParam, lParam, bHandled);
            break;
        case WM_MOUSEHOVER:
            lRes = OnMouseHover(uMsg, wParam, lParam, bHandled);
            break;
        case WM_MOUSEWHEEL:
            lRes = OnMouseWheel(uMsg, wParam, lParam, bHandled);
            break;
        case WM_GETMINMAXINFO:
            lRes = OnGetMinMaxInfo(uMsg, wParam, lParam, bHandled);
            break;
        default:
            bHandled = FALSE;
            break;
    }
    if (bHandled) return lRes;
    lRes = HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    if (bHandled) return lRes;
    if (m_pm.MessageHandler(uMsg, wParam, lParam, lRes)) return lRes;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

}  // namespace DuiLib
