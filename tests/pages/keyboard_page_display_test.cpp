// The keyboard page with its lighting and key-assignment templates in a real
// 1000 x 640 window on the X server: for the lighting modes whose layouts
// differ most, every control the layout shows lies inside the page and
// paints something of its own.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pages/key_set_control_ui.h"
#include "pages/light_control_ui.h"
#include "platform/files/utf8.h"
#include "platform/screen/x11_screen_source.h"
#include "platform/ui/UIlib.h"
#include "platform/ui/x11/x11_backend.h"
#include "platform/ui/x11/x11_backend_impl.h"
#include "shell/main/control_tables.h"
#include "tests/shell/device_ui_fixture.h"
#include "tests/support/temp_home.h"
#include "tests/x11/x_display.h"
#include "tests/x11/x_driver.h"

namespace {

using namespace DuiLib;
using devtest::Pump;
using tavrik::x11::UseX11DisplayBackend;

// The size the main window is fitted to before any device page shows.
constexpr int kWidth = 1000;
constexpr int kHeight = 640;
constexpr int kLeft = 100;
constexpr int kTop = 80;

// A window built as the main window builds its skins: the program's custom
// classes and templates come from the control tables.
class PageWindow : public WindowImplBase {
public:
    explicit PageWindow(std::wstring skin) : skin_(std::move(skin)) {}
    CDuiString GetSkinFile() override { return skin_.c_str(); }
    LPCTSTR GetWindowClassName() const override { return L"KeyboardPageDisplayTest"; }
    CControlUI* CreateControl(LPCTSTR pstrClass) override { return CreateSkinControl(pstrClass, &m_pm); }
    CPaintManagerUI& pm() { return m_pm; }

private:
    std::wstring skin_;
};

bool PumpUntil(const std::function<bool()>& done) {
    return tavrik::test::PumpUntil([] { Pump(); }, done);
}

// Every shown control under `root` that draws for itself, with a size:
// containers only hold the others and a bare unnamed control is a spacer.
void ShownLeaves(CControlUI* root, std::vector<CControlUI*>& out) {
    auto* container = static_cast<CContainerUI*>(root->GetInterface(L"Container"));
    const bool isCombo = root->GetInterface(L"Combo") != nullptr;
    if (container && !isCombo) {
        for (int i = 0; i < container->GetCount(); ++i) {
            CControlUI* child = container->GetItemAt(i);
            if (child->IsVisible()) ShownLeaves(child, out);
        }
        return;
    }
    const RECT r = root->GetPos();
    const bool spacer = root->GetName().IsEmpty() && std::wstring(root->GetClass()) == L"ControlUI";
    if (!spacer && root->IsVisible() && r.right > r.left && r.bottom > r.top) out.push_back(root);
}

class KeyboardPageDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        static bool installed = false;  // one backend for the whole process
        if (!installed) {
            std::string error;
            ASSERT_TRUE(UseX11DisplayBackend(&error)) << error;
            installed = true;
        }
        const std::filesystem::path skin = std::filesystem::path(TAVRIK_BIN_DIR) / "skin";
        CPaintManagerUI::SetResourcePath(win::FromUtf8(skin.string() + "/").c_str());
        CPaintManagerUI::SetAllDPI(96);
        CResourceManager::GetInstance()->Release();
        ASSERT_TRUE(
            CResourceManager::GetInstance()->LoadLanguage(win::FromUtf8((skin / "lan_en.xml").string()).c_str()));
        RegisterCustomControls();
        driver_ = std::make_unique<tavrik::test::XDriver>();
        ASSERT_TRUE(driver_->ok());
        driver_->MoveTo(5, 1015);
        source_ = tavrik::screen::OpenX11ScreenSource();
        ASSERT_NE(source_, nullptr);
    }
    void TearDown() override {
        if (window_) {
            if (window_->GetHWND()) win::DestroyWindow(window_->GetHWND());
            delete window_;
            window_ = nullptr;
        }
        Pump();
        CResourceManager::GetInstance()->Release();
        CPaintManagerUI::Term();
    }

    ::Window Xid() const { return static_cast<tavrik::x11::X11Window*>(window_->GetBackendWindow())->xid(); }

    // The screen's pixels of a control (0x00RRGGBB, row by row).
    std::vector<uint32_t> PixelsOf(CControlUI* control) {
        const RECT r = control->GetPos();
        std::vector<uint32_t> pixels;
        source_->Capture(originX_ + r.left, originY_ + r.top, r.right - r.left, r.bottom - r.top, pixels);
        return pixels;
    }

    // The colour the page shows where nothing is drawn over it.
    static bool PaintsOverBackground(const std::vector<uint32_t>& pixels, uint32_t background) {
        for (uint32_t p : pixels)
            if ((p & 0xFFFFFF) != background) return true;
        return false;
    }

    tavrik::test::TempDir dir_{"tavrik-keyboard-page"};
    std::unique_ptr<tavrik::test::XDriver> driver_;
    std::unique_ptr<tavrik::screen::ScreenSource> source_;
    PageWindow* window_ = nullptr;
    int originX_ = 0;
    int originY_ = 0;
};

