#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <set>
#include <thread>

#include "link/basic_profiledata.h"
#include "link/device/corvane_usb_device.h"
#include "link/data_folders.h"
#include "pages/light_control_ui.h"
#include "shell/controls/device_key_button_ui.h"
#include "shell/controls/mp_device_power_ui.h"
#include "tests/shell/device_ui_fixture.h"

namespace {

using namespace devtest;

// A device page as a family builds it: it reaches the base's protected state
// and routes clicks through its own message map.
class TestDevice : public CCorvaneUSBDevice {
public:
    static CControlUI* Create() { return new TestDevice(); }
    void OnClick(TNotifyUI& msg) { clicks.push_back(msg.pSender->GetName().str()); }
    void BindLightControl() {
        CControlUI* c = FindSubControl(L"LightControlItem");
        m_pLightControl = c ? static_cast<CLightControlUI*>(c) : nullptr;
    }
    void SetKeyEffect(int i, LightSetting s) {
        std::lock_guard<win::CCriticalSection> guard(KeyEffectLock);
        m_keyEffects.at(size_t(i)) = s;
    }
    using CCorvaneUSBDevice::PointProfileDocument;
    std::vector<std::wstring> clicks;

    DUI_DECLARE_MESSAGE_MAP()
};

DUI_BEGIN_MESSAGE_MAP(TestDevice, CCorvaneUSBDevice)
DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, TestDevice::OnClick)
DUI_END_MESSAGE_MAP()

LightSetting Setting(uint8_t brightness, uint8_t r, uint8_t g, uint8_t b, uint8_t direction = 0, uint8_t colorful = 0) {
    LightSetting s{};
    s.brightness = brightness;
    s.red = r;
    s.green = g;
    s.blue = b;
    s.direction = direction;
    s.colorful = colorful;
    return s;
}

// A page with a picture of five key buttons (one of them also a wrong-class
// button), a button inside the page and one outside it.
const char* const kPageSkin = R"(<Window size="400,200">
  <HorizontalLayout bkcolor="#FF000000">
    <TestDevice name="page" width="300">
      <SelectPanel name="panel">
        <DeviceKeyButton name="key_0" userdata="light_1" float="true" pos="10,10,40,40" lightimage="light.png"/>
        <DeviceKeyButton name="key_1" userdata="light_0" float="true" pos="50,10,80,40" lightimage="light.png"/>
        <DeviceKeyButton name="KEY_2" userdata="Light_2" float="true" pos="90,10,120,40" lightimage="light.png"/>
        <DeviceKeyButton name="key_3" userdata="light_3" float="true" pos="130,10,160,40"/>
        <DeviceKeyButton name="key_9" userdata="light_-1" float="true" pos="170,10,200,40"/>
        <DeviceKeyButton name="keyboard" userdata="lamp_0" float="true" pos="210,10,240,40"/>
        <Button name="key_5" userdata="light_2" float="true" pos="250,10,280,40"/>
        <Button name="inside_btn" float="true" pos="10,100,60,130"/>
        <Button name="inside_btn" float="true" pos="70,100,120,130"/>
      </SelectPanel>
      <TabLayout name="device_function_switch" width="1">
        <Control/><Control/><Control/><Control/><Control/>
      </TabLayout>
      <TabLayout name="device_key_function_switch" width="1">
        <Control/><Control/><Control/><Control/><Control/>
      </TabLayout>
    </TestDevice>
    <Button name="outside_btn"/>
  </HorizontalLayout></Window>)";

class DeviceBaseTest : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        RegisterCorvaneUSBDevice();
        CControlFactory::GetInstance()->RegistControl(L"TestDevice", &TestDevice::Create);
        CControlFactory::GetInstance()->RegistControl(L"CLightControlUI", &CLightControlUI::CreateInstance);
        WriteSolidPng("light.png", 8, 8, 0xFFFFFFFF);
    }

    TestDevice* OpenPage(const char* skin = kPageSkin, int keys = 6, int leds = 3) {
        window_ = Open(skin, 400, 200);
        auto* page = window_->Find<TestDevice>(L"page");
        EXPECT_NE(page, nullptr);
        if (!page) return nullptr;
        page->SetPageXml(L"XML\\DeviceXml\\test.xml");
        page->SetKeyCount(keys);
        page->SetLedCount(leds);
        page->InitPage();
        return page;
    }
    CDeviceKeyButtonUI* Key(const wchar_t* name) { return window_->Find<CDeviceKeyButtonUI>(name); }

    SkinWindow* window_ = nullptr;
};

