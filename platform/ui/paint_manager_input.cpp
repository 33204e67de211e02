// The paint manager's handling of window messages: painting, mouse and
// keyboard input routed to controls, control timers, size changes.

#include "platform/ui/input_state.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/tooltip_window.h"
#include "platform/ui/window.h"

#include "platform/os/clock.h"
#include "platform/os/messages.h"

using namespace win;

namespace DuiLib {

namespace {

// The window timer that shows a tooltip after the pointer rested.
constexpr UINT_PTR kToolTipTimer = 0x7DFFFFF0;
constexpr UINT kToolTipDelayMs = 500;

POINT PointFrom(LPARAM lParam) {
    POINT pt;
    pt.x = static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam)));
    pt.y = static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lParam)));
    return pt;
}

TEventUI MakeEvent(int type, CControlUI* sender, POINT pt, WPARAM wParam, LPARAM lParam) {
    TEventUI e;
    e.Type = type;
    e.pSender = sender;
    e.ptMouse = pt;
    e.wParam = wParam;
    e.lParam = lParam;
    e.wKeyState = MouseKeyStateUI();
    e.dwTimestamp = GetTickCount();
    return e;
}

}  // namespace

void CPaintManagerUI::UpdateHover(POINT pt, WPARAM wParam) {
    CControlUI* newHover = FindControl(pt);
    if (newHover && newHover->GetManager() != this) newHover = nullptr;
    if (newHover != m_pEventHover && m_pEventHover) {
        TEventUI e = MakeEvent(UIEVENT_MOUSELEAVE, newHover, pt, wParam, 0);
        CControlUI* old = m_pEventHover;
        m_pEventHover = nullptr;
        DispatchEvent(old, e);
    }
    if (newHover != m_pEventHover && newHover) {
        m_pEventHover = newHover;
        UpdateToolTip(false);
        if (newHover->HasToolTip()) win::SetTimer(m_hWndPaint, kToolTipTimer, kToolTipDelayMs, nullptr);
        TEventUI e = MakeEvent(UIEVENT_MOUSEENTER, newHover, pt, wParam, 0);
        DispatchEvent(newHover, e);
    }
    if (m_pWindow) {
        int cursor = 0;
        for (CControlUI* c = m_pEventHover; c && !cursor; c = c->GetParent()) cursor = c->GetCursor();
        if (m_pEventHover) {
            TEventUI e = MakeEvent(UIEVENT_SETCURSOR, m_pEventHover, pt, 0, 0);
            DispatchEvent(m_pEventHover, e);
        }
        m_pWindow->SetCursorShape(cursor);
    }
}

void CPaintManagerUI::UpdateToolTip(bool show) {
    if (!show) {
        if (m_hWndPaint) win::KillTimer(m_hWndPaint, kToolTipTimer);
        m_pToolTipFor = nullptr;
        if (m_pToolTip) m_pToolTip->Hide();
        return;
    }
    if (!m_pEventHover || !m_pWindow) return;
    if (!m_pEventHover->HasToolTip()) return;
    if (!m_pToolTip) m_pToolTip = std::make_unique<CToolTipWnd>();
    RECT r = m_pWindow->GetWindowRect();
    POINT at = {r.left + m_ptLastMousePos.x + 12, r.top + m_ptLastMousePos.y + 18};
    m_pToolTipFor = m_pEventHover;
    m_pToolTip->ShowAt(m_hWndPaint, m_pEventHover->GetUserToolTitle(), m_pEventHover->GetToolTipBody(), at, this);
}

void CPaintManagerUI::HandleMouse(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    POINT pt = PointFrom(lParam);
    if (uMsg == WM_MOUSEWHEEL && m_pWindow) {
        // Wheel positions come in screen coordinates.
        RECT r = m_pWindow->GetWindowRect();
        pt.x -= r.left;
        pt.y -= r.top;
    }
    if (uMsg != WM_MOUSELEAVE) m_ptLastMousePos = pt;
    if (uMsg != WM_MOUSEMOVE) UpdateToolTip(false);
    switch (uMsg) {
        case WM_MOUSEMOVE: {
            if (!m_pEventClick) UpdateHover(pt, wParam);
            CControlUI* target = m_pEventClick ? m_pEventClick : m_pEventHover;
            if (target) {
                TEventUI e = MakeEvent(UIEVENT_MOUSEMOVE, target, pt, wParam, lParam);
                DispatchEvent(target, e);
            }
            break;
        }
        case WM_MOUSELEAVE:
            if (m_pEventHover && !m_pEventClick) {
                CControlUI* old = m_pEventHover;
                m_pEventHover = nullptr;
                TEventUI e = MakeEvent(UIEVENT_MOUSELEAVE, nullptr, m_ptLastMousePos, wParam, 0);
                DispatchEvent(old, e);
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            CControlUI* c = FindControl(pt);
            if (!c || c->GetManager() != this) break;
            m_pEventClick = c;
            c->SetFocus();
            SetCapture();
            TEventUI e =
                MakeEvent(uMsg == WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN : UIEVENT_DBLCLICK, c, pt, wParam, lParam);
            if (m_pEventClick) DispatchEvent(m_pEventClick, e);
            break;
        }
        case WM_LBUTTONUP: {
            ReleaseCapture();
            CControlUI* c = m_pEventClick;
            m_pEventClick = nullptr;
            if (!c) break;
            TEventUI e = MakeEvent(UIEVENT_BUTTONUP, c, pt, wParam, lParam);
            DispatchEvent(c, e);
            UpdateHover(pt, wParam);
            break;
        }
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: {
            CControlUI* c = FindControl(pt);
            if (!c || c->GetManager() != this) break;
            c->SetFocus();
            TEventUI e = MakeEvent(UIEVENT_RBUTTONDOWN, c, pt, wParam, lParam);
            DispatchEvent(c, e);
            m_pEventClick = nullptr;
            break;
        }
        case WM_RBUTTONUP: {
            CControlUI* c = FindControl(pt);
            if (!c || c->GetManager() != this) break;
            TEventUI e = MakeEvent(UIEVENT_RBUTTONUP, c, pt, wParam, lParam);
            DispatchEvent(c, e);
            c = FindControl(pt);
            if (!c) break;
            TEventUI m = MakeEvent(UIEVENT_CONTEXTMENU, c, pt, 0, reinterpret_cast<LPARAM>(c));
            DispatchEvent(c, m);
            break;
        }
        case WM_MOUSEWHEEL: {
            CControlUI* c = FindControl(pt);
            if (!c || c->GetManager() != this) break;
            int delta = static_cast<short>(HIWORD(wParam));
            // wParam: SB_LINEUP (0) or SB_LINEDOWN (1); lParam the raw delta.
            TEventUI e = MakeEvent(UIEVENT_SCROLLWHEEL, c, pt, delta < 0 ? 1 : 0, delta);
            DispatchEvent(c, e);
            break;
        }
        default:
            break;
    }
}

