// The window host on the X server: the hosted window goes where the control
// is on the screen, follows it and shows and hides with it.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <vector>

#include "platform/files/folders.h"
#include "platform/screen/screen_source.h"
#include "platform/screen/x11_screen_source.h"
#include "platform/ui/UIlib.h"
#include "platform/ui/x11/x11_backend.h"
#include "platform/ui/x11/x11_backend_impl.h"
#include "shell/main/control_tables.h"
#include "shell/controls/wnd_ui.h"
#include "tests/shell/device_ui_fixture.h"
#include "tests/support/temp_home.h"
#include "tests/x11/x_display.h"
#include "tests/x11/x_driver.h"

namespace {

using namespace DuiLib;
using tavrik::x11::UseX11DisplayBackend;
using tavrik::x11::X11Window;

using devtest::Pump;
using devtest::SkinWindow;

bool PumpUntil(const std::function<bool()>& done) {
    return tavrik::test::PumpUntil([] { Pump(); }, done);
}

Window XidOf(SkinWindow* w) { return static_cast<X11Window*>(w->GetBackendWindow())->xid(); }

class WndUiX11Test : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        static bool installed = false;  // one backend for the whole process
        if (!installed) {
            std::string error;
            ASSERT_TRUE(UseX11DisplayBackend(&error)) << error;
            installed = true;
        }
        CPaintManagerUI::SetResourcePath(win::FromUtf8(dir_.Path().string()).c_str());
        CPaintManagerUI::SetAllDPI(96);
        CResourceManager::GetInstance()->Release();
        RegisterCustomControls();
        driver_ = std::make_unique<tavrik::test::XDriver>();
        driver_->MoveTo(5, 1015);
    }
    void TearDown() override { devtest::CloseAll(windows_); }
    SkinWindow* Open(const std::string& xml, int x, int y) {
        auto* w = new SkinWindow(win::FromUtf8(xml));
        windows_.push_back(w);
        w->Create(nullptr, L"Tavrik window host test", win::WS_POPUP | win::WS_VISIBLE, 0, x, y, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return driver_->Viewable(XidOf(w)); }));
        return w;
    }
    bool PlacedAt(SkinWindow* w, int x, int y, int width, int height) {
        return PumpUntil([&] {
            int gx = 0, gy = 0, gw = 0, gh = 0;
            return driver_->Geometry(XidOf(w), gx, gy, gw, gh) && gx == x && gy == y && gw == width && gh == height;
        });
    }

    tavrik::test::TempDir dir_{"tavrik-wnd-host"};
    std::unique_ptr<tavrik::test::XDriver> driver_;
    std::vector<SkinWindow*> windows_;
};

TEST_F(WndUiX11Test, HostedWindowFollowsTheControl) {
    SkinWindow* main = Open(R"(<Window size="400,300"><HorizontalLayout bkcolor="#FF202020">
        <Wnd name="host" float="true" pos="20,30,120,90"/></HorizontalLayout></Window>)",
                            150, 120);
    SkinWindow* hosted = Open(R"(<Window size="30,30"><HorizontalLayout bkcolor="#FFFF0000"/></Window>)", 700, 600);
    auto* host = static_cast<CWndUI*>(main->pm().FindControl(L"host"));
    ASSERT_NE(host, nullptr);

    host->Attach(hosted->GetHWND());
    EXPECT_TRUE(PlacedAt(hosted, 170, 150, 100, 60));
    auto source = tavrik::screen::OpenX11ScreenSource();
    ASSERT_NE(source, nullptr);
    // Red where the control is (the capture's words are blue, green, red from the top).
    EXPECT_TRUE(
        PumpUntil([&] { return tavrik::screen::CaptureAverageColour(*source, 200, 170, 20, 20) == 0x0000FFu; }));

    // The layout moves the control: the window goes with it.
    host->SetAttribute(L"pos", L"200,100,260,140");
    EXPECT_TRUE(PlacedAt(hosted, 350, 220, 60, 40));

    host->SetVisible(false);
    EXPECT_TRUE(PumpUntil([&] { return !driver_->Viewable(XidOf(hosted)); }));
    host->SetVisible(true);
    EXPECT_TRUE(PumpUntil([&] { return driver_->Viewable(XidOf(hosted)); }));
    EXPECT_TRUE(PlacedAt(hosted, 350, 220, 60, 40));
}

}  // namespace
