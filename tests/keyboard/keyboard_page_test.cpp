// The keyboard page on a headless display: binding its key pictures, the
// layout switch, the FN rule, the preview, the status read, and the whole
// connect sequence of a page built from its skin.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>

#include "link/device/keyboard_messages.h"
#include "link/json_file_util.h"
#include "pages/device_profile_ui.h"
#include "pages/light_control_ui.h"
#include "shell/controls/device_key_button_ui.h"
#include "shell/controls/mp_device_power_ui.h"
#include "shell/controls/process_state.h"
#include "tests/keyboard/keyboard_test_support.h"
#include "tests/shell/device_ui_fixture.h"
#include "tests/support/wait_bound.h"
#include "tools/skin_images/key_legends.h"

namespace {

using namespace devtest;
using namespace kbtest;
namespace fs = std::filesystem;

// The main window as the page sees it: it notes the messages the page sends
// and how many reports the keyboard had received at that moment.
class MainWindow : public SkinWindow {
public:
    MainWindow(std::wstring skin, const Emulator* device) : SkinWindow(std::move(skin)), device_(device) {}
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override {
        if (uMsg == WM_START_CLOCK_SYNC || uMsg == WM_DEVICE_STATUS)
            messages.push_back({uMsg, wParam, device_ ? device_->Record().size() : 0});
        return SkinWindow::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    }
    // The lighting page's template, as the program's main window builds it.
    // The lighting page's and profile bar's templates, as the program's main window builds them.
    CControlUI* CreateControl(LPCTSTR pstrClass) override {
        const wchar_t* file = DuiCompareNoCase(pstrClass, L"LightSetControlUI") == 0 ? CLightControlUI::kSkinFile
                              : DuiCompareNoCase(pstrClass, L"DeviceProfileUI") == 0 ? CDeviceProfileUI::kSkinFile
                                                                                     : nullptr;
        if (!file) return SkinWindow::CreateControl(pstrClass);
        CDialogBuilder builder;
        return builder.Create(file, nullptr, nullptr, &pm(), nullptr);
    }
    struct Message {
        UINT id;
        WPARAM wParam;
        size_t recordSize;
    };
    std::vector<Message> messages;

private:
    const Emulator* device_;
};

// Two layouts of four keys; the second picture has only three children.
const char* const kSmallSkin = R"(<Window size="400,200"><VerticalLayout>
  <CorvaneKeyboardDevice name="page">
    <Container name="keyboard_device_key_light_0">
      <DeviceKeyButton name="key_0" userdata="light_0"/>
      <DeviceKeyButton name="key_200" userdata="light_-1"/>
      <DeviceKeyButton name="light_150"/>
      <DeviceKeyButton name="KEY_110" userdata="LIGHT_110"/>
      <Button name="key_3" userdata="light_3"/>
      <DeviceKeyButton name="key_5" userdata="light_5"/>
      <DeviceKeyButton name="key_6"/>
    </Container>
    <Container name="keyboard_device_key_light_1" visible="false">
      <DeviceKeyButton name="key_1" userdata="light_1"/>
      <DeviceKeyButton name="key_2"/>
      <DeviceKeyButton name="key_7"/>
    </Container>
    <TabLayout name="device_function_switch"><TabLayout name="device_key_function_switch"><Control/><Control/></TabLayout></TabLayout>
  </CorvaneKeyboardDevice></VerticalLayout></Window>)";

