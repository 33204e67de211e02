#pragma once

#include <X11/Xlib.h>

namespace tavrik::x11 {

// Catches the protocol errors of one connection while it lives, instead of
// Xlib's default handler, which ends the process.  Requests made in the
// scope are synchronised on leaving (or on Failed()).  One process-wide
// handler serves every connection and thread; errors outside any trap are
// ignored (a window that vanished under us is not a reason to die).
class XErrorTrap {
public:
    explicit XErrorTrap(Display* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Synchronises and tells whether an error arrived since the trap began.
    bool Failed();
    // The error code of the first error, 0 when none.
    int ErrorCode();

private:
    Display* display_;
};

// Installs the process-wide handler (done by every XErrorTrap too).
void InstallXErrorHandler();

}  // namespace tavrik::x11
