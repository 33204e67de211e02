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

// The visual a tray asks its icons to use (_NET_SYSTEM_TRAY_VISUAL) when it
// is one with an alpha channel (depth 32), else null.
Visual* TrayArgbVisual(Display* d, Window manager, int screen) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    VisualID id = 0;
    XErrorTrap trap(d);
    if (XGetWindowProperty(d, manager, XInternAtom(d, "_NET_SYSTEM_TRAY_VISUAL", False), 0, 1, False, XA_VISUALID,
                           &type, &format, &count, &after, &data) == Success &&
        data != nullptr && format == 32 && count == 1)
        id = static_cast<VisualID>(*reinterpret_cast<unsigned long*>(data));
    if (data != nullptr) XFree(data);
    if (id == 0) return nullptr;
    XVisualInfo wanted{};
    wanted.visualid = id;
    wanted.screen = screen;
    int found = 0;
    XVisualInfo* info = XGetVisualInfo(d, VisualIDMask | VisualScreenMask, &wanted, &found);
    Visual* visual = info != nullptr && found > 0 && info->depth == 32 ? info->visual : nullptr;
    if (info != nullptr) XFree(info);
    return visual;
}

// The picture scaled into the icon's square, centred, on a transparent
// ground (premultiplied ARGB32).
cairo_surface_t* ComposeIcon(cairo_surface_t* icon, int width, int height) {
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(target);
    const double iw = cairo_image_surface_get_width(icon), ih = cairo_image_surface_get_height(icon);
    if (iw > 0 && ih > 0) {
        const double scale = std::min(width / iw, height / ih);
        cairo_translate(cr, (width - iw * scale) / 2, (height - ih * scale) / 2);
        cairo_scale(cr, scale, scale);
        cairo_set_source_surface(cr, icon, 0, 0);
        cairo_paint(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(target);
    return target;
}

}  // namespace

X11TrayIcon::X11TrayIcon(X11Backend* backend, DuiLib::IBackendWindowSink* sink)
    : backend_(backend), sink_(sink), d_(backend->display()) {
    CreateIconWindow(nullptr);
}

X11TrayIcon::~X11TrayIcon() {
    if (icon_) cairo_surface_destroy(icon_);
    DestroyIconWindow();
    XFlush(d_);
}

void X11TrayIcon::CreateIconWindow(Visual* argb) {
    XSetWindowAttributes attrs{};
    attrs.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    unsigned long mask = CWEventMask;
    if (argb != nullptr) {
        // The tray composes the icon by its alpha: a transparent ground.
        colormap_ = XCreateColormap(d_, backend_->root(), argb, AllocNone);
        attrs.colormap = colormap_;
        attrs.background_pixel = 0;
        attrs.border_pixel = 0;
        mask |= CWColormap | CWBackPixel | CWBorderPixel;
    } else {
        // The tray's own background shows through where the icon is clear.
        attrs.background_pixmap = ParentRelative;
        mask |= CWBackPixmap;
    }
    argb_ = argb;
    xid_ = XCreateWindow(d_, backend_->root(), 0, 0, static_cast<unsigned>(width_), static_cast<unsigned>(height_), 0,
                         argb ? 32 : CopyFromParent, InputOutput, argb ? argb : CopyFromParent, mask, &attrs);
    // XEmbed: protocol version 0, to be mapped once embedded.
    const long info[2] = {0, kXEmbedMapped};
    XChangeProperty(d_, xid_, backend_->atoms().xembed_info, backend_->atoms().xembed_info, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(info), 2);
    XStoreName(d_, xid_, "Tavrik");
    if (!tooltip_.empty()) SetTooltip(tooltip_);
    backend_->RegisterTray(xid_, this);
    XFlush(d_);
}

void X11TrayIcon::DestroyIconWindow() {
    backend_->UnregisterTray(xid_);
    XDestroyWindow(d_, xid_);
    if (colormap_) XFreeColormap(d_, colormap_);
    colormap_ = 0;
    xid_ = 0;
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
    // A tray that composes its icons by their alpha names the visual for
    // them; the window is made again with it (or without it for a tray that
    // does not).
    Visual* argb = TrayArgbVisual(d_, manager_, backend_->screen());
    if (argb != argb_) {
        DestroyIconWindow();
        CreateIconWindow(argb);
    }
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
    // The ground first: clear (an alpha tray's window) or the tray's own
    // background (a parent-relative one).
    XClearWindow(d_, xid_);
    if (!icon_) return;
    cairo_surface_t* picture = ComposeIcon(icon_, width_, height_);
    GC gc = XCreateGC(d_, xid_, 0, nullptr);
    if (argb_ != nullptr) {
        PutArgbImage(d_, argb_, xid_, gc, picture);
    } else {
        // Without alpha on the window the icon's clear parts are left out,
        // the rest drawn with its own colours.
        PutImageMasked(d_, backend_->screen(), xid_, gc, picture);
    }
    XFreeGC(d_, gc);
    cairo_surface_destroy(picture);
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
