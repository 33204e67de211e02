#include "platform/ui/x11/x11_backend.h"
#include "platform/ui/x11/x11_backend_impl.h"

#include <X11/Xatom.h>
#include <X11/XKBlib.h>
#include <X11/cursorfont.h>
#include <X11/extensions/Xrandr.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/os/clock.h"
#include "platform/os/debug_trace.h"
#include "platform/screen/x_error_trap.h"

namespace tavrik::x11 {

using DuiLib::BackendEvent;
using DuiLib::BackendEventType;
using DuiLib::BackendRect;

namespace {

Atom Intern(Display* d, const char* name) { return XInternAtom(d, name, False); }

}  // namespace

X11Backend::X11Backend(Display* display) : display_(display) {
    InstallXErrorHandler();
    screen_ = DefaultScreen(display_);
    root_ = RootWindow(display_, screen_);
    auto& a = atoms_;
    a.wm_protocols = Intern(display_, "WM_PROTOCOLS");
    a.wm_delete_window = Intern(display_, "WM_DELETE_WINDOW");
    a.wm_state = Intern(display_, "WM_STATE");
    a.net_wm_name = Intern(display_, "_NET_WM_NAME");
    a.utf8_string = Intern(display_, "UTF8_STRING");
    a.net_wm_icon = Intern(display_, "_NET_WM_ICON");
    a.net_wm_state = Intern(display_, "_NET_WM_STATE");
    a.net_wm_state_above = Intern(display_, "_NET_WM_STATE_ABOVE");
    a.net_wm_state_modal = Intern(display_, "_NET_WM_STATE_MODAL");
    a.net_wm_state_skip_taskbar = Intern(display_, "_NET_WM_STATE_SKIP_TASKBAR");
    a.net_wm_window_type = Intern(display_, "_NET_WM_WINDOW_TYPE");
    a.net_wm_window_type_normal = Intern(display_, "_NET_WM_WINDOW_TYPE_NORMAL");
    a.net_wm_window_type_dialog = Intern(display_, "_NET_WM_WINDOW_TYPE_DIALOG");
    a.net_wm_window_type_utility = Intern(display_, "_NET_WM_WINDOW_TYPE_UTILITY");
    a.net_wm_window_type_popup_menu = Intern(display_, "_NET_WM_WINDOW_TYPE_POPUP_MENU");
    a.motif_wm_hints = Intern(display_, "_MOTIF_WM_HINTS");
    a.net_wm_moveresize = Intern(display_, "_NET_WM_MOVERESIZE");
    a.net_supporting_wm_check = Intern(display_, "_NET_SUPPORTING_WM_CHECK");
    a.net_workarea = Intern(display_, "_NET_WORKAREA");
    a.net_active_window = Intern(display_, "_NET_ACTIVE_WINDOW");
    a.net_wm_pid = Intern(display_, "_NET_WM_PID");
    a.clipboard = Intern(display_, "CLIPBOARD");
    a.targets = Intern(display_, "TARGETS");
    a.text = Intern(display_, "TEXT");
    a.clip_property = Intern(display_, "_TAVRIK_SELECTION");
    a.ui_probe = Intern(display_, "_TAVRIK_UI_PROBE");
    const char* probe = std::getenv("TAVRIK_UI_PROBE");
    probe_ = probe != nullptr && std::string(probe) == "1";
    a.tray_opcode = Intern(display_, "_NET_SYSTEM_TRAY_OPCODE");
    a.manager = Intern(display_, "MANAGER");
    a.xembed = Intern(display_, "_XEMBED");
    a.xembed_info = Intern(display_, "_XEMBED_INFO");

    // Key repeat without the release that X puts between repeats.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(display_, True, &supported);

    // The input method (for composed and non-Latin text) from the locale.
    // Xutf8LookupString gives only what the character type of the locale
    // can hold: a program started in the plain C locale still gets UTF-8.
    const char* ctype = setlocale(LC_CTYPE, nullptr);
    if (!ctype || std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0) {
        if (!setlocale(LC_CTYPE, "") || !std::strstr(setlocale(LC_CTYPE, nullptr), "UTF-8"))
            setlocale(LC_CTYPE, "C.UTF-8");
    }
    XSetLocaleModifiers("");
    im_ = XOpenIM(display_, nullptr, nullptr, nullptr);
    if (!im_) {
        XSetLocaleModifiers("@im=none");
        im_ = XOpenIM(display_, nullptr, nullptr, nullptr);
    }

    helper_ = XCreateSimpleWindow(display_, root_, -10, -10, 1, 1, 0, 0, 0);
    // Root: tray managers announce themselves with a client message there;
    // the work area and the window manager are root properties.
    XSelectInput(display_, root_, StructureNotifyMask | PropertyChangeMask);

    int error_base = 0;
    if (XRRQueryExtension(display_, &randr_event_base_, &error_base)) {
        XRRSelectInput(display_, root_, RRScreenChangeNotifyMask);
    } else {
        randr_event_base_ = -1;
    }
    UpdateDpi();

    wake_fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    epoll_fd_ = epoll_create1(EPOLL_CLOEXEC);
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = ConnectionNumber(display_);
    epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, ConnectionNumber(display_), &ev);
    ev.data.fd = wake_fd_;
    epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, wake_fd_, &ev);
    XFlush(display_);
}

