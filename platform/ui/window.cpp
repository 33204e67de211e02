#include "platform/ui/window.h"

#include "platform/os/clock.h"
#include "platform/os/messages.h"
#include "platform/ui/icon_picture.h"
#include "platform/ui/input_state.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/paint_manager.h"

#include <cstdlib>
#include <map>
#include <string>

using namespace win;

namespace DuiLib {

namespace {

// Each UI thread serves the display backend's descriptor in its message wait.
void EnsureBackendSource() {
    thread_local bool registered = false;
    if (registered) return;
    registered = true;
    IDisplayBackend& backend = GetDisplayBackend();
    int fd = backend.GetEventFd();
    if (fd >= 0)
        AddMessageSource(
            fd, [] { GetDisplayBackend().ProcessEvents(); }, [] { return GetDisplayBackend().HasBufferedEvents(); });
}

LPARAM MakePoint(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// The class cursors by window class name (UI thread only, as classes are).
std::map<std::wstring, std::shared_ptr<const BackendCursorImage>>& ClassCursors() {
    static std::map<std::wstring, std::shared_ptr<const BackendCursorImage>> cursors;
    return cursors;
}

BackendCursor CursorFor(int id) {
    switch (id) {
        case 32513:
            return BackendCursor::IBeam;
        case 32514:
            return BackendCursor::Wait;
        case 32515:
            return BackendCursor::Cross;
        case 32516:
            return BackendCursor::UpArrow;
        case 32640:
            return BackendCursor::Size;
        case 32641:
            return BackendCursor::Icon;
        case 32642:
            return BackendCursor::SizeNWSE;
        case 32643:
            return BackendCursor::SizeNESW;
        case 32644:
            return BackendCursor::SizeWE;
        case 32645:
            return BackendCursor::SizeNS;
        case 32646:
            return BackendCursor::SizeAll;
        case 32648:
            return BackendCursor::No;
        case 32649:
            return BackendCursor::Hand;
        case 32650:
            return BackendCursor::AppStarting;
        case 32651:
            return BackendCursor::Help;
        default:
            return BackendCursor::Arrow;
    }
}

}  // namespace

CWindowWnd::CWindowWnd() = default;

CWindowWnd::~CWindowWnd() {
    if (m_hWnd && IsWindow(m_hWnd)) {
        // The object goes first: detach it so that no message reaches it.
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        HWND h = m_hWnd;
        m_hWnd = nullptr;
        DestroyWindow(h);
    }
    m_backend.reset();
    if (m_lastPicture) cairo_surface_destroy(m_lastPicture);
}

CWindowWnd* CWindowWnd::FromHandle(HWND hWnd) {
    if (!hWnd) return nullptr;
    return reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
}

HWND CWindowWnd::Create(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle, const RECT rc, HMENU menu) {
    return Create(parent, name, style, exStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, menu);
}

HWND CWindowWnd::Create(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy, HMENU) {
    if (x == UI_CW_USEDEFAULT) x = 0;
    if (y == UI_CW_USEDEFAULT) y = 0;
    if (cx == UI_CW_USEDEFAULT || cx < 0) cx = 0;
    if (cy == UI_CW_USEDEFAULT || cy < 0) cy = 0;
    m_rcCreate = {x, y, x + cx, y + cy};
    m_hOwner = parent;
    EnsureBackendSource();
    HWND h = CreateWindowHandle(__WndProc, name, parent, this, style, exStyle);
    if (!h) return nullptr;
    if (style & UI_WS_DISABLED) Enable(false);
    if (style & UI_WS_VISIBLE) ShowWindow(true, true);
    return m_hWnd;
}

HWND CWindowWnd::CreateDuiWindow(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle) {
    return Create(parent, name, style, exStyle, 0, 0, 0, 0, nullptr);
}

void CWindowWnd::CreateBackend(LPCTSTR name, DWORD style, DWORD exStyle) {
    BackendWindowParams p;
    p.title = name ? name : L"";
    p.rect = {m_rcCreate.left, m_rcCreate.top, m_rcCreate.right, m_rcCreate.bottom};
    CWindowWnd* owner = FromHandle(m_hOwner);
    p.owner = owner ? owner->GetBackendWindow() : nullptr;
    p.toolWindow = (exStyle & UI_WS_EX_TOOLWINDOW) != 0;
    p.popup = p.toolWindow && (style & UI_WS_POPUP) && (style & UI_WS_CAPTION) != UI_WS_CAPTION;
    p.topMost = (exStyle & UI_WS_EX_TOPMOST) != 0;
    p.noActivate = (exStyle & UI_WS_EX_NOACTIVATE) != 0;
    m_rcWindow = m_rcCreate;
    m_dpi = GetDisplayBackend().GetDpi();
    m_backend = GetDisplayBackend().CreateWindow(p, this);
}

LRESULT CWindowWnd::__WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* self = nullptr;
    if (uMsg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<CWindowWnd*>(cs->lpCreateParams);
        if (!self) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
        self->m_hWnd = hWnd;
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->CreateBackend(cs->lpszName, cs->style, cs->dwExStyle);
    } else {
        self = FromHandle(hWnd);
    }
    if (!self) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_NCDESTROY) {
        LRESULT r = self->HandleMessage(uMsg, wParam, lParam);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        self->m_backend.reset();
        if (self->m_lastPicture) {
            cairo_surface_destroy(self->m_lastPicture);
            self->m_lastPicture = nullptr;
        }
        self->m_hWnd = nullptr;
        self->OnFinalMessage(hWnd);  // may delete the object
        return r;
    }
    return self->HandleMessage(uMsg, wParam, lParam);
}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return DefaultHandler(uMsg, wParam, lParam);
}

