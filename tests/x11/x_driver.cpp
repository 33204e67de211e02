#include "tests/x11/x_driver.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cairo.h>

#include <thread>
#include <vector>

#include "platform/screen/x11_screen_source.h"
#include "platform/screen/x_error_trap.h"
#include "tests/support/wait_bound.h"

namespace tavrik::test {

XDriver::XDriver() { d_ = XOpenDisplay(nullptr); }

XDriver::~XDriver() {
    if (d_) XCloseDisplay(d_);
}

void XDriver::MoveTo(int x, int y) {
    XTestFakeMotionEvent(d_, -1, x, y, CurrentTime);
    XSync(d_, False);
}

void XDriver::Press(unsigned button) {
    XTestFakeButtonEvent(d_, button, True, CurrentTime);
    XSync(d_, False);
}

void XDriver::Release(unsigned button) {
    XTestFakeButtonEvent(d_, button, False, CurrentTime);
    XSync(d_, False);
}

void XDriver::Click(int x, int y, unsigned button) {
    MoveTo(x, y);
    Press(button);
    Release(button);
}

void XDriver::Key(unsigned long keysym, bool shift) {
    const KeyCode shift_code = XKeysymToKeycode(d_, XK_Shift_L);
    const KeyCode code = XKeysymToKeycode(d_, keysym);
    if (shift) XTestFakeKeyEvent(d_, shift_code, True, CurrentTime);
    XTestFakeKeyEvent(d_, code, True, CurrentTime);
    XTestFakeKeyEvent(d_, code, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(d_, shift_code, False, CurrentTime);
    XSync(d_, False);
}

void XDriver::KeySymbol(unsigned long keysym) {
    KeyCode code = XKeysymToKeycode(d_, keysym);
    if (!code) {
        int min = 0, max = 0, per = 0;
        XDisplayKeycodes(d_, &min, &max);
        KeySym* map = XGetKeyboardMapping(d_, static_cast<KeyCode>(min), max - min + 1, &per);
        for (int k = max; k >= min && !code; --k) {
            bool empty = true;
            for (int i = 0; i < per; ++i) empty = empty && map[(k - min) * per + i] == NoSymbol;
            if (empty) code = static_cast<KeyCode>(k);
        }
        XFree(map);
        KeySym both[2] = {keysym, keysym};
        XChangeKeyboardMapping(d_, code, 2, both, 1);
        XSync(d_, False);
    }
    XTestFakeKeyEvent(d_, code, True, CurrentTime);
    XTestFakeKeyEvent(d_, code, False, CurrentTime);
    XSync(d_, False);
}

bool XDriver::Geometry(Window w, int& x, int& y, int& width, int& height) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d_, w, &a)) return false;
    Window child = 0;
    XTranslateCoordinates(d_, w, DefaultRootWindow(d_), 0, 0, &x, &y, &child);
    width = a.width;
    height = a.height;
    return true;
}

bool XDriver::Viewable(Window w) {
    XWindowAttributes a{};
    return XGetWindowAttributes(d_, w, &a) && a.map_state == IsViewable;
}

std::vector<Window> XDriver::ViewableTopLevel(const std::string& title) {
    Window root = DefaultRootWindow(d_), parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> found;
    if (XQueryTree(d_, root, &root, &parent, &children, &count) != 0) {
        for (unsigned i = 0; i < count; ++i) {
            if (Viewable(children[i]) && (title.empty() || Utf8Property(children[i], "_NET_WM_NAME") == title))
                found.push_back(children[i]);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

void XDriver::RequestClose(Window w) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d_, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d_, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d_, w, False, NoEventMask, &e);
    XFlush(d_);
}

std::string XDriver::Utf8Property(Window w, const char* name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string value;
    if (XGetWindowProperty(d_, w, XInternAtom(d_, name, False), 0, 1024, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success &&
        data && format == 8)
        value.assign(reinterpret_cast<char*>(data), count);
    if (data) XFree(data);
    return value;
}

bool PumpUntil(const std::function<void()>& pump, const std::function<bool()>& done,
               std::chrono::milliseconds timeout) {
    return tavrik::test::WaitUntil(
        [&] {
            pump();
            return done();
        },
        timeout);
}

bool SaveScreenshot(const std::string& path) {
    auto source = screen::OpenX11ScreenSource();
    if (!source) return false;
    const screen::ScreenSize size = source->Size();
    std::vector<std::uint32_t> pixels;
    if (!source->Capture(0, 0, size.width, size.height, pixels)) return false;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.width, size.height);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < size.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < size.width; ++x) row[x] = pixels[static_cast<std::size_t>(y) * size.width + x];
    }
    cairo_surface_mark_dirty(s);
    const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    return ok;
}

TemporaryScreenSize::TemporaryScreenSize(Display* d, int width, int height)
    : d_(d),
      old_w_(DisplayWidth(d, 0)),
      old_h_(DisplayHeight(d, 0)),
      old_mm_w_(DisplayWidthMM(d, 0)),
      old_mm_h_(DisplayHeightMM(d, 0)) {
    const Window root = DefaultRootWindow(d_);
    res_ = XRRGetScreenResources(d_, root);
    if (res_ == nullptr || res_->ncrtc < 1) return;
    crtc_ = res_->crtcs[0];
    crtc_info_ = XRRGetCrtcInfo(d_, res_, crtc_);
    if (crtc_info_ == nullptr) return;
    tavrik::x11::XErrorTrap trap(d_);
    XRRSetCrtcConfig(d_, res_, crtc_, CurrentTime, 0, 0, None, RR_Rotate_0, nullptr, 0);
    XRRSetScreenSize(d_, root, width, height, old_mm_w_ * width / old_w_, old_mm_h_ * height / old_h_);
    resized_ = !trap.Failed();
}

void TemporaryScreenSize::Restore() {
    if (crtc_info_ != nullptr) {
        tavrik::x11::XErrorTrap trap(d_);
        XRRSetScreenSize(d_, DefaultRootWindow(d_), old_w_, old_h_, old_mm_w_, old_mm_h_);
        XRRSetCrtcConfig(d_, res_, crtc_, CurrentTime, crtc_info_->x, crtc_info_->y, crtc_info_->mode,
                         crtc_info_->rotation, crtc_info_->outputs, crtc_info_->noutput);
        XRRFreeCrtcInfo(crtc_info_);
        crtc_info_ = nullptr;
    }
    if (res_ != nullptr) {
        XRRFreeScreenResources(res_);
        res_ = nullptr;
    }
}

}  // namespace tavrik::test