X11Backend::~X11Backend() {
    for (auto& [kind, cursor] : cursors_) XFreeCursor(display_, cursor);
    if (im_) XCloseIM(im_);
    XDestroyWindow(display_, helper_);
    XCloseDisplay(display_);
    if (epoll_fd_ >= 0) close(epoll_fd_);
    if (wake_fd_ >= 0) close(wake_fd_);
}

WakeOnExit::~WakeOnExit() { backend_->WakeIfQueued(); }

std::unique_ptr<DuiLib::IBackendWindow> X11Backend::CreateWindow(const DuiLib::BackendWindowParams& params,
                                                                 DuiLib::IBackendWindowSink* sink) {
    auto window = std::make_unique<X11Window>(this, params, sink);
    WakeIfQueued();
    return window;
}

std::unique_ptr<DuiLib::IBackendTrayIcon> X11Backend::CreateTrayIcon(DuiLib::IBackendWindowSink* sink) {
    auto tray = std::make_unique<X11TrayIcon>(this, sink);
    WakeIfQueued();
    return tray;
}

X11Window* X11Backend::Find(Window xid) const {
    auto it = windows_.find(xid);
    return it == windows_.end() ? nullptr : it->second;
}

X11Window* X11Backend::FindBackendWindow(const DuiLib::IBackendWindow* window) const {
    for (auto& [xid, w] : windows_)
        if (w == window) return w;
    return nullptr;
}

std::vector<X11Window*> X11Backend::OwnedBy(const X11Window* owner) const {
    std::vector<X11Window*> owned;
    for (auto& [xid, w] : windows_)
        if (w->owner() == owner) owned.push_back(w);
    return owned;
}

void X11Backend::WakeIfQueued() {
    if (XQLength(display_) > 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(wake_fd_, &one, sizeof one);
    }
}

void X11Backend::LogOnce(const std::string& key, const std::string& message) {
    if (!logged_.insert(key).second) return;
    win::PlatformLog("display: " + message);
}

bool X11Backend::WindowManagerRunning() const {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool running = false;
    XErrorTrap trap(display_);
    if (XGetWindowProperty(display_, root_, atoms_.net_supporting_wm_check, 0, 1, False, XA_WINDOW, &type, &format,
                           &count, &after, &data) == Success &&
        data && count == 1) {
        running = true;
    }
    if (data) XFree(data);
    return running;
}

