#include <gtest/gtest.h>

#include <string>

#include "pages/light_control_ui.h"
#include "tests/shell/device_ui_fixture.h"

namespace {

using namespace devtest;

const std::string kMusicControls = R"(
    <Combo name="light_combo_audiomodeSelect" width="80">
      <ListLabelElement text="s0"/><ListLabelElement text="s1"/>
      <ListLabelElement text="s2"/><ListLabelElement text="s3"/>
    </Combo>
    <Button name="deng_audiocolordp_btn" width="20"/>
    <Option name="audio_BkColor_check" group="colour_type" width="20"/>
    <Option name="audio_FgColor_check" group="colour_type" width="20"/>
    <Option name="deng_7audiocolor_check" width="20"/>
    <Edit name="deng_audioedit_R" width="30"/>
    <Edit name="deng_audioedit_G" width="30"/>
    <Edit name="deng_audioedit_B" width="30"/>
    <ColorPalette name="deng_audioColor_Pallet" width="40"/>
    <HorizontalLayout name="light_audiocolor_layout" width="10"/>
    <HorizontalLayout name="audiocolorpallet_layout" width="10"/>)";

std::string PageWith(const std::string& controls) {
    return "<Window size=\"600,80\"><LightControl name=\"LightControlItem\">" + controls + "</LightControl></Window>";
}

std::string Without(std::string controls, const std::string& name) {
    const size_t at = controls.find("name=\"" + name + "\"");
    const size_t start = controls.rfind('<', at);
    const bool withItems = controls.compare(start, 6, "<Combo") == 0;
    const size_t end = withItems ? controls.find("</Combo>", at) + 8 : controls.find("/>", at) + 2;
    return controls.erase(start, end - start);
}

class LightControlAudioTest : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        CControlFactory::GetInstance()->RegistControl(L"CLightControlUI", &CLightControlUI::CreateInstance);
    }
    CLightControlUI* OpenPage(const std::string& controls = kMusicControls) {
        window_ = Open(PageWith(controls), 600, 80);
        auto* page = window_->Find<CLightControlUI>(L"LightControlItem");
        EXPECT_NE(page, nullptr);
        return page;
    }
    template <class T = CControlUI>
    T* Child(const wchar_t* name) {
        return window_->Find<T>(name);
    }

    SkinWindow* window_ = nullptr;
};

TEST_F(LightControlAudioTest, ForegroundSettingShowsItsColourAndSevenColourFlag) {
    CLightControlUI* page = OpenPage();
    AudioLightSetting s{};
    s.mode = 1;
    s.bkRed = 200, s.bkGreen = 201, s.bkBlue = 202;
    s.fgRed = 10, s.fgGreen = 20, s.fgBlue = 30;
    s.sevenColor = 1;
    s.colorType = 1;
    page->SetAudioLightInfo(s);

    EXPECT_EQ(Child<CComboUI>(L"light_combo_audiomodeSelect")->GetCurSel(), 1);
    EXPECT_FALSE(Child<COptionUI>(L"audio_BkColor_check")->IsSelected());
    EXPECT_TRUE(Child<COptionUI>(L"audio_FgColor_check")->IsSelected());
    EXPECT_TRUE(Child(L"deng_7audiocolor_check")->IsEnabled());
    EXPECT_TRUE(Child<COptionUI>(L"deng_7audiocolor_check")->IsSelected());
    EXPECT_EQ(Child(L"deng_audioedit_R")->GetText(), L"10");
    EXPECT_EQ(Child(L"deng_audioedit_G")->GetText(), L"20");
    EXPECT_EQ(Child(L"deng_audioedit_B")->GetText(), L"30");
    EXPECT_EQ(Child(L"deng_audiocolordp_btn")->GetBkColor(), 0xFF0A141Eu);
    EXPECT_EQ(Child<CColorPaletteUI>(L"deng_audioColor_Pallet")->GetSelectColor(), 0xFF0A141Eu);
    EXPECT_TRUE(Child(L"light_audiocolor_layout")->IsEnabled());
    EXPECT_TRUE(Child(L"audiocolorpallet_layout")->IsEnabled());
    // Selecting without notification.
    EXPECT_EQ(window_->Count(L"itemselect"), 0);
    EXPECT_EQ(window_->Count(L"selectchanged"), 0);
    EXPECT_EQ(page->GetAudioLightCopy(), s);
}

TEST_F(LightControlAudioTest, BackgroundSettingDisablesSevenColourWithoutChangingIt) {
    CLightControlUI* page = OpenPage();
    Child<COptionUI>(L"deng_7audiocolor_check")->Selected(true, false);
    AudioLightSetting s{};
    s.mode = 3;
    s.bkRed = 255, s.bkGreen = 0, s.bkBlue = 128;
    s.fgRed = 1;
    page->SetAudioLightInfo(s);

    EXPECT_TRUE(Child<COptionUI>(L"audio_BkColor_check")->IsSelected());
    EXPECT_FALSE(Child<COptionUI>(L"audio_FgColor_check")->IsSelected());
    EXPECT_FALSE(Child(L"deng_7audiocolor_check")->IsEnabled());
    EXPECT_TRUE(Child<COptionUI>(L"deng_7audiocolor_check")->IsSelected());
    EXPECT_EQ(Child(L"deng_audioedit_R")->GetText(), L"255");
    EXPECT_EQ(Child(L"deng_audioedit_B")->GetText(), L"128");
    EXPECT_EQ(Child(L"deng_audiocolordp_btn")->GetBkColor(), 0xFFFF0080u);
    // Music style 3 uses no colour: both colour groups end disabled.
    EXPECT_FALSE(Child(L"light_audiocolor_layout")->IsEnabled());
    EXPECT_FALSE(Child(L"audiocolorpallet_layout")->IsEnabled());
}

