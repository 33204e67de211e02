#include "platform/ui/x11/x11_backend_impl.h"

#include <X11/Xatom.h>
#include <algorithm>

#include <vector>

#include "platform/os/clock.h"
#include "platform/files/utf8.h"
#include "platform/screen/x_error_trap.h"
#include "platform/ui/x11/x11_put_image.h"
#include "platform/ui/x11/x11_text.h"

namespace tavrik::x11 {

using DuiLib::BackendEvent;
using DuiLib::BackendEventType;

namespace {
constexpr long kSystemTrayRequestDock = 0;
constexpr long kXEmbedMapped = 1;
}  // namespace

X11TrayIcon::X11TrayIcon(X11Backend* backend, DuiLib::IBackendWindowSink* sink)
    : backend_(backend), sink_(sink), d_(backend->display()) {
    XSetWindowAttributes attrs{};
    attrs.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    attrs.background_pixmap = ParentRelative;
    xid_ = XCreateWindow(d_, backend_->root(), 0, 0, static_cast<unsigned>(width_), static_cast<unsigned>(height_), 0,
                         CopyFromParent, InputOutput, CopyFromParent, CWEventMask | CWBackPixmap, &attrs);
    // XEmbed: protocol version 0, to be mapped once embedded.
    const long info[2] = {0, kXEmbedMapped};
    XChangeProperty(d_, xid_, backend_->atoms().xembed_info, backend_->atoms().xembed_info, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(info), 2);
    XStoreName(d_, xid_, "Tavrik");
    backend_->RegisterTray(xid_, this);
    XFlush(d_);
}

X11TrayIcon::~X11TrayIcon() {
    backend_->UnregisterTray(xid_);
    if (icon_) cairo_surface_destroy(icon_);
    XDestroyWindow(d_, xid_);
    XFlush(d_);
}

void X11TrayIcon::SetIcon(cairo_surface_t* icon) {
    WakeOnExit wake(backend_);
    if (icon_) cairo_surface_destroy(icon_);
    icon_ = icon ? cairo_surface_reference(icon) : nullptr;
    Paint();
}

void X11TrayIcon::SetTooltip(const std::wstring& text) {
    WakeOnExit wake(backend_);
    tooltip_ = text;
    // Trays that show a tip take it from the icon window's name.
    const std::string utf8 = win::ToUtf8(text);
    XChangeProperty(d_, xid_, backend_->atoms().net_wm_name, backend_->atoms().utf8_string, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
    XStoreName(d_, xid_, utf8.c_str());
    XFlush(d_);
}

void X11TrayIcon::SetVisible(bool visible) {
    WakeOnExit wake(backend_);
    if (visible == visible_) return;
    visible_ = visible;
    if (visible)
        Dock();
    else
        Undock();
    backend_->WakeIfQueued();
}

void X11TrayIcon::Dock() {
    Window manager = backend_->TrayManager();
    if (manager == None) {
        backend_->LogOnce("no-tray",
                          "no system tray on this display; the icon waits for one and the window stays reachable "
                          "through the window list");
        return;
    }
    manager_ = manager;
    {
        // Learn when the tray goes away.
        XErrorTrap trap(d_);
        XSelectInput(d_, manager_, StructureNotifyMask);
        if (trap.Failed()) {
            manager_ = 0;
            return;
        }
    }
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = manager_;
    e.xclient.message_type = backend_->atoms().tray_opcode;
    e.xclient.format = 32;
    e.xclient.data.l[0] = CurrentTime;
    e.xclient.data.l[1] = kSystemTrayRequestDock;
    e.xclient.data.l[2] = static_cast<long>(xid_);
    {
        XErrorTrap trap(d_);
        XSendEvent(d_, manager_, False, NoEventMask, &e);
    }
    XFlush(d_);
}

void X11TrayIcon::Undock() {
    docked_ = false;
    // Out of the tray and unmapped; a later Dock asks again.
    {
        XErrorTrap trap(d_);
        XUnmapWindow(d_, xid_);
        XReparentWindow(d_, xid_, backend_->root(), 0, 0);
    }
    manager_ = 0;
    XFlush(d_);
}

void X11TrayIcon::OnManagerAppeared(Window manager) {
    // A request already sent to this manager is not repeated.
    if (visible_ && !docked_ && manager != manager_) Dock();
}

void X11TrayIcon::Paint() {
    if (!docked_) return;
    XErrorTrap trap(d_);
    if (!icon_) {
        XClearWindow(d_, xid_);
        return;
    }
    // Composed over a neutral grey: the tray's own background cannot be
    // read back reliably.
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    cairo_paint(cr);
    const double iw = cairo_image_surface_get_width(icon_), ih = cairo_image_surface_get_height(icon_);
    if (iw > 0 && ih > 0) {
        const double scale = std::min(width_ / iw, height_ / ih);
        cairo_translate(cr, (width_ - iw * scale) / 2, (height_ - ih * scale) / 2);
        cairo_scale(cr, scale, scale);
        cairo_set_source_surface(cr, icon_, 0, 0);
        cairo_paint(cr);
    }
    cairo_destroy(cr);
    GC gc = XCreateGC(d_, xid_, 0, nullptr);
    PutImageRect(d_, backend_->screen(), xid_, gc, target, 0, 0, width_, height_);
    XFreeGC(d_, gc);
    cairo_surface_destroy(target);
    XFlush(d_);
}

void X11TrayIcon::OnEvent(XEvent& event) {
    if (event.type == DestroyNotify) {
        if (manager_ && event.xdestroywindow.window == manager_) {
            // The tray went away: the icon is no longer shown anywhere.
            docked_ = false;
            manager_ = 0;
            XErrorTrap trap(d_);
            XUnmapWindow(d_, xid_);
            XReparentWindow(d_, xid_, backend_->root(), 0, 0);
            backend_->LogOnce("tray-gone", "the system tray went away; the icon waits for a new one");
        }
        return;
    }
    if (event.xany.window != xid_) return;
    switch (event.type) {
        case ReparentNotify:
            docked_ = visible_ && event.xreparent.parent != backend_->root();
            if (docked_) {
                // XEmbed managers map the icon themselves; others expect us to.
                XMapWindow(d_, xid_);
            }
            return;
        case ConfigureNotify:
            width_ = event.xconfigure.width;
            height_ = event.xconfigure.height;
            Paint();
            return;
        case Expose:
            if (event.xexpose.count == 0) Paint();
            return;
        case ButtonPress:
        case ButtonRelease: {
            const XButtonEvent& b = event.xbutton;
            BackendEvent e;
            e.time = win::GetTickCount();
            e.x = b.x_root;
            e.y = b.y_root;
            switch (b.button) {
                case Button1:
                    e.button = DuiLib::BackendButton::Left;
                    break;
                case Button2:
                    e.button = DuiLib::BackendButton::Middle;
                    break;
                case Button3:
                    e.button = DuiLib::BackendButton::Right;
                    break;
                default:
                    return;
            }
            e.type = event.type == ButtonPress ? BackendEventType::ButtonDown : BackendEventType::ButtonUp;
            if (sink_) sink_->OnBackendEvent(e);
            return;
        }
        case MotionNotify: {
            BackendEvent e;
            e.type = BackendEventType::MouseMove;
            e.time = win::GetTickCount();
            e.x = event.xmotion.x_root;
            e.y = event.xmotion.y_root;
            if (sink_) sink_->OnBackendEvent(e);
            return;
        }
        default:
            return;
    }
}

}  // namespace tavrik::x11