Cursor X11Backend::CursorFor(DuiLib::BackendCursor kind) {
    auto it = cursors_.find(kind);
    if (it != cursors_.end()) return it->second;
    unsigned shape = XC_left_ptr;
    using C = DuiLib::BackendCursor;
    switch (kind) {
        case C::Arrow:
            shape = XC_left_ptr;
            break;
        case C::Hand:
            shape = XC_hand2;
            break;
        case C::IBeam:
            shape = XC_xterm;
            break;
        case C::Wait:
        case C::AppStarting:
            shape = XC_watch;
            break;
        case C::Cross:
            shape = XC_crosshair;
            break;
        case C::SizeWE:
            shape = XC_sb_h_double_arrow;
            break;
        case C::SizeNS:
            shape = XC_sb_v_double_arrow;
            break;
        case C::SizeNWSE:
            shape = XC_bottom_right_corner;
            break;
        case C::SizeNESW:
            shape = XC_bottom_left_corner;
            break;
        case C::SizeAll:
            shape = XC_fleur;
            break;
        case C::No:
            shape = XC_X_cursor;
            break;
        case C::Help:
            shape = XC_question_arrow;
            break;
        // The old up-arrow, four-way size and icon cursors: the nearest shapes of the cursor font.
        case C::UpArrow:
            shape = XC_sb_up_arrow;
            break;
        case C::Size:
            shape = XC_fleur;
            break;
        case C::Icon:
            shape = XC_icon;
            break;
    }
    Cursor cursor = XCreateFontCursor(display_, shape);
    cursors_[kind] = cursor;
    return cursor;
}

BackendRect X11Backend::GetScreenRect() const {
    return {0, 0, DisplayWidth(display_, screen_), DisplayHeight(display_, screen_)};
}

BackendRect X11Backend::GetWorkArea() const {
    WakeOnExit wake(const_cast<X11Backend*>(this));
    BackendRect area = GetScreenRect();
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, root_, atoms_.net_workarea, 0, 4, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data && format == 32 && count >= 4) {
        const long* v = reinterpret_cast<const long*>(data);
        if (v[2] > 0 && v[3] > 0)
            area = {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[0] + v[2]),
                    static_cast<int>(v[1] + v[3])};
    }
    if (data) XFree(data);
    return area;
}

void X11Backend::GetCursorPos(int& x, int& y) const {
    Window root = 0, child = 0;
    int wx = 0, wy = 0;
    unsigned mask = 0;
    x = y = 0;
    XQueryPointer(display_, root_, &root, &child, &x, &y, &wx, &wy, &mask);
    const_cast<X11Backend*>(this)->WakeIfQueued();
}

std::vector<BackendRect> X11Backend::MonitorRects() const {
    std::vector<BackendRect> rects;
    int count = 0;
    XRRMonitorInfo* monitors = randr_event_base_ >= 0 ? XRRGetMonitors(display_, root_, True, &count) : nullptr;
    for (int i = 0; monitors && i < count; ++i) {
        const XRRMonitorInfo& m = monitors[i];
        const BackendRect r{m.x, m.y, m.x + m.width, m.y + m.height};
        if (m.primary)
            rects.insert(rects.begin(), r);
        else
            rects.push_back(r);
    }
    if (monitors) XRRFreeMonitors(monitors);
    if (rects.empty()) rects.push_back(GetScreenRect());
    const_cast<X11Backend*>(this)->WakeIfQueued();
    return rects;
}

bool X11Backend::UpdateDpi() {
    // The desktop's font setting first (Xft.dpi in the root's resources,
    // read anew: Xlib keeps only the copy it found when it connected), then
    // the screen's physical size.
    int dpi = 0;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, root_, XInternAtom(display_, "RESOURCE_MANAGER", False), 0, 1 << 16, False,
                           XA_STRING, &type, &format, &count, &after, &data) == Success &&
        data && format == 8) {
        const std::string resources(reinterpret_cast<char*>(data), count);
        const auto at = resources.find("Xft.dpi:");
        if (at != std::string::npos) dpi = static_cast<int>(std::lround(std::atof(resources.c_str() + at + 8)));
    }
    if (data) XFree(data);
    if (dpi <= 0) {
        const int mm = DisplayWidthMM(display_, screen_);
        if (mm > 0) dpi = static_cast<int>(std::lround(DisplayWidth(display_, screen_) * 25.4 / mm));
    }
    const int old = dpi_;
    dpi_ = (dpi >= 48 && dpi <= 480) ? dpi : 96;
    return dpi_ != old;
}

