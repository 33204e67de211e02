// The lighting page's accessors, mode list and shown setting, on its template
// and on a page without its controls.
#include <functional>
#include <string>

#include "tests/pages/light_control_fixture.h"

namespace {

using namespace lighttest;

struct Accessor {
    const char* name;
    std::function<void(CLightControlUI&)> set;
    std::function<std::wstring(CLightControlUI&)> get;
    std::wstring expected;  // after set, on the template
    std::wstring neutral;   // without the control
};

std::wstring Num(long long v) { return std::to_wstring(v); }

// Rows of a combo inside a hidden group cannot be selected: show the group.
void ShowGroup(CLightControlUI& p, const wchar_t* name) {
    if (CControlUI* c = p.FindSubControl(name)) c->SetVisible(true);
}

const std::vector<Accessor>& Accessors() {
    static const std::vector<Accessor> table = {
        {"mode", [](CLightControlUI& p) { p.SetLightMode(0); },
         [](CLightControlUI& p) { return Num(p.GetLightMode()); }, L"-1",
         L"-1"},  // the template's mode list is empty until the device fills it
        {"custom group",
         [](CLightControlUI& p) {
             ShowGroup(p, L"lightcustom_layout");
             p.SetCustomMode(2);
         },
         [](CLightControlUI& p) { return Num(p.GetCustomMode()); }, L"2", L"-1"},
        {"custom group 0",
         [](CLightControlUI& p) {
             ShowGroup(p, L"lightcustom_layout");
             p.SetCustomMode(0);
         },
         [](CLightControlUI& p) { return Num(p.GetCustomMode()); }, L"0", L"-1"},
        {"sub-mode",
         [](CLightControlUI& p) {
             ShowGroup(p, L"light_combo_ZZCCmodeSelectLayout");
             p.SetZZCCMode(1);
         },
         [](CLightControlUI& p) { return Num(p.GetZZCCMode()); }, L"1", L"-1"},
        {"brightness", [](CLightControlUI& p) { p.SetBrightness(4); },
         [](CLightControlUI& p) { return Num(p.GetBrightness()); }, L"4", L"0"},
        {"speed", [](CLightControlUI& p) { p.SetSpeed(3); }, [](CLightControlUI& p) { return Num(p.GetSpeed()); }, L"3",
         L"0"},
        {"red", [](CLightControlUI& p) { p.SetRedText(L"12"); },
         [](CLightControlUI& p) { return std::wstring(p.GetRedText()); }, L"12", L""},
        {"green", [](CLightControlUI& p) { p.SetGreenText(L"0"); },
         [](CLightControlUI& p) { return std::wstring(p.GetGreenText()); }, L"0", L""},
        {"blue", [](CLightControlUI& p) { p.SetBlueText(L"255"); },
         [](CLightControlUI& p) { return std::wstring(p.GetBlueText()); }, L"255", L""},
        {"palette", [](CLightControlUI& p) { p.SetPaletteColor(0xFF102030); },
         [](CLightControlUI& p) { return Num(p.GetPaletteColor()); }, Num(0xFF102030), Num(0xFF000000)},
        {"swatch 0", [](CLightControlUI&) {}, [](CLightControlUI& p) { return Num(p.GetColorOption(0)); },
         Num(0xFFFF0000), L"0"},
        {"swatch 99", [](CLightControlUI&) {}, [](CLightControlUI& p) { return Num(p.GetColorOption(99)); }, L"0",
         L"0"},
        {"seven colour", [](CLightControlUI& p) { p.SetSevenColor(1); },
         [](CLightControlUI& p) { return Num(p.IsSevenColor()); }, L"1", L"0"},
        {"seven colour off", [](CLightControlUI& p) { p.SetSevenColor(0); },
         [](CLightControlUI& p) { return Num(p.IsSevenColor()); }, L"0", L"0"},
        {"music swatch 7", [](CLightControlUI&) {}, [](CLightControlUI& p) { return Num(p.GetLightAudioColor(7)); },
         Num(0xFFFFFFFF), L"0"},
        {"music palette", [](CLightControlUI&) {}, [](CLightControlUI& p) { return Num(p.GetAudioPaletteColor()); },
         Num(0xFFFF0000), Num(0xFF000000)},
        {"music edit",
         [](CLightControlUI& p) {
             p.SetAudioLightInfo(AudioLightSetting{0, 9, 8, 7, 0, 0, 0, 0, 0});
         },
         [](CLightControlUI& p) { return std::wstring(p.GetAudioEditText(2)); }, L"7", L""},
        {"music read",
         [](CLightControlUI& p) {
             p.SetAudioLightInfo(AudioLightSetting{2, 9, 8, 7, 1, 2, 3, 0, 1});
         },
         [](CLightControlUI& p) { return Num(p.GetAudioLightInfo(0).mode); }, L"2", L"2"},
    };
    return table;
}

class LightControlTest : public LightPageTest {};

TEST_F(LightControlTest, TemplateBuildsWithEveryControlAndNoProblem) {
    TakeUIProblems();
    ASSERT_NE(OpenTemplate(), nullptr);
    for (const CDuiString& problem : TakeUIProblems()) ADD_FAILURE() << problem.str();
    const wchar_t* const names[] = {L"light_combo_modeSelect",
                                    L"light_combo_custommodeSelect",
                                    L"light_combo_ZZCCmodeSelect",
                                    L"deng_light_slider",
                                    L"deng_speed_slider",
                                    L"deng_edit_R",
                                    L"deng_edit_G",
                                    L"deng_edit_B",
                                    L"deng_Color_Pallet",
                                    L"deng_colordp_btn",
                                    L"color_option_0",
                                    L"color_option_7",
                                    L"deng_7color_check",
                                    L"deng_FXL_check",
                                    L"deng_FXR_check",
                                    L"deng_same_mode",
                                    L"light_combo_audiomodeSelect",
                                    L"deng_audioColor_Pallet",
                                    L"deng_audiocolordp_btn",
                                    L"deng_audioedit_R",
                                    L"deng_audioedit_G",
                                    L"deng_audioedit_B",
                                    L"deng_7audiocolor_check",
                                    L"audio_BkColor_check",
                                    L"audio_FgColor_check",
                                    L"audiocolor_option_0",
                                    L"audiocolor_option_7",
                                    L"light_audiocolor_layout",
                                    L"audiocolorpallet_layout",
                                    L"lighteffect_layout",
                                    L"deng_color_layout",
                                    L"colorpallet_layout",
                                    L"deng_light_layout",
                                    L"deng_speed_layout",
                                    L"deng_fx_layout",
                                    L"lightcustom_layout",
                                    L"light_combo_ZZCCmodeSelectLayout",
                                    L"light_color_layout",
                                    L"light_combo_AudiomodeSelectLayout",
                                    L"light_color_tablayout"};
    for (const wchar_t* name : names) EXPECT_NE(Child(name), nullptr) << name;
    EXPECT_EQ(Child<CComboUI>(L"light_combo_audiomodeSelect")->GetCount(), 4);
}

TEST_F(LightControlTest, AccessorsWithAndWithoutTheirControls) {
    for (const Accessor& a : Accessors()) {
        SCOPED_TRACE(a.name);
        CLightControlUI* page = OpenTemplate();
        ASSERT_NE(page, nullptr);
        a.set(*page);
        EXPECT_EQ(a.get(*page), a.expected);
        CLightControlUI* bare = OpenBare();
        ASSERT_NE(bare, nullptr);
        EXPECT_NO_THROW(a.set(*bare));
        EXPECT_EQ(a.get(*bare), a.neutral);
    }
}

TEST_F(LightControlTest, ColourButtonAndDirectionOptions) {
    CLightControlUI* page = OpenTemplate();
    ASSERT_NE(page, nullptr);
    page->SetColorButtonColor(0xFF445566);
    EXPECT_EQ(Child(L"deng_colordp_btn")->GetBkColor(), 0xFF445566u);
    page->SetPaletteColor(0xFF010203);
    EXPECT_EQ(Child(L"deng_colordp_btn")->GetBkColor(), 0xFF010203u);
    for (int flag : {1, 0, 7}) {
        page->SetDirection(flag);
        EXPECT_EQ(Child<COptionUI>(L"deng_FXL_check")->IsSelected(), flag != 0) << flag;
        EXPECT_EQ(Child<COptionUI>(L"deng_FXR_check")->IsSelected(), flag == 0) << flag;
    }
    EXPECT_EQ(window_->Count(L"selectchanged"), 0);
}

TEST_F(LightControlTest, ModeListKeepsNumberingPastHiddenItems) {
    CLightControlUI* page = OpenTemplate();
    ASSERT_NE(page, nullptr);
    std::vector<CDuiString> names;
    std::vector<int32_t> visible;
    for (int i = 0; i < 31; ++i) {
        names.push_back(CDuiString(L"light_mode_") + std::to_wstring(i).c_str());
        visible.push_back(i == 28 ? 0 : 1);
    }
    page->InitModeList(names, visible, 5, 4);
    auto* combo = Child<CComboUI>(L"light_combo_modeSelect");
    ASSERT_EQ(combo->GetCount(), 31);
    EXPECT_FALSE(combo->GetItemAt(28)->IsVisible());
    EXPECT_TRUE(combo->GetItemAt(29)->IsVisible());
    EXPECT_EQ(combo->GetItemAt(5)->GetUserData(), L"light_mode_5");
    EXPECT_EQ(combo->GetItemAt(5)->GetFixedHeight(), 30);
    EXPECT_TRUE(combo->GetItemAt(5)->IsResourceText());
    page->SetLightMode(29);
    EXPECT_EQ(page->GetLightMode(), 29);
    EXPECT_EQ(window_->Count(L"itemselect"), 0);
    EXPECT_EQ(Child<CSliderUI>(L"deng_light_slider")->GetMaxValue(), 5);
    EXPECT_EQ(Child<CSliderUI>(L"deng_speed_slider")->GetMaxValue(), 4);

    // Filling again replaces the items.
    page->InitModeList({L"a", L"b"}, {1, 1}, 4, 4);
    EXPECT_EQ(combo->GetCount(), 2);
    // Without its controls the page does nothing.
    EXPECT_NO_THROW(OpenBare()->InitModeList(names, visible, 5, 5));
}

TEST_F(LightControlTest, ShowsALightSetting) {
    CLightControlUI* page = OpenTemplate();
    ASSERT_NE(page, nullptr);
    std::vector<CDuiString> names(31, L"light_mode_1");
    page->InitModeList(names, std::vector<int32_t>(31, 1), 5, 5);
    LightSetting s{};
    // Mode 17 shows the sub-mode list, so its row can be selected.
    s.mode = 17, s.brightness = 5, s.speed = 1, s.direction = 1, s.colorful = 1;
    s.red = 255, s.green = 0, s.blue = 128;
    s.subMode = 2;
    page->SetLightInfo(s);
    EXPECT_EQ(page->GetLightMode(), 17);
    EXPECT_EQ(page->GetBrightness(), 5);
    EXPECT_EQ(page->GetSpeed(), 1);
    EXPECT_EQ(page->GetRedText(), L"255");
    EXPECT_EQ(page->GetGreenText(), L"0");
    EXPECT_EQ(page->GetBlueText(), L"128");
    EXPECT_EQ(page->GetPaletteColor(), 0xFFFF0080u);
    EXPECT_EQ(Child(L"deng_colordp_btn")->GetBkColor(), 0xFFFF0080u);
    EXPECT_TRUE(page->IsSevenColor());
    EXPECT_EQ(page->GetZZCCMode(), 2);
    EXPECT_TRUE(Child<COptionUI>(L"deng_FXL_check")->IsSelected());
    EXPECT_EQ(window_->Count(L"itemselect"), 0);
}

TEST_F(LightControlTest, SameModeButtonNeedsSeveralDevices) {
    CLightControlUI* page = OpenTemplate();
    ASSERT_NE(page, nullptr);
    page->InitModeList(std::vector<CDuiString>(31, L"m"), std::vector<int32_t>(31, 1), 5, 5);
    page->SetLightMode(1);  // a mode the sync follows
    page->ShowSameModeOption(true);
    EXPECT_FALSE(Visible(L"deng_same_mode"));
    page->SetMultiDeviceFlag(1);
    EXPECT_TRUE(Visible(L"deng_same_mode"));
    page->SetLightMode(4);  // one it does not
    EXPECT_FALSE(Visible(L"deng_same_mode"));
    page->SetLightMode(20);
    EXPECT_TRUE(Visible(L"deng_same_mode"));
    page->SetMultiDeviceFlag(0);
    EXPECT_FALSE(Visible(L"deng_same_mode"));
}

}  // namespace