TEST_F(DeviceBaseTest, InitPageBindsKeysAndLightsByIndexIgnoringBadOnes) {
    TestDevice* page = OpenPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetSelectPanel(), window_->Find<CControlUI>(L"panel"));

    const std::vector<CDeviceKeyButtonUI*> keys = {Key(L"key_0"), Key(L"key_1"), Key(L"KEY_2"),
                                                   Key(L"key_3"), nullptr,       nullptr};
    EXPECT_EQ(page->GetKeyButtons(), keys);  // key_9 is past 6 keys, key_5 is not a key button
    const std::vector<CDeviceKeyButtonUI*> lights = {Key(L"key_1"), Key(L"key_0"), Key(L"KEY_2")};
    EXPECT_EQ(page->GetLightButtons(), lights);  // light_3 and light_-1 are outside 3 LEDs

    for (CDeviceKeyButtonUI* light : lights) {
        EXPECT_EQ(light->GetLightColor(), 0xFFFFFFu);
        EXPECT_EQ(light->GetLightLevel(), 255);
        EXPECT_TRUE(light->IsLightShown());
    }
    // Unbound buttons keep their initial overlay.
    EXPECT_EQ(Key(L"key_3")->GetLightColor(), 255u);
    EXPECT_FALSE(Key(L"key_3")->IsLightShown());
    EXPECT_FALSE(Key(L"keyboard")->IsLightShown());
}

TEST_F(DeviceBaseTest, InitPageWithoutPageXmlEmptiesEverything) {
    TestDevice* page = OpenPage();
    ASSERT_NE(page, nullptr);
    page->SetPageXml(L"");
    page->InitPage();
    EXPECT_EQ(page->GetKeyCount(), 0);
    EXPECT_EQ(page->GetLedCount(), 0);
    EXPECT_TRUE(page->GetKeyButtons().empty());
    EXPECT_TRUE(page->GetLightButtons().empty());
    EXPECT_TRUE(page->GetKeyEffects().empty());
    EXPECT_EQ(page->Leds().GetLedCount(), 0);
}

TEST_F(DeviceBaseTest, InitPageNeedsTheSelectPanelAsADirectChild) {
    TestDevice* page = OpenPage(R"(<Window size="400,200"><TestDevice name="page">
        <VerticalLayout><SelectPanel name="panel">
          <DeviceKeyButton name="key_0" userdata="light_0" float="true" pos="0,0,10,10"/>
        </SelectPanel></VerticalLayout></TestDevice></Window>)",
                                2, 2);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetSelectPanel(), nullptr);
    EXPECT_EQ(page->GetKeyButtons(), (std::vector<CDeviceKeyButtonUI*>{nullptr, nullptr}));
    EXPECT_EQ(page->GetLightButtons(), (std::vector<CDeviceKeyButtonUI*>{nullptr, nullptr}));
}

TEST_F(DeviceBaseTest, SendLedFrameColoursTheLightButtons) {
    TestDevice* page = OpenPage();
    ASSERT_NE(page, nullptr);
    page->SetLedColor(0, PackLedColor({0, 255, 0, 255}));    // light 0 is key_1
    page->SetLedColor(1, PackLedColor({255, 16, 32, 128}));  // light 1 is key_0
    page->SetLedColor(2, PackLedColor({1, 2, 3, 4}));        // KEY_2
    EXPECT_EQ(page->SendLedFrame(), 3);

    // The button takes R | B << 8 | G << 16 and the level.
    EXPECT_EQ(Key(L"key_1")->GetLightColor(), 0x00FF0000u);
    EXPECT_EQ(Key(L"key_1")->GetLightLevel(), 255);
    EXPECT_EQ(Key(L"key_0")->GetLightColor(), 0x001020FFu);
    EXPECT_EQ(Key(L"key_0")->GetLightLevel(), 128);
    EXPECT_EQ(Key(L"KEY_2")->GetLightColor(), 0x00020301u);
    EXPECT_EQ(Key(L"KEY_2")->GetLightLevel(), 4);

    // A pure green LED is drawn green; a pure red one red.
    page->SetLedColor(1, PackLedColor({255, 0, 0, 255}));
    page->SendLedFrame();
    Repaint(window_);
    const POINT green = CentreOf(Key(L"key_1"));
    const POINT red = CentreOf(Key(L"key_0"));
    EXPECT_EQ(PixelAt(window_, green.x, green.y), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(window_, red.x, red.y), 0xFFFF0000u);
}

