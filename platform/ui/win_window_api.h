#pragma once

// Placement, visibility and input-state calls on window handles, in the
// program's vocabulary. The OS layer routes messages for a handle; where a
// window is, whether it shows and what it looks like belongs to the UI
// layer, which answers these for the windows of CWindowWnd objects.

#include "platform/files/win_types.h"
#include "platform/ui/window.h"

namespace win {

// Window styles (the usual values).
inline constexpr DWORD WS_OVERLAPPED = DuiLib::UI_WS_OVERLAPPED;
inline constexpr DWORD WS_POPUP = DuiLib::UI_WS_POPUP;
inline constexpr DWORD WS_CHILD = DuiLib::UI_WS_CHILD;
inline constexpr DWORD WS_VISIBLE = DuiLib::UI_WS_VISIBLE;
inline constexpr DWORD WS_DISABLED = DuiLib::UI_WS_DISABLED;
inline constexpr DWORD WS_CLIPSIBLINGS = DuiLib::UI_WS_CLIPSIBLINGS;
inline constexpr DWORD WS_CLIPCHILDREN = DuiLib::UI_WS_CLIPCHILDREN;
inline constexpr DWORD WS_MAXIMIZE = DuiLib::UI_WS_MAXIMIZE;
inline constexpr DWORD WS_CAPTION = DuiLib::UI_WS_CAPTION;
inline constexpr DWORD WS_BORDER = DuiLib::UI_WS_BORDER;
inline constexpr DWORD WS_SYSMENU = DuiLib::UI_WS_SYSMENU;
inline constexpr DWORD WS_THICKFRAME = DuiLib::UI_WS_THICKFRAME;
inline constexpr DWORD WS_MINIMIZEBOX = DuiLib::UI_WS_MINIMIZEBOX;
inline constexpr DWORD WS_MAXIMIZEBOX = DuiLib::UI_WS_MAXIMIZEBOX;
inline constexpr DWORD WS_OVERLAPPEDWINDOW = DuiLib::UI_WS_OVERLAPPEDWINDOW;
inline constexpr DWORD WS_EX_TOPMOST = DuiLib::UI_WS_EX_TOPMOST;
inline constexpr DWORD WS_EX_TOOLWINDOW = DuiLib::UI_WS_EX_TOOLWINDOW;
inline constexpr DWORD WS_EX_WINDOWEDGE = DuiLib::UI_WS_EX_WINDOWEDGE;
inline constexpr DWORD WS_EX_LAYERED = DuiLib::UI_WS_EX_LAYERED;
inline constexpr DWORD WS_EX_APPWINDOW = DuiLib::UI_WS_EX_APPWINDOW;
inline constexpr UINT CS_DBLCLKS = DuiLib::UI_CS_DBLCLKS;

// GetSystemMetrics indexes.
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXFULLSCREEN = 16;
inline constexpr int SM_CYFULLSCREEN = 17;

BOOL ShowWindow(HWND hwnd, int nCmdShow);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint);
// HWND_TOPMOST / HWND_NOTOPMOST change the always-on-top state.
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL SetForegroundWindow(HWND hwnd);
BOOL BringWindowToTop(HWND hwnd);
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
int GetSystemMetrics(int index);
BOOL GetCursorPos(POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
BOOL ClientToScreen(HWND hwnd, POINT* point);
// High bit set while the key is down (virtual-key codes), as the UI saw it.
short GetKeyState(int virtualKey);
short GetAsyncKeyState(int virtualKey);

}  // namespace win
