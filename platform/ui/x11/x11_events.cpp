// The backend's event dispatch: X events to the program's windows and tray
// icons, and the focus the program's windows hand between them.

#include "platform/ui/x11/x11_backend_impl.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <X11/extensions/Xrandr.h>

#include <vector>

#include "platform/files/utf8.h"
#include "platform/os/clock.h"
#include "platform/ui/x11/x11_keys.h"
#include "platform/ui/x11/x11_text.h"

namespace tavrik::x11 {

using DuiLib::BackendEvent;
using DuiLib::BackendEventType;

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

void X11Backend::TellNoActivateWindows(const X11Window* except) {
    std::vector<Window> told;
    for (auto& [xid, w] : windows_)
        if (w != except && w->no_activate() && w->shown()) told.push_back(xid);
    // Each is looked up again: telling one may close another.
    for (Window xid : told)
        if (X11Window* w = Find(xid)) w->TellFocusMovedAway();
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

}  // namespace tavrik::x11
