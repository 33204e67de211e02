// The keyboard page's system tab on a headless display: the option groups,
// the switch options, the repeat-delay and debounce labels, the debounce
// edit's range, the record into the page and the document, and a skin
// without the controls.
#include <filesystem>
#include <fstream>

#include "keyboard/corvane_keyboard_device.h"
#include "platform/files/utf8.h"
#include "tests/keyboard/keyboard_test_support.h"
#include "tests/shell/device_ui_fixture.h"

namespace {

using namespace devtest;
namespace fs = std::filesystem;

const char* const kSystemSkin = R"(<Window size="600,400"><VerticalLayout>
  <CorvaneKeyboardDevice name="page">
    <Label name="text_test" visible="false"/>
    <Option name="polling_rate_option_0" group="rate"/><Option name="polling_rate_option_1" group="rate"/>
    <Option name="polling_rate_option_2" group="rate"/><Option name="polling_rate_option_3" group="rate"/>
    <Option name="repeat_delay_check_0" group="delay"/><Option name="repeat_delay_check_1" group="delay"/>
    <Option name="repeat_delay_check_2" group="delay"/><Option name="repeat_delay_check_3" group="delay"/>
    <Option name="winlockflag_option"/><Option name="wflag_option"/><Option name="6flag_option"/>
    <Slider name="repeat_rate_slider" min="0" max="31"/>
    <Label name="repeat_delay_time_label1"/>
    <RichEdit name="repeat_input_richedit"/>
    <Slider name="key_shake_slider" min="0" max="4"/>
    <Edit name="key_shake_edit"/>
    <Label name="key_shake_text"/>
  </CorvaneKeyboardDevice></VerticalLayout></Window>)";

class SystemTab : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        RegisterCorvaneKeyboardDevice();
        std::ofstream(dir_.Path() / "lan_test.xml") << R"(<?xml version="1.0" encoding="utf-8"?><Language>
            <Text id="Repeat_Delay_Time" value="Delay "/><Text id="Repeat_input_text" value="Try it"/></Language>)";
        ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(L"lan_test.xml"));
    }

    CCorvaneKeyboardDevice* Build(const std::string& xml, const wchar_t* name = L"page") {
        window_ = Open(xml, 600, 400);
        auto* page = window_->Find<CCorvaneKeyboardDevice>(name);
        EXPECT_NE(page, nullptr);
        if (page) kbtest::SetUpPage(*page);
        return page;
    }
    COptionUI* Option(const std::wstring& name) { return window_->Find<COptionUI>(name.c_str()); }
    std::wstring Text(const wchar_t* name) { return window_->Find<CControlUI>(name)->GetText().str(); }
    // The index of the one selected option of a group; -1 for none or several.
    int Selected(const std::wstring& prefix) {
        int selected = -1;
        for (int i = 0; i < 4; ++i) {
            if (!Option(prefix + std::to_wstring(i))->IsSelected()) continue;
            if (selected >= 0) return -1;
            selected = i;
        }
        return selected;
    }

    SkinWindow* window_ = nullptr;
};

TEST_F(SystemTab, OptionGroupsSelectOneChoiceAndOutOfRangeIsTheFirst) {
    CCorvaneKeyboardDevice* page = Build(kSystemSkin);
    ASSERT_NE(page, nullptr);
    struct Case {
        int n;
        int selected;
    };
    for (const Case c : {Case{2, 2}, Case{4, 0}, Case{3, 3}, Case{-1, 0}, Case{1, 1}, Case{100, 0}}) {
        SCOPED_TRACE(c.n);
        page->SetPollingRateOption(c.n);
        EXPECT_EQ(Selected(L"polling_rate_option_"), c.selected);
        page->SetRepeatDelayOption(c.n);
        EXPECT_EQ(Selected(L"repeat_delay_check_"), c.selected);
    }
    EXPECT_EQ(window_->Count(L"selectchanged"), 0) << "set without notifications";
}

TEST_F(SystemTab, DelayLabelShowsTheTranslatedTextAndTheDelay) {
    CCorvaneKeyboardDevice* page = Build(kSystemSkin);
    ASSERT_NE(page, nullptr);
    page->SetRepeatDelayOption(3);
    EXPECT_EQ(Text(L"repeat_delay_time_label1"), L"Delay 1000ms");
    page->UpdateRepeatDelayLabel(1);
    EXPECT_EQ(Text(L"repeat_delay_time_label1"), L"Delay 500ms");
    page->UpdateRepeatDelayLabel(9);
    EXPECT_EQ(Text(L"repeat_delay_time_label1"), L"Delay 250ms");
}

TEST_F(SystemTab, DebounceShowsSliderEditAndMilliseconds) {
    CCorvaneKeyboardDevice* page = Build(kSystemSkin);
    ASSERT_NE(page, nullptr);
    page->SetKeyShake(4);
    EXPECT_EQ(Text(L"key_shake_text"), L"15 ms");
    EXPECT_EQ(Text(L"key_shake_edit"), L"4");
    EXPECT_EQ(page->GetKeyShakeSlider(), 4);
    page->SetKeyShakeLabel(0);
    EXPECT_EQ(Text(L"key_shake_text"), L"3 ms");
}

