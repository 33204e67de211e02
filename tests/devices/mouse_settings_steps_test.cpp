// What the mouse page does on each settings control's notification, on the
// shipped page skin: the DPI stages and system settings it keeps (and so the
// profile document) and the controls' look afterwards.
#include "devices/mouse_settings_steps.h"
#include "tests/devices/mouse_page_support.h"
#include "tests/devices/mouse_test_support.h"

namespace {

using namespace mousepage;

class MouseSettingsSteps : public MousePage {
protected:
    void SetUp() override {
        MousePage::SetUp();
        DeviceInfoBlock& info = page_->Info();
        info.bytes[9] = 0x25;
        info.bytes[10] = 0x33;
        info.bytes[11] = 100;
        info.bytes[12] = 60;
        info.bytes[14] = 200;
        for (int i = 0; i < 5; ++i) Control<CSliderUI>(N(L"DPI_slider_", i))->SetMaxValue(60);
        page_->SetDpiStages({});
    }
    CSliderUI* Slider(int i) { return Control<CSliderUI>(N(L"DPI_slider_", i)); }
    std::wstring Edit(int i) { return Control<CControlUI>(N(L"DPI_edit_", i))->GetText().str(); }
};

TEST_F(MouseSettingsSteps, ASliderReleasedStoresItsPositionAndGrowsTheStages) {
    Slider(3)->SetValue(49);
    mouse_settings::SliderChanged(*page_, 3);
    ASSERT_EQ(page_->GetDpiStages().size(), 4u);
    EXPECT_EQ(page_->GetDpiStages()[3].x, 49);
    EXPECT_EQ(page_->Document().GetDpiStages()[3].x, 49);
    EXPECT_EQ(Edit(3), L"5200");

    // While dragged only the edit follows.
    Slider(3)->SetValue(60);
    mouse_settings::SliderMoving(*page_, 3);
    EXPECT_EQ(Edit(3), L"7400");
    EXPECT_EQ(page_->GetDpiStages()[3].x, 49);
}

TEST_F(MouseSettingsSteps, ATypedDpiMovesTheSliderAndIsStored) {
    Control<CControlUI>(L"DPI_edit_1")->SetText(L"7400");
    mouse_settings::EditLeft(*page_, 1);
    EXPECT_EQ(Slider(1)->GetValue(), 60);
    EXPECT_EQ(Edit(1), L"7400");
    EXPECT_EQ(page_->GetDpiStages()[1].x, 60);
    Control<CControlUI>(L"DPI_edit_1")->SetText(L"");
    mouse_settings::EditLeft(*page_, 1);
    EXPECT_EQ(Edit(1), L"200");
    EXPECT_EQ(page_->GetDpiStages()[1].x, 0);
}

TEST_F(MouseSettingsSteps, SelectingAStageStoresEveryRowAndMovesTheLook) {
    for (int i = 0; i < 5; ++i) Slider(i)->SetValue(5 * (i + 1));
    mouse_settings::StageSelected(*page_, 2);
    EXPECT_EQ(page_->Document().GetActiveDpiStage(), 2);
    ASSERT_EQ(page_->GetDpiStages().size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(page_->GetDpiStages()[size_t(i)].x, 5 * (i + 1)) << i;
        EXPECT_EQ(Option(N(L"DPI_select_check_", i))->IsSelected(), i == 2) << i;
        EXPECT_EQ(Option(N(L"DPI_enable_check_", i))->IsEnabled(), i != 2) << i;
    }
}

TEST_F(MouseSettingsSteps, TheEnableCheckSetsTheStageInUse) {
    for (int i = 0; i < 5; ++i) page_->EnableDpiStage(i, true);
    Option(L"DPI_enable_check_4")->Selected(false, false);
    mouse_settings::StageEnableChanged(*page_, 4);
    ASSERT_EQ(page_->GetDpiStages().size(), 5u);
    EXPECT_EQ(page_->GetDpiStages()[4].active, 0);
    EXPECT_FALSE(Control<CControlUI>(L"DPI_layout_4")->IsEnabled());
    Option(L"DPI_enable_check_4")->Selected(true, false);
    mouse_settings::StageEnableChanged(*page_, 4);
    EXPECT_EQ(page_->GetDpiStages()[4].active, 1);
    EXPECT_TRUE(Control<CControlUI>(L"DPI_layout_4")->IsEnabled());
}

TEST_F(MouseSettingsSteps, AChosenColourColoursTheButtonAndTheStage) {
    mouse_settings::StageColorChosen(*page_, 0, 0xFF123456);
    EXPECT_EQ(page_->GetDpiStageColor(0), 0xFF123456u);
    const DpiStage s = page_->GetDpiStages()[0];
    EXPECT_EQ(s.red, 0x12);
    EXPECT_EQ(s.green, 0x34);
    EXPECT_EQ(s.blue, 0x56);
}

TEST_F(MouseSettingsSteps, SystemControlsReachTheSystemSettings) {
    mouse_settings::PollingRateSelected(*page_, 3);
    EXPECT_EQ(page_->GetSystemStages().reportRate, 3);
    EXPECT_TRUE(Option(L"polling_rate_option_3")->IsSelected());
    mouse_settings::PollingRateSelected(*page_, 9);
    EXPECT_EQ(page_->GetSystemStages().reportRate, 0);
    EXPECT_TRUE(Option(L"polling_rate_option_0")->IsSelected());

    Control<CSliderUI>(L"pointer_speed_slider")->SetValue(14);
    mouse_settings::PointerSpeedChanged(*page_);
    Option(L"pointer_precision_check")->Selected(true, false);
    mouse_settings::PointerPrecisionChanged(*page_);
    Control<CSliderUI>(L"double_click_slider")->SetValue(620);
    mouse_settings::DoubleClickChanged(*page_);

    Option(L"scrolls_page_check")->Selected(true, false);
    Control<CSliderUI>(L"scroll_speed_slider")->SetValue(4);
    mouse_settings::ScrollByPageChanged(*page_);
    MouseSystemStages s = page_->Document().GetSystemStages();
    EXPECT_EQ(s.mouseSpeed, 14);
    EXPECT_EQ(s.pointerPrecision, 1);
    EXPECT_EQ(s.doubleClickTime, 620);
    EXPECT_EQ(s.scrollPage, 1);
    EXPECT_EQ(s.wheelScrollLines, 4);

    // Choosing a speed turns scrolling by page off.
    Control<CSliderUI>(L"scroll_speed_slider")->SetValue(9);
    mouse_settings::ScrollSpeedChanged(*page_);
    s = page_->Document().GetSystemStages();
    EXPECT_EQ(s.scrollPage, 0);
    EXPECT_EQ(s.wheelScrollLines, 9);
    EXPECT_FALSE(Option(L"scrolls_page_check")->IsSelected());
    EXPECT_EQ(s.mouseSpeed, 14) << "the other values stay";
}

}  // namespace