TEST_F(DeviceBaseTest, SendLedFrameSkipsHiddenButtonsAndDoesNothingWithLightingOff) {
    TestDevice* page = OpenPage();
    ASSERT_NE(page, nullptr);
    Key(L"key_0")->SetVisible(false);  // light 1
    page->SetLedColor(0, PackLedColor({0, 0, 255, 100}));
    page->SetLedColor(1, PackLedColor({0, 0, 255, 100}));
    page->SendLedFrame();
    EXPECT_EQ(Key(L"key_1")->GetLightColor(), 0x0000FF00u);
    EXPECT_EQ(Key(L"key_0")->GetLightColor(), 0xFFFFFFu);

    page->SetLightingEnabled(0);
    EXPECT_EQ(page->IsLightingEnabled(), 0);
    page->SetLedColor(0, PackLedColor({9, 9, 9, 9}));
    EXPECT_EQ(page->SendLedFrame(), 0);
    EXPECT_EQ(Key(L"key_1")->GetLightColor(), 0x0000FF00u);  // the picture keeps its last colours
    EXPECT_EQ(Key(L"key_1")->GetLightLevel(), 100);
}

TEST_F(DeviceBaseTest, LedCountResizesZeroesAndStaysInsideTheVector) {
    TestDevice* page = OpenPage();
    ASSERT_NE(page, nullptr);
    page->SetLedColor(2, 0x11223344);
    page->SetKeyEffect(2, Setting(5, 1, 2, 3));
    page->SetLedCount(3);  // same count: still zeroed
    EXPECT_EQ(page->GetLedColor(2), 0u);
    EXPECT_EQ(page->GetKeyEffects(), std::vector<LightSetting>(3));
    EXPECT_EQ(page->GetLightButtons().size(), 3u);

    for (int outside : {-1, 3, 1000}) {
        page->SetLedColor(outside, 0xFFFFFFFF);
        EXPECT_EQ(page->GetLedColor(outside), 0u) << outside;
    }
    page->SetLedCount(500);  // more than the effect state holds: capped
    EXPECT_EQ(page->GetLedCount(), LedState::kMaxLeds);
    ASSERT_EQ(page->GetLightButtons().size(), size_t(LedState::kMaxLeds));
    EXPECT_EQ(page->GetKeyEffects().size(), size_t(LedState::kMaxLeds));
    EXPECT_EQ(page->Leds().GetLedCount(), LedState::kMaxLeds);
    EXPECT_EQ(page->GetLightButtons()[1], Key(L"key_0"));  // growing keeps the bound buttons
    page->SetLedCount(-4);
    EXPECT_EQ(page->GetLedCount(), 0);
    EXPECT_TRUE(page->GetLightButtons().empty());

    page->SetKeyCount(8);
    ASSERT_EQ(page->GetKeyButtons().size(), 8u);
    EXPECT_EQ(page->GetKeyButtons()[0], Key(L"key_0"));
    EXPECT_EQ(page->GetKeyButtons()[7], nullptr);
}

TEST_F(DeviceBaseTest, SelectFunctionTabSelectsThePagesOfEachCode) {
    constexpr int U = -1;  // second layout unchanged
    struct Row {
        int code, function, keyFunction;
    };
    const Row keyboardOrMouse[] = {{1, 0, 0}, {2, 0, 1}, {3, 1, U}, {4, 3, U}, {5, 2, U},  {6, 0, 1},
                                   {7, 0, 2}, {8, 1, U}, {9, 4, U}, {0, 0, 0}, {10, 0, 0}, {-3, 0, 0}};
    for (int type : {1, 2, 3, 7}) {
        TestDevice* page = OpenPage();
        ASSERT_NE(page, nullptr);
        page->SetDeviceType(type, 0);
        auto* function = window_->Find<CTabLayoutUI>(L"device_function_switch");
        auto* keyFunction = window_->Find<CTabLayoutUI>(L"device_key_function_switch");
        for (Row row : keyboardOrMouse) {
            if (row.code == 4 && type != 1 && type != 2) row = {4, 0, 2};
            SCOPED_TRACE(testing::Message() << "type " << type << " code " << row.code);
            function->SelectItem(4, false);
            keyFunction->SelectItem(4, false);
            page->SelectFunctionTab(row.code);
            EXPECT_EQ(page->GetFunctionTab(), row.code);
            EXPECT_EQ(function->GetCurSel(), row.function);
            EXPECT_EQ(keyFunction->GetCurSel(), row.keyFunction == U ? 4 : row.keyFunction);
        }
    }
}

