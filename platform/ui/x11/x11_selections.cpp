// The clipboard the backend owns and serves, and the tray manager's
// selection and place.

#include "platform/ui/x11/x11_backend.h"
#include "platform/ui/x11/x11_backend_impl.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <chrono>
#include <cstdio>

#include "platform/files/utf8.h"
#include "platform/screen/x_error_trap.h"

namespace tavrik::x11 {

using DuiLib::BackendRect;

Window X11Backend::TrayManager() const {
    char name[64];
    std::snprintf(name, sizeof name, "_NET_SYSTEM_TRAY_S%d", screen_);
    return XGetSelectionOwner(display_, XInternAtom(display_, name, False));
}

bool X11Backend::TrayRect(BackendRect& rect) const {
    const Window tray = TrayManager();
    if (tray == None) return false;
    XErrorTrap trap(display_);
    XWindowAttributes attrs{};
    if (!XGetWindowAttributes(display_, tray, &attrs) || trap.Failed()) return false;
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, tray, root_, 0, 0, &x, &y, &child);
    rect = {x, y, x + attrs.width, y + attrs.height};
    const_cast<X11Backend*>(this)->WakeIfQueued();
    return true;
}

bool GetSystemTrayRect(BackendRect& rect) {
    auto* x = dynamic_cast<X11Backend*>(&DuiLib::GetDisplayBackend());
    return x && x->TrayRect(rect);
}

void X11Backend::SetClipboardText(const std::wstring& text) {
    WakeOnExit wake(const_cast<X11Backend*>(this));
    clipboard_utf8_ = win::ToUtf8(text);
    XSetSelectionOwner(display_, atoms_.clipboard, helper_, CurrentTime);
    own_clipboard_ = XGetSelectionOwner(display_, atoms_.clipboard) == helper_;
    WakeIfQueued();
}

std::wstring X11Backend::GetClipboardText() {
    WakeOnExit wake(const_cast<X11Backend*>(this));
    if (own_clipboard_) return win::FromUtf8(clipboard_utf8_);
    if (XGetSelectionOwner(display_, atoms_.clipboard) == None) return {};
    XDeleteProperty(display_, helper_, atoms_.clip_property);
    XConvertSelection(display_, atoms_.clipboard, atoms_.utf8_string, atoms_.clip_property, helper_, CurrentTime);
    XFlush(display_);
    // The owner answers through the server; wait a bounded time for it,
    // leaving every other event queued for the loop.
    std::wstring result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
    XEvent ev;
    bool answered = false;
    while (!answered && std::chrono::steady_clock::now() < deadline) {
        if (XCheckTypedWindowEvent(display_, helper_, SelectionNotify, &ev)) {
            answered = true;
            break;
        }
        pollfd p{ConnectionNumber(display_), POLLIN, 0};
        poll(&p, 1, 20);
        XEventsQueued(display_, QueuedAfterReading);
    }
    if (answered && ev.xselection.property != None) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, helper_, atoms_.clip_property, 0, 1 << 20, True, AnyPropertyType, &type,
                               &format, &count, &after, &data) == Success &&
            data && format == 8) {
            result = win::FromUtf8(std::string(reinterpret_cast<char*>(data), count));
        }
        if (data) XFree(data);
    }
    WakeIfQueued();
    return result;
}

void X11Backend::HandleSelectionRequest(const XSelectionRequestEvent& r) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = r.display;
    reply.requestor = r.requestor;
    reply.selection = r.selection;
    reply.target = r.target;
    reply.time = r.time;
    reply.property = None;
    const Atom property = r.property != None ? r.property : r.target;
    if (r.selection == atoms_.clipboard && own_clipboard_) {
        XErrorTrap trap(display_);
        if (r.target == atoms_.targets) {
            Atom targets[] = {atoms_.targets, atoms_.utf8_string, XA_STRING, atoms_.text};
            XChangeProperty(display_, r.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(targets), 4);
            reply.property = property;
        } else if (r.target == atoms_.utf8_string || r.target == XA_STRING || r.target == atoms_.text) {
            XChangeProperty(display_, r.requestor, property, r.target == XA_STRING ? XA_STRING : atoms_.utf8_string, 8,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(clipboard_utf8_.data()),
                            static_cast<int>(clipboard_utf8_.size()));
            reply.property = property;
        }
    }
    XSendEvent(display_, r.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
    XFlush(display_);
}

}  // namespace tavrik::x11
