// The mouse page's settings controls on the shipped page skin: the skin's
// names bind, the DPI rows show their stage values with the active-stage look
// and the last-stage lock, and the single controls answer as the page reads them.
#include "tests/devices/mouse_page_support.h"

namespace {

using namespace mousepage;

constexpr int kStages = 5;

class MouseSettings : public MousePage {
protected:
    void Scale(int step, int base, uint16_t sensor, int sliderMax = 60) {
        DeviceInfoBlock& info = page_->Info();
        info.bytes[9] = uint8_t(sensor);
        info.bytes[10] = uint8_t(sensor >> 8);
        info.bytes[11] = uint8_t(step);
        info.bytes[12] = uint8_t(sliderMax);
        info.bytes[13] = uint8_t(sliderMax >> 8);
        info.bytes[14] = uint8_t(base);
        info.bytes[15] = uint8_t(base >> 8);
        for (int i = 0; i < kStages; ++i) Control<CSliderUI>(N(L"DPI_slider_", i))->SetMaxValue(sliderMax);
    }
    std::wstring EditText(int stage) { return Control<CControlUI>(N(L"DPI_edit_", stage))->GetText().str(); }
    bool EnableLocked(int stage) { return !Option(N(L"DPI_enable_check_", stage))->IsEnabled(); }
    // The stages in use: exactly those given.
    void UseStages(std::initializer_list<int> used) {
        for (int i = 0; i < kStages; ++i) page_->EnableDpiStage(i, true);
        for (int i = 0; i < kStages; ++i) {
            bool keep = false;
            for (int u : used) keep = keep || u == i;
            if (!keep) page_->EnableDpiStage(i, false);
        }
    }
};

TEST_F(MouseSettings, TheShippedSkinBindsItsButtonsAndHoldsEveryControl) {
    for (const auto& p : TakeUIProblems()) ADD_FAILURE() << p.str();
    ASSERT_EQ(page_->GetKeyButtons().size(), size_t(kMouseButtonCount));
    for (size_t i = 0; i < page_->GetKeyButtons().size(); ++i) {
        ASSERT_NE(page_->GetKeyButtons()[i], nullptr) << i;
        EXPECT_EQ(page_->GetKeyButtons()[i]->GetName().str(), L"key_" + std::to_wstring(i));
    }
    for (size_t i = 0; i < page_->GetLightButtons().size(); ++i) EXPECT_NE(page_->GetLightButtons()[i], nullptr) << i;
    ASSERT_EQ(page_->GetLight0Buttons().size(), 15u);
    for (size_t i = 0; i < 15; ++i)
        EXPECT_EQ(page_->GetLight0Buttons()[i]->GetName().str(), L"light_0_" + std::to_wstring(i));
    ASSERT_NE(page_->GetLogoButton(), nullptr);
    EXPECT_NE(page_->GetLight0Panel(), nullptr);
    EXPECT_NE(page_->GetSelectPanel(), page_->GetLight0Panel()) << "the key picture comes first";
    for (const wchar_t* base : {L"DPI_layout_", L"DPI_enable_check_", L"DPI_select_check_", L"DPI_slider_",
                                L"DPI_edit_", L"DPI_color_option_", L"polling_rate_option_"})
        for (int i = 0; i < kStages; ++i) EXPECT_NE(Control<CControlUI>(N(base, i)), nullptr) << N(base, i);
    for (const wchar_t* name :
         {L"pointer_speed_slider", L"pointer_precision_check", L"scrolls_page_check", L"scroll_speed_slider",
          L"double_click_slider", L"mouse_option_layout", L"device_setkeyinfo_list", L"device_tishi_info", L"text_test",
          L"DeviceProfileItem", L"LightControlItem", L"KeySetControlItem", L"MacroControlItem", L"ShootControlItem"})
        EXPECT_NE(Control<CControlUI>(name), nullptr) << name;
    // The page opens on its first option tab.
    EXPECT_EQ(Control<CTabLayoutUI>(L"mouse_device_seting_layout")->GetCurSel(), 0);
    EXPECT_TRUE(Option(L"mouse_device_seting_option_0")->IsSelected());
}

TEST_F(MouseSettings, SlidersShowTheirStageValue) {
    struct Case {
        int step, base;
        uint16_t sensor;
        int position;
        const wchar_t* shown;
    };
    for (const Case& c :
         {Case{100, 200, 0x3360, 0, L"200"}, Case{100, 200, 0x3360, 48, L"5000"}, Case{100, 200, 0x3325, 49, L"5200"},
          Case{100, 200, 0x3325, 60, L"7400"}, Case{0, 50, 0x3360, 20, L"70"}}) {
        Scale(c.step, c.base, c.sensor);
        page_->SetDpiSliderValue(3, c.position);
        EXPECT_EQ(page_->GetDpiSliderValue(3), c.position);
        EXPECT_EQ(EditText(3), c.shown) << c.position;
        // Typed back, the value gives the same position.
        EXPECT_EQ(page_->GetDpiEditValue(3), c.position) << c.position;
    }
}

TEST_F(MouseSettings, EditTextGivesItsPosition) {
    Scale(100, 200, 0x3360);
    for (auto [text, position] :
         std::initializer_list<std::pair<const wchar_t*, int>>{{L"150", 0}, {L"5030", 48}, {L"", 0}, {L"99999", 60}}) {
        Control<CControlUI>(L"DPI_edit_1")->SetText(text);
        EXPECT_EQ(page_->GetDpiEditValue(1), position) << text;
    }
}

TEST_F(MouseSettings, TheActiveStageLooksDifferentAndCannotBeSwitchedOff) {
    Scale(100, 200, 0x3360);
    UseStages({0, 1, 2, 3, 4});
    page_->SetActiveDpiStage(2);
    for (int i = 0; i < kStages; ++i) page_->SetDpiSliderValue(i, 10 * i);
    EXPECT_EQ(page_->Document().GetActiveDpiStage(), 2);
    for (int i = 0; i < kStages; ++i) {
        auto* slider = Control<CSliderUI>(N(L"DPI_slider_", i));
        EXPECT_EQ(std::wstring(slider->GetForeImage()), L"Control/SliderBar_BK1.png");
        EXPECT_EQ(std::wstring(slider->GetThumbImage()),
                  i == 2 ? L"Control/SliderBar1_Thumb.png" : L"Control/SliderBar2_Thumb.png")
            << i;
        EXPECT_EQ(EnableLocked(i), i == 2) << i;
        EXPECT_EQ(Option(N(L"DPI_select_check_", i))->IsSelected(), i == 2) << i;
    }
    // Moving the active stage moves the look.
    page_->SetActiveDpiStage(4);
    for (int i = 0; i < kStages; ++i) EXPECT_EQ(Option(N(L"DPI_select_check_", i))->IsSelected(), i == 4) << i;
    for (int i = 0; i < kStages; ++i) page_->SetDpiSliderValue(i, page_->GetDpiSliderValue(i));
    for (int i = 0; i < kStages; ++i) EXPECT_EQ(EnableLocked(i), i == 4) << i;
}

TEST_F(MouseSettings, TheLastStageInUseIsLocked) {
    page_->SetActiveDpiStage(3);
    UseStages({1, 2});
    EXPECT_FALSE(EnableLocked(1));
    EXPECT_FALSE(Control<CControlUI>(L"DPI_layout_4")->IsEnabled());
    EXPECT_FALSE(page_->IsDpiStageEnabled(4));

    page_->EnableDpiStage(2, false);
    EXPECT_TRUE(EnableLocked(1)) << "stage 1 is the last in use";
    EXPECT_TRUE(page_->IsDpiStageEnabled(1));
    // A second stage in use frees it.
    page_->EnableDpiStage(2, true);
    EXPECT_FALSE(EnableLocked(1));
    // The next slider value of a locked stage that is not the active one frees it too.
    page_->EnableDpiStage(2, false);
    ASSERT_TRUE(EnableLocked(1));
    page_->SetDpiSliderValue(1, 5);
    EXPECT_FALSE(EnableLocked(1));
}

TEST_F(MouseSettings, TheActiveStageAsTheLastInUseStaysLocked) {
    page_->SetActiveDpiStage(1);
    UseStages({1, 2});
    page_->EnableDpiStage(2, false);
    page_->SetDpiSliderValue(1, 5);
    EXPECT_TRUE(EnableLocked(1));
    page_->EnableDpiStage(2, true);
    EXPECT_TRUE(EnableLocked(1)) << "the active stage's check stays locked";
    EXPECT_FALSE(EnableLocked(2));
}

TEST_F(MouseSettings, PollingOptionOutsideTheFiveSelectsTheFirst) {
    for (auto [index, selected] : std::initializer_list<std::pair<int, int>>{{3, 3}, {7, 0}, {-1, 0}, {4, 4}, {5, 0}}) {
        page_->SetPollingRateOption(index);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(Option(N(L"polling_rate_option_", i))->IsSelected(), i == selected) << index << " " << i;
    }
}

TEST_F(MouseSettings, OptionTabBeyondThePagesSelectsTheFirst) {
    auto* tabs = Control<CTabLayoutUI>(L"mouse_device_seting_layout");
    // Two pages: the buttons' picture and the LED preview.
    for (auto [n, page] : std::initializer_list<std::pair<int, int>>{{1, 1}, {2, 0}, {9, 0}, {1, 1}, {-2, 0}}) {
        page_->SelectOptionTab(n);
        EXPECT_EQ(tabs->GetCurSel(), page) << n;
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(Option(N(L"mouse_device_seting_option_", i))->IsSelected(), i == page) << n << " " << i;
    }
}

TEST_F(MouseSettings, SingleControlsAnswerAsSet) {
    page_->SetScrollSettings(true, 7);
    EXPECT_TRUE(page_->GetScrollByPage());
    EXPECT_EQ(page_->GetScrollSpeed(), 7);
    page_->SetScrollSettings(false, 3);
    EXPECT_FALSE(page_->GetScrollByPage());
    EXPECT_EQ(page_->GetScrollSpeed(), 3);
    Control<CSliderUI>(L"pointer_speed_slider")->SetValue(12);
    Option(L"pointer_precision_check")->Selected(true, false);
    Control<CSliderUI>(L"double_click_slider")->SetValue(450);
    EXPECT_EQ(page_->GetPointerSpeed(), 12);
    EXPECT_TRUE(page_->GetPointerPrecision());
    EXPECT_EQ(page_->GetDoubleClickSpeed(), 450);
    EXPECT_EQ(page_->GetDoubleClickSpeedMax(), 900);

    page_->SetDpiStageColor(1, 0xFF112233);
    EXPECT_EQ(page_->GetDpiStageColor(1), 0xFF112233u);
    EXPECT_EQ(page_->GetDpiStageColor(7), 0u);
}

TEST_F(MouseSettings, StagesAndSystemSettingsReachTheDocument) {
    std::vector<DpiStage> stages(5);
    for (int i = 0; i < 5; ++i) stages[size_t(i)] = DpiStage{uint8_t(i % 2), 0, uint16_t(10 + i), 0, 1, 2, uint8_t(i)};
    page_->SetDpiStages(stages);
    EXPECT_EQ(page_->GetDpiStages(), stages);
    EXPECT_EQ(page_->Document().GetDpiStages(), stages);

    MouseSystemStages system;
    system.mouseSpeed = 12;
    system.doubleClickTime = 450;
    system.scrollPage = 1;
    system.wheelScrollLines = 5;
    system.reportRate = 3;
    page_->SetSystemStages(system);
    EXPECT_EQ(page_->GetSystemStages(), system);
    EXPECT_EQ(page_->Document().GetSystemStages(), system);
}

}  // namespace
