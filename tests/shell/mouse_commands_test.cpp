// Main-window commands on a real mouse page, bound by the real scan to an
// emulated mouse: the recoil save (the four gun files reach the mouse as its
// recoil table; with a keyboard as the current device nothing is sent) and
// the LED selection on the mouse's picture.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <json/json.h>

#include "devices/corvane_mouse_device.h"
#include "link/data_folders.h"
#include "link/device_packet.h"
#include "platform/files/folders.h"
#include "shell/controls/device_key_button_ui.h"
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
class MouseCommandsWnd : public DiscoveryWnd {
public:
    CControlUI* CreateControl(LPCTSTR pstrClass) override { return CMainWnd::CreateControl(pstrClass); }
    using CMainWnd::ApplyMouseKeySelectionLight;
};

class MouseCommandsTest : public DiscoveryTest {
protected:
    void Start(ProductKind kind) {
        device_ = &sim_.Plug(kind);
        wnd_ = new MouseCommandsWnd;
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
    MouseCommandsWnd* wnd_ = nullptr;
};

TEST_F(MouseCommandsTest, TheSaveSendsTheFourGunsToTheCurrentMouse) {
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

TEST_F(MouseCommandsTest, WithAKeyboardAsTheCurrentDeviceNothingIsSent) {
    Start(ProductKind::KeyboardCable);
    ASSERT_EQ(dynamic_cast<CCorvaneMouseDevice*>(wnd_->GetCurrentDevice()), nullptr);
    wnd_->OnSaveShootData();
    EXPECT_TRUE(device_->Requests(CMD_WRITE_SHOOT).empty());
    EXPECT_TRUE(device_->Requests(CMD_BEGIN).empty());
}

// Only a selection that covers every LED of the mouse, each button selected
// or hidden, with at least one selected, reloads the page from the key-light
// document (".json" in the settings folder) and writes the block.
TEST_F(MouseCommandsTest, AFullLedSelectionReloadsTheMouseFromTheKeyLightDocument) {
    Start(ProductKind::MouseCable);
    CCorvaneUSBDevice* mouse = wnd_->GetCurrentDevice();
    ASSERT_NE(mouse, nullptr);
    ASSERT_EQ(mouse->GetLedCount(), 15);
    CControlUI* panel = mouse->FindSubControl(L"mouse_device_key_light");
    ASSERT_NE(panel, nullptr);
    // The LED buttons by their LED (named key_n or lamp_n, "light_n" as user data).
    std::vector<CDeviceKeyButtonUI*> leds(15, nullptr);
    auto* container = static_cast<CContainerUI*>(panel->GetInterface(L"Container"));
    for (int i = 0; i < container->GetCount(); ++i) {
        CControlUI* c = container->GetItemAt(i);
        const std::wstring data = c->GetUserData().GetData();
        if (data.rfind(L"light_", 0) == 0)
            leds[size_t(std::stoi(data.substr(6)))] = static_cast<CDeviceKeyButtonUI*>(c);
    }
    for (auto* b : leds) ASSERT_NE(b, nullptr);
    const std::filesystem::path document = win::ToFsPath((GetUserDataPath() + L".json").GetData());
    const struct {
        const char* name;
        int selected;  // LEDs 0 .. selected - 1 are selected
        int hidden;    // the last `hidden` LEDs are hidden
        bool document;
        bool written;
    } cases[] = {
        {"fourteen selected, the last shown", 14, 0, true, false},
        {"fourteen selected, the last hidden", 14, 1, true, true},
        {"none selected, every LED hidden", 0, 15, true, false},
        {"all selected, no document", 15, 0, false, false},
        {"all selected", 15, 0, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < 15; ++i) {
            leds[size_t(i)]->SetSelected(i < c.selected ? 1 : 0);
            leds[size_t(i)]->SetVisible(i < 15 - c.hidden);
        }
        if (c.document)
            std::ofstream(document) << "{}";
        else
            std::filesystem::remove(document);
        device_->ClearRecord();
        wnd_->ApplyMouseKeySelectionLight(panel);
        EXPECT_EQ(!device_->Requests(CMD_WRITE_PARAMS).empty(), c.written);
    }
}

}  // namespace
