#include "platform/ui/win_window_api.h"

#include "platform/os/messages.h"
#include "platform/ui/input_state.h"
#include "platform/ui/paint_manager.h"

namespace win {

namespace {
DuiLib::CWindowWnd* W(HWND h) { return IsWindow(h) ? DuiLib::CWindowWnd::FromHandle(h) : nullptr; }
}  // namespace

BOOL ShowWindow(HWND hwnd, int cmd) {
    DuiLib::CWindowWnd* w = W(hwnd);
    if (!w) return FALSE;
    BOOL was = w->IsVisible();
    w->ShowCmd(cmd);
    return was;
}

BOOL IsWindowVisible(HWND hwnd) {
    auto* w = W(hwnd);
    return w && w->IsVisible();
}
BOOL IsIconic(HWND hwnd) {
    auto* w = W(hwnd);
    return w && w->IsIconic();
}
BOOL IsZoomed(HWND hwnd) {
    auto* w = W(hwnd);
    return w && w->IsZoomed();
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    auto* w = W(hwnd);
    if (!w) return FALSE;
    BOOL wasDisabled = !w->IsEnabled();
    w->Enable(enable != FALSE);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
    auto* w = W(hwnd);
    return w && w->IsEnabled();
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    auto* w = W(hwnd);
    if (!w || !rect) {
        if (rect) *rect = RECT{};
        return FALSE;
    }
    *rect = w->GetWindowRect();
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    auto* w = W(hwnd);
    if (!w || !rect) {
        if (rect) *rect = RECT{};
        return FALSE;
    }
    SIZE s = w->GetClientSize();
    *rect = RECT{0, 0, s.cx, s.cy};
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL) {
    auto* w = W(hwnd);
    if (!w) return FALSE;
    w->SetWindowRect({x, y, x + cx, y + cy});
    return TRUE;
}

BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    auto* w = W(hwnd);
    if (!w) return FALSE;
    if (!(flags & SWP_NOZORDER)) {
        if (after == HWND_TOPMOST)
            w->SetTopMost(true);
        else if (after == HWND_NOTOPMOST)
            w->SetTopMost(false);
    }
    RECT r = w->GetWindowRect();
    if (!(flags & SWP_NOMOVE)) {
        int cw = r.right - r.left, ch = r.bottom - r.top;
        r = {x, y, x + cw, y + ch};
    }
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + cx;
        r.bottom = r.top + cy;
    }
    if (!(flags & (SWP_NOMOVE)) || !(flags & SWP_NOSIZE)) w->SetWindowRect(r);
    if (flags & SWP_SHOWWINDOW) w->ShowCmd(SW_SHOWNA);
    if (flags & SWP_HIDEWINDOW) w->ShowCmd(SW_HIDE);
    if (!(flags & SWP_NOACTIVATE) && !(flags & SWP_NOZORDER) && w->IsVisible()) w->Activate();
    return TRUE;
}

BOOL SetForegroundWindow(HWND hwnd) {
    auto* w = W(hwnd);
    if (!w) return FALSE;
    w->Activate();
    return TRUE;
}

BOOL BringWindowToTop(HWND hwnd) { return SetForegroundWindow(hwnd); }

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL) {
    if (!IsWindow(hwnd)) return FALSE;
    for (DuiLib::CPaintManagerUI* pm : DuiLib::CPaintManagerUI::GetPaintManagers())
        if (pm->GetPaintWindow() == hwnd) {
            if (rect)
                pm->Invalidate(*rect);
            else
                pm->Invalidate();
        }
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    for (DuiLib::CPaintManagerUI* pm : DuiLib::CPaintManagerUI::GetPaintManagers())
        if (pm->GetPaintWindow() == hwnd) pm->Paint();
    return TRUE;
}

int GetSystemMetrics(int index) {
    DuiLib::BackendRect s = DuiLib::GetDisplayBackend().GetScreenRect();
    DuiLib::BackendRect a = DuiLib::GetDisplayBackend().GetWorkArea();
    switch (index) {
        case SM_CXSCREEN:
            return s.Width();
        case SM_CYSCREEN:
            return s.Height();
        case SM_CXFULLSCREEN:
            return a.Width();
        case SM_CYFULLSCREEN:
            return a.Height();
        default:
            return 0;
    }
}

BOOL GetCursorPos(POINT* p) {
    if (!p) return FALSE;
    int x = 0, y = 0;
    DuiLib::GetDisplayBackend().GetCursorPos(x, y);
    p->x = x;
    p->y = y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* p) {
    auto* w = W(hwnd);
    if (!w || !p) return FALSE;
    RECT r = w->GetWindowRect();
    p->x -= r.left;
    p->y -= r.top;
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* p) {
    auto* w = W(hwnd);
    if (!w || !p) return FALSE;
    RECT r = w->GetWindowRect();
    p->x += r.left;
    p->y += r.top;
    return TRUE;
}

short GetKeyState(int vk) { return DuiLib::IsKeyDownUI(static_cast<UINT>(vk)) ? static_cast<short>(0x8000) : 0; }
short GetAsyncKeyState(int vk) { return GetKeyState(vk); }

}  // namespace win