class KeyboardPage : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        RegisterCorvaneKeyboardDevice();
        CControlFactory::GetInstance()->RegistControl(L"CLightControlUI", &CLightControlUI::CreateInstance);
        CControlFactory::GetInstance()->RegistControl(CDeviceProfileUI::kClassName, &CDeviceProfileUI::CreateInstance);
        CCorvaneKeyboardDevice::SetLanguageIndex(0);
    }

    CCorvaneKeyboardDevice* Build(const std::string& xml, const Emulator* device = nullptr,
                                  const wchar_t* name = L"page") {
        main_ = new MainWindow(win::FromUtf8(xml), device);
        windows_.push_back(main_);
        main_->Create(nullptr, L"keyboard test", UI_WS_POPUP | UI_WS_VISIBLE, 0, 0, 0, 800, 600);
        Pump();
        auto* page = main_->Find<CCorvaneKeyboardDevice>(name);
        EXPECT_NE(page, nullptr);
        if (!page) return nullptr;
        SetUpPage(*page);
        page->SetPageXml(L"XML\\DeviceXml\\keyboarddevice.xml");
        page->SetMainWindow(main_->GetHWND());
        return page;
    }

    // The shipped skin, copied into the test's resource folder.
    CCorvaneKeyboardDevice* BuildShipped(const Emulator* device = nullptr) {
        const fs::path target = dir_.Path() / "XML" / "DeviceXml";
        fs::create_directories(target);
        fs::copy_file(fs::path(TAVRIK_SOURCE_DIR) / "skin" / "XML" / "DeviceXml" / "keyboarddevice.xml",
                      target / "keyboarddevice.xml", fs::copy_options::overwrite_existing);
        const fs::path templates = dir_.Path() / "XML" / "CustomControlXML";
        fs::create_directories(templates);
        for (const char* name : {"LightControl.xml", "DeviceProfile.xml"})
            fs::copy_file(fs::path(TAVRIK_SOURCE_DIR) / "skin" / "XML" / "CustomControlXML" / name, templates / name,
                          fs::copy_options::overwrite_existing);
        // The skin's root is the page itself.
        return Build(R"(<Window size="800,600"><VerticalLayout>
            <Include source="XML\DeviceXml\keyboarddevice.xml"/></VerticalLayout></Window>)",
                     device, L"keyboard_device_page");
    }

    CDeviceKeyButtonUI* Key(const wchar_t* name) { return main_->Find<CDeviceKeyButtonUI>(name); }
    CContainerUI* Layout(int i) {
        return main_->Find<CContainerUI>((L"keyboard_device_key_light_" + std::to_wstring(i)).c_str());
    }

    MainWindow* main_ = nullptr;
};

TEST_F(KeyboardPage, EmptyPageXmlBindsNothing) {
    CCorvaneKeyboardDevice* page = Build(kSmallSkin);
    ASSERT_NE(page, nullptr);
    page->SetPageXml(L"");
    page->InitPage();
    EXPECT_EQ(page->GetKeyCount(), 0);
    EXPECT_EQ(page->GetLedCount(), 0);
    EXPECT_TRUE(page->GetKeyButtons().empty());
    EXPECT_TRUE(page->GetLightButtons().empty());
    EXPECT_EQ(page->Leds().GetLedCount(), 0);
}

TEST_F(KeyboardPage, BindsKeysAndLightsInRangeOnly) {
    CCorvaneKeyboardDevice* page = Build(kSmallSkin);
    ASSERT_NE(page, nullptr);
    page->InitPage();
    const auto& keys = page->GetKeyButtons();
    const auto& lights = page->GetLightButtons();
    EXPECT_EQ(keys[0], Key(L"key_0"));
    EXPECT_EQ(keys[110], Key(L"KEY_110"));
    EXPECT_EQ(keys[5], Key(L"key_5"));
    EXPECT_EQ(keys[3], nullptr);  // not a key button
    EXPECT_EQ(lights[150], Key(L"light_150"));
    EXPECT_EQ(lights[110], Key(L"KEY_110"));
    EXPECT_EQ(lights[0], Key(L"key_0"));
    EXPECT_EQ(lights[6], nullptr);
    for (CDeviceKeyButtonUI* k : keys) EXPECT_NE(k, Key(L"key_200"));
    for (CDeviceKeyButtonUI* l : lights) EXPECT_NE(l, Key(L"key_200"));
    EXPECT_EQ(Key(L"light_150")->GetLightColor(), 0xFFFFFFu);
    EXPECT_EQ(Key(L"light_150")->GetLightLevel(), 255);
    EXPECT_EQ(page->GetSelectPanel(), Layout(0));
}