namespace {

using mousetest::ProductKind;

// The page on its skin, connected to the emulated mouse.
class ConnectedMouseSettings : public mousepage::MousePage {
protected:
    void SetUp() override {
        MousePage::SetUp();
        page_->CommandChannel().m_timeouts = tavrik::test::FastTimeouts();
        ASSERT_TRUE(tavrik::test::OpenCommandChannel(page_->CommandChannel(), device));
        page_->OnConnected();
        page_->StopLightThread();
    }
    void TearDown() override {
        tavrik::test::CloseCommandChannel(page_->CommandChannel());
        MousePage::TearDown();
    }

    tavrik::devsim::SimFixture sim;
    mousetest::Emulator& device = sim.Plug(ProductKind::MouseCable);
};

TEST_F(ConnectedMouseSettings, AReleasedSliderLandsInTheMousesBlock) {
    using namespace tavrik::devsim;
    auto* slider = static_cast<DuiLib::CSliderUI*>(page_->FindSubControl(L"DPI_slider_3"));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->GetMaxValue(), kMouseSliderMax) << "the connection sets the slider's range";
    slider->SetValue(100);
    mouse_settings::SliderChanged(*page_, 3);
    // The mouse's coarse sensor: 48 positions of its step, then 200 DPI each.
    const int dpi = kMouseDpiStep * 48 + (100 - 48) * 200 + kMouseDpiBase;
    EXPECT_EQ(page_->FindSubControl(L"DPI_edit_3")->GetText().str(), std::to_wstring(dpi));

    device.ClearRecord();
    page_->SaveProfile();
    ASSERT_EQ(page_->WriteProfileBlock(0, 0, 1, 1920, 1080), 1);
    EXPECT_EQ(mousetest::Commands(device), (std::vector<uint8_t>{CMD_BEGIN, CMD_WRITE_PARAMS, CMD_END}));
    const MouseBlockView block = ViewMouseBlock(device.Memory(), 0);
    EXPECT_EQ(block.stages[3].x, 100);
}

}  // namespace