void CPaintManagerUI::HandleKey(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (!m_pFocus) return;
    int type = uMsg == WM_CHAR                             ? UIEVENT_CHAR
               : (uMsg == WM_KEYUP || uMsg == WM_SYSKEYUP) ? UIEVENT_KEYUP
                                                           : UIEVENT_KEYDOWN;
    if (uMsg == WM_SYSKEYDOWN) type = UIEVENT_SYSKEY;
    TEventUI e = MakeEvent(type, m_pFocus, m_ptLastMousePos, wParam, lParam);
    e.chKey = static_cast<TCHAR>(wParam);
    m_pEventKey = m_pFocus;
    DispatchEvent(m_pFocus, e);
    m_pEventKey = nullptr;
}

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    if (!m_hWndPaint) return false;
    {
        std::vector<IMessageFilterUI*> filters = m_aMessageFilters;
        for (IMessageFilterUI* f : filters) {
            bool handled = false;
            LRESULT r = f->MessageHandler(uMsg, wParam, lParam, handled);
            if (handled) {
                lRes = r;
                return true;
            }
        }
    }
    bool handled = false;
    switch (uMsg) {
        case UIMSG_PAINT:
        case WM_PAINT:
            Paint();
            handled = true;
            break;
        case UIMSG_ASYNC_NOTIFY: {
            FlushDelayedCleanup();
            std::vector<TNotifyUI> list;
            {
                std::lock_guard<std::mutex> guard(m_asyncLock);
                list.swap(m_aAsyncNotify);
            }
            for (auto& n : list)
                if (n.pSender) DeliverNotify(n);
            handled = true;
            break;
        }
        case WM_SIZE:
            if (m_pFocus) {
                TEventUI e = MakeEvent(UIEVENT_WINDOWSIZE, m_pFocus, m_ptLastMousePos, 0, 0);
                DispatchEvent(m_pFocus, e);
            }
            if (m_pRoot) {
                NeedUpdate();
                SendNotify(m_pRoot, DUI_MSGTYPE_WINDOWSIZE, wParam, lParam, true);
            }
            break;
        case WM_TIMER: {
            if (wParam == kToolTipTimer) {
                win::KillTimer(m_hWndPaint, kToolTipTimer);
                UpdateToolTip(true);
                handled = true;
                break;
            }
            CControlUI* target = nullptr;
            UINT local = 0;
            {
                std::lock_guard<std::mutex> guard(m_timerLock);
                for (auto& t : m_aTimers)
                    if (t.uWinTimer == wParam && !t.bKilled) {
                        target = t.pSender;
                        local = t.nLocalID;
                        break;
                    }
            }
            // A timer armed (from another thread) for a control that has left
            // the tree meanwhile is dropped rather than delivered to it.
            if (target && !IsInTree(target)) {
                KillTimer(target, local);
                handled = true;
                break;
            }
            if (target) {
                TEventUI e = MakeEvent(UIEVENT_TIMER, target, m_ptLastMousePos, local, lParam);
                DispatchEvent(target, e);
                handled = true;
            }
            break;
        }
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_RBUTTONUP:
        case WM_MOUSEWHEEL:
            HandleMouse(uMsg, wParam, lParam);
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            HandleKey(uMsg, wParam, lParam);
            break;
        case WM_KILLFOCUS:
            ReleaseCapture();
            m_pEventClick = nullptr;
            break;
        default:
            break;
    }
    if (m_nEventDepth == 0 && !m_aDelayedCleanup.empty()) FlushDelayedCleanup();
    return handled;
}

}  // namespace DuiLib
