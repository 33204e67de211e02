#include "platform/ui/x11/x11_backend_impl.h"

#include <X11/Xcursor/Xcursor.h>

#include <X11/Xatom.h>
#include <X11/extensions/shape.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/os/clock.h"
#include "platform/files/utf8.h"
#include "platform/screen/x_error_trap.h"
#include "platform/ui/x11/x11_put_image.h"
#include "platform/ui/x11/x11_text.h"

namespace tavrik::x11 {

using DuiLib::BackendEvent;
using DuiLib::BackendEventType;
using DuiLib::BackendRect;
using DuiLib::BackendShowCommand;
using DuiLib::BackendShowState;
using DuiLib::BackendSize;

namespace {

constexpr long kEventMask = ExposureMask | StructureNotifyMask | FocusChangeMask | KeyPressMask | KeyReleaseMask |
                            ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask |
                            PropertyChangeMask;

int ClampSize(int v) { return std::clamp(v, 1, 32767); }

}  // namespace

X11Window::X11Window(X11Backend* backend, const DuiLib::BackendWindowParams& params, DuiLib::IBackendWindowSink* sink)
    : backend_(backend),
      sink_(sink),
      d_(backend->display()),
      popup_(params.popup),
      no_activate_(params.noActivate),
      topMost_(params.topMost) {
    rect_ = params.rect;
    if (rect_.right <= rect_.left) rect_.right = rect_.left + 1;
    if (rect_.bottom <= rect_.top) rect_.bottom = rect_.top + 1;
    restore_rect_ = rect_;

    XSetWindowAttributes attrs{};
    attrs.event_mask = kEventMask;
    attrs.background_pixmap = None;  // the back buffer paints everything; no flash of a background
    attrs.bit_gravity = NorthWestGravity;
    attrs.override_redirect = popup_ ? True : False;
    attrs.save_under = popup_ ? True : False;
    xid_ =
        XCreateWindow(d_, backend_->root(), rect_.left, rect_.top, static_cast<unsigned>(ClampSize(rect_.Width())),
                      static_cast<unsigned>(ClampSize(rect_.Height())), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWEventMask | CWBackPixmap | CWBitGravity | CWOverrideRedirect | CWSaveUnder, &attrs);
    backend_->Register(xid_, this);
    gc_ = XCreateGC(d_, xid_, 0, nullptr);

    const X11Atoms& a = backend_->atoms();
    XSetWMProtocols(d_, xid_, const_cast<Atom*>(&a.wm_delete_window), 1);
    const long pid = getpid();
    XChangeProperty(d_, xid_, a.net_wm_pid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    XClassHint cls{const_cast<char*>("tavrik"), const_cast<char*>("Tavrik")};
    XSetClassHint(d_, xid_, &cls);
    // The skins draw their own caption and frame.
    const long motif[5] = {2 /* decorations field */, 0, 0 /* none */, 0, 0};
    XChangeProperty(d_, xid_, a.motif_wm_hints, a.motif_wm_hints, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(motif), 5);
    Atom type = popup_              ? a.net_wm_window_type_popup_menu
                : params.owner      ? a.net_wm_window_type_dialog
                : params.toolWindow ? a.net_wm_window_type_utility
                                    : a.net_wm_window_type_normal;
    XChangeProperty(d_, xid_, a.net_wm_window_type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&type), 1);
    std::vector<Atom> states;
    if (topMost_) states.push_back(a.net_wm_state_above);
    if (params.toolWindow || params.owner) states.push_back(a.net_wm_state_skip_taskbar);
    if (!states.empty())
        XChangeProperty(d_, xid_, a.net_wm_state, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(states.data()), static_cast<int>(states.size()));
    // Place where asked, even under a window manager.
    WriteNormalHints(USPosition | USSize | PPosition | PSize);
    XWMHints wm{};
    wm.flags = InputHint | StateHint;
    wm.input = no_activate_ ? False : True;
    wm.initial_state = NormalState;
    XSetWMHints(d_, xid_, &wm);

    if (backend_->input_method())
        ic_ = XCreateIC(backend_->input_method(), XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                        xid_, XNFocusWindow, xid_, nullptr);
    if (ic_) {
        long filter = 0;
        XGetICValues(ic_, XNFilterEvents, &filter, nullptr);
        XSelectInput(d_, xid_, kEventMask | filter);
    }

    SetTitle(params.title);
    if (params.owner) SetOwner(params.owner);
    XFlush(d_);
}

X11Window::~X11Window() {
    for (X11Window* owned : backend_->OwnedBy(this)) owned->ForgetOwner(this);
    if (capture_ || moving_) XUngrabPointer(d_, CurrentTime);
    backend_->Unregister(xid_);
    backend_->PopupClosed(xid_);
    if (ic_) XDestroyIC(ic_);
    if (back_) XFreePixmap(d_, back_);
    XFreeGC(d_, gc_);
    XDestroyWindow(d_, xid_);
    if (image_cursor_) XFreeCursor(d_, image_cursor_);
    XFlush(d_);
    backend_->WakeIfQueued();
}

void X11Window::Deliver(const BackendEvent& event) {
    if (sink_) sink_->OnBackendEvent(event);
}

void X11Window::SetState(BackendShowState state) {
    if (state == state_) return;
    state_ = state;
    BackendEvent e;
    e.type = BackendEventType::StateChanged;
    e.time = win::GetTickCount();
    e.state = state;
    Deliver(e);
}

void X11Window::Map(bool activate) {
    if (no_activate_) activate = false;
    focus_loss_told_ = false;
    if (owner_) XSetTransientForHint(d_, xid_, owner_->xid());
    focus_on_map_ = activate;
    if (!mapped_) {
        XMapRaised(d_, xid_);
    } else {
        // A window already on the screen comes forward with the windows it
        // owns, never above them, and takes the focus as an activation gives
        // it (to its modal window, not from its open popup). Mapped still in
        // case an unmapping is on its way.
        XMapWindow(d_, xid_);
        if (activate)
            Activate();
        else
            RaiseWithOwned();
    }
    XFlush(d_);
}

void X11Window::FocusUnlessPopupHasIt() {
    if (!backend_->DeferFocusToPopupOf(this)) Focus();
}

void X11Window::Focus() {
    backend_->FocusRequested(xid_);
    if (backend_->WindowManagerRunning()) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = xid_;
        e.xclient.message_type = backend_->atoms().net_active_window;
        e.xclient.format = 32;
        e.xclient.data.l[0] = 1;  // from an application
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(d_, backend_->root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    }
    XErrorTrap trap(d_);  // BadMatch when the window is not viewable yet
    XSetInputFocus(d_, xid_, RevertToParent, CurrentTime);
}

void X11Window::Show(BackendShowCommand command) {
    WakeOnExit wake(backend_);
    switch (command) {
        case BackendShowCommand::Hide:
            if (capture_) SetCapture(false);
            focus_on_map_ = false;
            XWithdrawWindow(d_, xid_, backend_->screen());
            mapped_ = false;
            SetState(BackendShowState::Hidden);
            backend_->PopupClosed(xid_);
            break;
        case BackendShowCommand::Show:
            if (state_ == BackendShowState::Hidden || state_ == BackendShowState::Minimized) {
                Map(true);
                SetState(state_ == BackendShowState::Minimized ? BackendShowState::Normal
                         : state_ == BackendShowState::Hidden  ? BackendShowState::Normal
                                                               : state_);
            } else {
                Activate();
            }
            break;
        case BackendShowCommand::ShowNoActivate:
            if (state_ == BackendShowState::Hidden) {
                Map(false);
                SetState(BackendShowState::Normal);
            }
            break;
        case BackendShowCommand::Minimize:
            if (backend_->WindowManagerRunning())
                XIconifyWindow(d_, xid_, backend_->screen());
            else
                XUnmapWindow(d_, xid_);  // nobody to keep an icon: the window just goes
            SetState(BackendShowState::Minimized);
            break;
        case BackendShowCommand::Maximize:
            if (state_ != BackendShowState::Maximized) restore_rect_ = rect_;
            Map(true);
            SetState(BackendShowState::Maximized);
            ApplyRect(backend_->GetWorkArea(), true);
            break;
        case BackendShowCommand::Restore: {
            const bool was_max = state_ == BackendShowState::Maximized;
            Map(true);
            SetState(BackendShowState::Normal);
            if (was_max) ApplyRect(restore_rect_, true);
            break;
        }
    }
    XFlush(d_);
    backend_->WakeIfQueued();
}

void X11Window::SetRect(const BackendRect& rect) {
    WakeOnExit wake(backend_);
    ApplyRect(rect, true);
    backend_->WakeIfQueued();
}

void X11Window::ApplyRect(const BackendRect& requested, bool tellSink) {
    BackendRect rect = DuiLib::ClampToSizeLimits(requested, min_size_, max_size_);
    if (rect.right <= rect.left) rect.right = rect.left + 1;
    if (rect.bottom <= rect.top) rect.bottom = rect.top + 1;
    const BackendRect old = rect_;
    rect_ = rect;
    WriteNormalHints(USPosition | USSize);
    const bool resized = old.Width() != rect.Width() || old.Height() != rect.Height();
    // The buffer (the window's background) first: a part the window gains is
    // filled from one of its own size.
    if (resized) EnsureBackBuffer();
    last_placement_request_ = NextRequest(d_);
    XMoveResizeWindow(d_, xid_, rect.left, rect.top, static_cast<unsigned>(ClampSize(rect.Width())),
                      static_cast<unsigned>(ClampSize(rect.Height())));
    if (resized) ApplyShape();
    // The probe gives screen positions: a window moved without being drawn
    // again has its controls elsewhere on the screen.
    if (old.left != rect.left || old.top != rect.top) WriteProbe();
    XFlush(d_);
    if (!tellSink) return;
    if (old.left != rect.left || old.top != rect.top) {
        BackendEvent e;
        e.type = BackendEventType::Moved;
        e.time = win::GetTickCount();
        e.x = rect.left;
        e.y = rect.top;
        Deliver(e);
    }
    // The sink may have moved the window again; report the size we have now.
    if (old.Width() != rect_.Width() || old.Height() != rect_.Height()) {
        BackendEvent e;
        e.type = BackendEventType::Resized;
        e.time = win::GetTickCount();
        e.width = rect_.Width();
        e.height = rect_.Height();
        Deliver(e);
    }
}

void X11Window::WriteNormalHints(long placeFlags) {
    XSizeHints hints{};
    hints.flags = placeFlags;
    hints.x = rect_.left;
    hints.y = rect_.top;
    hints.width = rect_.Width();
    hints.height = rect_.Height();
    // A limit in one dimension only leaves the other free (1 pixel at least,
    // "any size" at most), as the hints carry both or neither.
    if (min_size_.width > 0 || min_size_.height > 0) {
        hints.flags |= PMinSize;
        hints.min_width = std::max(min_size_.width, 1);
        hints.min_height = std::max(min_size_.height, 1);
    }
    if (max_size_.width > 0 || max_size_.height > 0) {
        hints.flags |= PMaxSize;
        hints.max_width = max_size_.width > 0 ? std::max(max_size_.width, hints.min_width) : ClampSize(1 << 30);
        hints.max_height = max_size_.height > 0 ? std::max(max_size_.height, hints.min_height) : ClampSize(1 << 30);
    }
    XSetWMNormalHints(d_, xid_, &hints);
}

void X11Window::SetSizeLimits(BackendSize minimum, BackendSize maximum) {
    WakeOnExit wake(backend_);
    min_size_ = minimum;
    max_size_ = maximum;
    const BackendRect clamped = DuiLib::ClampToSizeLimits(rect_, min_size_, max_size_);
    if (clamped.Width() != rect_.Width() || clamped.Height() != rect_.Height())
        ApplyRect(clamped, true);  // writes the hints too
    else
        WriteNormalHints(USPosition | USSize);
    XFlush(d_);
}

void X11Window::OnConfigure(const XConfigureEvent& c) {
    // A notice of an earlier placement (two resizes in a row: the notice of
    // the first comes after the second was asked for) would lay the window
    // out at a size it no longer has; the notice of the last one follows.
    // The window manager's own notices (sent events) always count.
    if (!c.send_event && static_cast<long>(c.serial - last_placement_request_) < 0) return;
    // Under a reparenting window manager the event gives the position in
    // the frame; ask for the position on the screen.
    int x = c.x, y = c.y;
    if (!c.send_event && !popup_) {
        Window child = 0;
        XTranslateCoordinates(d_, xid_, backend_->root(), 0, 0, &x, &y, &child);
    }
    const BackendRect now{x, y, x + c.width, y + c.height};
    if (now.left == rect_.left && now.top == rect_.top && now.Width() == rect_.Width() &&
        now.Height() == rect_.Height())
        return;
    const BackendRect old = rect_;
    rect_ = now;
    if (old.Width() != now.Width() || old.Height() != now.Height()) {
        EnsureBackBuffer();
        ApplyShape();
    }
    const Window self = xid_;
    if (old.left != now.left || old.top != now.top) {
        WriteProbe();
        BackendEvent e;
        e.type = BackendEventType::Moved;
        e.time = win::GetTickCount();
        e.x = now.left;
        e.y = now.top;
        Deliver(e);
    }
    if (!backend_->Find(self)) return;
    if (old.Width() != now.Width() || old.Height() != now.Height()) {
        BackendEvent e;
        e.type = BackendEventType::Resized;
        e.time = win::GetTickCount();
        e.width = now.Width();
        e.height = now.Height();
        Deliver(e);
    }
}

void X11Window::TellFocusMovedAway() {
    if (!no_activate_ || !shown() || focus_loss_told_) return;
    focus_loss_told_ = true;
    DuiLib::BackendEvent e;
    e.type = DuiLib::BackendEventType::Deactivated;
    e.time = win::GetTickCount();
    Deliver(e);
}

void X11Window::OnMapped() {
    mapped_ = true;
    if (focus_on_map_) {
        focus_on_map_ = false;
        FocusUnlessPopupHasIt();
    }
    if (state_ == BackendShowState::Minimized) SetState(BackendShowState::Normal);
}

void X11Window::OnUnmapped() {
    mapped_ = false;
    // Unmapped by the window manager (iconified) rather than hidden by us.
    if (state_ == BackendShowState::Normal || state_ == BackendShowState::Maximized) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        bool iconic = false;
        const Atom wm_state = backend_->atoms().wm_state;
        if (XGetWindowProperty(d_, xid_, wm_state, 0, 2, False, wm_state, &type, &format, &count, &after, &data) ==
                Success &&
            data && count >= 1)
            iconic = reinterpret_cast<long*>(data)[0] == IconicState;
        if (data) XFree(data);
        if (iconic) SetState(BackendShowState::Minimized);
    }
}