// The language the program chose at start (the one saved by an earlier
// run) is the layout a page shows when it is built.
TEST_F(KeyboardPage, APageShowsTheLayoutOfTheProgramsLanguage) {
    UiLanguageIndex = 1;
    struct FirstLanguageAfter {
        ~FirstLanguageAfter() { UiLanguageIndex = 0; }
    } after;
    CCorvaneKeyboardDevice* page = Build(kSmallSkin);
    ASSERT_NE(page, nullptr);
    page->InitPage();
    EXPECT_EQ(CCorvaneKeyboardDevice::GetLanguageIndex(), 1);
    EXPECT_EQ(page->GetSelectPanel(), Layout(1));
    EXPECT_TRUE(Layout(1)->IsVisible());
    EXPECT_FALSE(Layout(0)->IsVisible());
}

TEST_F(KeyboardPage, LayoutOutsideTheThreeShowsTheFirst) {
    CCorvaneKeyboardDevice* page = Build(kSmallSkin);
    ASSERT_NE(page, nullptr);
    page->InitPage();
    for (int index : {3, -1, 0}) {
        SCOPED_TRACE(index);
        page->ShowKeyLayout(1);
        ASSERT_EQ(page->GetSelectPanel(), Layout(1));
        page->ShowKeyLayout(index);
        EXPECT_EQ(page->GetSelectPanel(), Layout(0));
        EXPECT_TRUE(Layout(0)->IsVisible());
        EXPECT_FALSE(Layout(1)->IsVisible());
    }
    // Layout 2 is missing: nothing changes but the visibility of the others.
    page->ShowKeyLayout(2);
    EXPECT_EQ(page->GetSelectPanel(), Layout(0));
    EXPECT_FALSE(Layout(0)->IsVisible());
}

TEST_F(KeyboardPage, KeysTabDisablesTheSixthChildOnlyWhereThereIsOne) {
    CCorvaneKeyboardDevice* page = Build(kSmallSkin);
    ASSERT_NE(page, nullptr);
    page->InitPage();
    page->SelectFunctionTab(2);
    page->ShowKeyLayout(1);  // three children: nothing to disable
    for (int i = 0; i < Layout(1)->GetCount(); ++i) EXPECT_TRUE(Layout(1)->GetItemAt(i)->IsEnabled());
    EXPECT_EQ(page->GetKeyButtons()[1], Key(L"key_1"));
    page->ShowKeyLayout(0);
    EXPECT_FALSE(Key(L"key_5")->IsEnabled());
    EXPECT_TRUE(Key(L"key_0")->IsEnabled());
}

TEST_F(KeyboardPage, FnKeyIsOffOnTheKeysTabOnly) {
    CCorvaneKeyboardDevice* page = Build(kSmallSkin);
    ASSERT_NE(page, nullptr);
    page->InitPage();
    page->SelectFunctionTab(2);
    EXPECT_FALSE(Key(L"KEY_110")->IsEnabled());
    page->SelectFunctionTab(3);
    EXPECT_FALSE(Key(L"KEY_110")->IsEnabled());
    page->SelectFunctionTab(1);
    EXPECT_TRUE(Key(L"KEY_110")->IsEnabled());
    EXPECT_EQ(page->GetFunctionTab(), 1);
}

TEST_F(KeyboardPage, PreviewFollowsTheLedsOnTheLightingTabOnly) {
    CCorvaneKeyboardDevice* page = Build(kSmallSkin);
    ASSERT_NE(page, nullptr);
    page->InitPage();
    page->SetLedColor(0, PackLedColor({0x11, 0x22, 0x33, 90}));
    page->SetLightingEnabled(0);
    Key(L"key_0")->SetLightColor(0x123456, 7, true);
    EXPECT_EQ(page->SendLedFrame(), 0);
    EXPECT_EQ(Key(L"key_0")->GetLightColor(), 0x123456u);  // host lighting off: left as it was
    EXPECT_EQ(Key(L"key_0")->GetLightLevel(), 7);

    page->SetLightingEnabled(1);
    page->SendLedFrame();
    EXPECT_EQ(Key(L"key_0")->GetLightColor(), KeyButtonColorWord({0x11, 0x22, 0x33, 90}));
    EXPECT_EQ(Key(L"key_0")->GetLightLevel(), 90);
    page->SelectFunctionTab(2);
    page->SendLedFrame();
    EXPECT_EQ(Key(L"key_0")->GetLightColor(), 0u);
    EXPECT_EQ(Key(L"key_0")->GetLightLevel(), 0);
    EXPECT_TRUE(Key(L"key_0")->IsLightShown());
}

