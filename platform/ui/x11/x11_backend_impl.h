#pragma once

// Internals of the X11 backend, for its own sources and its tests.

#include "platform/ui/display_backend.h"
#include "platform/ui/x11/x11_event_time.h"

namespace tavrik::x11 {
// Seam names that Xlib's macros (None, Expose) hide once its headers are in:
// include this header before any X header.
inline constexpr DuiLib::BackendButton kNoButton = DuiLib::BackendButton::None;
inline constexpr DuiLib::BackendEventType kExposeEvent = DuiLib::BackendEventType::Expose;
}  // namespace tavrik::x11

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tavrik::x11 {

class X11Window;
class X11TrayIcon;

struct X11Atoms {
    Atom wm_protocols, wm_delete_window, wm_state, net_wm_name, utf8_string, net_wm_icon, net_wm_state,
        net_wm_state_above, net_wm_state_modal, net_wm_state_skip_taskbar, net_wm_window_type,
        net_wm_window_type_normal, net_wm_window_type_dialog, net_wm_window_type_utility, net_wm_window_type_popup_menu,
        motif_wm_hints, net_wm_moveresize, net_supporting_wm_check, net_workarea, net_active_window, net_wm_pid,
        clipboard, targets, text, clip_property, tray_opcode, manager, xembed, xembed_info, ui_probe;
};

// Every entry point of the backend ends by checking Xlib's queue: a reply
// may have brought events in with it, which the socket no longer shows.
class X11Backend;
class WakeOnExit {
public:
    explicit WakeOnExit(X11Backend* backend) : backend_(backend) {}
    ~WakeOnExit();
    WakeOnExit(const WakeOnExit&) = delete;
    WakeOnExit& operator=(const WakeOnExit&) = delete;

private:
    X11Backend* backend_;
};

class X11Backend : public DuiLib::IDisplayBackend {
public:
    explicit X11Backend(Display* display);
    ~X11Backend() override;

    std::unique_ptr<DuiLib::IBackendWindow> CreateWindow(const DuiLib::BackendWindowParams& params,
                                                         DuiLib::IBackendWindowSink* sink) override;
    std::unique_ptr<DuiLib::IBackendTrayIcon> CreateTrayIcon(DuiLib::IBackendWindowSink* sink) override;
    int GetEventFd() const override { return epoll_fd_; }
    void ProcessEvents() override;
    // Events Xlib read along with a reply (an error trap's sync, a property
    // read) wait in its queue, not on the connection.
    bool HasBufferedEvents() const override { return XQLength(display_) > 0; }
    DuiLib::BackendRect GetScreenRect() const override;
    DuiLib::BackendRect GetWorkArea() const override;
    int GetDpi() const override { return dpi_; }
    void GetCursorPos(int& x, int& y) const override;
    void SetClipboardText(const std::wstring& text) override;
    std::wstring GetClipboardText() override;

    // For the backend's windows and tests.
    Display* display() const { return display_; }
    Window root() const { return root_; }
    int screen() const { return screen_; }
    const X11Atoms& atoms() const { return atoms_; }
    XIM input_method() const { return im_; }
    bool WindowManagerRunning() const;
    Cursor CursorFor(DuiLib::BackendCursor cursor);
    // The tray manager window of the screen, None when there is no tray.
    Window TrayManager() const;

    void Register(Window xid, X11Window* window) { windows_[xid] = window; }
    void Unregister(Window xid) { windows_.erase(xid); }
    void RegisterTray(Window xid, X11TrayIcon* tray) { trays_[xid] = tray; }
    void UnregisterTray(Window xid) { trays_.erase(xid); }
    X11Window* Find(Window xid) const;
    X11Window* FindBackendWindow(const DuiLib::IBackendWindow* window) const;
    // Windows whose owner is `owner`, in creation order.
    std::vector<X11Window*> OwnedBy(const X11Window* owner) const;

    std::vector<DuiLib::BackendRect> MonitorRects() const;
    bool TrayRect(DuiLib::BackendRect& rect) const;

    // Requests may have read events into Xlib's queue, where the socket no
    // longer shows them: make the event descriptor readable then.
    void WakeIfQueued();
    // The global keyboard hook's grab (x11_backend.h); false when another
    // client holds the keyboard.
    bool GrabKeyboardForHooks();
    void ReleaseKeyboardForHooks();

    // The focus moved to `except`'s side (it took the focus, lost it, or a
    // button went down in it): every other shown no-activate window hears it.
    void TellNoActivateWindows(const X11Window* except);
    // The program's own activation of `target` while a popup that `target`
    // owns (directly or through other windows) has the focus, an open drop
    // list or menu: the popup keeps the focus, and `target` gets it when the
    // popup closes. False when no such popup has the focus.
    bool DeferFocusToPopupOf(X11Window* target);
    // The shown popup, owned by `window` directly or through other windows,
    // that has the focus or was last given it; nullptr when there is none.
    X11Window* PopupWithFocusOwnedBy(const X11Window* window) const;
    // The program asked for the focus to go to `window`: a deferred
    // activation is superseded.
    void FocusRequested(Window window);
    // `popup` closes (hidden or destroyed, no longer registered): the window
    // whose activation it held back is activated now.
    void PopupClosed(Window popup);
    // TAVRIK_UI_PROBE=1: every window publishes its named controls.
    bool ProbeEnabled() const { return probe_; }

    // Logs a message of the display layer once per key.
    void LogOnce(const std::string& key, const std::string& message);

private:
    void Dispatch(XEvent& event);
    // Gives a pointer event that an ended capture sent to the wrong window
    // to the program's window that it happened in (x11_events.cpp).
    void RouteAfterEndedCapture(XEvent& event);
    // The program's top-level window at a point of the screen, or nullptr.
    X11Window* WindowAt(int rootX, int rootY) const;
    void HandleSelectionRequest(const XSelectionRequestEvent& request);
    bool UpdateDpi();  // true when the DPI changed
    void DisplayChanged();

    Display* display_;
    int screen_;
    Window root_;
    Window helper_;  // owns the clipboard
    X11Atoms atoms_{};
    XIM im_ = nullptr;
    int epoll_fd_ = -1;
    int wake_fd_ = -1;
    int randr_event_base_ = -1;
    int dpi_ = 96;
    std::map<Window, X11Window*> windows_;
    std::map<Window, X11TrayIcon*> trays_;
    std::map<DuiLib::BackendCursor, Cursor> cursors_;
    std::string clipboard_utf8_;
    bool own_clipboard_ = false;
    std::set<std::string> logged_;
    std::set<unsigned> pressed_;
    bool probe_ = false;
    bool hook_grab_ = false;      // the keyboard hook holds the keyboard
    Window focused_ = 0;          // our window that has the keyboard focus
    Window focus_requested_ = 0;  // the window the program last gave the focus to
    Window deferred_focus_ = 0;   // activated while deferred_for_ kept the focus
    Window deferred_for_ = 0;
    // Where the press of a click that came in under an ended capture went:
    // the click's motions and release follow it there.
    Window rerouted_to_ = 0;
    ServerTimeClock input_clock_;
    int wm_checked_ = -1;                     // window manager running: -1 unknown, 0, 1
    cairo_device_t* cairo_device_ = nullptr;  // key codes held down, to tell repeats
};

// A window side as X takes it: 1 to 32767 pixels.
inline int ClampSize(int v) { return std::clamp(v, 1, 32767); }

class X11Window : public DuiLib::IBackendWindow {
public:
    X11Window(X11Backend* backend, const DuiLib::BackendWindowParams& params, DuiLib::IBackendWindowSink* sink);
    ~X11Window() override;

    void Show(DuiLib::BackendShowCommand command) override;
    DuiLib::BackendShowState GetShowState() const override { return state_; }
    void SetRect(const DuiLib::BackendRect& rect) override;
    DuiLib::BackendRect GetRect() const override { return rect_; }
    void SetTitle(const std::wstring& title) override;
    void SetOwner(DuiLib::IBackendWindow* owner) override;
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    void SetTopMost(bool topMost) override;
    void Activate() override;
    // The activation that a click in the window gives where no window
    // manager does it: the focus moves even from an open popup.
    void ActivateByUser();
    void Present(cairo_surface_t* picture, const DuiLib::BackendRect& dirty) override;
    void SetCursor(DuiLib::BackendCursor cursor) override;
    void SetCursorImage(const DuiLib::BackendCursorImage& image) override;
    void SetCapture(bool capture) override;
    void BeginMove() override;
    void BeginResize(DuiLib::BackendResizeEdge edge) override;
    void SetIcon(cairo_surface_t* icon) override;
    void SetRoundCorner(int cx, int cy) override;
    void SetSizeLimits(DuiLib::BackendSize minimum, DuiLib::BackendSize maximum) override;
    bool WantsProbe() const override { return backend_->ProbeEnabled(); }
    void SetProbe(std::vector<DuiLib::BackendProbeEntry> entries) override;

    Window xid() const { return xid_; }
    bool enabled() const { return enabled_; }
    bool popup() const { return popup_; }
    bool no_activate() const { return no_activate_; }
    bool shown() const { return state_ != DuiLib::BackendShowState::Hidden; }
    // Tells a shown window that never takes the focus that the focus moved
    // elsewhere (once per showing).
    void TellFocusMovedAway();
    X11Window* owner() const { return owner_; }
    XIC input_context() const { return ic_; }
    DuiLib::IBackendWindowSink* sink() const { return sink_; }
    // A move or resize drag that the window follows itself (no window manager).
    bool moving() const { return moving_; }
    bool captured() const { return capture_; }
    int width() const { return rect_.Width(); }
    int height() const { return rect_.Height(); }

    // Called by the backend's dispatch; each may end in the sink.
    void OnExpose(const XExposeEvent& e);
    void OnConfigure(const XConfigureEvent& e);
    void OnMapped();
    void OnUnmapped();
    void OnMoveMotion(int rootX, int rootY);  // also follows a resize drag
    void EndMove();
    void Deliver(const DuiLib::BackendEvent& event);
    void ForgetOwner(X11Window* owner) {
        if (owner_ == owner) owner_ = nullptr;
    }

private:
    void SetState(DuiLib::BackendShowState state);
    void ApplyRect(const DuiLib::BackendRect& rect, bool tellSink);
    // WM_NORMAL_HINTS: where and how big the window is, and its size limits.
    void WriteNormalHints(long placeFlags);
    // _NET_WM_MOVERESIZE: the window manager moves (8) or resizes (0..7, clockwise
    // from the top-left corner) the window until the button goes up.
    void AskWindowManagerToMoveResize(int rootX, int rootY, long direction);
    void EnsureBackBuffer();
    void UseBackBufferAsBackground();
    void ApplyShape();
    void SetNetState(Atom state, bool on);
    void Map(bool activate);
    void ActivateFor(bool byUser);
    // Raises the window and above it every shown window it owns, theirs
    // above them (an open drop list above the dialog it belongs to).
    void RaiseWithOwned(int depth = 0);
    // The program's own focus request at map time: deferred while an open
    // popup of the window has the focus.
    void FocusUnlessPopupHasIt();
    void Focus();
    // The probe's listing in screen coordinates, written when it changed.
    void WriteProbe();

    X11Backend* backend_;
    DuiLib::IBackendWindowSink* sink_;
    Display* d_;
    Window xid_ = 0;
    XIC ic_ = nullptr;
    X11Window* owner_ = nullptr;
    bool popup_;
    bool no_activate_;
    bool focus_loss_told_ = false;
    bool topMost_;
    bool enabled_ = true;
    bool focus_on_map_ = false;
    bool mapped_ = false;
    DuiLib::BackendRect rect_;
    DuiLib::BackendRect restore_rect_;
    DuiLib::BackendShowState state_ = DuiLib::BackendShowState::Hidden;
    Pixmap back_ = 0;
    int back_w_ = 0, back_h_ = 0;
    bool back_valid_ = false;
    Pixmap background_ = 0;  // the window's background: the back buffer once it holds a picture
    GC gc_ = nullptr;
    int round_x_ = 0, round_y_ = 0;
    DuiLib::BackendSize min_size_, max_size_;
    bool capture_ = false;
    bool moving_ = false;
    int move_dx_ = 0, move_dy_ = 0;
    bool resizing_ = false;  // the drag of moving_ resizes instead of moving
    DuiLib::BackendResizeEdge resize_edge_ = DuiLib::BackendResizeEdge::BottomRight;
    DuiLib::BackendRect resize_start_;
    int resize_from_x_ = 0, resize_from_y_ = 0;
    // The request number of the last move or resize this window asked for:
    // a ConfigureNotify the server sent before it had seen that request
    // tells a geometry the window has already left.
    unsigned long last_placement_request_ = 0;
    std::vector<DuiLib::BackendProbeEntry> probe_entries_;
    std::string probe_written_;
    // The picture cursor last made for this window (Xcursor), kept while it
    // is the one asked for: the pointer asks again at every move.
    DuiLib::BackendCursorImage image_cursor_source_;
    Cursor image_cursor_ = 0;
    bool image_cursor_shown_ = false;
};

class X11TrayIcon : public DuiLib::IBackendTrayIcon {
public:
    X11TrayIcon(X11Backend* backend, DuiLib::IBackendWindowSink* sink);
    ~X11TrayIcon() override;

    void SetIcon(cairo_surface_t* icon) override;
    void SetTooltip(const std::wstring& text) override;
    void SetVisible(bool visible) override;
    bool IsShown() const override { return docked_; }

    Window xid() const { return xid_; }
    const std::wstring& tooltip() const { return tooltip_; }

    // Backend dispatch.
    void OnManagerAppeared(Window manager);
    void OnEvent(XEvent& event);

private:
    void Dock();
    void Undock();
    void Paint();
    // The icon's window: with the tray's alpha visual (null: the default
    // visual, showing the tray's background through ParentRelative).
    void CreateIconWindow(Visual* argb);
    void DestroyIconWindow();

    X11Backend* backend_;
    DuiLib::IBackendWindowSink* sink_;
    Display* d_;
    Window xid_ = 0;
    Visual* argb_ = nullptr;
    Colormap colormap_ = 0;
    Window manager_ = 0;
    bool visible_ = false;
    bool docked_ = false;
    cairo_surface_t* icon_ = nullptr;
    std::wstring tooltip_;
    int width_ = 24, height_ = 24;
};

}  // namespace tavrik::x11
