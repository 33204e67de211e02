#pragma once

// A tiny system tray for tests: owns the tray selection of screen 0 on its
// own connection, announces itself, and embeds the icons that ask to dock.

#include <X11/Xlib.h>

#include <vector>

namespace tavrik::test {

class TestTrayManager {
public:
    // Starts managing at once; with `alphaVisual` the tray names a depth-32
    // visual for its icons (_NET_SYSTEM_TRAY_VISUAL), as compositing trays do.
    explicit TestTrayManager(bool alphaVisual = false);
    ~TestTrayManager();
    TestTrayManager(const TestTrayManager&) = delete;
    TestTrayManager& operator=(const TestTrayManager&) = delete;

    bool ok() const { return window_ != 0; }
    // The visual named for the icons (0 without).
    VisualID alphaVisual() const { return alphaVisual_; }
    // Serves dock requests; call while waiting.
    void Pump();
    const std::vector<Window>& Docked() const { return docked_; }
    Window window() const { return window_; }
    Display* display() const { return d_; }

private:
    Display* d_ = nullptr;
    Window window_ = 0;
    Atom opcode_ = 0;
    VisualID alphaVisual_ = 0;
    std::vector<Window> docked_;
};

}  // namespace tavrik::test