void X11Backend::DisplayChanged() {
    UpdateDpi();
    // Bits per pixel of the screen's depth as images are stored (32 for the
    // usual depth 24).
    const int depth = DefaultDepth(display_, screen_);
    int bits = depth;
    int formats = 0;
    if (XPixmapFormatValues* list = XListPixmapFormats(display_, &formats)) {
        for (int i = 0; i < formats; ++i)
            if (list[i].depth == depth) bits = list[i].bits_per_pixel;
        XFree(list);
    }
    std::vector<Window> ids;
    for (auto& [xid, w] : windows_) ids.push_back(xid);
    for (Window xid : ids) {
        if (X11Window* w = Find(xid)) {
            BackendEvent e;
            e.type = BackendEventType::DisplayChanged;
            e.time = win::GetTickCount();
            e.width = DisplayWidth(display_, screen_);
            e.height = DisplayHeight(display_, screen_);
            e.bitsPerPixel = bits;
            w->Deliver(e);
        }
    }
}

void X11Backend::ProcessEvents() {
    std::uint64_t drained = 0;
    while (read(wake_fd_, &drained, sizeof drained) > 0) {
    }
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        Dispatch(event);
    }
}

namespace {

// The display went away (the session ended): Xlib would call exit(), whose
// handlers destroy static objects while the program's threads still run and
// use them. Nothing can be drawn any more and every document is written by
// atomic replacement, so the process ends at once instead.
int OnDisplayLost(Display*) {
    static const char kText[] = "Tavrik: the X display is gone; ending\n";
    [[maybe_unused]] ssize_t n = ::write(STDERR_FILENO, kText, sizeof kText - 1);
    std::_Exit(1);
}

}  // namespace

std::unique_ptr<DuiLib::IDisplayBackend> OpenX11Backend(const std::string& display, std::string* error) {
    XInitThreads();
    XSetIOErrorHandler(&OnDisplayLost);
    Display* d = XOpenDisplay(display.empty() ? nullptr : display.c_str());
    if (!d) {
        if (error)
            *error = "cannot open X display '" + (display.empty() ? std::string(XDisplayName(nullptr)) : display) + "'";
        return nullptr;
    }
    return std::make_unique<X11Backend>(d);
}

std::vector<BackendRect> GetMonitorRects() {
    auto* x = dynamic_cast<X11Backend*>(&DuiLib::GetDisplayBackend());
    if (!x) return {DuiLib::GetDisplayBackend().GetScreenRect()};
    return x->MonitorRects();
}

bool X11Backend::GrabKeyboardForHooks() {
    WakeOnExit wake(this);
    if (hook_grab_) return true;
    // Reported to the root window, which is always viewable: keys for this
    // program's windows come to them as usual (and are filtered), the rest
    // to the root, where nothing takes them.
    const int result = XGrabKeyboard(display_, root_, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    hook_grab_ = result == GrabSuccess;
    return hook_grab_;
}

void X11Backend::ReleaseKeyboardForHooks() {
    WakeOnExit wake(this);
    if (!hook_grab_) return;
    XUngrabKeyboard(display_, CurrentTime);
    XFlush(display_);
    hook_grab_ = false;
}

HookKeyboardGrab GrabKeyboardForHooks() {
    auto* x = dynamic_cast<X11Backend*>(&DuiLib::GetDisplayBackend());
    if (!x) return HookKeyboardGrab::NoX11Display;
    return x->GrabKeyboardForHooks() ? HookKeyboardGrab::Grabbed : HookKeyboardGrab::Refused;
}

void ReleaseKeyboardForHooks() {
    if (auto* x = dynamic_cast<X11Backend*>(&DuiLib::GetDisplayBackend())) x->ReleaseKeyboardForHooks();
}

bool UseX11DisplayBackend(std::string* error) {
    auto backend = OpenX11Backend({}, error);
    if (!backend) return false;
    DuiLib::SetDisplayBackend(std::move(backend));
    return true;
}

}  // namespace tavrik::x11
