// The mouse page on a headless display: binding its settings pages' buttons
// from the shipped skin and from edge-case skins, the empty page, and the hint
// that every function tab hides.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "devices/corvane_mouse_device.h"
#include "link/device_tables.h"
#include "link/json_file_util.h"
#include "pages/shoot_control_ui.h"
#include "pages/shoot_file.h"
#include "platform/files/utf8.h"
#include "tests/pages/shoot_bullet_print.h"
#include "shell/controls/device_key_button_ui.h"
#include "tests/link/sim_channel.h"
#include "tools/devsim/sim_fixture.h"
#include "tests/shell/device_ui_fixture.h"

namespace {

using namespace devtest;
namespace fs = std::filesystem;

// Builds the mouse page the way the main window does: only through its own callback.
// The recoil page comes from its own template, as in the main window.
class MouseWindow : public SkinWindow {
public:
    using SkinWindow::SkinWindow;
    CControlUI* CreateControl(LPCTSTR pstrClass) override {
        if (DuiCompareNoCase(pstrClass, CCorvaneMouseDevice::kClassName) == 0)
            return CCorvaneMouseDevice::CreateControl();
        if (DuiCompareNoCase(pstrClass, L"ShootKeySetControlUI") == 0) {
            CDialogBuilder builder;
            return builder.Create(CShootControlUI::kSkinFile, nullptr, nullptr, &m_pm, nullptr);
        }
        return SkinWindow::CreateControl(pstrClass);
    }
};

class MousePage : public DeviceUiTest {
protected:
    // The page of a window whose skin holds `page` (a CorvaneMouseDevice element).
    CCorvaneMouseDevice* Build(const std::string& page, const wchar_t* pageXml = L"XML\\DeviceXml\\mousedevice.xml") {
        const std::string xml = "<Window size=\"400,500\"><VerticalLayout>" + page + "</VerticalLayout></Window>";
        auto* window = new MouseWindow(win::FromUtf8(xml));
        windows_.push_back(window);
        window->Create(nullptr, L"mouse test", UI_WS_POPUP | UI_WS_VISIBLE, 0, 0, 0, 400, 500);
        Pump();
        window_ = window;
        auto* root = static_cast<CContainerUI*>(window->pm().GetRoot());
        CCorvaneMouseDevice* found = nullptr;
        for (int i = 0; root && i < root->GetCount() && !found; ++i)
            found =
                static_cast<CCorvaneMouseDevice*>(root->GetItemAt(i)->GetInterface(CCorvaneMouseDevice::kClassName));
        EXPECT_NE(found, nullptr);
        if (!found) return nullptr;
        const auto& model = DeviceModelTable[kDeviceKindMouse];
        found->SetKeyCount(model.keyCount);
        found->SetLedCount(model.ledCount);
        found->SetPageXml(pageXml);
        return found;
    }
    static std::string ShippedPage() {
        std::ifstream in(fs::path(TAVRIK_SOURCE_DIR) / "skin" / "XML" / "DeviceXml" / "mousedevice.xml");
        std::stringstream text;
        text << in.rdbuf();
        std::string s = text.str();
        return s.substr(s.find("<CorvaneMouseDevice"));
    }
    CDeviceKeyButtonUI* Button(const wchar_t* name) { return window_->Find<CDeviceKeyButtonUI>(name); }

