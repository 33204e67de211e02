#pragma once

// A tiny system tray for tests: owns the tray selection of screen 0 on its
// own connection, announces itself, and embeds the icons that ask to dock.

#include <X11/Xlib.h>

#include <vector>

namespace tavrik::test {

class TestTrayManager {
public:
    TestTrayManager();  // starts managing at once
    ~TestTrayManager();
    TestTrayManager(const TestTrayManager&) = delete;
    TestTrayManager& operator=(const TestTrayManager&) = delete;

    bool ok() const { return window_ != 0; }
    // Serves dock requests; call while waiting.
    void Pump();
    const std::vector<Window>& Docked() const { return docked_; }
    Window window() const { return window_; }
    Display* display() const { return d_; }

private:
    Display* d_ = nullptr;
    Window window_ = 0;
    Atom opcode_ = 0;
    std::vector<Window> docked_;
};

}  // namespace tavrik::test
