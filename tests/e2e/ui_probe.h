#pragma once

// Test-side reader of the program's UI probe (TAVRIK_UI_PROBE=1, see
// platform/ui/x11/README.md): finds a control of the real program by name on
// the screen, so XTest input needs no fixed coordinates.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/x11/x_driver.h"

namespace tavrik::test {

struct ProbeControl {
    std::string name;
    int left = 0, top = 0, right = 0, bottom = 0;  // screen pixels, right and bottom exclusive
    std::string text;

    int CenterX() const { return (left + right) / 2; }
    int CenterY() const { return (top + bottom) / 2; }
};

// The listing of one window ("" lines and malformed lines skipped).
std::vector<ProbeControl> ReadUiProbe(XDriver& driver, Window window);

// The listing of the topmost viewable top-level window that lists a control
// of that name ({} when none does).
std::vector<ProbeControl> FindProbeListing(XDriver& driver, const std::string& name);

// The control of that name on the topmost viewable top-level window that
// lists it.
std::optional<ProbeControl> FindProbeControl(XDriver& driver, const std::string& name);

// The whole listing of the topmost viewable top-level window that lists a
// control for which `wanted` holds ({} when none does).
std::vector<ProbeControl> TopmostListingWith(XDriver& driver, const std::function<bool(const ProbeControl&)>& wanted);

// Polls until the control is listed (and `accept` holds for it, when given).
std::optional<ProbeControl> WaitForProbeControl(XDriver& driver, const std::string& name,
                                                std::chrono::milliseconds timeout,
                                                const std::function<bool(const ProbeControl&)>& accept = nullptr);

// Waits for the control and clicks its centre with the left button; false
// when it did not appear in time.
bool ClickProbeControl(XDriver& driver, const std::string& name, std::chrono::milliseconds timeout);

}  // namespace tavrik::test
