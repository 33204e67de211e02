// The captions of the mouse's button functions, as one table over the rules:
// each function and the name keys (or texts) its caption is made of.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "devices/mouse_button_captions.h"

namespace {

// A display text that shows which name key it came from.
DuiLib::CDuiString Shown(const wchar_t* key) { return DuiLib::CDuiString(L"<") + key + L">"; }

struct CaptionCase {
    const char* name;
    KeyFunction function;
    bool made;
    const wchar_t* caption;  // when made
};

const CaptionCase kCases[] = {
    {"KeyboardKey", {0x20, 0, 0x04}, true, L"<keyboard_key_A>"},
    {"NoneCodeNamesTheKeyByParameters", {0x00, 0, 0x05}, true, L"<keyboard_key_B>"},
    {"ModifierRow", {0x20, 0x02, 0}, true, L"<keyboard_key_LShift>"},
    {"ModifierWithKeyJoined", {0x20, 0x02, 0x04}, true, L"<keyboard_key_LShift>+<keyboard_key_A>"},
    {"CtrlWithKeyJoined", {0x20, 0x01, 0x05}, true, L"<keyboard_key_LCtrl>+<keyboard_key_B>"},
    {"Disabled", {0x00, 0, 0}, true, L"<close_text>"},
    {"KeyboardZeroParameters", {0x20, 0, 0}, true, L"<close_text>"},
    {"NoRowsOfTheCode", {0x00, 0x02, 0x04}, false, nullptr},
    {"MouseButtonByMask", {0x10, 0x04, 0}, true, L"<mouse_key_middle>"},
    {"MouseButtonBack", {0x10, 0x08, 0}, true, L"<mouse_key_back>"},
    {"MouseButtonUnknownMask", {0x10, 0x40, 0}, false, nullptr},
    {"SwingRight", {0x11, 0, 0x80}, true, L"<mouse_key_right_Swing>"},
    {"SwingLeft", {0x11, 0, 0x01}, true, L"<mouse_key_left_Swing>"},
    {"WheelDown", {0x12, 0, 0xFF}, true, L"<mouse_key_down_Swing>"},
    {"WheelUp", {0x12, 0, 0x01}, true, L"<mouse_key_up_Swing>"},
    {"DpiLoop", {0x13, 3, 0}, true, L"<mouse_key_DPI_loop>"},
    {"DpiUnknown", {0x13, 9, 0}, false, nullptr},
    {"Fire", {0x14, 0x50, 0x02}, true, L"<mouse_key_fire_key>"},
    {"DpiShiftAnyParameters", {0x16, 7, 7}, true, L"<mouse_key_DPI_shift>"},
    {"ShortcutCopy", {0x22, 0, 1}, true, L"<custem_copy>"},
    {"ShortcutUnknown", {0x22, 1, 1}, false, nullptr},
    {"ShowWindow", {0x23, 0, 0}, true, L"<show_window>"},
    {"ShowWindowOtherParameters", {0x23, 0, 1}, false, nullptr},
    {"MediaPlay", {0x30, 0xCD, 0x00}, true, L"<media_play>"},
    {"SystemSleep", {0x40, 2, 0}, true, L"<system_sleep>"},
    {"Macro", {0x70, 1, 0}, true, L"Second macro"},
    {"MacroRepeat", {0x71, 0, 3}, true, L"First macro"},
    {"MacroBeyondTheList", {0x70, 2, 0}, false, nullptr},
    {"Gun", {0x72, 2, 0}, true, L"<gun_3_txt>"},
    {"GunBeyondTheGuns", {0x72, 9, 0}, false, nullptr},
    {"SmartKey", {0xA0, 0x02, 0}, true, L"<mouse_key_smart_key>"},
    {"DeviceKeyFromTheKeyTable", {0xA0, 0x1B, 0}, true, L"<keyboard_key_GM>"},
    {"DeviceKeyUnknown", {0xA0, 0x33, 0}, false, nullptr},
    {"NoCaption15", {0x15, 0, 0}, false, nullptr},
    {"NoCaption21", {0x21, 0, 0}, false, nullptr},
    {"NoCaptionCombo", {0xB0, 1, 1}, false, nullptr},
    {"NoCaptionC0", {0xC0, 0, 0}, false, nullptr},
    {"Unlisted05", {0x05, 1, 2}, true, L"\u5173\u95ed"},
    {"UnlistedFF", {0xFF, 0, 0}, true, L"\u5173\u95ed"},
};

// Tests name the case in their messages, not its bytes.
void PrintTo(const CaptionCase& c, std::ostream* out) { *out << c.name; }

class MouseCaption : public ::testing::TestWithParam<CaptionCase> {};
INSTANTIATE_TEST_SUITE_P(Rules, MouseCaption, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(MouseCaption, FromTheFunction) {
    const CaptionCase& c = GetParam();
    const std::vector<DuiLib::CDuiString> macros = {L"First macro", L"Second macro"};
    MouseCaptionTexts texts{&Shown, &macros};
    DuiLib::CDuiString caption = L"previous";
    EXPECT_EQ(MouseButtonCaption(c.function, texts, &caption), c.made);
    if (c.made)
        EXPECT_STREQ(caption.GetData(), c.caption);
    else
        EXPECT_STREQ(caption.GetData(), L"previous");
}

TEST(MouseCaption, MacroWithoutNamesGivesNone) {
    MouseCaptionTexts texts{&Shown, nullptr};
    DuiLib::CDuiString caption;
    EXPECT_FALSE(MouseButtonCaption({0x70, 0, 0}, texts, &caption));
}

}  // namespace
