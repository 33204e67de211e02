// The recoil save of the main window on a real mouse page, bound by the real
// scan to an emulated mouse: the four gun files reach the mouse as its
// recoil table; with a keyboard as the current device nothing is sent.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <json/json.h>

#include "devices/corvane_mouse_device.h"
#include "link/device_packet.h"
#include "platform/os/folders.h"
#include "tests/link/sim_channel.h"
#include "tests/shell/discovery_fixture.h"
#include "tests/shell/main_wnd_fixture.h"
#include "tools/devsim/mouse_model.h"

namespace {

using namespace DuiLib;
using discoverytest::DiscoveryTest;
using discoverytest::DiscoveryWnd;
using tavrik::devsim::Emulator;
using tavrik::devsim::ProductKind;

// The main window with its real pages.
class ShootWnd : public DiscoveryWnd {
public:
    CControlUI* CreateControl(LPCTSTR pstrClass) override { return CMainWnd::CreateControl(pstrClass); }
};

class ShootCommandsTest : public DiscoveryTest {
protected:
    void Start(ProductKind kind) {
        device_ = &sim_.Plug(kind);
        wnd_ = new ShootWnd;
        window_ = wnd_;
        wnd_->Create(nullptr, kProductString, win::WS_POPUP | win::WS_VISIBLE, 0, 0, 0, 800, 572);
        mainwndtest::Pump();
        ScanPass();
        // The entries' clocks stay off: the test drives the page itself.
        for (int e : {discoverytest::kMouseEntry, discoverytest::kKeyboardEntry})
            wnd_->GetPaintManager()->KillTimer(Entry(e));
        mainwndtest::Pump();
        ASSERT_NE(wnd_->GetCurrentDevice(), nullptr);
        wnd_->GetCurrentDevice()->CommandChannel().m_timeouts = tavrik::test::FastTimeouts();
        device_->ClearRecord();
    }
    // Gun g's file: g + 1 events, event i with button i and delay 3i.
    void WriteGuns(const std::filesystem::path& folder) {
        for (int gun = 0; gun < 4; ++gun) {
            Json::Value doc;
            for (int i = 0; i <= gun; ++i) {
                Json::Value e;
                e["Action"] = "up";
                e["Button"] = i;
                e["Delay"] = 3 * i;
                e["Type"] = 5;
                doc["Events"].append(e);
            }
            std::ofstream out(folder / ("ShootData_" + std::to_string(gun) + ".Shoot"));
            out << Json::writeString(Json::StreamWriterBuilder(), doc);
        }
    }

    Emulator* device_ = nullptr;
    ShootWnd* wnd_ = nullptr;
};

TEST_F(ShootCommandsTest, TheSaveSendsTheFourGunsToTheCurrentMouse) {
    Start(ProductKind::MouseCable);
    auto* mouse = dynamic_cast<CCorvaneMouseDevice*>(wnd_->GetCurrentDevice());
    ASSERT_NE(mouse, nullptr);
    WriteGuns(win::ToFsPath(mouse->GetUserDataFolder().GetData()));
    wnd_->OnSaveShootData();
    auto lock = device_->Lock();
    const auto table = tavrik::devsim::ViewShoot(device_->Memory());
    ASSERT_TRUE(table.has_value());
    for (size_t gun = 0; gun < 4; ++gun) {
        ASSERT_EQ(table->macros[gun].size(), gun + 1);
        const size_t i = gun;
        EXPECT_EQ(table->macros[gun][i], (std::array<uint8_t, 4>{uint8_t(3 * i), 0, 5, uint8_t(i)}));
    }
}

TEST_F(ShootCommandsTest, WithAKeyboardAsTheCurrentDeviceNothingIsSent) {
    Start(ProductKind::KeyboardCable);
    ASSERT_EQ(dynamic_cast<CCorvaneMouseDevice*>(wnd_->GetCurrentDevice()), nullptr);
    wnd_->OnSaveShootData();
    EXPECT_TRUE(device_->Requests(CMD_WRITE_SHOOT).empty());
    EXPECT_TRUE(device_->Requests(CMD_BEGIN).empty());
}

}  // namespace