LRESULT CWindowWnd::DefaultHandler(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_SYSCOMMAND) {
        switch (wParam & 0xFFF0) {
            case SC_CLOSE:
                SendMessage(WM_CLOSE);
                return 0;
            case SC_MINIMIZE:
                ShowCmd(SW_MINIMIZE);
                return 0;
            case SC_MAXIMIZE:
                ShowCmd(SW_MAXIMIZE);
                return 0;
            case SC_RESTORE:
                ShowCmd(SW_RESTORE);
                return 0;
            default:
                return 0;
        }
    }
    return DefWindowProcW(m_hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

void CWindowWnd::ShowWindow(bool bShow, bool bTakeFocus) {
    if (!m_backend) return;
    ShowCmd(bShow ? (bTakeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

void CWindowWnd::ShowCmd(int cmd) {
    if (!m_backend) return;
    bool wasVisible = IsVisible();
    const bool hides = cmd == SW_HIDE || cmd == SW_SHOWMINIMIZED || cmd == SW_MINIMIZE || cmd == SW_SHOWMINNOACTIVE;
    if (!wasVisible && !hides && m_lastPicture) {
        // The backend holds the picture before the window appears: it is
        // mapped with it, not blank until the next paint.
        SIZE s = GetClientSize();
        m_backend->Present(m_lastPicture, {0, 0, s.cx, s.cy});
    }
    switch (cmd) {
        case SW_HIDE:
            m_backend->Show(BackendShowCommand::Hide);
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
        case SW_SHOWMINNOACTIVE:
            m_backend->Show(BackendShowCommand::Minimize);
            break;
        case SW_SHOWMAXIMIZED:
            m_backend->Show(BackendShowCommand::Maximize);
            break;
        case SW_SHOWNOACTIVATE:
        case SW_SHOWNA:
            m_backend->Show(BackendShowCommand::ShowNoActivate);
            break;
        case SW_RESTORE:
            m_backend->Show(BackendShowCommand::Restore);
            break;
        default:
            if (IsIconic() || IsZoomed())
                m_backend->Show(BackendShowCommand::Restore);
            else
                m_backend->Show(BackendShowCommand::Show);
            break;
    }
    if (!m_hWnd) return;
    bool visible = IsVisible();
    if (visible != wasVisible) SendMessage(WM_SHOWWINDOW, visible ? 1 : 0, 0);
    if (visible) {
        if (m_lastPicture && wasVisible) {
            SIZE s = GetClientSize();
            m_backend->Present(m_lastPicture, {0, 0, s.cx, s.cy});
        }
        PostMessage(UIMSG_PAINT);
    }
}

UINT CWindowWnd::ShowModal() {
    if (!m_hWnd) return 0;
    HWND owner = m_hOwner;
    CWindowWnd* ownerWnd = FromHandle(owner);
    ShowWindow(true, true);
    if (ownerWnd) ownerWnd->Enable(false);
    HWND self = m_hWnd;
    UINT result = 0;
    bool haveResult = false;
    MSG msg;
    bool quit = false;
    while (IsWindow(self)) {
        BOOL r = GetMessageW(&msg, nullptr, 0, 0);
        if (r <= 0) {
            quit = r == 0;
            break;
        }
        if (msg.hwnd == self && msg.message == WM_CLOSE) {
            if (!haveResult) {
                result = static_cast<UINT>(msg.wParam);
                haveResult = true;
            }
            // The owner comes back before the window goes, as the user expects.
            if (ownerWnd && IsWindow(owner)) ownerWnd->Enable(true);
        }
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (ownerWnd && IsWindow(owner)) {
        ownerWnd->Enable(true);
        ownerWnd->Activate();
    }
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));  // let the outer loop end too
    return result;
}

void CWindowWnd::Close(UINT nRet) {
    if (!m_hWnd || !IsWindow(m_hWnd)) return;
    PostMessage(WM_CLOSE, nRet, 0);
}

void CWindowWnd::CenterWindow() {
    if (!m_backend) return;
    RECT area;
    CWindowWnd* owner = FromHandle(m_hOwner);
    if (owner && owner->IsVisible() && !owner->IsIconic()) {
        area = owner->GetWindowRect();
    } else {
        BackendRect w = GetDisplayBackend().GetWorkArea();
        area = {w.left, w.top, w.right, w.bottom};
    }
    int w = m_rcWindow.right - m_rcWindow.left, h = m_rcWindow.bottom - m_rcWindow.top;
    int x = (area.left + area.right - w) / 2, y = (area.top + area.bottom - h) / 2;
    BackendRect screen = GetDisplayBackend().GetWorkArea();
    if (x + w > screen.right) x = screen.right - w;
    if (y + h > screen.bottom) y = screen.bottom - h;
    if (x < screen.left) x = screen.left;
    if (y < screen.top) y = screen.top;
    SetWindowRect({x, y, x + w, y + h});
}

void CWindowWnd::SetIcon(UINT nRes) {
    if (!m_backend) return;
    cairo_surface_t* icon = LoadIconPictureUI(nRes);
    if (!icon) {
        // Without the picture the window still gets an icon of its own.
        icon = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 32, 32);
        cairo_t* cr = cairo_create(icon);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    m_backend->SetIcon(icon);
    cairo_surface_destroy(icon);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
    RECT r = m_rcWindow;
    if (cx >= 0) r.right = r.left + cx;
    if (cy >= 0) r.bottom = r.top + cy;
    SetWindowRect(r);
}

LRESULT CWindowWnd::SendMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return m_hWnd ? SendMessageW(m_hWnd, uMsg, wParam, lParam) : 0;
}

LRESULT CWindowWnd::PostMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return m_hWnd ? PostMessageW(m_hWnd, uMsg, wParam, lParam) : 0;
}

void CWindowWnd::SetWindowRect(const RECT& rc) {
    RECT old = m_rcWindow;
    BackendRect limited =
        ClampToSizeLimits({rc.left, rc.top, rc.right, rc.bottom}, {m_szMin.cx, m_szMin.cy}, {m_szMax.cx, m_szMax.cy});
    m_rcWindow = {limited.left, limited.top, limited.right, limited.bottom};
    if (m_rcWindow.right < m_rcWindow.left) m_rcWindow.right = m_rcWindow.left;
    if (m_rcWindow.bottom < m_rcWindow.top) m_rcWindow.bottom = m_rcWindow.top;
    if (m_backend) m_backend->SetRect({m_rcWindow.left, m_rcWindow.top, m_rcWindow.right, m_rcWindow.bottom});
    if (!m_hWnd) return;
    if (old.left != m_rcWindow.left || old.top != m_rcWindow.top)
        SendMessage(WM_MOVE, 0, MakePoint(m_rcWindow.left, m_rcWindow.top));
    SIZE s = GetClientSize();
    if (old.right - old.left != s.cx || old.bottom - old.top != s.cy)
        SendMessage(WM_SIZE, IsZoomed() ? UI_SIZE_MAXIMIZED : UI_SIZE_RESTORED, MakePoint(s.cx, s.cy));
}

bool CWindowWnd::IsVisible() const { return m_backend && m_backend->GetShowState() != BackendShowState::Hidden; }
bool CWindowWnd::IsIconic() const { return m_backend && m_backend->GetShowState() == BackendShowState::Minimized; }
bool CWindowWnd::IsZoomed() const { return m_backend && m_backend->GetShowState() == BackendShowState::Maximized; }

void CWindowWnd::Enable(bool bEnable) {
    if (m_bEnabled == bEnable) return;
    m_bEnabled = bEnable;
    if (m_backend) m_backend->SetEnabled(bEnable);
    if (m_hWnd) SendMessage(WM_ENABLE, bEnable ? 1 : 0, 0);
}

void CWindowWnd::Activate() {
    if (m_backend) m_backend->Activate();
}
void CWindowWnd::SetTopMost(bool b) {
    if (m_backend) m_backend->SetTopMost(b);
}
void CWindowWnd::SetTitle(LPCTSTR t) {
    if (m_backend) m_backend->SetTitle(t ? t : L"");
    if (m_hWnd) SetWindowTextW(m_hWnd, t);
}
void CWindowWnd::SetCaptureMouse(bool b) {
    if (m_backend) m_backend->SetCapture(b);
}
void CWindowWnd::SetCursorShape(int id) {
    if (!m_backend) return;
    std::shared_ptr<const BackendCursorImage> own = id == 0 ? GetClassCursor() : nullptr;
    if (own)
        m_backend->SetCursorImage(*own);
    else
        m_backend->SetCursor(CursorFor(id));
}

void CWindowWnd::SetClassCursor(std::shared_ptr<const BackendCursorImage> cursor) {
    const LPCTSTR name = GetWindowClassName();
    if (!name) return;
    if (cursor)
        ClassCursors()[name] = std::move(cursor);
    else
        ClassCursors().erase(name);
    SetCursorShape(0);
}

std::shared_ptr<const BackendCursorImage> CWindowWnd::GetClassCursor() const {
    const LPCTSTR name = GetWindowClassName();
    if (!name) return nullptr;
    auto it = ClassCursors().find(name);
    return it == ClassCursors().end() ? nullptr : it->second;
}
void CWindowWnd::BeginMove() {
    if (m_backend) m_backend->BeginMove();
}
void CWindowWnd::BeginResize(BackendResizeEdge edge) {
    if (m_backend && !IsZoomed() && !IsIconic()) m_backend->BeginResize(edge);
}
void CWindowWnd::SetRoundCorner(int cx, int cy) {
    if (m_backend) m_backend->SetRoundCorner(cx, cy);
}

void CWindowWnd::SetSizeLimits(SIZE minimum, SIZE maximum) {
    m_szMin = {minimum.cx > 0 ? minimum.cx : 0, minimum.cy > 0 ? minimum.cy : 0};
    m_szMax = {maximum.cx > 0 ? maximum.cx : 0, maximum.cy > 0 ? maximum.cy : 0};
    // The backend brings its window within the limits and reports the new
    // size as a Resized event, which updates m_rcWindow and sends WM_SIZE.
    if (m_backend) m_backend->SetSizeLimits({m_szMin.cx, m_szMin.cy}, {m_szMax.cx, m_szMax.cy});
    RECT r = m_rcWindow;
    BackendRect limited =
        ClampToSizeLimits({r.left, r.top, r.right, r.bottom}, {m_szMin.cx, m_szMin.cy}, {m_szMax.cx, m_szMax.cy});
    if (limited.right != r.right || limited.bottom != r.bottom) SetWindowRect(r);
}

void CWindowWnd::Present(cairo_surface_t* picture, const RECT& dirty) {
    if (!picture) return;
    if (picture != m_lastPicture) {
        if (m_lastPicture) cairo_surface_destroy(m_lastPicture);
        m_lastPicture = cairo_surface_reference(picture);
    }
    if (m_backend && IsVisible()) m_backend->Present(picture, {dirty.left, dirty.top, dirty.right, dirty.bottom});
}

void CWindowWnd::SendMouse(UINT uMsg, const BackendEvent& e) {
    SetModifiersUI(e.modifiers);
    SendMessage(uMsg, MouseKeyStateUI(), MakePoint(e.x, e.y));
}

void CWindowWnd::OnBackendEvent(const BackendEvent& e) {
    if (!m_hWnd) return;
    HWND self = m_hWnd;
    bool input = e.type == BackendEventType::MouseMove || e.type == BackendEventType::ButtonDown ||
                 e.type == BackendEventType::ButtonUp || e.type == BackendEventType::Wheel ||
                 e.type == BackendEventType::KeyDown || e.type == BackendEventType::KeyUp ||
                 e.type == BackendEventType::Char;
    if (input && !m_bEnabled) return;
    DWORD now = e.time ? e.time : GetTickCount();
    switch (e.type) {
        case BackendEventType::MouseMove:
            SendMouse(WM_MOUSEMOVE, e);
            break;
        case BackendEventType::MouseLeave:
            SendMessage(WM_MOUSELEAVE);
            break;
        case BackendEventType::ButtonDown: {
            bool dbl = e.button == m_lastClickButton && !m_lastWasDouble && now - m_lastClickTime <= 500 &&
                       std::abs(e.x - m_lastClickPt.x) <= 4 && std::abs(e.y - m_lastClickPt.y) <= 4;
            m_lastWasDouble = dbl;
            m_lastClickTime = now;
            m_lastClickPt = {e.x, e.y};
            m_lastClickButton = e.button;
            BackendEvent withButton = e;
            if (e.button == BackendButton::Left) {
                withButton.modifiers |= kBackendLeftButton;
                SendMouse(dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, withButton);
            } else if (e.button == BackendButton::Right) {
                withButton.modifiers |= kBackendRightButton;
                SendMouse(dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN, withButton);
            } else if (e.button == BackendButton::Middle) {
                withButton.modifiers |= kBackendMiddleButton;
                SendMouse(dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN, withButton);
            }
            break;
        }
        case BackendEventType::ButtonUp: {
            BackendEvent without = e;
            if (e.button == BackendButton::Left) {
                without.modifiers &= ~kBackendLeftButton;
                SendMouse(WM_LBUTTONUP, without);
            } else if (e.button == BackendButton::Right) {
                without.modifiers &= ~kBackendRightButton;
                SendMouse(WM_RBUTTONUP, without);
            } else if (e.button == BackendButton::Middle) {
                without.modifiers &= ~kBackendMiddleButton;
                SendMouse(WM_MBUTTONUP, without);
            }
            break;
        }
        case BackendEventType::Wheel: {
            SetModifiersUI(e.modifiers);
            WPARAM w = MAKEWPARAM(MouseKeyStateUI(), static_cast<WORD>(static_cast<short>(e.wheelDelta)));
            SendMessage(WM_MOUSEWHEEL, w, MakePoint(m_rcWindow.left + e.x, m_rcWindow.top + e.y));
            break;
        }
        case BackendEventType::KeyDown:
        case BackendEventType::KeyUp: {
            SetModifiersUI(e.modifiers);
            bool down = e.type == BackendEventType::KeyDown;
            SetKeyDownUI(e.virtualKey, down);
            LPARAM lp = 1 | (static_cast<LPARAM>(e.scanCode & 0xFF) << 16);
            if (e.repeat || !down) lp |= 1L << 30;
            if (!down) lp |= 1L << 31;
            MSG msg;
            msg.hwnd = self;
            msg.message = down ? WM_KEYDOWN : WM_KEYUP;
            msg.wParam = e.virtualKey;
            msg.lParam = lp;
            msg.time = now;
            // Keys go through the queue so that the loop's pre-translation
            // (Tab, Enter and Escape handling) sees them.
            PostMessageW(self, msg.message, msg.wParam, msg.lParam);
            break;
        }
        case BackendEventType::Char:
            PostMessageW(self, WM_CHAR, static_cast<WPARAM>(e.character), 1);
            break;
        case BackendEventType::Expose:
            if (m_backend && m_lastPicture) m_backend->Present(m_lastPicture, e.rect);
            break;
        case BackendEventType::Moved:
            if (e.x != m_rcWindow.left || e.y != m_rcWindow.top) {
                int w = m_rcWindow.right - m_rcWindow.left, h = m_rcWindow.bottom - m_rcWindow.top;
                m_rcWindow = {e.x, e.y, e.x + w, e.y + h};
                SendMessage(WM_MOVE, 0, MakePoint(e.x, e.y));
            }
            break;
        case BackendEventType::Resized:
            if (e.width != m_rcWindow.right - m_rcWindow.left || e.height != m_rcWindow.bottom - m_rcWindow.top) {
                m_rcWindow.right = m_rcWindow.left + e.width;
                m_rcWindow.bottom = m_rcWindow.top + e.height;
                SendMessage(WM_SIZE, IsZoomed() ? UI_SIZE_MAXIMIZED : UI_SIZE_RESTORED, MakePoint(e.width, e.height));
            }
            break;
        case BackendEventType::StateChanged: {
            SIZE s = GetClientSize();
            if (e.state == BackendShowState::Minimized)
                SendMessage(WM_SIZE, UI_SIZE_MINIMIZED, MakePoint(s.cx, s.cy));
            else if (e.state == BackendShowState::Maximized)
                SendMessage(WM_SIZE, UI_SIZE_MAXIMIZED, MakePoint(s.cx, s.cy));
            else if (e.state == BackendShowState::Normal)
                SendMessage(WM_SIZE, UI_SIZE_RESTORED, MakePoint(s.cx, s.cy));
            break;
        }
        case BackendEventType::CloseRequest:
            SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case BackendEventType::Activated:
            SendMessage(WM_ACTIVATE, WA_ACTIVE, 0);
            break;
        case BackendEventType::Deactivated:
            SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
            if (IsWindow(self)) SendMessage(WM_KILLFOCUS, 0, 0);
            break;
        case BackendEventType::DisplayChanged:
            OnDisplayChanged(e);
            break;
    }
}

void CWindowWnd::OnDisplayChanged(const BackendEvent& e) {
    HWND self = m_hWnd;
    IDisplayBackend& display = GetDisplayBackend();
    int width = e.width, height = e.height;
    if (width <= 0 || height <= 0) {
        BackendRect screen = display.GetScreenRect();
        width = screen.Width();
        height = screen.Height();
    }
    WPARAM bits = static_cast<WPARAM>(e.bitsPerPixel > 0 ? e.bitsPerPixel : 32);
    SendMessage(WM_DISPLAYCHANGE, bits, MakePoint(width, height));
    if (!IsWindow(self)) return;
    int dpi = display.GetDpi();
    if (dpi <= 0 || dpi == m_dpi) return;
    int old = m_dpi;
    m_dpi = dpi;
    // The suggested place keeps the top-left corner and scales the size.
    RECT suggested = m_rcWindow;
    auto scale = [&](LONG v) { return static_cast<LONG>((static_cast<long long>(v) * dpi + old / 2) / old); };
    suggested.right = suggested.left + scale(m_rcWindow.right - m_rcWindow.left);
    suggested.bottom = suggested.top + scale(m_rcWindow.bottom - m_rcWindow.top);
    SendMessage(WM_DPICHANGED, MAKEWPARAM(static_cast<WORD>(dpi), static_cast<WORD>(dpi)),
                reinterpret_cast<LPARAM>(&suggested));
}

}  // namespace DuiLib
