#pragma once

// Set-up of the end-to-end tests that drive the real Tavrik with XTest: a
// private folder with the emulator's socket and command pipe, the emulator
// process, Tavrik processes with the UI probe on, and the X connection that
// plays the user.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/child_process.h"
#include "tests/x11/x_display.h"
// X11 last: its macros clash with GoogleTest's names.
#include "tests/e2e/ui_probe.h"
#include "tests/x11/x_driver.h"

namespace tavrik::test {

inline constexpr const char* kMainWindowTitle = "Halvord  Q580-RGB-PRO";

// The emulator's ids for the headset, which the program's own table leaves
// open (a real headset's USB ids are unknown).
inline constexpr const char* kHeadsetIds = "3151:7010";

// The main window's page of each device kind.
inline const std::vector<std::string> kDevicePages = {"keyboard_device_page", "mouse_device_page",
                                                      "mousepad_device_page", "hs6533_device_page"};

class TavrikSession : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The emulator with these products, taking commands from a pipe;
    // `program` as ChildProcess takes it.
    void StartEmulator(const std::vector<std::string>& products, const std::string& program = "tavrik-devsim");
    // A Tavrik process against the emulator; its standard error (with the
    // debug trace) goes to `logName` in the folder. `environment` adds to or
    // overrides the session's variables; `program` and `workingFolder` as
    // ChildProcess takes them.
    std::unique_ptr<ChildProcess> StartTavrik(const std::string& logName,
                                              const std::map<std::string, std::string>& environment = {},
                                              const std::string& program = "Tavrik",
                                              const std::string& workingFolder = "");
    // Sends one command line to the emulator and returns its answer lines up
    // to and including the final "ok" or "error: ..." ({} after the time-out).
    // Queries that answer in one line of their own end at the first line
    // that starts with `lastLinePrefix`.
    std::vector<std::string> EmulatorCommand(const std::string& line, const std::string& lastLinePrefix = "ok");

    // The program's top-level window (by its title), or 0.
    Window FindMainWindow();
    // Waits for the window to be shown; 0 when it was not shown in time.
    Window WaitForShownWindow(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Waits for a control listed by the probe; `accept` narrows what counts.
    std::optional<ProbeControl> WaitForControl(const std::string& name,
                                               const std::function<bool(const ProbeControl&)>& accept = nullptr,
                                               std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Waits for the control and clicks its centre.
    bool Click(const std::string& name);

    // The main window's probe listing ({} without the window).
    std::vector<ProbeControl> Probe();
    // The device page the main window shows: one of kDevicePages, "" for none.
    std::string ShownDevicePage();
    // Reaches the device page through the selector strip, as a user does:
    // clicks the entries the strip shows and, when none of them is the
    // page's, the strip's arrows, which select the next or previous device
    // and bring its entry into view. True when the page is shown.
    bool ShowDevicePage(const std::string& page);

    // Polls `done` every few milliseconds, running `pump` (the test's own
    // message queue, for instance) before each look.
    static bool Poll(
        const std::function<bool()>& done, std::chrono::milliseconds timeout,
        const std::function<void()>& pump = [] {});

    // Waits for a line of the log `name` that matches the regular expression.
    bool WaitForLogMatch(const std::string& name, const std::string& pattern,
                         std::chrono::milliseconds timeout = std::chrono::seconds(60));
    std::string Log(const std::string& name) const { return ReadTextFile((folder_ / name).string()); }
    // A screenshot beside the others of the e2e tests, for a failing step.
    void Screenshot(const std::string& name);

    std::unique_ptr<XDriver> driver_;
    std::filesystem::path folder_;
    std::string socket_;
    std::unique_ptr<ChildProcess> devsim_;
    std::unique_ptr<ChildProcess> tavrik_;

private:
    std::string commands_;
    std::string answers_;
    std::ofstream input_;
};

}  // namespace tavrik::test
