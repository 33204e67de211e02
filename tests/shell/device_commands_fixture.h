#pragma once

// Set-up of the device-command tests: the discovery tests' sim bus and
// headless display with the built skin folder, and the real main window
// (without its worker threads) whose real scan binds the emulated devices to
// its real device pages. The keyboard page only counts its ApplyLightProfile
// calls on top of what it does.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "keyboard/corvane_keyboard_device.h"
#include "link/device/corvane_usb_device.h"
#include "link/light_setting.h"
#include "pages/light_control_ui.h"
#include "platform/ui/UIlib.h"
#include "platform/ui/headless_backend.h"
#include "link/device/device_option_ui.h"
#include "shell/main/main_wnd.h"
#include "tests/shell/discovery_fixture.h"
#include "tools/devsim/sim_fixture.h"

namespace commandstest {

using namespace DuiLib;
using tavrik::devsim::Emulator;
using tavrik::devsim::ProductKind;

class CountingKeyboard : public CCorvaneKeyboardDevice {
public:
    ~CountingKeyboard() override;
    int ApplyLightProfile() override;
    std::atomic<int> applied{0};
};

class CommandsWnd : public CMainWnd {
public:
    void OnWindowInit() override;
    DuiLib::CControlUI* CreateControl(DuiLib::LPCTSTR pstrClass) override;
    // The shipped "Language.config" of the built program.
    LanguageList Languages() const override;

    using CMainWnd::DeviceEntry;
    using CMainWnd::m_floatingWindows;
    using CMainWnd::m_keyboards;
    using CMainWnd::m_mice;
};

class DeviceCommandsTest : public discoverytest::DiscoveryTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the main window and plugs a keyboard on its cable; the real scan
    // binds it and its connect sequence runs. Null when it did not connect.
    CountingKeyboard* ConnectKeyboard();
    CLightControlUI* Light() { return keyboard_->GetLightControl(); }
    // Runs queued messages until `done` holds or the time is up; true when it
    // held. Each message counts against the time: the pages' timers keep the
    // queue from ever being empty.
    static bool PumpFor(const std::function<bool()>& done, int timeoutMs);
    // Puts the keyboard into a known lighting (page, setting and document),
    // with the sync flag as given, and clears the emulator's record.
    void SetBaseline(const LightSetting& setting, int syncFlag);
    int SyncFlag() { return keyboard_->CommandChannel().GetSyncFlag(); }
    // The last 49-byte block write the keyboard received (empty when none).
    std::vector<uint8_t> LastBlockWrite();
    // The lighting the keyboard's profile file holds.
    LightSetting SavedLightSetting();

    CommandsWnd* commands_ = nullptr;
    Emulator* device_ = nullptr;
    CountingKeyboard* keyboard_ = nullptr;
};

}  // namespace commandstest
