// The mode layouts of the lighting page: what each layout sets, and what
// carries over from one layout to the next.
#include <string>
#include <vector>

#include "tests/pages/light_control_fixture.h"

namespace {

using namespace lighttest;

// The groups every layout may switch, in this order in the expectations.
const wchar_t* const kGroups[] = {L"deng_7color_check", L"deng_color_layout", L"colorpallet_layout",
                                  L"deng_light_layout", L"deng_speed_layout", L"deng_fx_layout",
                                  L"light_color_layout"};

class LightModeLayoutTest : public LightPageTest {
protected:
    CLightControlUI* Page(int kind) {
        CLightControlUI* page = OpenTemplate(kind);
        EXPECT_NE(page, nullptr);
        if (page) page->InitModeList(std::vector<CDuiString>(40, L"m"), std::vector<int32_t>(40, 1), 5, 5);
        return page;
    }
    // "1" enabled, "0" disabled, per group of kGroups.
    std::string EnabledGroups() {
        std::string s;
        for (const wchar_t* g : kGroups) s += Enabled(g) ? '1' : '0';
        return s;
    }
    std::wstring Text(const wchar_t* name) { return std::wstring(Child(name)->GetText()); }
    int TabPage() { return Child<CTabLayoutUI>(L"light_color_tablayout")->GetCurSel(); }
};

TEST_F(LightModeLayoutTest, KeyboardRows) {
    struct Row {
        int mode;
        const char* enabled;
        bool speedShown;
    };
    const Row rows[] = {
        {1, "1111001", true},   {2, "1111101", true},  {3, "0001100", true},   {4, "1111101", true},
        {9, "1111111", true},   {14, "0001110", true}, {15, "0001100", true},  {16, "1111001", true},
        {17, "0001000", false}, {18, "0001010", true}, {19, "0111001", false}, {20, "0000000", true},
        {21, "1111011", false}, {22, "0001000", true}, {27, "0001101", true},  {29, "1111111", true},
        {0, "0000001", true},   {28, "0000001", true}, {31, "0000001", true},
    };
    CLightControlUI* page = Page(1);
    ASSERT_NE(page, nullptr);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.mode);
        page->SetLightMode(r.mode);
        EXPECT_EQ(EnabledGroups(), r.enabled);
        EXPECT_TRUE(Enabled(L"lighteffect_layout"));
        EXPECT_EQ(Visible(L"deng_speed_layout"), r.speedShown);
    }
}

TEST_F(LightModeLayoutTest, KeyboardMusicAndBack) {
    CLightControlUI* page = Page(1);
    ASSERT_NE(page, nullptr);
    page->SetLightMode(21);
    EXPECT_TRUE(Visible(L"light_combo_AudiomodeSelectLayout"));
    EXPECT_EQ(TabPage(), 1);
    EXPECT_FALSE(Visible(L"deng_speed_layout"));
    page->SetLightMode(2);
    EXPECT_FALSE(Visible(L"light_combo_AudiomodeSelectLayout"));
    EXPECT_EQ(TabPage(), 0);
    EXPECT_TRUE(Visible(L"deng_speed_layout"));
    EXPECT_TRUE(Enabled(L"deng_speed_layout"));
}

TEST_F(LightModeLayoutTest, KeyboardDirectionTextsComeBack) {
    CLightControlUI* page = Page(1);
    ASSERT_NE(page, nullptr);
    const std::pair<int, std::pair<const wchar_t*, const wchar_t*>> cases[] = {
        {14, {L"light_set_down_to_up_text", L"light_set_up_to_down_text"}},
        {1, {L"light_set_right_to_left_text", L"light_set_left_to_right_text"}},
        {13, {L"light_set_clockwise_text", L"light_set_anticlockwise_text"}},
        {18, {L"light_set_outside_to_inside_text", L"light_set_inside_to_outside_text"}},
        {29, {L"light_set_up_to_down_text", L"light_set_down_to_up_text"}},
        {9, {L"light_set_right_to_left_text", L"light_set_left_to_right_text"}},
    };
    for (const auto& [mode, texts] : cases) {
        page->SetLightMode(mode);
        EXPECT_EQ(Text(L"deng_FXL_check"), texts.first) << mode;
        EXPECT_EQ(Text(L"deng_FXR_check"), texts.second) << mode;
    }
}

