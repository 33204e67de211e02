#include "platform/hooks/xrecord_input_source.h"

// Before the X headers, whose macros (None) would hide the seam's names.
#include "platform/ui/x11/x11_backend.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

#include "platform/screen/x_error_trap.h"

namespace tavrik::hooks {

// How long a key release waits for a press with the same time, which would
// make the two an auto-repeat. The server writes both halves at once, so
// they arrive together; the wait only covers a read that splits them.
constexpr int kRepeatPairWaitMs = 10;
// How long the server may take to start a recording.
constexpr int kRecordingStartTimeoutMs = 3000;

struct XRecordInputSource::Connection {
    Display* control = nullptr;
    Display* data = nullptr;
    XRecordContext context = 0;
    bool enabled = false;
    bool recording = false;  // the server has answered the enable request
    // The key symbol of each key code (group 0, level 0), read at start: the
    // data connection cannot make requests while it records.
    std::array<KeySym, 256> keysyms{};
};

namespace {

InputKind KindOf(int type) {
    switch (type) {
        case KeyPress:
            return InputKind::KeyDown;
        case KeyRelease:
            return InputKind::KeyUp;
        case ButtonPress:
            return InputKind::ButtonDown;
        default:
            return InputKind::ButtonUp;
    }
}

}  // namespace

XRecordInputSource::XRecordInputSource() = default;

XRecordInputSource::~XRecordInputSource() { Stop(); }

bool XRecordInputSource::Start(InputSink sink, std::string& error) {
    if (x_) return true;
    auto x = std::make_unique<Connection>();
    x->control = XOpenDisplay(nullptr);
    if (!x->control) {
        error = "no X display to watch";
        return false;
    }
    x_ = std::move(x);
    int major = 0, minor = 0;
    if (!XRecordQueryVersion(x_->control, &major, &minor)) {
        error = "the X server has no RECORD extension";
        Close();
        return false;
    }
    int minCode = 0, maxCode = 0;
    XDisplayKeycodes(x_->control, &minCode, &maxCode);
    for (int code = minCode; code <= maxCode && code < 256; ++code)
        x_->keysyms[static_cast<size_t>(code)] = XkbKeycodeToKeysym(x_->control, static_cast<KeyCode>(code), 0, 0);

    {
        x11::XErrorTrap trap(x_->control);
        XRecordRange* range = XRecordAllocRange();
        if (!range) {
            error = "out of memory";
            Close();
            return false;
        }
        range->device_events.first = KeyPress;
        range->device_events.last = ButtonRelease;
        XRecordClientSpec clients = XRecordAllClients;
        x_->context = XRecordCreateContext(x_->control, 0, &clients, 1, &range, 1);
        XFree(range);
        if (!x_->context || trap.Failed()) {
            x_->context = 0;
            error = "the X server refused a recording context";
            Close();
            return false;
        }
    }
    x_->data = XOpenDisplay(DisplayString(x_->control));
    stop_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (!x_->data || stop_fd_ < 0) {
        error = "no second connection to the X display";
        Close();
        return false;
    }
    auto onRecord = [](XPointer closure, XRecordInterceptData* data) {
        auto* self = reinterpret_cast<XRecordInputSource*>(closure);
        if (data->category == XRecordStartOfData) self->x_->recording = true;
        if (data->category == XRecordFromServer && data->data_len * 4 >= sizeof(xEvent)) {
            const auto* raw = reinterpret_cast<const xEvent*>(data->data);
            const int type = raw->u.u.type & 0x7F;
            if (type >= KeyPress && type <= ButtonRelease) {
                InputEvent e;
                e.kind = KindOf(type);
                e.detail = raw->u.u.detail;
                if (IsKey(e)) e.keysym = self->x_->keysyms[e.detail & 0xFF];
                e.state = raw->u.keyButtonPointer.state;
                e.serverTime = raw->u.keyButtonPointer.time;
                e.rootX = raw->u.keyButtonPointer.rootX;
                e.rootY = raw->u.keyButtonPointer.rootY;
                // Events read while Start waits for the server are delivered
                // by the thread, first thing (Start runs under the hooks' lock).
                if (self->threaded_)
                    self->Deliver(e);
                else
                    self->early_.push_back(e);
            }
        }
        XRecordFreeData(data);
    };
    if (!XRecordEnableContextAsync(x_->data, x_->context, onRecord, reinterpret_cast<XPointer>(this))) {
        error = "the X server would not start the recording";
        Close();
        return false;
    }
    x_->enabled = true;
    sink_ = std::move(sink);
    folder_ = RepeatFolder();
    // Events are recorded from the server's answer on: wait for it, so that
    // input that follows the installation is not missed.
    XFlush(x_->data);
    if (!WaitForRecording()) {
        error = "the X server did not start the recording";
        Stop();
        return false;
    }
    threaded_ = true;
    thread_ = std::thread([this] { Run(); });
    return true;
}

bool XRecordInputSource::WaitForRecording() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRecordingStartTimeoutMs);
    while (!x_->recording) {
        XRecordProcessReplies(x_->data);
        if (x_->recording) break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{ConnectionNumber(x_->data), POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) return false;
    }
    return true;
}

