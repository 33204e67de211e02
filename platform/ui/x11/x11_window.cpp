#include "platform/ui/x11/x11_backend_impl.h"

#include <X11/Xatom.h>
#include <unistd.h>

#include <vector>

#include "platform/os/clock.h"
#include "platform/files/utf8.h"
#include "platform/screen/x_error_trap.h"

namespace tavrik::x11 {

using DuiLib::BackendEvent;
using DuiLib::BackendEventType;
using DuiLib::BackendShowCommand;
using DuiLib::BackendShowState;

namespace {

constexpr long kEventMask = ExposureMask | StructureNotifyMask | FocusChangeMask | KeyPressMask | KeyReleaseMask |
                            ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask |
                            PropertyChangeMask;

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

}  // namespace tavrik::x11