TEST_F(LightControlAudioTest, ReadBackTakesTheButtonColourForTheEditedColourOnlyWhenAsked) {
    CLightControlUI* page = OpenPage();
    AudioLightSetting s{};
    s.mode = 2;
    s.bkRed = 1, s.bkGreen = 2, s.bkBlue = 3;
    s.fgRed = 4, s.fgGreen = 5, s.fgBlue = 6;
    s.colorType = 1;
    page->SetAudioLightInfo(s);

    // The user switches to the background colour and picks a new colour and style.
    Child<COptionUI>(L"audio_BkColor_check")->Selected(true, false);
    Child(L"deng_audiocolordp_btn")->SetBkColor(0xFF112233);
    Child<CComboUI>(L"light_combo_audiomodeSelect")->SelectItem(0, false, false);

    AudioLightSetting kept = page->GetAudioLightInfo(0);
    EXPECT_EQ(kept.mode, 0);
    EXPECT_EQ(kept.colorType, 0);
    EXPECT_EQ(kept.sevenColor, 0);
    EXPECT_EQ(std::vector<int>({kept.bkRed, kept.bkGreen, kept.bkBlue, kept.fgRed, kept.fgGreen, kept.fgBlue}),
              std::vector<int>({1, 2, 3, 4, 5, 6}));

    AudioLightSetting taken = page->GetAudioLightInfo(1);
    EXPECT_EQ(taken.colorType, 0);
    EXPECT_EQ(std::vector<int>({taken.bkRed, taken.bkGreen, taken.bkBlue, taken.fgRed, taken.fgGreen, taken.fgBlue}),
              std::vector<int>({0x11, 0x22, 0x33, 4, 5, 6}));

    // Foreground edited: the colour goes to the foreground.
    Child<COptionUI>(L"audio_FgColor_check")->Selected(true, false);
    Child<COptionUI>(L"deng_7audiocolor_check")->Selected(true, false);
    Child(L"deng_audiocolordp_btn")->SetBkColor(0xFF445566);
    AudioLightSetting fg = page->GetAudioLightInfo(1);
    EXPECT_EQ(fg.colorType, 1);
    EXPECT_EQ(fg.sevenColor, 1);
    EXPECT_EQ(std::vector<int>({fg.bkRed, fg.fgRed, fg.fgGreen, fg.fgBlue}),
              std::vector<int>({0x11, 0x44, 0x55, 0x66}));
}

// A skin without one of the music controls shows what it has; the kept copy
// answers when the read-back cannot work, and nothing throws.
TEST_F(LightControlAudioTest, MissingControlsLeaveTheKeptCopy) {
    struct Case {
        const char* missing;
        bool readsControls;  // GetAudioLightInfo still reads the controls
        bool editsReadable;  // GetAudioEditText still gives texts
    };
    const Case cases[] = {
        {"light_combo_audiomodeSelect", false, true}, {"deng_audiocolordp_btn", false, true},
        {"deng_7audiocolor_check", false, true},      {"audio_BkColor_check", false, true},
        {"audio_FgColor_check", false, true},         {"deng_audioedit_G", true, false},
        {"deng_audioColor_Pallet", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing);
        CLightControlUI* page = OpenPage(Without(kMusicControls, c.missing));
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(Child(win::FromUtf8(c.missing).c_str()), nullptr);
        AudioLightSetting s{};
        s.mode = 1;
        s.fgRed = 10, s.fgGreen = 20, s.fgBlue = 30;
        s.colorType = 1;
        ASSERT_NO_THROW(page->SetAudioLightInfo(s));
        EXPECT_EQ(page->GetAudioLightCopy(), s);
        if (CControlUI* red = Child(L"deng_audioedit_R")) {
            EXPECT_EQ(red->GetText(), L"10");
        }

        // The user picks background and a new colour on what exists.
        if (auto* bk = Child<COptionUI>(L"audio_BkColor_check")) bk->Selected(true, false);
        if (CControlUI* button = Child(L"deng_audiocolordp_btn")) button->SetBkColor(0xFF010203);
        AudioLightSetting read{};
        ASSERT_NO_THROW(read = page->GetAudioLightInfo(1));
        if (c.readsControls) {
            EXPECT_EQ(read.colorType, 0);
            EXPECT_EQ(read.bkRed, 1);
        } else {
            EXPECT_EQ(read, s);
        }
        EXPECT_EQ(page->GetAudioEditText(0), c.editsReadable ? L"10" : L"");
    }
}

TEST_F(LightControlAudioTest, EditTextByComponent) {
    CLightControlUI* page = OpenPage();
    AudioLightSetting s{};
    s.bkRed = 7, s.bkGreen = 8, s.bkBlue = 9;
    page->SetAudioLightInfo(s);
    const std::pair<int, const wchar_t*> cases[] = {{0, L"7"}, {1, L"8"}, {2, L"9"}, {3, L""}, {-1, L""}};
    for (const auto& [component, text] : cases) EXPECT_EQ(page->GetAudioEditText(component), text) << component;
}

}  // namespace