void XRecordInputSource::Deliver(const InputEvent& event) {
    for (const InputEvent& e : folder_.Feed(event)) sink_(e);
}

void XRecordInputSource::Run() {
    for (const InputEvent& e : early_) Deliver(e);
    early_.clear();
    const int fd = ConnectionNumber(x_->data);
    for (;;) {
        // Replies that Xlib has already read need no wait.
        XRecordProcessReplies(x_->data);
        pollfd fds[2] = {{stop_fd_, POLLIN, 0}, {fd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, folder_.Holding() ? kRepeatPairWaitMs : -1);
        if (ready < 0) continue;
        if (fds[0].revents) break;
        if (ready == 0) {
            for (const InputEvent& e : folder_.Flush()) sink_(e);
            continue;
        }
        if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) break;
    }
}

void XRecordInputSource::Stop() {
    if (!x_) return;
    if (own_grab_ || ui_grab_) ReleaseKeyboard();
    if (x_->enabled) {
        XRecordDisableContext(x_->control, x_->context);
        XSync(x_->control, False);
        x_->enabled = false;
    }
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(stop_fd_, &one, sizeof one);
        thread_.join();
    }
    sink_ = nullptr;
    threaded_ = false;
    Close();
}

void XRecordInputSource::Close() {
    if (!x_) return;
    if (x_->context) XRecordFreeContext(x_->control, x_->context);
    if (x_->data) XCloseDisplay(x_->data);
    if (x_->control) XCloseDisplay(x_->control);
    x_.reset();
    if (stop_fd_ >= 0) ::close(stop_fd_);
    stop_fd_ = -1;
}

bool XRecordInputSource::GrabKeyboard(std::string& error) {
    if (!x_) {
        error = "the source is not started";
        return false;
    }
    // When the UI runs on X11 its own connection takes the keyboard, so that
    // its windows still get the lock keys.
    switch (x11::GrabKeyboardForHooks()) {
        case x11::HookKeyboardGrab::Grabbed:
            ui_grab_ = true;
            return true;
        case x11::HookKeyboardGrab::Refused:
            error = "another client holds the keyboard";
            return false;
        case x11::HookKeyboardGrab::NoX11Display:
            break;
    }
    const int result =
        XGrabKeyboard(x_->control, DefaultRootWindow(x_->control), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    XSync(x_->control, False);
    if (result != GrabSuccess) {
        error = "another client holds the keyboard";
        return false;
    }
    own_grab_ = true;
    return true;
}

void XRecordInputSource::ReleaseKeyboard() {
    if (ui_grab_) x11::ReleaseKeyboardForHooks();
    if (own_grab_ && x_) {
        XUngrabKeyboard(x_->control, CurrentTime);
        XSync(x_->control, True);  // the keys the grab brought in are nobody's
    }
    ui_grab_ = own_grab_ = false;
}

}  // namespace tavrik::hooks