TEST_F(KeyboardPage, ShippedSkinBindsEveryKeyOfEveryLayout) {
    CCorvaneKeyboardDevice* page = BuildShipped();
    ASSERT_NE(page, nullptr);
    page->InitPage();
    // The positions the picture draws, as the skin's generator placed them.
    std::set<size_t> drawn;
    for (const skinimages::KeyRect& r :
         skinimages::ReadKeyRects(TAVRIK_SOURCE_DIR "/tools/keyboard_skin/key_rects.txt"))
        drawn.insert(size_t(r.position));
    ASSERT_GT(drawn.size(), 150u);
    for (int layout : {0, 1, 2}) {
        SCOPED_TRACE(layout);
        page->ShowKeyLayout(layout);
        ASSERT_EQ(page->GetSelectPanel(), Layout(layout));
        for (size_t p = 0; p < 170; ++p) {
            const bool blank = drawn.count(p) == 0;
            EXPECT_EQ(page->GetLightButtons()[p] != nullptr, !blank) << p;
            if (blank) continue;
            EXPECT_EQ(page->GetLightButtons()[p]->GetParent(), Layout(layout)) << p;
            if (p <= 125) {
                EXPECT_EQ(page->GetKeyButtons()[p]->GetParent(), Layout(layout)) << p;
            }
        }
    }
    for (const wchar_t* name : {L"text_test", L"frame_interval_time_edit", L"key_shake_slider", L"key_shake_edit",
                                L"device_function_switch", L"device_key_function_switch"})
        EXPECT_NE(main_->Find<CControlUI>(name), nullptr) << name;
}

TEST_F(KeyboardPage, RefreshShowsTheLightingAndDeselectsTheKeyOptions) {
    CCorvaneKeyboardDevice* page = Build(R"(<Window size="400,200"><VerticalLayout>
      <CorvaneKeyboardDevice name="page">
        <Container name="keyboard_device_key_light_0"><DeviceKeyButton name="key_0" userdata="light_0"/></Container>
        <Option name="keyboard_key_0"/><Option name="keyboard_key_125"/><Option name="keyboard_key_126"/>
        <Option name="keyboard_key_1x"/>
        <LightControl name="LightControlItem"><Combo name="light_combo_modeSelect"/><Edit name="deng_edit_R"/>
          <Slider name="deng_light_slider"/></LightControl>
      </CorvaneKeyboardDevice></VerticalLayout></Window>)");
    ASSERT_NE(page, nullptr);
    page->InitPage();
    ASSERT_NE(page->GetLightControl(), nullptr);
    // The keyboard's sliders reach 5.
    EXPECT_EQ(main_->Find<CSliderUI>(L"deng_light_slider")->GetMaxValue(), 5);
    const wchar_t* const options[] = {L"keyboard_key_0", L"keyboard_key_125", L"keyboard_key_126", L"keyboard_key_1x"};
    for (const wchar_t* name : options) main_->Find<COptionUI>(name)->Selected(true, false);
    page->LoadProfile(1);
    page->RefreshPage(1);
    EXPECT_FALSE(main_->Find<COptionUI>(L"keyboard_key_0")->IsSelected());
    EXPECT_FALSE(main_->Find<COptionUI>(L"keyboard_key_125")->IsSelected());
    EXPECT_TRUE(main_->Find<COptionUI>(L"keyboard_key_126")->IsSelected());
    EXPECT_TRUE(main_->Find<COptionUI>(L"keyboard_key_1x")->IsSelected());
    EXPECT_EQ(main_->Count(L"selectchanged"), 0);
    const LightSetting shown = page->GetLightSetting();
    EXPECT_EQ(page->GetLightControl()->GetLightMode(), shown.mode);
    EXPECT_EQ(main_->Find<CControlUI>(L"deng_edit_R")->GetText().str(), std::to_wstring(shown.red));
    EXPECT_EQ(page->GetLightControl()->GetBrightness(), shown.brightness);
}

class KeyboardPageConnected : public KeyboardPage, public ::testing::WithParamInterface<ProductKind> {};