TEST_F(DeviceBaseTest, SelectFunctionTabWithoutTheLayoutsOnlyRemembersTheCode) {
    TestDevice* page = OpenPage(R"(<Window size="400,200"><TestDevice name="page">
        <TabLayout name="device_function_switch"><Control/><Control/></TabLayout></TestDevice></Window>)");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetFunctionTab(), 1);
    page->SelectFunctionTab(3);
    EXPECT_EQ(page->GetFunctionTab(), 3);
    EXPECT_EQ(window_->Find<CTabLayoutUI>(L"device_function_switch")->GetCurSel(), 0);
}

TEST_F(DeviceBaseTest, NotifyPumpsOnlyNotificationsOfItsOwnNamedControls) {
    TestDevice* page = OpenPage();
    ASSERT_NE(page, nullptr);
    window_->pm().AddNotifier(page);
    CContainerUI* panel = static_cast<CContainerUI*>(page->GetSelectPanel());
    CControlUI* firstInside = panel->GetItemAt(7);
    CControlUI* secondInside = panel->GetItemAt(8);
    Click(window_, CentreOf(firstInside));
    Click(window_, CentreOf(secondInside));  // same name as an earlier control: not the one found
    Click(window_, CentreOf(window_->Find<CControlUI>(L"outside_btn")));
    Click(window_, CentreOf(window_->Find<CControlUI>(L"key_1")));
    EXPECT_EQ(page->clicks, (std::vector<std::wstring>{L"inside_btn", L"key_1"}));
}

TEST_F(DeviceBaseTest, AccessorsKeepWhatTheyAreGiven) {
    TestDevice* page = OpenPage();
    ASSERT_NE(page, nullptr);
    EXPECT_STREQ(page->GetClass(), L"CorvaneUSBDevice");
    EXPECT_EQ(page->GetModelRow(), -1);
    EXPECT_EQ(page->GetSelectedKey(), -1);
    EXPECT_EQ(page->IsLightingEnabled(), 1);
    EXPECT_EQ(page->IsWindowActive(), 1);

    page->SetWindowHidden(1);  // no show power: not kept
    EXPECT_EQ(page->GetWindowHidden(), 0);
    page->SetShowPower(1);
    page->SetWindowHidden(1);
    EXPECT_EQ(page->GetWindowHidden(), 1);

    HidDeviceSlot slot = SupportedDeviceTable[1];
    slot.deviceType = 2;
    slot.auxiliary = 255;
    slot.devicePath = L"\\\\?\\hid#vid_1234&pid_5678&mi_01&col02#x";
    page->SetDeviceType(7, 9);
    page->SetSlotRecord(slot);
    EXPECT_EQ(page->GetDeviceType(), 2);
    EXPECT_EQ(page->GetDeviceSubtype(), 255);
    EXPECT_EQ(page->GetSlotRecord().devicePath, slot.devicePath);

    page->SelectKey(17);
    EXPECT_EQ(page->GetSelectedKey(), 17);
    page->SetDeviceIndex(2);
    EXPECT_EQ(page->GetDeviceIndex(), 2);
    page->SetExtraKeyMap({{1, 2}, {3, 4}});
    EXPECT_EQ(page->GetExtraKeyMap(), (std::map<int, int>{{1, 2}, {3, 4}}));

    // A keyboard page switched on asks for the light-on command; on a closed
    // channel that sends nothing and changes nothing else.
    page->SetDeviceType(1, 0);
    page->SetLightingEnabled(1);
    EXPECT_EQ(page->IsLightingEnabled(), 1);
}

TEST_F(DeviceBaseTest, NeutralFamilyOperations) {
    TestDevice* page = OpenPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->CheckDongleLink(), 1);
    EXPECT_EQ(page->ApplyLightProfile(), 0);
    EXPECT_EQ(page->LoadProfile(1), 0);
    EXPECT_EQ(page->WriteKeyAssignments(0, std::vector<KeyListEntry>(3)), 0);
    EXPECT_EQ(page->WriteCurrentKeyAssignments(0), 0);
    EXPECT_EQ(page->WriteMacros({1, 2}), 0);
    EXPECT_EQ(page->WriteProfileBlock(0, 0, 1, 1920, 1080), 0);
    EXPECT_TRUE(page->GetUsedMacros().empty());
    EXPECT_TRUE(page->GetProfilePath().IsEmpty());
}

