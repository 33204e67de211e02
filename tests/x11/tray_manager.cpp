#include "tests/x11/tray_manager.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace tavrik::test {

TestTrayManager::TestTrayManager(bool alphaVisual) {
    d_ = XOpenDisplay(nullptr);
    if (!d_) return;
    const Window root = DefaultRootWindow(d_);
    window_ = XCreateSimpleWindow(d_, root, 900, 0, 200, 32, 0, 0, 0x808080);
    XMapWindow(d_, window_);
    XVisualInfo info{};
    if (alphaVisual && XMatchVisualInfo(d_, DefaultScreen(d_), 32, TrueColor, &info)) {
        alphaVisual_ = info.visualid;
        const long id = static_cast<long>(alphaVisual_);
        XChangeProperty(d_, window_, XInternAtom(d_, "_NET_SYSTEM_TRAY_VISUAL", False), XA_VISUALID, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&id), 1);
    }
    opcode_ = XInternAtom(d_, "_NET_SYSTEM_TRAY_OPCODE", False);
    const Atom selection = XInternAtom(d_, "_NET_SYSTEM_TRAY_S0", False);
    XSetSelectionOwner(d_, selection, window_, CurrentTime);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = root;
    e.xclient.message_type = XInternAtom(d_, "MANAGER", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = CurrentTime;
    e.xclient.data.l[1] = static_cast<long>(selection);
    e.xclient.data.l[2] = static_cast<long>(window_);
    XSendEvent(d_, root, False, StructureNotifyMask, &e);
    XSync(d_, False);
}

TestTrayManager::~TestTrayManager() {
    if (!d_) return;
    if (window_) XDestroyWindow(d_, window_);
    XCloseDisplay(d_);
}

void TestTrayManager::Pump() {
    while (XPending(d_)) {
        XEvent e;
        XNextEvent(d_, &e);
        if (e.type == ClientMessage && e.xclient.message_type == opcode_ && e.xclient.data.l[1] == 0) {
            const Window icon = static_cast<Window>(e.xclient.data.l[2]);
            const int x = static_cast<int>(docked_.size()) * 32;
            XReparentWindow(d_, icon, window_, x, 4);
            XResizeWindow(d_, icon, 24, 24);
            XMapWindow(d_, icon);
            XSync(d_, False);
            docked_.push_back(icon);
        }
    }
}

}  // namespace tavrik::test