INSTANTIATE_TEST_SUITE_P(Connections, KeyboardPageConnected,
                         ::testing::Values(ProductKind::KeyboardCable, ProductKind::KeyboardReceiver),
                         [](const auto& info) {
                             return info.param == ProductKind::KeyboardCable ? "Cable" : "Receiver";
                         });

TEST_P(KeyboardPageConnected, ConnectFromTheShippedSkinStartsClockSyncBetweenTheWrites) {
    tavrik::devsim::SimFixture sim;
    Emulator& device = sim.Plug(GetParam());
    CCorvaneKeyboardDevice* page = BuildShipped(&device);
    ASSERT_NE(page, nullptr);
    page->InitPage();
    page->CommandChannel().m_timeouts = FastTimeouts();
    ASSERT_TRUE(tavrik::test::OpenCommandChannel(page->CommandChannel(), device));
    page->OnConnected();

    const std::vector<uint8_t> sent = Commands(device);
    // The block write's last two commands and the clock's three.
    ASSERT_GE(sent.size(), 5u);
    EXPECT_EQ(std::vector<uint8_t>(sent.end() - 3, sent.end()),
              (std::vector<uint8_t>{CMD_BEGIN, CMD_WRITE_CLOCK, CMD_END}));
    ASSERT_EQ(main_->messages.size(), 1u);
    EXPECT_EQ(main_->messages[0].id, WM_START_CLOCK_SYNC);
    EXPECT_EQ(main_->messages[0].recordSize, sent.size() - 3);  // after the block write, before the clock
    EXPECT_EQ(sent[sent.size() - 4], CMD_END);
    EXPECT_EQ(sent[sent.size() - 5], CMD_WRITE_PARAMS);
    {
        auto lock = device.Lock();
        EXPECT_EQ(tavrik::devsim::ViewBlock(device.Memory(), 0).bytes[47], 1);
        EXPECT_TRUE(tavrik::devsim::ViewClock(device.Memory(), 0).has_value());
    }
    // The mode values came from the shipped light names.
    EXPECT_EQ(page->GetModeValues().size(), 31u);
    EXPECT_EQ(page->GetDefaultLightNames().size(), 31u);
    tavrik::test::CloseCommandChannel(page->CommandChannel());
}