TEST_F(DeviceBaseTest, FoldersFollowTheDeviceName) {
    TestDevice* page = OpenPage();
    ASSERT_NE(page, nullptr);
    page->SetDeviceName(L"MousePad");
    EXPECT_EQ(page->GetDefaultDataFolder(), GetDefaultDataPath());
    EXPECT_EQ(page->GetDefaultProfilePath(), GetDefaultDataPath() + L"MousePad.Json");
    const CDuiString folder = page->GetUserDataFolder();
    EXPECT_EQ(folder, GetDeviceDataPath(L"MousePad"));
    EXPECT_TRUE(folder.Right(10) == L"\\MousePad\\") << folder.str();
    EXPECT_TRUE(win::DirectoryExists(folder.str()));
}

TEST_F(DeviceBaseTest, PowerPanelShowsItsLayoutByTheShowPowerFlag) {
    window_ = Open(R"(<Window size="400,200"><HorizontalLayout>
        <TestDevice name="page"/>
        <MpDevicePower name="tile"><Control name="device_power_Layout"/></MpDevicePower>
      </HorizontalLayout></Window>)",
                   400, 200);
    auto* page = window_->Find<TestDevice>(L"page");
    auto* tile = window_->Find<CMpDevicePowerUI>(L"tile");
    ASSERT_TRUE(page && tile);
    CControlUI* layout = window_->Find<CControlUI>(L"device_power_Layout");
    page->SetPowerPanel(tile);
    EXPECT_EQ(page->GetPowerPanel(), tile);
    EXPECT_FALSE(layout->IsVisible());
    page->SetShowPower(1);
    EXPECT_TRUE(layout->IsVisible());
    page->SetShowPower(0);
    EXPECT_FALSE(layout->IsVisible());
    page->SetPowerPanel(nullptr);
    page->SetShowPower(1);
    EXPECT_FALSE(layout->IsVisible());
}

TEST_F(DeviceBaseTest, StepsUseTheCurrentLightSettingClamped) {
    TestDevice* page = OpenPage();
    ASSERT_NE(page, nullptr);
    struct Case {
        LightSetting setting;
        int (CCorvaneUSBDevice::*step)();
        LedColor expected;
    };
    const Case cases[] = {
        {Setting(3, 10, 20, 30), &CCorvaneUSBDevice::StepStatic, {10, 20, 30, 153}},
        {Setting(200, 10, 20, 30), &CCorvaneUSBDevice::StepStatic, {10, 20, 30, 255}},  // level clamped to 5
        {Setting(5, 10, 20, 30), &CCorvaneUSBDevice::StepLightsOff, {0, 0, 0, 0}},
        // Spectrum counting up from 0: wheel entry 1 is (255, 3, 0).
        {Setting(4, 0, 0, 0, 1), &CCorvaneUSBDevice::StepSpectrum, {255, 3, 0, 201}},
    };
    for (const Case& c : cases) {
        page->Leds().m_effectStep = 0;
        page->SetLightSetting(c.setting);
        EXPECT_EQ(page->CurrentLightSetting(), c.setting);
        EXPECT_EQ((page->*c.step)(), 3);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(page->GetLedColor(i), PackLedColor(c.expected)) << i;
    }
}

TEST_F(DeviceBaseTest, LightThreadNeverSeesAHalfWrittenSetting) {
    TestDevice* page = OpenPage();
    ASSERT_NE(page, nullptr);
    const LightSetting a = Setting(5, 255, 0, 0);
    const LightSetting b = Setting(1, 0, 0, 255);
    const std::set<uint32_t> allowed = {PackLedColor({255, 0, 0, 255}), PackLedColor({0, 0, 255, 51})};
    page->SetLightSetting(a);
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::thread light([&] {
        while (!stop.load()) {
            page->StepStatic();
            for (int i = 0; i < 3; ++i)
                if (!allowed.count(page->GetLedColor(i))) ++bad;
        }
    });
    for (int i = 0; i < 20000; ++i) page->SetLightSetting(i % 2 ? a : b);
    stop = true;
    light.join();
    EXPECT_EQ(bad.load(), 0);
}