    MouseWindow* window_ = nullptr;
};

TEST_F(MousePage, TheShippedSkinBindsEveryButtonAndLight) {
    CCorvaneMouseDevice* page = Build(ShippedPage());
    ASSERT_NE(page, nullptr);
    page->InitPage();
    ASSERT_NE(page->GetSelectPanel(), nullptr);
    EXPECT_EQ(page->GetSelectPanel()->GetName(), L"mouse_device_key_light");
    ASSERT_EQ(page->GetKeyButtons().size(), size_t(kMouseButtonCount));
    for (int k = 0; k < kMouseButtonCount; ++k) {
        const std::wstring name = L"key_" + std::to_wstring(k);
        EXPECT_EQ(page->GetKeyButtons()[size_t(k)], Button(name.c_str())) << k;
        EXPECT_NE(page->GetKeyButtons()[size_t(k)], nullptr) << k;
    }
    ASSERT_EQ(page->GetLightButtons().size(), 15u);
    for (size_t l = 0; l < 15; ++l) EXPECT_NE(page->GetLightButtons()[l], nullptr) << l;
    EXPECT_EQ(page->GetLightButtons()[11], Button(L"lamp_11"));
    // The LED preview on its own settings page: 15 buttons and the logo.
    ASSERT_EQ(page->GetLight0Buttons().size(), 15u);
    for (size_t l = 0; l < 15; ++l)
        EXPECT_EQ(page->GetLight0Buttons()[l], Button((L"light_0_" + std::to_wstring(l)).c_str())) << l;
    EXPECT_EQ(page->GetLogoButton(), Button(L"mouse_logo_button"));
    EXPECT_EQ(page->GetLight0Panel()->GetName(), L"mouse_device_light_preview");
}

TEST_F(MousePage, LightZeroButtonsLogoAndPanelsFollowTheirRules) {
    CCorvaneMouseDevice* page = Build(R"(<CorvaneMouseDevice>
      <TabLayout name="mouse_device_seting_layout">
        <Container><DeviceKeyButton name="key_9"/></Container>
        <SelectPanel name="first">
          <DeviceKeyButton name="light_0_5"/>
          <DeviceKeyButton name="light_0_7"/>
          <DeviceKeyButton name="Key_2" tooltip="LOGO"/>
          <DeviceKeyButton name="other_1" userdata="LIGHT_4"/>
          <DeviceKeyButton name="key_40"/>
          <Button name="key_3"/>
        </SelectPanel>
        <SelectPanel name="second">
          <DeviceKeyButton name="light_0_0"/>
          <DeviceKeyButton name="light_0_9"/>
          <DeviceKeyButton name="light_6"/>
        </SelectPanel>
      </TabLayout>
      <Label name="device_tishi_info" text="hint"/>
    </CorvaneMouseDevice>)");
    ASSERT_NE(page, nullptr);
    page->InitPage();
    EXPECT_EQ(page->GetSelectPanel()->GetName(), L"first");
    EXPECT_EQ(page->GetLight0Panel()->GetName(), L"first");
    // Beyond the list: appended in page order; within it: replaced.
    const auto& light0 = page->GetLight0Buttons();
    ASSERT_EQ(light0.size(), 3u);
    EXPECT_EQ(light0[0], Button(L"light_0_0"));
    EXPECT_EQ(light0[1], Button(L"light_0_7"));
    EXPECT_EQ(light0[2], Button(L"light_0_9"));
    EXPECT_EQ(page->GetLogoButton(), Button(L"Key_2"));
    EXPECT_EQ(page->GetKeyButtons()[2], Button(L"Key_2"));
    EXPECT_EQ(page->GetLightButtons()[4], Button(L"other_1"));
    EXPECT_EQ(page->GetLightButtons()[6], Button(L"light_6"));
    // Only DeviceKeyButtons of SelectPanels count.
    EXPECT_EQ(page->GetKeyButtons()[9], nullptr);
    EXPECT_EQ(page->GetKeyButtons()[3], nullptr);

    CControlUI* hint = window_->Find<CControlUI>(L"device_tishi_info");
    for (int tab : {1, 2, 3}) {
        hint->SetVisible(true);
        page->SelectFunctionTab(tab);
        EXPECT_FALSE(hint->IsVisible()) << tab;
    }
}

TEST_F(MousePage, AnEmptyPagePathBuildsNothing) {
    CCorvaneMouseDevice* page = Build(ShippedPage(), L"");
    ASSERT_NE(page, nullptr);
    page->InitPage();
    EXPECT_EQ(page->GetSelectPanel(), nullptr);
    EXPECT_TRUE(page->GetKeyButtons().empty());
    EXPECT_TRUE(page->GetLightButtons().empty());
    EXPECT_EQ(page->GetLedCount(), 0);
    EXPECT_TRUE(page->GetLight0Buttons().empty());
}

TEST_F(MousePage, TheConnectReadGivesTheDpiControlsTheMousesRanges) {
    CCorvaneMouseDevice* page = Build(R"(<CorvaneMouseDevice>
      <TabLayout name="mouse_device_seting_layout"><SelectPanel><DeviceKeyButton name="key_0"/></SelectPanel></TabLayout>
      <Slider name="DPI_slider_0"/><Slider name="DPI_slider_4"/><Edit name="DPI_edit_0"/><Edit name="DPI_edit_3"/>
    </CorvaneMouseDevice>)");
    ASSERT_NE(page, nullptr);
    page->InitPage();
    tavrik::devsim::SimFixture sim;
    auto& mouse = sim.Plug(tavrik::devsim::ProductKind::MouseCable);
    page->CommandChannel().m_timeouts = tavrik::test::FastTimeouts();
    ASSERT_TRUE(tavrik::test::OpenCommandChannel(page->CommandChannel(), mouse));
    const struct {
        uint8_t step;
        int sliderMax, editMax;
    } cases[] = {{50, 319, 319 * 50}, {7, 319, 319 * 7}, {0, 319, 319}};  // a step of 0 counts as 1
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.step));
        {
            auto lock = mouse.Lock();
            mouse.Memory().info[11] = c.step;
        }
        ASSERT_EQ(page->ReadDeviceInfo(), 1);
        for (const wchar_t* name : {L"DPI_slider_0", L"DPI_slider_4"}) {
            auto* slider = window_->Find<CSliderUI>(name);
            EXPECT_EQ(slider->GetMinValue(), 0);
            EXPECT_EQ(slider->GetMaxValue(), c.sliderMax);
        }
        for (const wchar_t* name : {L"DPI_edit_0", L"DPI_edit_3"}) {
            auto* edit = window_->Find<CEditUI>(name);
            EXPECT_TRUE(edit->HasNumberRange());
            EXPECT_EQ(edit->GetMinNumber(), 0);
            EXPECT_EQ(edit->GetMaxNumber(), c.editMax);
        }
    }
    tavrik::test::CloseCommandChannel(page->CommandChannel());
}

