#pragma once

// CWindowWnd: a top-level window. The OS layer gives it a handle, a queue
// and the message routing; the display backend gives it a place on the
// screen. Backend input and window events become the usual window messages
// (WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_KEYDOWN, WM_SIZE, ...) sent to the
// window's own procedure, so that subclasses see one stream of messages.

#include "platform/os/message_queue.h"
#include "platform/os/window.h"
#include "platform/ui/display_backend.h"
#include "platform/ui/ui_types.h"

#include <memory>

namespace DuiLib {

using HMENU = void*;

// Window styles of Create (the usual WS_ values; only those that change
// behaviour here are acted on: WS_VISIBLE, WS_POPUP, WS_CAPTION,
// WS_EX_TOOLWINDOW, WS_EX_TOPMOST, WS_EX_NOACTIVATE).
inline constexpr DWORD UI_WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD UI_WS_POPUP = 0x80000000;
inline constexpr DWORD UI_WS_CHILD = 0x40000000;
inline constexpr DWORD UI_WS_MINIMIZE = 0x20000000;
inline constexpr DWORD UI_WS_VISIBLE = 0x10000000;
inline constexpr DWORD UI_WS_DISABLED = 0x08000000;
inline constexpr DWORD UI_WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD UI_WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD UI_WS_MAXIMIZE = 0x01000000;
inline constexpr DWORD UI_WS_CAPTION = 0x00C00000;
inline constexpr DWORD UI_WS_BORDER = 0x00800000;
inline constexpr DWORD UI_WS_SYSMENU = 0x00080000;
inline constexpr DWORD UI_WS_THICKFRAME = 0x00040000;
inline constexpr DWORD UI_WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD UI_WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD UI_WS_OVERLAPPEDWINDOW = 0x00CF0000;
inline constexpr DWORD UI_WS_EX_TOPMOST = 0x00000008;
inline constexpr DWORD UI_WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD UI_WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr DWORD UI_WS_EX_LAYERED = 0x00080000;
inline constexpr DWORD UI_WS_EX_APPWINDOW = 0x00040000;
inline constexpr DWORD UI_WS_EX_NOACTIVATE = 0x08000000;
inline constexpr UINT UI_CS_DBLCLKS = 0x0008;
inline constexpr int UI_CW_USEDEFAULT = static_cast<int>(0x80000000);
inline constexpr UINT IDOK = 1;
inline constexpr UINT IDCANCEL = 2;
inline constexpr UINT IDYES = 6;
inline constexpr UINT IDNO = 7;

// Messages the UI layer uses between its own parts (not for the program).
inline constexpr UINT UIMSG_ASYNC_NOTIFY = 0x7FE0;
inline constexpr UINT UIMSG_PAINT = 0x7FE1;
inline constexpr UINT UIMSG_MENU_CLOSE = 0x7FE2;

// WM_SIZE kinds.
inline constexpr WPARAM UI_SIZE_RESTORED = 0;
inline constexpr WPARAM UI_SIZE_MINIMIZED = 1;
inline constexpr WPARAM UI_SIZE_MAXIMIZED = 2;

class CWindowWnd : public IBackendWindowSink {
public:
    CWindowWnd();
    virtual ~CWindowWnd();
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetHWND() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    static CWindowWnd* FromHandle(HWND hWnd);

    bool RegisterWindowClass() { return true; }
    bool RegisterSuperclass() { return true; }

    HWND Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT rc,
                HMENU hMenu = nullptr);
    HWND Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x = UI_CW_USEDEFAULT,
                int y = UI_CW_USEDEFAULT, int cx = UI_CW_USEDEFAULT, int cy = UI_CW_USEDEFAULT, HMENU hMenu = nullptr);
    HWND CreateDuiWindow(HWND hwndParent, LPCTSTR pstrWindowName, DWORD dwStyle = 0, DWORD dwExStyle = 0);

    void ShowWindow(bool bShow = true, bool bTakeFocus = true);
    // Shows the window modally: disables its owner, runs a message loop
    // (timers and messages sent from other threads are served) until the
    // window is destroyed, and returns the first close code taken from the
    // queue (see Close).
    UINT ShowModal();
    // Posts WM_CLOSE with the code as wParam.
    void Close(UINT nRet = IDOK);
    void CenterWindow();
    void SetIcon(UINT nRes);
    void ResizeClient(int cx = -1, int cy = -1);

    LRESULT SendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT PostMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);

    // Geometry and state (screen coordinates; the client area is the whole
    // window, as skinned windows draw their own frame).
    RECT GetWindowRect() const { return m_rcWindow; }
    SIZE GetClientSize() const { return {m_rcWindow.right - m_rcWindow.left, m_rcWindow.bottom - m_rcWindow.top}; }
    void SetWindowRect(const RECT& rc);
    bool IsVisible() const;
    bool IsIconic() const;
    bool IsZoomed() const;
    bool IsEnabled() const { return m_bEnabled; }
    void Enable(bool bEnable);
    void ShowCmd(int nCmdShow);
    void Activate();
    void SetTopMost(bool bTopMost);
    void SetTitle(LPCTSTR pstrTitle);
    void SetCaptureMouse(bool bCapture);
    // Shows a standard cursor (an IDC_ number); 0 is the window's own: the
    // class cursor when its class has one, else the arrow.
    void SetCursorShape(int nCursor);
    // The cursor of every window of this window's class (GetWindowClassName)
    // where no control asks for another; null gives them the arrow again.
    // This window shows it at once.
    void SetClassCursor(std::shared_ptr<const BackendCursorImage> cursor);
    std::shared_ptr<const BackendCursorImage> GetClassCursor() const;
    void BeginMove();
    // Starts a resize drag of one edge or corner (the skin's size box).
    void BeginResize(BackendResizeEdge edge);
    void SetRoundCorner(int cx, int cy);
    // Smallest and largest window size (0 in a dimension = no limit). The
    // window is brought within them now and kept there by every resize.
    void SetSizeLimits(SIZE minimum, SIZE maximum);
    SIZE GetMinSize() const { return m_szMin; }
    SIZE GetMaxSize() const { return m_szMax; }
    // Shows the dirty part of the picture that the paint manager drew.
    void Present(cairo_surface_t* picture, const RECT& dirty);
    IBackendWindow* GetBackendWindow() const { return m_backend.get(); }
    HWND GetOwner() const { return m_hOwner; }

    void OnBackendEvent(const BackendEvent& event) override;

protected:
    virtual LPCTSTR GetWindowClassName() const = 0;
    virtual LPCTSTR GetSuperClassName() const { return nullptr; }
    virtual UINT GetClassStyle() const { return 0; }
    virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND hWnd);
    // Default handling of what no one else handled.
    LRESULT DefaultHandler(UINT uMsg, WPARAM wParam, LPARAM lParam);

    static LRESULT __WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    bool m_bSubclassed = false;

private:
    void CreateBackend(LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle);
    void SendMouse(UINT uMsg, const BackendEvent& event);
    void OnDisplayChanged(const BackendEvent& event);

    std::unique_ptr<IBackendWindow> m_backend;
    RECT m_rcWindow{};
    RECT m_rcCreate{};
    HWND m_hOwner = nullptr;
    bool m_bEnabled = true;
    SIZE m_szMin{};
    SIZE m_szMax{};
    int m_dpi = 96;  // the display's DPI as this window last heard it
    cairo_surface_t* m_lastPicture = nullptr;
    DWORD m_lastClickTime = 0;
    POINT m_lastClickPt{};
    BackendButton m_lastClickButton = BackendButton::None;
    bool m_lastWasDouble = false;
};

}  // namespace DuiLib
