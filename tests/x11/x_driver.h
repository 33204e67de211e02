#pragma once

// A second X connection that plays the user: moves the pointer, clicks and
// types through the XTEST extension, and reads what the server shows.

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tavrik::test {

// While it lives, an X error of this process (a window that went between a
// listing and a query) is no failure.
class IgnoredXErrors {
public:
    IgnoredXErrors() : previous_(XSetErrorHandler([](Display*, XErrorEvent*) { return 0; })) {}
    ~IgnoredXErrors() { XSetErrorHandler(previous_); }
    IgnoredXErrors(const IgnoredXErrors&) = delete;
    IgnoredXErrors& operator=(const IgnoredXErrors&) = delete;

private:
    XErrorHandler previous_;
};

class XDriver {
public:
    XDriver();
    ~XDriver();
    XDriver(const XDriver&) = delete;
    XDriver& operator=(const XDriver&) = delete;

    Display* display() const { return d_; }
    bool ok() const { return d_ != nullptr; }

    void MoveTo(int x, int y);
    void Press(unsigned button);
    void Release(unsigned button);
    void Click(int x, int y, unsigned button = 1);
    // Types one key by its key symbol, with Shift held when `shift`.
    void Key(unsigned long keysym, bool shift = false);
    // Types a key symbol that the keyboard map may not have (e.g. a letter
    // of another language): a free key code is given that symbol first.
    void KeySymbol(unsigned long keysym);

    // Screen rectangle of a window (whole window), false when it is gone.
    bool Geometry(Window w, int& x, int& y, int& width, int& height);
    bool Viewable(Window w);
    std::string Utf8Property(Window w, const char* name);
    // The viewable top-level windows, bottom first; with a title: only those
    // whose _NET_WM_NAME is it.
    std::vector<Window> ViewableTopLevel(const std::string& title = {});
    // The window manager's close button (WM_DELETE_WINDOW).
    void RequestClose(Window w);

private:
    // The driver lists and queries other processes' windows, which can go
    // at any moment: such an error must not end the test process.
    IgnoredXErrors ignoredErrors_;
    Display* d_ = nullptr;
};

// Shrinks the screen of the display through RandR for the object's life (or
// until Restore): the monitor is switched off first, since the screen cannot
// shrink under a monitor that shows all of it; both come back afterwards.
class TemporaryScreenSize {
public:
    TemporaryScreenSize(Display* d, int width, int height);
    ~TemporaryScreenSize() { Restore(); }
    TemporaryScreenSize(const TemporaryScreenSize&) = delete;
    TemporaryScreenSize& operator=(const TemporaryScreenSize&) = delete;

    // False when this X server cannot change its screen size.
    bool Resized() const { return resized_; }
    int OldWidth() const { return old_w_; }
    int OldHeight() const { return old_h_; }
    void Restore();

private:
    Display* d_;
    int old_w_, old_h_, old_mm_w_, old_mm_h_;
    XRRScreenResources* res_ = nullptr;
    RRCrtc crtc_ = 0;
    XRRCrtcInfo* crtc_info_ = nullptr;
    bool resized_ = false;
};

// Calls `pump` until `done` holds or the time runs out; true when it held.
bool PumpUntil(const std::function<void()>& pump, const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(8000));

// Saves the whole screen as a PNG; used when a display test fails.
bool SaveScreenshot(const std::string& path);

}  // namespace tavrik::test