void X11Window::SetTitle(const std::wstring& title) {
    WakeOnExit wake(backend_);
    const std::string utf8 = win::ToUtf8(title);
    const X11Atoms& a = backend_->atoms();
    XChangeProperty(d_, xid_, a.net_wm_name, a.utf8_string, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
    XStoreName(d_, xid_, utf8.c_str());
    XFlush(d_);
}

void X11Window::SetOwner(DuiLib::IBackendWindow* owner) {
    WakeOnExit wake(backend_);
    owner_ = backend_->FindBackendWindow(owner);
    if (owner_ == this) owner_ = nullptr;
    if (owner_)
        XSetTransientForHint(d_, xid_, owner_->xid());
    else
        XDeleteProperty(d_, xid_, XA_WM_TRANSIENT_FOR);
    XFlush(d_);
}

void X11Window::SetNetState(Atom state, bool on) {
    const X11Atoms& a = backend_->atoms();
    if (mapped_ && backend_->WindowManagerRunning()) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = xid_;
        e.xclient.message_type = a.net_wm_state;
        e.xclient.format = 32;
        e.xclient.data.l[0] = on ? 1 : 0;
        e.xclient.data.l[1] = static_cast<long>(state);
        e.xclient.data.l[3] = 1;
        XSendEvent(d_, backend_->root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
        return;
    }
    // Before mapping (or with no window manager) the property itself.
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<Atom> states;
    if (XGetWindowProperty(d_, xid_, a.net_wm_state, 0, 32, False, XA_ATOM, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        const Atom* v = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count; ++i)
            if (v[i] != state) states.push_back(v[i]);
    }
    if (data) XFree(data);
    if (on) states.push_back(state);
    XChangeProperty(d_, xid_, a.net_wm_state, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(states.data()), static_cast<int>(states.size()));
}

void X11Window::SetTopMost(bool topMost) {
    WakeOnExit wake(backend_);
    topMost_ = topMost;
    SetNetState(backend_->atoms().net_wm_state_above, topMost);
    if (topMost) RaiseWithOwned();
    XFlush(d_);
}

void X11Window::Activate() { ActivateFor(false); }

void X11Window::ActivateByUser() { ActivateFor(true); }

void X11Window::RaiseWithOwned(int depth) {
    XRaiseWindow(d_, xid_);
    if (depth >= 16) return;  // owners form no cycle; the bound only guards it
    for (X11Window* owned : backend_->OwnedBy(this))
        if (owned->shown()) owned->RaiseWithOwned(depth + 1);
}

void X11Window::ActivateFor(bool byUser) {
    WakeOnExit wake(backend_);
    if (state_ == BackendShowState::Hidden) return;
    // Windows it owns (a modal dialog, an open menu or drop list) stay above it.
    RaiseWithOwned();
    if (no_activate_) {
        XFlush(d_);
        return;
    }
    // A window that a modal window disables hands the focus to that window.
    X11Window* target = this;
    if (!enabled_) {
        for (X11Window* owned : backend_->OwnedBy(this))
            if (owned->enabled() && owned->GetShowState() != BackendShowState::Hidden) target = owned;
    }
    // The program raising its own window (showing it again, a device's
    // arrival) does not take the focus from the window's open drop list or
    // menu, which would close it under the user's pointer; a click does.
    if (!byUser && backend_->DeferFocusToPopupOf(target)) {
        XFlush(d_);
        return;
    }
    if (target->mapped_)
        target->Focus();
    else
        target->focus_on_map_ = true;
    XFlush(d_);
    backend_->WakeIfQueued();
}

void X11Window::EnsureBackBuffer() {
    const int w = ClampSize(rect_.Width()), h = ClampSize(rect_.Height());
    if (back_ && back_w_ == w && back_h_ == h) return;
    const int depth = DefaultDepth(d_, backend_->screen());
    Pixmap fresh =
        XCreatePixmap(d_, xid_, static_cast<unsigned>(w), static_cast<unsigned>(h), static_cast<unsigned>(depth));
    // Keep what was shown; the part that is new waits for the next picture.
    XSetForeground(d_, gc_, WhitePixel(d_, backend_->screen()));
    XFillRectangle(d_, fresh, gc_, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (back_) {
        XCopyArea(d_, back_, fresh, gc_, 0, 0, static_cast<unsigned>(std::min(w, back_w_)),
                  static_cast<unsigned>(std::min(h, back_h_)), 0, 0);
        XFreePixmap(d_, back_);
    }
    back_ = fresh;
    back_w_ = w;
    back_h_ = h;
    if (back_valid_) UseBackBufferAsBackground();
}

// The server paints a window's background itself as the window is mapped or
// exposed: with the back buffer as background, a window shown again (or for
// the first time, drawn while hidden) appears with its picture at once, not
// blank until the program answers the exposure.
void X11Window::UseBackBufferAsBackground() {
    if (background_ == back_) return;
    XSetWindowBackgroundPixmap(d_, xid_, back_);
    background_ = back_;
}

void X11Window::Present(cairo_surface_t* picture, const BackendRect& dirty) {
    WakeOnExit wake(backend_);
    if (!picture || cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS) return;
    EnsureBackBuffer();
    BackendRect r = dirty;
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, back_w_);
    r.bottom = std::min(r.bottom, back_h_);
    if (r.right <= r.left || r.bottom <= r.top) return;
    // Into the back buffer, then one copy to the window: the window never
    // shows a half-drawn picture.
    PutImageRect(d_, backend_->screen(), back_, gc_, picture, r.left, r.top, r.Width(), r.Height());
    XCopyArea(d_, back_, xid_, gc_, r.left, r.top, static_cast<unsigned>(r.Width()), static_cast<unsigned>(r.Height()),
              r.left, r.top);
    back_valid_ = true;
    UseBackBufferAsBackground();
    XFlush(d_);
}

void X11Window::OnExpose(const XExposeEvent& e) {
    if (back_valid_ && back_) {
        XCopyArea(d_, back_, xid_, gc_, e.x, e.y, static_cast<unsigned>(e.width), static_cast<unsigned>(e.height), e.x,
                  e.y);
        return;
    }
    BackendEvent ev;
    ev.type = kExposeEvent;
    ev.time = win::GetTickCount();
    ev.rect = {e.x, e.y, e.x + e.width, e.y + e.height};
    Deliver(ev);
}

void X11Window::SetCursor(DuiLib::BackendCursor cursor) {
    WakeOnExit wake(backend_);
    image_cursor_shown_ = false;
    XDefineCursor(d_, xid_, backend_->CursorFor(cursor));
    XFlush(d_);
}

void X11Window::SetCursorImage(const DuiLib::BackendCursorImage& image) {
    const bool same = image_cursor_ && image.width == image_cursor_source_.width &&
                      image.height == image_cursor_source_.height && image.hotX == image_cursor_source_.hotX &&
                      image.hotY == image_cursor_source_.hotY && image.pixels == image_cursor_source_.pixels;
    if (same && image_cursor_shown_) return;
    WakeOnExit wake(backend_);
    if (!same) {
        const size_t count = size_t(image.width) * size_t(image.height);
        if (image.width <= 0 || image.height <= 0 || image.pixels.size() != count) return;
        XcursorImage* picture = XcursorImageCreate(image.width, image.height);
        if (!picture) return;
        picture->xhot = static_cast<XcursorDim>(std::clamp(image.hotX, 0, image.width - 1));
        picture->yhot = static_cast<XcursorDim>(std::clamp(image.hotY, 0, image.height - 1));
        std::copy(image.pixels.begin(), image.pixels.end(), picture->pixels);
        const Cursor made = XcursorImageLoadCursor(d_, picture);
        XcursorImageDestroy(picture);
        if (!made) return;
        if (image_cursor_) XFreeCursor(d_, image_cursor_);
        image_cursor_ = made;
        image_cursor_source_ = image;
    }
    image_cursor_shown_ = true;
    XDefineCursor(d_, xid_, image_cursor_);
    XFlush(d_);
}

void X11Window::SetCapture(bool capture) {
    WakeOnExit wake(backend_);
    if (capture == capture_) return;
    capture_ = capture;
    if (capture) {
        // All pointer events come here, in this window's coordinates, until
        // released (menus and dragged sliders rely on it).
        XGrabPointer(d_, xid_, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask,
                     GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    } else {
        XUngrabPointer(d_, CurrentTime);
    }
    // Like releasing the capture on Windows, done once this returns: the
    // next click, even from another client, sees the new state.
    XSync(d_, False);
    backend_->WakeIfQueued();
}

void X11Window::AskWindowManagerToMoveResize(int rootX, int rootY, long direction) {
    XUngrabPointer(d_, CurrentTime);  // the window manager takes the pointer from here
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = xid_;
    e.xclient.message_type = backend_->atoms().net_wm_moveresize;
    e.xclient.format = 32;
    e.xclient.data.l[0] = rootX;
    e.xclient.data.l[1] = rootY;
    e.xclient.data.l[2] = direction;
    e.xclient.data.l[3] = Button1;
    e.xclient.data.l[4] = 1;  // source: a normal program
    XSendEvent(d_, backend_->root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(d_);
}

void X11Window::BeginMove() {
    WakeOnExit wake(backend_);
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(d_, xid_, &root, &child, &rx, &ry, &wx, &wy, &mask);
    if (backend_->WindowManagerRunning()) {
        // The window manager moves the window until the button goes up.
        AskWindowManagerToMoveResize(rx, ry, 8);  // 8: move
        return;
    }
    // No window manager: follow the pointer ourselves while the button is held.
    if (!(mask & Button1Mask)) return;
    moving_ = true;
    move_dx_ = rx - rect_.left;
    move_dy_ = ry - rect_.top;
    XGrabPointer(d_, xid_, False, ButtonReleaseMask | PointerMotionMask, GrabModeAsync, GrabModeAsync, None,
                 backend_->CursorFor(DuiLib::BackendCursor::SizeAll), CurrentTime);
    XFlush(d_);
    backend_->WakeIfQueued();
}

void X11Window::BeginResize(DuiLib::BackendResizeEdge edge) {
    WakeOnExit wake(backend_);
    if (state_ != BackendShowState::Normal) return;
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(d_, xid_, &root, &child, &rx, &ry, &wx, &wy, &mask);
    using E = DuiLib::BackendResizeEdge;
    if (backend_->WindowManagerRunning()) {
        // _NET_WM_MOVERESIZE directions, clockwise from the top-left corner.
        long direction = 4;
        switch (edge) {
            case E::TopLeft:
                direction = 0;
                break;
            case E::Top:
                direction = 1;
                break;
            case E::TopRight:
                direction = 2;
                break;
            case E::Right:
                direction = 3;
                break;
            case E::BottomRight:
                direction = 4;
                break;
            case E::Bottom:
                direction = 5;
                break;
            case E::BottomLeft:
                direction = 6;
                break;
            case E::Left:
                direction = 7;
                break;
        }
        AskWindowManagerToMoveResize(rx, ry, direction);
        return;
    }
    // No window manager: follow the pointer ourselves while the button is held.
    if (!(mask & Button1Mask)) return;
    moving_ = true;
    resizing_ = true;
    resize_edge_ = edge;
    resize_start_ = rect_;
    resize_from_x_ = rx;
    resize_from_y_ = ry;
    DuiLib::BackendCursor cursor = DuiLib::BackendCursor::SizeNWSE;
    if (edge == E::Left || edge == E::Right)
        cursor = DuiLib::BackendCursor::SizeWE;
    else if (edge == E::Top || edge == E::Bottom)
        cursor = DuiLib::BackendCursor::SizeNS;
    else if (edge == E::TopRight || edge == E::BottomLeft)
        cursor = DuiLib::BackendCursor::SizeNESW;
    XGrabPointer(d_, xid_, False, ButtonReleaseMask | PointerMotionMask, GrabModeAsync, GrabModeAsync, None,
                 backend_->CursorFor(cursor), CurrentTime);
    XFlush(d_);
    backend_->WakeIfQueued();
}

void X11Window::OnMoveMotion(int rootX, int rootY) {
    if (resizing_) {
        ApplyRect(DuiLib::ResizeByEdge(resize_start_, resize_edge_, rootX - resize_from_x_, rootY - resize_from_y_,
                                       min_size_, max_size_),
                  true);
        return;
    }
    BackendRect r = rect_;
    const int w = r.Width(), h = r.Height();
    r.left = rootX - move_dx_;
    r.top = rootY - move_dy_;
    r.right = r.left + w;
    r.bottom = r.top + h;
    ApplyRect(r, true);
}

void X11Window::EndMove() {
    moving_ = false;
    resizing_ = false;
    XUngrabPointer(d_, CurrentTime);
    if (capture_) {
        capture_ = false;
    }
    XFlush(d_);
}

void X11Window::SetIcon(cairo_surface_t* icon) {
    WakeOnExit wake(backend_);
    const Atom prop = backend_->atoms().net_wm_icon;
    if (!icon || cairo_surface_get_type(icon) != CAIRO_SURFACE_TYPE_IMAGE) {
        XDeleteProperty(d_, xid_, prop);
        XFlush(d_);
        return;
    }
    cairo_surface_flush(icon);
    const int w = cairo_image_surface_get_width(icon), h = cairo_image_surface_get_height(icon);
    const int stride = cairo_image_surface_get_stride(icon);
    const unsigned char* data = cairo_image_surface_get_data(icon);
    if (!data || w <= 0 || h <= 0 || cairo_image_surface_get_format(icon) != CAIRO_FORMAT_ARGB32) return;
    // Format 32 properties travel as longs.
    std::vector<long> v;
    v.reserve(2 + static_cast<std::size_t>(w) * h);
    v.push_back(w);
    v.push_back(h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            // Cairo keeps premultiplied alpha; the property wants it straight.
            std::uint32_t p = row[x];
            const std::uint32_t a = p >> 24;
            if (a && a != 255) {
                auto un = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, c * 255 / a); };
                p = (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
            }
            v.push_back(static_cast<long>(p));
        }
    }
    XChangeProperty(d_, xid_, prop, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(v.data()),
                    static_cast<int>(v.size()));
    XFlush(d_);
}

void X11Window::SetRoundCorner(int cx, int cy) {
    WakeOnExit wake(backend_);
    round_x_ = std::max(cx, 0);
    round_y_ = std::max(cy, 0);
    ApplyShape();
    XFlush(d_);
}

void X11Window::ApplyShape() {
    int event_base = 0, error_base = 0;
    if (!XShapeQueryExtension(d_, &event_base, &error_base)) return;
    if (round_x_ <= 0 || round_y_ <= 0) {
        XShapeCombineMask(d_, xid_, ShapeBounding, 0, 0, None, ShapeSet);
        return;
    }
    const int w = ClampSize(rect_.Width()), h = ClampSize(rect_.Height());
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    cairo_t* cr = cairo_create(s);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 0, 0, 0, 0);
    cairo_paint(cr);
    // The skin's "roundcorner" gives the ellipse of each corner.
    const double rx = round_x_ / 2.0, ry = round_y_ / 2.0;
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, w - rx, ry);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, -M_PI / 2, 0);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, w - rx, h - ry);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, M_PI / 2);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, rx, h - ry);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, M_PI / 2, M_PI);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, rx, ry);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, M_PI, 3 * M_PI / 2);
    cairo_restore(cr);
    cairo_close_path(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_source_rgba(cr, 1, 1, 1, 1);
    cairo_fill(cr);
    cairo_destroy(cr);
    Pixmap mask = MaskFromAlpha(d_, xid_, s);
    cairo_surface_destroy(s);
    XShapeCombineMask(d_, xid_, ShapeBounding, 0, 0, mask, ShapeSet);
    XFreePixmap(d_, mask);
}

}  // namespace tavrik::x11
