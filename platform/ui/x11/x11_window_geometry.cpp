// A window's place and size: what the program asks, what the server and
// the window manager tell, and the move and resize drags.

#include "platform/ui/x11/x11_backend_impl.h"

#include <algorithm>

#include "platform/os/clock.h"

namespace tavrik::x11 {

using DuiLib::BackendEvent;
using DuiLib::BackendEventType;
using DuiLib::BackendRect;
using DuiLib::BackendShowState;
using DuiLib::BackendSize;

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

}  // namespace tavrik::x11