// A mode picked on the lighting page goes through the lighting handler's
// steps into the profile file and onto the keyboard, and the page shows the
// mode's controls.
TEST_P(KeyboardPageConnected, PickedLightModeReachesTheFileAndTheKeyboard) {
    tavrik::devsim::SimFixture sim;
    Emulator& device = sim.Plug(GetParam());
    CCorvaneKeyboardDevice* page = BuildShipped(&device);
    ASSERT_NE(page, nullptr);
    page->InitPage();
    page->CommandChannel().m_timeouts = FastTimeouts();
    ASSERT_TRUE(tavrik::test::OpenCommandChannel(page->CommandChannel(), device));
    page->OnConnected();
    CLightControlUI* lighting = page->GetLightControl();
    ASSERT_NE(lighting, nullptr);
    ASSERT_EQ(lighting, main_->Find<CLightControlUI>(L"LightControlItem"));
    ASSERT_EQ(page->GetModeValues().size(), 31u);

    for (int mode : {3, 21}) {
        SCOPED_TRACE(mode);
        const size_t mark = Commands(device).size();
        auto* combo = main_->Find<CComboUI>(L"light_combo_modeSelect");
        ASSERT_NE(combo, nullptr);
        ASSERT_TRUE(combo->SelectItem(mode, false, true));
        EXPECT_GE(main_->Count(L"itemselect", L"light_combo_modeSelect"), 1);

        // The lighting handler.
        const int chosen = lighting->GetLightMode();
        ASSERT_EQ(chosen, mode);
        lighting->SetLightMode(chosen);
        LightSetting s = page->GetLightSetting();
        s.mode = uint8_t(chosen);
        page->SetLightSetting(s);
        page->SaveProfile();
        page->ApplyLightProfile();
        page->WriteProfileBlock(0, 0, 1, page->GetScreenWidth(), page->GetScreenHeight());

        // Begin, the 49-byte block at offset 0 in as many packets as the
        // connection's chunk needs, end.
        const size_t chunk = device.Product().receiver ? kReceiverChunkSize : kWiredChunkSize;
        std::vector<uint8_t> expected{CMD_BEGIN};
        Packets(expected, CMD_WRITE_PARAMS, kDeviceBlockSize, chunk);
        expected.push_back(CMD_END);
        const std::vector<uint8_t> sent = Commands(device);
        ASSERT_GE(sent.size(), mark);
        // In the music mode the stream thread sends live frames (0x12) every
        // 20 ms meanwhile; they are not part of the block write.
        std::vector<uint8_t> written(sent.begin() + long(mark), sent.end());
        std::erase(written, CMD_STREAM_COLORS);
        EXPECT_EQ(written, expected);
        const auto blocks = device.Requests(CMD_WRITE_PARAMS);
        ASSERT_FALSE(blocks.empty());
        const auto& first = blocks[blocks.size() - (expected.size() - 2)];
        EXPECT_EQ(first.Offset(), 0u);
        const uint8_t code = mode == 21 ? kHostLightingCode : uint8_t(page->GetModeValues()[size_t(mode)]);
        EXPECT_EQ(first.bytes[8 + device_block::kMode], code);
        CJsonFileUtil files;
        const Json::Value saved = files.LoadJson(page->GetProfilePath());
        EXPECT_EQ(saved["Device"][0]["LightInfo"]["SelectItem"].asInt(), mode);
        EXPECT_EQ(page->GetRunningMode(), mode);

        // The mode's layout.
        EXPECT_EQ(main_->Find<CControlUI>(L"deng_color_layout")->IsEnabled(), mode == 21);
        EXPECT_EQ(main_->Find<CControlUI>(L"light_combo_AudiomodeSelectLayout")->IsVisible(), mode == 21);
        EXPECT_EQ(main_->Find<CControlUI>(L"deng_speed_layout")->IsVisible(), mode != 21);
    }
    tavrik::test::CloseCommandChannel(page->CommandChannel());
}

TEST_P(KeyboardPageConnected, StatusReadReachesTheTileAndTheMainWindow) {
    tavrik::devsim::SimFixture sim;
    Emulator& device = sim.Plug(GetParam());
    CCorvaneKeyboardDevice* page = Build(std::string(R"(<Window size="400,200"><VerticalLayout>
      <CorvaneKeyboardDevice name="page"/>
      <MpDevicePower name="tile"><Control name="device_power_value"/><Control name="device_wuxian_logo"/>
        <Progress name="device_Power_progress"/><Control name="device_power_status"/><Control name="device_phone_type"/>
      </MpDevicePower></VerticalLayout></Window>)"),
                                         &device);
    ASSERT_NE(page, nullptr);
    auto* tile = main_->Find<CMpDevicePowerUI>(L"tile");
    ASSERT_NE(tile, nullptr);
    tile->SetDeviceKind(1, 0);
    page->SetPowerPanel(tile);
    page->CommandChannel().m_timeouts = FastTimeouts();
    ASSERT_TRUE(tavrik::test::OpenCommandChannel(page->CommandChannel(), device));
    {
        auto lock = device.Lock();
        device.Memory().status[3] = 0x77;  // replaced by the page's own link state
    }
    auto* logo = main_->Find<CControlUI>(L"device_wuxian_logo");
    logo->SetVisible(!device.Product().receiver);
    page->PollStatus();
    ASSERT_EQ(main_->messages.size(), 1u);
    EXPECT_EQ(main_->messages[0].id, WM_DEVICE_STATUS);
    EXPECT_EQ(main_->messages[0].wParam, 0x21u);
    EXPECT_EQ(logo->IsVisible(), device.Product().receiver);
    EXPECT_EQ(main_->Find<CControlUI>(L"device_power_value")->GetText().str(), L"80%");

    // Hidden to the tray, or a status the keyboard refuses: nothing more.
    page->SetShowPower(1);
    page->SetWindowHidden(1);
    page->PollStatus();
    page->SetWindowHidden(0);
    device.Inject({tavrik::devsim::FaultKind::Status, 1, CMD_READ_STATUS, 0, 0, 0xFF});
    page->PollStatus();
    EXPECT_EQ(main_->messages.size(), 1u);
    tavrik::test::CloseCommandChannel(page->CommandChannel());
}

}  // namespace