TEST_F(LightModeLayoutTest, KeyboardSubModeAndCustomGroups) {
    CLightControlUI* page = Page(1);
    ASSERT_NE(page, nullptr);
    page->SetLightMode(17);
    EXPECT_TRUE(Visible(L"light_combo_ZZCCmodeSelectLayout"));
    EXPECT_FALSE(Visible(L"deng_speed_layout"));
    EXPECT_FALSE(Visible(L"lightcustom_layout"));
    page->SetLightMode(19);
    EXPECT_FALSE(Visible(L"light_combo_ZZCCmodeSelectLayout"));
    EXPECT_TRUE(Visible(L"lightcustom_layout"));
    EXPECT_FALSE(Visible(L"deng_speed_layout"));
    page->SetLightMode(3);
    EXPECT_FALSE(Visible(L"lightcustom_layout"));
    EXPECT_TRUE(Visible(L"deng_speed_layout"));
}

TEST_F(LightModeLayoutTest, MouseAndPadRows) {
    struct Row {
        int kind, mode;
        const char* enabled;  // the first six groups
        bool sync;
    };
    const Row rows[] = {
        {2, 0, "111111", false}, {2, 1, "000110", true},  {2, 3, "011100", true},   {2, 5, "111111", false},
        {2, 7, "000110", false}, {2, 9, "000000", true},  {2, 10, "000000", false}, {3, 0, "111111", false},
        {3, 2, "111110", true},  {3, 3, "011100", true},  {3, 6, "000000", false},  {3, 8, "000000", true},
        {7, 4, "111110", true},  {4, 9, "000000", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.kind) + "/" + std::to_string(r.mode));
        CLightControlUI* page = Page(r.kind);
        ASSERT_NE(page, nullptr);
        page->SetMultiDeviceFlag(1);
        page->SetLightMode(r.mode);
        EXPECT_EQ(EnabledGroups().substr(0, 6), r.enabled);
        EXPECT_EQ(Visible(L"deng_same_mode"), r.sync);
        // Keyboard-only groups and texts are left as the skin has them.
        EXPECT_TRUE(Enabled(L"light_color_layout"));
        EXPECT_EQ(Text(L"deng_FXL_check"), L"light_set_right_to_left_text");
    }
}

TEST_F(LightModeLayoutTest, MouseModeNineShowsSyncOnlyWithSeveralDevices) {
    CLightControlUI* page = Page(2);
    ASSERT_NE(page, nullptr);
    page->SetLightMode(9);
    EXPECT_EQ(EnabledGroups().substr(0, 6), "000000");
    EXPECT_FALSE(Visible(L"deng_same_mode"));
    page->SetMultiDeviceFlag(1);
    EXPECT_TRUE(Visible(L"deng_same_mode"));
}

TEST_F(LightModeLayoutTest, HubLeavesDirectionAndSyncAlone) {
    CLightControlUI* page = Page(5);
    ASSERT_NE(page, nullptr);
    Child(L"deng_fx_layout")->SetEnabled(false);
    page->SetMultiDeviceFlag(1);
    page->ShowSameModeOption(true);
    const std::pair<int, const char*> rows[] = {{0, "11111"}, {1, "01110"}, {4, "00011"}, {6, "00000"}};
    for (const auto& [mode, enabled] : rows) {
        page->SetLightMode(mode);
        EXPECT_EQ(EnabledGroups().substr(0, 5), enabled) << mode;
        EXPECT_FALSE(Enabled(L"deng_fx_layout")) << mode;
        EXPECT_TRUE(Visible(L"deng_same_mode")) << mode;
    }
}

// A keyboard or mouse through its receiver gets the layout of its kind, not
// the stale controls of the previous mode.
TEST_F(LightModeLayoutTest, ReceiverKindsAreLaidOutAsTheirDevice) {
    CLightControlUI* keyboard = Page(9);
    ASSERT_NE(keyboard, nullptr);
    keyboard->SetLightMode(21);
    EXPECT_TRUE(Visible(L"light_combo_AudiomodeSelectLayout"));
    keyboard->SetLightMode(3);
    EXPECT_EQ(EnabledGroups(), "0001100");
    EXPECT_FALSE(Visible(L"light_combo_AudiomodeSelectLayout"));

    CLightControlUI* mouse = Page(6);
    ASSERT_NE(mouse, nullptr);
    mouse->SetLightMode(3);
    EXPECT_EQ(EnabledGroups().substr(0, 6), "011100");
    mouse->SetLightMode(0);
    EXPECT_EQ(EnabledGroups().substr(0, 6), "111111");
}

TEST_F(LightModeLayoutTest, UnknownKindKeepsTheControls) {
    CLightControlUI* page = Page(8);
    ASSERT_NE(page, nullptr);
    const std::string before = EnabledGroups();
    for (int mode : {0, 3, 21}) {
        page->SetLightMode(mode);
        EXPECT_EQ(EnabledGroups(), before) << mode;
    }
}

}  // namespace