TEST_F(KeyboardPageDisplayTest, ShownControlsOfTheLightingLayoutsLieInsideThePageAndPaint) {
    window_ = new PageWindow(
        LR"(<Window size="1000,640"><VerticalLayout bkcolor="#FF000000">
        <Include source="XML\DeviceXml\keyboarddevice.xml"/></VerticalLayout></Window>)");
    window_->Create(nullptr, L"Tavrik keyboard page test", win::WS_POPUP | win::WS_VISIBLE, 0, kLeft, kTop, kWidth,
                    kHeight);
    ASSERT_TRUE(PumpUntil([&] { return driver_->Viewable(Xid()); }));
    int w = 0, h = 0;
    ASSERT_TRUE(PumpUntil([&] { return driver_->Geometry(Xid(), originX_, originY_, w, h) && w == kWidth; }));
    EXPECT_EQ(h, kHeight);

    CPaintManagerUI& pm = window_->pm();
    CControlUI* page = pm.FindControl(L"keyboard_device_page");
    auto* light = static_cast<CLightControlUI*>(pm.FindControl(L"LightControlItem"));
    auto* keys = static_cast<CKeySetControlUI*>(pm.FindControl(L"KeySetControlItem"));
    ASSERT_NE(page, nullptr);
    ASSERT_NE(light, nullptr);
    ASSERT_NE(keys, nullptr);
    keys->InitControls();
    keys->SetDeviceKind(1);
    light->SetDeviceKind(1);
    light->InitModeList(std::vector<CDuiString>(31, L"light_mode_title"), std::vector<int32_t>(31, 1), 5, 5);

    for (int mode : {1, 3, 21}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        light->SetLightMode(mode);
        win::InvalidateRect(window_->GetHWND(), nullptr, false);
        // Let the layout and the paint reach the server: the combo shows the mode.
        Pump();
        std::vector<CControlUI*> shown;
        ShownLeaves(light, shown);
        ASSERT_GT(shown.size(), 10u);
        const RECT area = page->GetPos();
        ASSERT_LE(area.right, kWidth);
        ASSERT_LE(area.bottom, kHeight);
        for (CControlUI* c : shown) {
            const RECT r = c->GetPos();
            const std::wstring name =
                c->GetName().IsEmpty() ? L"(" + std::wstring(c->GetClass()) + L")" : c->GetName().str();
            SCOPED_TRACE(win::ToUtf8(name));
            EXPECT_TRUE(r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom)
                << r.left << "," << r.top << "," << r.right << "," << r.bottom;
            // Every shown control leaves some pixel of its own over the page's colour.
            EXPECT_TRUE(PumpUntil([&] { return PaintsOverBackground(PixelsOf(c), 0x1A1A1A); }));
        }
    }
}

}  // namespace