namespace {

// Serves the test thread's messages (the listener's relayed events, the
// resync timer) until the condition holds or 20 s passed.
template <class Condition>
bool ServeUntil(Condition done) {
    const auto end = tavrik::test::Deadline(std::chrono::seconds(20));
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        win::MsgWaitForMultipleObjects(0, nullptr, 0, 20, win::QS_ALLINPUT);
        Pump();
    }
    return true;
}

// End to end on the keyboard: what the user changes on the keyboard itself
// reaches the lighting page and the profile file; a factory reset of the
// keyboard resets the selected profile and loads it again.
TEST_F(KeyboardPage, ChangesMadeOnTheKeyboardReachTheLightingPageAndTheProfileFile) {
    tavrik::devsim::SimFixture sim;
    Emulator& device = sim.Plug(ProductKind::KeyboardCable);
    CCorvaneKeyboardDevice* page = BuildShipped(&device);
    ASSERT_NE(page, nullptr);
    page->InitPage();
    CDeviceProfileUI* bar = page->GetProfileBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(page->GetProfileId(), bar->GetCurrentProfileUUID());
    page->CommandChannel().m_timeouts = FastTimeouts();
    ASSERT_TRUE(tavrik::test::OpenCommandChannel(page->CommandChannel(), device));
    page->OnConnected();
    page->OpenEventChannel(device.InterfacePath(tavrik::devsim::kConsumerCollection),
                           CCorvaneKeyboardDevice::kEventWired);
    CLightControlUI* lighting = page->GetLightControl();
    ASSERT_NE(lighting, nullptr);
    CJsonFileUtil files;
    auto savedMode = [&] { return files.LoadJson(page->GetProfilePath())["Device"][0]["LightInfo"]["SelectItem"]; };

    // A new mode in the keyboard's active block.
    const int mode = page->GetLightSetting().mode == 4 ? 5 : 4;
    tavrik::devsim::KeyboardModel model(device);
    ASSERT_TRUE(model.ChangeLighting(uint8_t(page->GetModeValues()[size_t(mode)]), 2, 4));
    ASSERT_TRUE(ServeUntil([&] { return lighting->GetLightMode() == mode; }));
    EXPECT_EQ(page->GetLightSetting().mode, mode);
    EXPECT_EQ(page->GetLightSetting().brightness, 2);
    EXPECT_EQ(savedMode(), mode);

    // The factory reset: the profile goes back to the defaults (a mark the
    // user's document carried is gone), keeps its name and id, and the page
    // shows the keyboard's factory lighting.
    const std::string path = win::ToUtf8(page->GetProfilePath().str());
    Json::Value document = files.LoadJson(page->GetProfilePath());
    document["userMark"] = 1;
    ASSERT_TRUE(files.SaveJson(page->GetProfilePath(), document));
    const uint8_t factoryCode = tavrik::devsim::FactoryBlock(0)[1];
    const auto& values = page->GetModeValues();
    const int factoryMode = int(std::find(values.begin(), values.end(), factoryCode) - values.begin());
    ASSERT_LT(size_t(factoryMode), values.size());
    ASSERT_NE(factoryMode, mode);
    ASSERT_TRUE(model.FactoryReset());
    ASSERT_TRUE(ServeUntil([&] { return lighting->GetLightMode() == factoryMode; }));
    const Json::Value reset = files.LoadJson(page->GetProfilePath());
    EXPECT_FALSE(reset.isMember("userMark"));
    EXPECT_EQ(reset["profileUUID"].asString(), win::ToUtf8(bar->GetCurrentProfileUUID().str()));
    EXPECT_EQ(reset["profilename"], document["profilename"]);
    EXPECT_EQ(savedMode(), factoryMode);
    EXPECT_EQ(page->GetResetPending(), 0);
    page->CloseEventChannel(CCorvaneKeyboardDevice::kEventWired);
    tavrik::test::CloseCommandChannel(page->CommandChannel());
}

}  // namespace