TEST_F(DeviceBaseTest, MusicLightingGoesThroughTheLightingPage) {
    window_ = Open(R"(<Window size="600,100"><TestDevice name="page"><LightControl name="LightControlItem">
        <Combo name="light_combo_audiomodeSelect"><ListLabelElement/><ListLabelElement/><ListLabelElement/></Combo>
        <Button name="deng_audiocolordp_btn"/>
        <Option name="audio_BkColor_check" group="t"/><Option name="audio_FgColor_check" group="t"/>
        <Option name="deng_7audiocolor_check"/>
      </LightControl></TestDevice></Window>)",
                   600, 100);
    auto* page = window_->Find<TestDevice>(L"page");
    ASSERT_NE(page, nullptr);
    AudioLightSetting s{};
    s.mode = 2;
    s.fgRed = 7;
    s.colorType = 1;

    // Without a lighting page the setting is only kept.
    page->SetAudioLightInfo(s);
    EXPECT_EQ(page->GetAudioLightInfo(1), s);

    page->BindLightControl();
    page->SetAudioLightInfo(s);
    EXPECT_EQ(window_->Find<CComboUI>(L"light_combo_audiomodeSelect")->GetCurSel(), 2);
    window_->Find<CControlUI>(L"deng_audiocolordp_btn")->SetBkColor(0xFF010203);
    const AudioLightSetting read = page->GetAudioLightInfo(1);
    EXPECT_EQ(read.mode, 2);
    EXPECT_EQ(read.colorType, 1);
    EXPECT_EQ(std::vector<int>({read.fgRed, read.fgGreen, read.fgBlue}), std::vector<int>({1, 2, 3}));
    EXPECT_EQ(page->CurrentAudioLightSetting(), read);
}

TEST_F(DeviceBaseTest, BrokenLightingPageDoesNotTakeThePageDown) {
    window_ = Open(R"(<Window size="600,100"><TestDevice name="page">
        <LightControl name="LightControlItem"/></TestDevice></Window>)",
                   600, 100);
    auto* page = window_->Find<TestDevice>(L"page");
    ASSERT_NE(page, nullptr);
    page->BindLightControl();
    AudioLightSetting s{};
    s.mode = 1;
    s.bkBlue = 9;
    EXPECT_NO_THROW(page->SetAudioLightInfo(s));
    EXPECT_EQ(page->CurrentAudioLightSetting(), s);
    AudioLightSetting read{};
    EXPECT_NO_THROW(read = page->GetAudioLightInfo(1));
    EXPECT_EQ(read, s);
}

TEST_F(DeviceBaseTest, ProfileDocumentReadsThisDevicesRowOfTheLightList) {
    // Light list with two device rows; mode 0 of each names its own effect file.
    const std::string ownGuid = "{00000000-0000-0000-0000-000000000002}";
    const std::string otherGuid = "{00000000-0000-0000-0000-000000000001}";
    auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir_.Path() / name, std::ios::binary) << text;
    };
    write("plenta_light.config", R"({"LightInfo": [[{"LightName": "a", "Guid": ")" + otherGuid +
                                     R"("}], [], [{"LightName": "b", "Guid": ")" + ownGuid + R"("}]]})");
    write(otherGuid + ".light", R"({"LEDEffectList": [{"LEDREGMode": 1, "Time": 10, "Cyle": 1}]})");
    write(ownGuid + ".light",
          R"({"LEDEffectList": [{"LEDREGMode": 1, "Time": 10, "Cyle": 1}, {"LEDREGMode": 2, "Time": 20, "Cyle": 1},
              {"LEDREGMode": 3, "Time": 30, "Cyle": 1}]})");

    TestDevice page;
    page.SetDeviceIndex(2);
    CBasicProfiledata document;
    page.PointProfileDocument(document);
    const CDuiString listPath = win::FromUtf8((dir_.Path() / "plenta_light.config").string());
    document.SetLightListPath(listPath);
    document.LoadLightList(listPath);
    document.SetLightInfo(LightSetting{});
    const std::vector<LedEffectStep> steps = document.GetCustomEffect();
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[2].setting.mode, 3);
}

TEST_F(DeviceBaseTest, ControlFactoryCreatesTheBaseClass) {
    CControlUI* control = CControlFactory::GetInstance()->CreateControl(L"CCorvaneUSBDevice");
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->GetClass(), L"CorvaneUSBDevice");
    EXPECT_NE(control->GetInterface(L"CorvaneUSBDevice"), nullptr);
    delete control;

    window_ = Open(R"(<Window size="100,100"><CCorvaneUSBDevice name="page"/></Window>)", 100, 100);
    CControlUI* page = window_->Find<CControlUI>(L"page");
    ASSERT_NE(page, nullptr);
    EXPECT_STREQ(page->GetClass(), L"CorvaneUSBDevice");
}

}  // namespace