// --- The recoil page ------------------------------------------------------------------

class MouseRecoilPage : public MousePage {
protected:
    void SetUp() override {
        MousePage::SetUp();
        const fs::path skin = fs::path(TAVRIK_SOURCE_DIR) / "skin";
        fs::create_directories(dir_.Path() / "XML" / "CustomControlXML");
        fs::copy_file(skin / "XML" / "CustomControlXML" / "ShootControl.xml",
                      dir_.Path() / "XML" / "CustomControlXML" / "ShootControl.xml");
        CControlFactory::GetInstance()->RegistControl(CShootControlUI::kClassName, &CShootControlUI::CreateInstance);
    }
    static fs::path InFolder(const CDuiString& folder, int gun) {
        return win::ToFsPath((folder + ShootFileName(gun)).GetData());
    }
    static Json::Value Load(const fs::path& path) {
        return CJsonFileUtil::LoadJson(win::FromUtf8(path.string()).c_str());
    }
    std::wstring Text(const wchar_t* name) { return window_->Find<CControlUI>(name)->GetText().str(); }
    ShootBullet Shown() {
        return {window_->Find<COptionUI>(L"bullet_x_check")->IsSelected(), std::stoi(Text(L"bullet_x_eidt")),
                window_->Find<COptionUI>(L"bullet_y_check")->IsSelected(), std::stoi(Text(L"bullet_y_eidt")),
                std::stoi(Text(L"bullet_delay_eidt"))};
    }
};

TEST_F(MouseRecoilPage, TheRecoilPageWorksOnTheMousesFilesFromGunAndBulletZero) {
    CCorvaneMouseDevice* page = Build(ShippedPage());
    ASSERT_NE(page, nullptr);
    page->SetDeviceName(L"mouse");
    const CDuiString data = page->GetUserDataFolder();
    fs::remove_all(win::ToFsPath(data.GetData()));
    fs::create_directories(win::ToFsPath(data.GetData()));
    // Gun 0 has a working file of the user's; the others have none yet.
    Json::Value own(Json::objectValue);
    const ShootBullet first{true, 41, false, 17, 230};
    WriteShootBullet(own, 0, first);
    ASSERT_TRUE(CJsonFileUtil::SaveJson(data + ShootFileName(0), own));

    page->InitPage();
    CShootControlUI* shoot = page->GetShootControl();
    ASSERT_NE(shoot, nullptr);
    EXPECT_EQ(shoot, window_->Find<CShootControlUI>(L"ShootControlItem"));
    EXPECT_EQ(shoot->GetDataFolder(), data);
    EXPECT_EQ(shoot->DefaultFilePath(2), page->GetDefaultDataFolder() + ShootFileName(2));
    // The user's gun stays; the missing ones are the shipped defaults.
    EXPECT_EQ(Load(InFolder(data, 0)), own);
    for (int gun = 1; gun < kShootGunCount; ++gun) {
        const Json::Value shipped =
            Load(fs::path(TAVRIK_SOURCE_DIR) / "DefaultData" / win::ToUtf8(ShootFileName(gun).str()));
        ASSERT_EQ(shipped["Events"].size(), 180u) << gun;
        EXPECT_EQ(Load(InFolder(data, gun)), shipped) << gun;
    }
    // Gun 0 and its first bullet are picked and shown.
    EXPECT_EQ(shoot->GetSelectedGun(), 0);
    EXPECT_EQ(shoot->GetSelectedBullet(), 0);
    EXPECT_TRUE(window_->Find<COptionUI>(L"shoot_gun_op_0")->IsSelected());
    EXPECT_TRUE(window_->Find<COptionUI>(L"bullet_op_0")->IsSelected());
    EXPECT_EQ(Text(L"bullet_select_index"), L"1");
    EXPECT_EQ(Shown(), first);
}

}  // namespace