TEST_F(SystemTab, DebounceEditReadsWithinTheKeyboardsRange) {
    CCorvaneKeyboardDevice* page = Build(kSystemSkin);
    ASSERT_NE(page, nullptr);
    auto* edit = window_->Find<CControlUI>(L"key_shake_edit");
    struct Case {
        const wchar_t* text;
        int value;
    };
    for (const Case c : {Case{L"", 0}, Case{L"-3", 0}, Case{L"9", 4}, Case{L"2", 2}, Case{L"4", 4}, Case{L"x", 0},
                         Case{L"99999999999999999999999", 4}, Case{L"-99999999999999999999999", 0}}) {
        edit->SetText(c.text);
        EXPECT_EQ(page->GetKeyShakeEdit(), c.value) << win::ToUtf8(c.text);
    }
}

TEST_F(SystemTab, SwitchesRepeatAndTestBox) {
    CCorvaneKeyboardDevice* page = Build(kSystemSkin);
    ASSERT_NE(page, nullptr);
    page->SetWinLockOption(true);
    page->SetKey6FlagOption(true);
    EXPECT_TRUE(page->GetWinLockOption());
    EXPECT_FALSE(page->GetWFlagOption());
    EXPECT_TRUE(page->GetKey6FlagOption());
    page->SetWinLockOption(false);
    EXPECT_FALSE(page->GetWinLockOption());
    EXPECT_EQ(window_->Count(L"selectchanged"), 0);
    page->SetRepeatRate(17);
    EXPECT_EQ(page->GetRepeatRate(), 17);
    auto* box = window_->Find<CRichEditUI>(L"repeat_input_richedit");
    box->SetText(L"aaaa");
    page->ClearRepeatTestBox();
    EXPECT_EQ(box->GetText().str(), L"");
    page->SetRepeatTestTip();
    EXPECT_EQ(box->GetTipValue().str(), L"Try it");
}

TEST_F(SystemTab, RecordGoesToPageAndDocumentAndRefreshShowsIt) {
    CCorvaneKeyboardDevice* page = Build(kSystemSkin);
    ASSERT_NE(page, nullptr);
    KeyboardSystemStages s;
    s.repeat = 12;
    s.repeatDelay = 2;
    s.key6Flag = 1;
    s.pollingRate = 3;
    s.wFlag = 1;
    s.winFlag = 0;
    s.keyShake = 3;
    page->SetSystemStages(s);
    EXPECT_EQ(page->GetSystemStages(), s);
    EXPECT_EQ(page->Document().GetSystemStages(), s);
    page->RefreshPage(1);
    EXPECT_EQ(page->GetRepeatRate(), 12);
    EXPECT_EQ(Selected(L"repeat_delay_check_"), 2);
    EXPECT_EQ(Selected(L"polling_rate_option_"), 3);
    EXPECT_FALSE(page->GetWinLockOption());
    EXPECT_TRUE(page->GetWFlagOption());
    EXPECT_TRUE(page->GetKey6FlagOption());
    EXPECT_EQ(page->GetKeyShakeSlider(), 3);
    EXPECT_EQ(Text(L"key_shake_text"), L"12 ms");
    EXPECT_EQ(Text(L"repeat_delay_time_label1"), L"Delay 750ms");
}

TEST_F(SystemTab, MissingControlsDoNothingAndReadNeutral) {
    CCorvaneKeyboardDevice* page = Build(R"(<Window size="600,400"><VerticalLayout>
      <CorvaneKeyboardDevice name="page"/></VerticalLayout></Window>)");
    ASSERT_NE(page, nullptr);
    page->SetPollingRateOption(1);
    page->SetRepeatDelayOption(1);
    page->SetWinLockOption(true);
    page->SetRepeatRate(5);
    page->ClearRepeatTestBox();
    page->SetRepeatTestTip();
    page->SetKeyShake(2);
    page->SetKeyShakeLabel(2);
    EXPECT_FALSE(page->GetWinLockOption());
    EXPECT_FALSE(page->GetWFlagOption());
    EXPECT_FALSE(page->GetKey6FlagOption());
    EXPECT_EQ(page->GetRepeatRate(), 0);
    EXPECT_EQ(page->GetKeyShakeSlider(), 0);
    EXPECT_EQ(page->GetKeyShakeEdit(), 0);
}

TEST_F(SystemTab, ShippedSkinHasEveryControl) {
    const fs::path target = dir_.Path() / "XML" / "DeviceXml";
    fs::create_directories(target);
    fs::copy_file(fs::path(TAVRIK_SOURCE_DIR) / "skin" / "XML" / "DeviceXml" / "keyboarddevice.xml",
                  target / "keyboarddevice.xml", fs::copy_options::overwrite_existing);
    CCorvaneKeyboardDevice* page = Build(R"(<Window size="800,600"><VerticalLayout>
        <Include source="XML\DeviceXml\keyboarddevice.xml"/></VerticalLayout></Window>)",
                                         L"keyboard_device_page");
    ASSERT_NE(page, nullptr);
    std::vector<std::wstring> names = {L"winlockflag_option",       L"wflag_option",          L"6flag_option",
                                       L"repeat_rate_slider",       L"repeat_input_richedit", L"key_shake_slider",
                                       L"repeat_delay_time_label1", L"key_shake_edit",        L"key_shake_text"};
    for (int i = 0; i < 4; ++i) {
        names.push_back(L"polling_rate_option_" + std::to_wstring(i));
        names.push_back(L"repeat_delay_check_" + std::to_wstring(i));
    }
    for (const std::wstring& name : names)
        EXPECT_NE(window_->Find<CControlUI>(name.c_str()), nullptr) << win::ToUtf8(name);
    page->SetRepeatDelayOption(2);
    EXPECT_EQ(Selected(L"repeat_delay_check_"), 2);
}

}  // namespace
