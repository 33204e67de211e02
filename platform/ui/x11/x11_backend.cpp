#include "platform/ui/x11/x11_backend.h"
#include "platform/ui/x11/x11_backend_impl.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/XKBlib.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <X11/extensions/Xrandr.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/os/clock.h"
#include "platform/files/utf8.h"
#include "platform/os/debug_trace.h"
#include "platform/screen/x_error_trap.h"
#include "platform/ui/x11/x11_keys.h"
#include "platform/ui/x11/x11_text.h"

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

void X11Backend::TellNoActivateWindows(const X11Window* except) {
    std::vector<Window> told;
    for (auto& [xid, w] : windows_)
        if (w != except && w->no_activate() && w->shown()) told.push_back(xid);
    // Each is looked up again: telling one may close another.
    for (Window xid : told)
        if (X11Window* w = Find(xid)) w->TellFocusMovedAway();
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

Window X11Backend::TrayManager() const {
    char name[64];
    std::snprintf(name, sizeof name, "_NET_SYSTEM_TRAY_S%d", screen_);
    return XGetSelectionOwner(display_, XInternAtom(display_, name, False));
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

std::uint32_t Modifiers(unsigned state) {
    std::uint32_t m = 0;
    if (state & ShiftMask) m |= DuiLib::kBackendShift;
    if (state & ControlMask) m |= DuiLib::kBackendControl;
    if (state & Mod1Mask) m |= DuiLib::kBackendAlt;
    if (state & Button1Mask) m |= DuiLib::kBackendLeftButton;
    if (state & Button2Mask) m |= DuiLib::kBackendMiddleButton;
    if (state & Button3Mask) m |= DuiLib::kBackendRightButton;
    return m;
}

DuiLib::BackendButton ButtonOf(unsigned button) {
    switch (button) {
        case Button1:
            return DuiLib::BackendButton::Left;
        case Button2:
            return DuiLib::BackendButton::Middle;
        case Button3:
            return DuiLib::BackendButton::Right;
        default:
            return kNoButton;
    }
}

std::uint32_t ButtonMask(DuiLib::BackendButton b) {
    switch (b) {
        case DuiLib::BackendButton::Left:
            return DuiLib::kBackendLeftButton;
        case DuiLib::BackendButton::Middle:
            return DuiLib::kBackendMiddleButton;
        case DuiLib::BackendButton::Right:
            return DuiLib::kBackendRightButton;
        default:
            return 0;
    }
}

bool IsInputEvent(int type) {
    return type == ButtonPress || type == ButtonRelease || type == MotionNotify || type == KeyPress ||
           type == KeyRelease;
}

}  // namespace

X11Window* X11Backend::WindowAt(int rootX, int rootY) const {
    // Down from the root through a window manager's frames to our window.
    Window parent = root_;
    for (int depth = 0; depth < 4; ++depth) {
        int x = 0, y = 0;
        Window child = None;
        if (!XTranslateCoordinates(display_, root_, parent, rootX, rootY, &x, &y, &child) || child == None)
            return nullptr;
        if (X11Window* window = Find(child)) return window;
        parent = child;
    }
    return nullptr;
}

// A capture is a pointer grab that lasts until the program reads the release
// of the button it was taken for. Until then the server sends every pointer
// event to the capturing window, also the ones of a later click elsewhere:
// a program busy when the user let go and clicked another of its windows
// reads that click, queued for the capturing window, outside of it. The
// click goes to the window it was given in, as it would have had the program
// kept up; so do its motions and its release.
void X11Backend::RouteAfterEndedCapture(XEvent& event) {
    const bool motion = event.type == MotionNotify;
    int& x = motion ? event.xmotion.x : event.xbutton.x;
    int& y = motion ? event.xmotion.y : event.xbutton.y;
    const int rootX = motion ? event.xmotion.x_root : event.xbutton.x_root;
    const int rootY = motion ? event.xmotion.y_root : event.xbutton.y_root;
    const unsigned state = motion ? event.xmotion.state : event.xbutton.state;
    constexpr unsigned kButtons = Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask;

    const bool newClick = event.type == ButtonPress && (state & kButtons) == 0;
    if (newClick) rerouted_to_ = 0;
    X11Window* window = Find(event.xany.window);
    if (!window || window->captured()) return;
    X11Window* to = nullptr;
    if (newClick) {
        const bool inside = x >= 0 && y >= 0 && x < window->width() && y < window->height();
        if (inside) return;
        to = WindowAt(rootX, rootY);
        if (to == nullptr || to == window) return;
        rerouted_to_ = to->xid();
    } else {
        if (rerouted_to_ == 0 || rerouted_to_ == event.xany.window) return;
        to = Find(rerouted_to_);
        if (event.type == ButtonRelease) {
            // The click ends with the last button held.
            const unsigned last = event.xbutton.button >= Button1 && event.xbutton.button <= Button5
                                      ? (Button1Mask << (event.xbutton.button - Button1))
                                      : 0;
            if ((state & kButtons & ~last) == 0) rerouted_to_ = 0;
        }
        if (to == nullptr) return;
    }
    Window child = None;
    if (!XTranslateCoordinates(display_, root_, to->xid(), rootX, rootY, &x, &y, &child)) return;
    event.xany.window = to->xid();
}

void X11Backend::Dispatch(XEvent& event) {
    if (hook_grab_ && (event.type == KeyPress || event.type == KeyRelease)) {
        // The keyboard hook has every key but the lock keys.
        const KeySym sym = XkbKeycodeToKeysym(display_, static_cast<KeyCode>(event.xkey.keycode), 0, 0);
        if (sym != XK_Caps_Lock && sym != XK_Num_Lock && sym != XK_Scroll_Lock) {
            if (event.type == KeyRelease) pressed_.erase(event.xkey.keycode);
            return;
        }
    }
    // The input method may take key events for composition.
    if (XFilterEvent(&event, None)) return;

    if (randr_event_base_ >= 0 && event.type == randr_event_base_ + RRScreenChangeNotify) {
        XRRUpdateConfiguration(&event);
        DisplayChanged();
        return;
    }
    if (event.type == SelectionRequest) {
        HandleSelectionRequest(event.xselectionrequest);
        return;
    }
    if (event.type == SelectionClear && event.xselectionclear.selection == atoms_.clipboard) {
        own_clipboard_ = false;
        return;
    }
    if (event.type == ClientMessage && event.xclient.window == root_ && event.xclient.message_type == atoms_.manager) {
        std::vector<X11TrayIcon*> trays;
        for (auto& [xid, t] : trays_) trays.push_back(t);
        for (X11TrayIcon* t : trays) t->OnManagerAppeared(static_cast<Window>(event.xclient.data.l[2]));
        return;
    }
    if (event.type == PropertyNotify && event.xproperty.window == root_) {
        if (event.xproperty.atom == atoms_.net_supporting_wm_check) wm_checked_ = -1;
        // A new Xft.dpi is a display change (the UI follows the DPI).
        if (event.xproperty.atom == XInternAtom(display_, "RESOURCE_MANAGER", False) && UpdateDpi()) DisplayChanged();
        return;
    }

    if (event.type == ButtonPress || event.type == ButtonRelease || event.type == MotionNotify)
        RouteAfterEndedCapture(event);
    const Window target = event.xany.window;
    {
        // Tray icons: their own window or the manager they sit in.
        std::vector<X11TrayIcon*> trays;
        for (auto& [xid, t] : trays_) trays.push_back(t);
        bool handled = false;
        for (X11TrayIcon* t : trays) {
            if (t->xid() == target || event.type == DestroyNotify) {
                t->OnEvent(event);
                handled = handled || t->xid() == target;
            }
        }
        if (handled) return;
    }

    X11Window* window = Find(target);
    if (!window) return;

    // A press anywhere in the program's other windows moves the focus there.
    if (event.type == ButtonPress && !window->no_activate()) TellNoActivateWindows(window);

    if (IsInputEvent(event.type) && !window->enabled()) {
        // Input to a window that a modal window disables: bring the modal
        // window to the front instead, as a click on a blocked owner does.
        if (event.type == ButtonPress) {
            for (X11Window* owned : OwnedBy(window)) {
                if (owned->enabled() && owned->GetShowState() != DuiLib::BackendShowState::Hidden) {
                    owned->ActivateByUser();
                    break;
                }
            }
        }
        return;
    }

    BackendEvent e;
    e.time = win::GetTickCount();
    // Input carries the time it happened, however late it is read.
    if (event.type == ButtonPress || event.type == ButtonRelease)
        e.time = input_clock_.TickOf(event.xbutton.time, e.time);
    else if (event.type == KeyPress || event.type == KeyRelease)
        e.time = input_clock_.TickOf(event.xkey.time, e.time);
    switch (event.type) {
        case Expose:
            window->OnExpose(event.xexpose);
            return;
        case ConfigureNotify:
            window->OnConfigure(event.xconfigure);
            return;
        case MapNotify:
            window->OnMapped();
            return;
        case UnmapNotify:
            window->OnUnmapped();
            return;
        case FocusIn:
        case FocusOut: {
            const XFocusChangeEvent& f = event.xfocus;
            if (f.detail == NotifyPointer || f.detail == NotifyInferior || f.mode == NotifyGrab ||
                f.mode == NotifyUngrab)
                return;
            if (window->input_context()) {
                if (event.type == FocusIn)
                    XSetICFocus(window->input_context());
                else
                    XUnsetICFocus(window->input_context());
            }
            if (event.type == FocusIn)
                focused_ = target;
            else if (focused_ == target)
                focused_ = 0;
            // Someone else (the window manager, another program) took the
            // focus from the popup that held an activation back.
            if (event.type == FocusOut && target == deferred_for_) deferred_focus_ = deferred_for_ = 0;
            e.type = event.type == FocusIn ? BackendEventType::Activated : BackendEventType::Deactivated;
            window->Deliver(e);
            // Focus that arrives in one of our windows or leaves it (to another
            // program's) has moved away from every no-activate popup.
            TellNoActivateWindows(window);
            return;
        }
        case ClientMessage:
            if (event.xclient.message_type == atoms_.wm_protocols &&
                static_cast<Atom>(event.xclient.data.l[0]) == atoms_.wm_delete_window) {
                e.type = BackendEventType::CloseRequest;
                window->Deliver(e);
            }
            return;
        case MotionNotify: {
            const XMotionEvent& m = event.xmotion;
            if (window->moving()) {
                window->OnMoveMotion(m.x_root, m.y_root);
                return;
            }
            // Only the newest of a run of motions matters; a motion after a
            // button or key event stays behind it.
            XMotionEvent last = m;
            while (XEventsQueued(display_, QueuedAlready) > 0) {
                XEvent next;
                XPeekEvent(display_, &next);
                if (next.type != MotionNotify || next.xmotion.window != target) break;
                XNextEvent(display_, &next);
                last = next.xmotion;
            }
            e.type = BackendEventType::MouseMove;
            e.x = last.x;
            e.y = last.y;
            e.modifiers = Modifiers(last.state);
            window->Deliver(e);
            return;
        }
        case LeaveNotify:
            if (event.xcrossing.mode != NotifyNormal || event.xcrossing.detail == NotifyInferior) return;
            e.type = BackendEventType::MouseLeave;
            e.x = event.xcrossing.x;
            e.y = event.xcrossing.y;
            window->Deliver(e);
            return;
        case ButtonPress:
        case ButtonRelease: {
            const XButtonEvent& b = event.xbutton;
            if (window->moving()) {
                if (event.type == ButtonRelease) window->EndMove();
                return;
            }
            e.x = b.x;
            e.y = b.y;
            e.modifiers = Modifiers(b.state);
            if (b.button == Button4 || b.button == Button5) {
                if (event.type == ButtonRelease) return;
                e.type = BackendEventType::Wheel;
                e.wheelDelta = b.button == Button4 ? 120 : -120;
                // Wheel events carry screen coordinates in Windows; the seam
                // gives client ones, as for the other pointer events.
                window->Deliver(e);
                return;
            }
            e.button = ButtonOf(b.button);
            if (e.button == kNoButton) return;
            if (event.type == ButtonPress && focused_ != target) {
                // A click activates the window, as a window manager would do;
                // with one running, it does so itself. Popups are no window
                // manager's: a click in one beside the popup it opened (a
                // dialog beside its open drop list) takes the focus from that
                // popup, which closes it.
                if (wm_checked_ < 0) wm_checked_ = WindowManagerRunning() ? 1 : 0;
                const bool besideItsPopup = window->popup() && PopupWithFocusOwnedBy(window);
                if ((wm_checked_ == 0 && !window->popup()) || besideItsPopup) window->ActivateByUser();
                if (!Find(target)) return;
            }
            if (event.type == ButtonPress) {
                e.type = BackendEventType::ButtonDown;
                e.modifiers |= ButtonMask(e.button);
            } else {
                e.type = BackendEventType::ButtonUp;
                e.modifiers &= ~ButtonMask(e.button);
            }
            window->Deliver(e);
            return;
        }
        case KeyPress:
        case KeyRelease: {
            XKeyEvent& k = event.xkey;
            const KeySym sym = XkbKeycodeToKeysym(display_, static_cast<KeyCode>(k.keycode), 0, 0);
            e.virtualKey = VirtualKeyFromKeysym(sym);
            e.scanCode = ScanCodeFromKeycode(k.keycode);
            e.modifiers = Modifiers(k.state);
            if (event.type == KeyRelease) {
                pressed_.erase(k.keycode);
                e.type = BackendEventType::KeyUp;
                window->Deliver(e);
                return;
            }
            e.type = BackendEventType::KeyDown;
            e.repeat = !pressed_.insert(k.keycode).second;
            std::string text = LookupText(window->input_context(), k);
            window->Deliver(e);
            // The sink may have destroyed the window.
            for (char32_t c : win::DecodeUtf8(text)) {
                X11Window* still = Find(target);
                if (!still || c == 0x7F) continue;
                BackendEvent ch;
                ch.type = BackendEventType::Char;
                ch.time = e.time;
                ch.character = c;
                ch.modifiers = e.modifiers;
                ch.repeat = e.repeat;
                still->Deliver(ch);
            }
            return;
        }
        default:
            return;
    }
}

X11Window* X11Backend::PopupWithFocusOwnedBy(const X11Window* window) const {
    for (const Window holding : {focus_requested_, focused_}) {
        X11Window* popup = Find(holding);
        if (!popup || popup == window || !popup->popup() || popup->no_activate() || !popup->shown()) continue;
        int depth = 0;
        for (const X11Window* o = popup->owner(); o && depth < 16; o = o->owner(), ++depth)
            if (o == window) return popup;
    }
    return nullptr;
}

bool X11Backend::DeferFocusToPopupOf(X11Window* target) {
    const X11Window* popup = PopupWithFocusOwnedBy(target);
    if (!popup) return false;
    deferred_focus_ = target->xid();
    deferred_for_ = popup->xid();
    return true;
}

void X11Backend::FocusRequested(Window window) {
    focus_requested_ = window;
    deferred_focus_ = deferred_for_ = 0;
}

void X11Backend::PopupClosed(Window popup) {
    if (popup == 0 || popup != deferred_for_) return;
    X11Window* target = Find(deferred_focus_);
    deferred_focus_ = deferred_for_ = 0;
    if (target && target->shown()) target->Activate();
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

bool GetSystemTrayRect(BackendRect& rect) {
    auto* x = dynamic_cast<X11Backend*>(&DuiLib::GetDisplayBackend());
    return x && x->TrayRect(rect);
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
