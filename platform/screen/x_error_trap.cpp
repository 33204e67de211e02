#include "platform/screen/x_error_trap.h"

#include <map>
#include <mutex>

namespace tavrik::x11 {
namespace {

struct TrapState {
    int depth = 0;
    int first_error = 0;
};

std::mutex& TrapMutex() {
    static std::mutex m;
    return m;
}

std::map<Display*, TrapState>& Traps() {
    static std::map<Display*, TrapState> traps;
    return traps;
}

int OnXError(Display* display, XErrorEvent* event) {
    std::lock_guard lock(TrapMutex());
    auto it = Traps().find(display);
    if (it != Traps().end() && it->second.depth > 0 && it->second.first_error == 0)
        it->second.first_error = event->error_code ? event->error_code : -1;
    return 0;
}

}  // namespace

void InstallXErrorHandler() {
    static std::once_flag once;
    std::call_once(once, [] { XSetErrorHandler(OnXError); });
}

XErrorTrap::XErrorTrap(Display* display) : display_(display) {
    InstallXErrorHandler();
    XSync(display_, False);
    std::lock_guard lock(TrapMutex());
    TrapState& state = Traps()[display_];
    if (state.depth++ == 0) state.first_error = 0;
}

XErrorTrap::~XErrorTrap() {
    XSync(display_, False);
    std::lock_guard lock(TrapMutex());
    auto it = Traps().find(display_);
    if (it != Traps().end() && --it->second.depth <= 0) Traps().erase(it);
}

bool XErrorTrap::Failed() { return ErrorCode() != 0; }

int XErrorTrap::ErrorCode() {
    XSync(display_, False);
    std::lock_guard lock(TrapMutex());
    auto it = Traps().find(display_);
    return it == Traps().end() ? 0 : it->second.first_error;
}

}  // namespace tavrik::x11
