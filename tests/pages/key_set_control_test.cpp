// The key-assignment page: its template, what it shows for each kind of
// function and what it builds back from its editors.
#include <cstdio>
#include <functional>
#include <string>

#include "pages/key_search.h"
#include "tests/pages/key_set_control_fixture.h"

namespace {

using namespace keysettest;

constexpr KeyFunction kEsc{0x20, 0, 0x29};

KeyListEntry Entry(KeyFunction current, KeyFunction defaults = kEsc) {
    KeyListEntry e;
    e.current = {7, current, 0};
    e.defaults = {7, defaults, 0};
    return e;
}

std::string Hex(KeyFunction f) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X %02X %02X", f.code, f.param1, f.param2);
    return text;
}

class KeySetControlTest : public KeySetPageTest {};

TEST_F(KeySetControlTest, TemplateBuildsWithEveryControlAndNoProblem) {
    TakeUIProblems();
    CKeySetControlUI* page = OpenPage();
    ASSERT_NE(page, nullptr);
    for (const CDuiString& problem : TakeUIProblems()) ADD_FAILURE() << problem.str();
    const wchar_t* const names[] = {L"keyset_layout",
                                    L"keyset_function_combo",
                                    L"function_switch_tablayout",
                                    L"key_butt_keydefalut",
                                    L"key_butt_keysave",
                                    L"key_butt_keycancel",
                                    L"key_butt_prosave",
                                    L"keyset_mousekey_combo",
                                    L"keyset_mouseswing_combo",
                                    L"keyset_mouseswing_num_edit",
                                    L"keyset_mouseswing_delay_edit",
                                    L"keyset_mouseswing_speed_edit",
                                    L"keyset_mousewheel_combo",
                                    L"keyset_mousewheel_num_edit",
                                    L"keyset_mousewheel_delay_edit",
                                    L"keyset_mousewheel_speed_edit",
                                    L"keyset_mousedpi_combo",
                                    L"keyset_mousefire_interval_edit",
                                    L"keyset_mousefire_num_edit",
                                    L"keyset_keyboard_text_edit",
                                    L"key_ComBox_check_0",
                                    L"key_ComBox_check_4",
                                    L"text_test",
                                    L"keyset_media_combo",
                                    L"keyset_system_combo",
                                    L"keyset_combokey_combo",
                                    L"keyset_macro_combo",
                                    L"keyset_macro_over_combo",
                                    L"keyset_macro_cycle_layout",
                                    L"keyset_macro_cycle_edit",
                                    L"keyset_gunkey_combo"};
    for (const wchar_t* name : names) EXPECT_NE(Child(name), nullptr) << name;
    EXPECT_EQ(Text(L"keyset_mousefire_interval_edit"), L"50");
    EXPECT_EQ(Text(L"keyset_mousefire_num_edit"), L"2");
    EXPECT_EQ(Child<CTabLayoutUI>(L"function_switch_tablayout")->GetCount(), kCategoryCount);

    // Category items carry their numbers, in order.
    auto* categories = Child<CComboUI>(L"keyset_function_combo");
    ASSERT_EQ(categories->GetCount(), kCategoryCount);
    for (int i = 0; i < kCategoryCount; ++i) EXPECT_EQ(page->GetFunctionItemCategory(i), i);

    // The table combos name their rows by the table's name keys, in table order.
    const struct {
        const wchar_t* combo;
        size_t base;
        size_t count;
    } tables[] = {{L"keyset_mousekey_combo", kMouseKeyNameBase, kMouseKeyTableCount},
                  {L"keyset_mousedpi_combo", kDpiNameBase, kDpiKeyTableCount},
                  {L"keyset_media_combo", kMediaNameBase, kMediaKeyTableCount},
                  {L"keyset_system_combo", kSystemNameBase, kSystemKeyTableCount},
                  {L"keyset_combokey_combo", kComboNameBase, kComboKeyTableCount},
                  {L"keyset_gunkey_combo", kGunNameBase, 4},
                  {L"keyset_mouseswing_combo", kSwingNameBase, 2},
                  {L"keyset_mousewheel_combo", kWheelNameBase, 2}};
    for (const auto& t : tables) {
        SCOPED_TRACE(std::wstring(t.combo));
        auto* combo = Child<CComboUI>(t.combo);
        ASSERT_EQ(size_t(combo->GetCount()), t.count);
        for (size_t r = 0; r < t.count; ++r) {
            CControlUI* item = combo->GetItemAt(int(r));
            EXPECT_TRUE(item->IsResourceText());
            EXPECT_EQ(item->GetText(), CResourceManager::GetInstance()->GetText(KeyNameTable[t.base + r]));
        }
    }
    EXPECT_EQ(Child<CComboUI>(L"keyset_macro_over_combo")->GetCount(), 5);

    // The picker: one option per key, carrying the text a user types for it.
    for (int n = 0; n < CKeySetControlUI::kPickerKeyCount; ++n) {
        CControlUI* option = page->FindSubControl(CDuiString((L"keyboard_key_" + std::to_wstring(n)).c_str()));
        ASSERT_NE(option, nullptr) << n;
        EXPECT_EQ(option->GetUserData(), KeyDisplayTable[n].text) << n;
    }
    EXPECT_EQ(page->FindSubControl(L"keyboard_key_126"), nullptr);
}

TEST_F(KeySetControlTest, AHintStandsInForTheEditorUntilAKeyIsChosen) {
    CKeySetControlUI* page = OpenPage(1);
    ASSERT_NE(page, nullptr);
    CControlUI* hint = Child(L"keyset_hint");
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->IsVisible());
    EXPECT_FALSE(Child(L"keyset_layout")->IsVisible());
    EXPECT_EQ(Text(L"keyset_hint"), L"Click a key on the picture to change its function.");
    page->SetKeyAssignment(Entry({0x20, 0, 0x04}));
    EXPECT_FALSE(hint->IsVisible());
    EXPECT_TRUE(Child(L"keyset_layout")->IsVisible());
}

TEST_F(KeySetControlTest, KeyboardHidesDpiAndGunItemsMouseShowsThem) {
    CKeySetControlUI* page = OpenPage(1);
    ASSERT_NE(page, nullptr);
    page->ShowKeySetLayout(true);
    auto* categories = Child<CComboUI>(L"keyset_function_combo");
    for (int i = 0; i < kCategoryCount; ++i)
        EXPECT_EQ(categories->GetItemAt(i)->IsVisible(), i != kCategoryDpi && i != kCategoryGun) << i;
    // A stored DPI function selects the item, which the list still hides.
    page->SetKeyAssignment(Entry({0x13, 1, 0}));
    EXPECT_EQ(page->GetFunctionIndex(), kCategoryDpi);
    EXPECT_FALSE(categories->GetItemAt(kCategoryDpi)->IsVisible());
    page->SetDeviceKind(2);
    for (int i = 0; i < kCategoryCount; ++i) EXPECT_TRUE(categories->GetItemAt(i)->IsVisible()) << i;
}

// One key function shown and saved right away, on a fresh page each.
struct ShowCase {
    const char* name;
    KeyListEntry entry;
    int category;                 // -1: the editing area is hidden
    const wchar_t* const* names;  // controls whose state is compared
    std::wstring shown;           // their states, joined with ','
    KeyFunction built;            // what saving right away stores
};

TEST_F(KeySetControlTest, ShowsAndBuildsEveryCategory) {
    static const wchar_t* const kNone[] = {nullptr};
    static const wchar_t* const kMouse[] = {L"keyset_mousekey_combo", nullptr};
    static const wchar_t* const kSwing[] = {L"keyset_mouseswing_delay_edit", L"keyset_mouseswing_speed_edit",
                                            L"keyset_mouseswing_num_edit",   L"keyset_mouseswing_combo",
                                            L"keyset_mousefire_num_edit",    nullptr};
    static const wchar_t* const kWheel[] = {L"keyset_mousewheel_delay_edit", L"keyset_mousewheel_speed_edit",
                                            L"keyset_mousewheel_num_edit", L"keyset_mousewheel_combo", nullptr};
    static const wchar_t* const kDpi[] = {L"keyset_mousedpi_combo", nullptr};
    static const wchar_t* const kFire[] = {L"keyset_mousefire_interval_edit", L"keyset_mousefire_num_edit", nullptr};
    static const wchar_t* const kKey[] = {L"modifier", L"keyset_keyboard_text_edit", nullptr};
    static const wchar_t* const kMedia[] = {L"keyset_media_combo", nullptr};
    static const wchar_t* const kSystem[] = {L"keyset_system_combo", nullptr};
    static const wchar_t* const kMacro[] = {L"keyset_macro_combo", L"keyset_macro_over_combo",
                                            L"keyset_macro_cycle_layout", L"keyset_macro_cycle_edit", nullptr};
    static const wchar_t* const kGun[] = {L"keyset_gunkey_combo", nullptr};
    static const wchar_t* const kCombo[] = {L"keyset_combokey_combo", nullptr};
    const ShowCase cases[] = {
        {"equal to its default", Entry({0x10, 1, 0}, {0x10, 1, 0}), 0, kNone, L"", {0x10, 1, 0}},
        {"middle button", Entry({0x10, 0x04, 0}), 1, kMouse, L"1", {0x10, 0x04, 0}},
        {"swing right 5", Entry({0x11, 0x23, 0x85}), 2, kSwing, L"2,3,5,1,2", {0x11, 0x23, 0x85}},
        {"swing left 9", Entry({0x11, 0xF0, 0x09}), 2, kSwing, L"15,0,9,0,2", {0x11, 0xF0, 0x09}},
        {"wheel down 3", Entry({0x12, 0x12, 0xFD}), 3, kWheel, L"1,2,3,1", {0x12, 0x12, 0xFD}},
        {"wheel down 128", Entry({0x12, 0x00, 0x80}), 3, kWheel, L"0,0,128,1", {0x12, 0x00, 0x81}},
        {"wheel up 7", Entry({0x12, 0x01, 0x07}), 3, kWheel, L"0,1,7,0", {0x12, 0x01, 0x07}},
        {"hidden DPI item", Entry({0x13, 3, 0}), 4, kDpi, L"2", {0x13, 3, 0}},
        {"fire", Entry({0x14, 80, 3}), 5, kFire, L"80,3", {0x14, 80, 3}},
        {"A", Entry({0x20, 0, 0x04}), 6, kKey, L"0,A", {0x20, 0, 0x04}},
        {"two left modifiers and A", Entry({0x20, 0x03, 0x04}), 6, kKey, L"0,A", {0x20, 0x00, 0x04}},
        {"Alt+Enter", Entry({0x20, 0x04, 0x28}), 6, kKey, L"3,Enter", {0x20, 0x04, 0x28}},
        {"Win alone", Entry({0x20, 0x08, 0}), 6, kKey, L"4,", {0x20, 0x08, 0}},
        {"usage not in the tables", Entry({0x20, 0, 0xF0}), 6, kKey, L"-1,", {0x20, 0, 0xF0}},
        {"nothing but the code", Entry({0x20, 0, 0}), 6, kKey, L"-1,", {0x20, 0, 0}},
        {"right Ctrl+C is copy", Entry({0x20, 0x10, 0x06}), 11, kCombo, L"4", {0x20, 0x10, 0x06}},
        {"right Shift+A names no row", Entry({0x20, 0x20, 0x04}), 11, kCombo, L"-1", {0x20, 0x20, 0x04}},
        {"volume up", Entry({0x30, 0xE9, 0x00}), 7, kMedia, L"6", {0x30, 0xE9, 0x00}},
        {"sleep", Entry({0x40, 2, 0}), 8, kSystem, L"1", {0x40, 2, 0}},
        {"macro 1 mode 2", Entry({0x70, 1, 2}), 9, kMacro, L"1,2,0,", {0x70, 1, 2}},
        {"macro 0 seven times", Entry({0x71, 0, 7}), 9, kMacro, L"0,4,1,7", {0x71, 0, 7}},
        {"macro index equal to the count", Entry({0x70, 2, 0}), 9, kMacro, L"-1,-1,0,", {0x70, 2, 0}},
        {"gun 3", Entry({0x72, 2, 0}), 10, kGun, L"2", {0x72, 2, 0}},
        {"combination code", Entry({0xB0, 1, 2}), 11, kCombo, L"-1", {0xB0, 1, 2}},
        {"device key", Entry({0xA0, 0x01, 0}), -1, kNone, L"", {0xA0, 0x01, 0}},
        {"M key", Entry({0xD0, 0xA2, 1}), -1, kNone, L"", {0xD0, 0xA2, 1}},
    };
    for (const ShowCase& c : cases) {
        SCOPED_TRACE(c.name);
        CKeySetControlUI* page = OpenPage(1, {L"one", L"two"});
        ASSERT_NE(page, nullptr);
        page->SetKeyAssignment(c.entry);
        EXPECT_EQ(Child(L"keyset_layout")->IsVisible(), c.category >= 0);
        if (c.category >= 0) {
            EXPECT_EQ(page->GetFunctionItemCategory(page->GetFunctionIndex()), c.category);
            EXPECT_EQ(Child<CTabLayoutUI>(L"function_switch_tablayout")->GetCurSel(), c.category);
        }
        std::wstring shown;
        for (const wchar_t* const* n = c.names; *n; ++n) {
            if (n != c.names) shown += L',';
            const std::wstring name = *n;
            CControlUI* control = name == L"modifier" ? nullptr : Child(*n);
            if (name == L"modifier")
                shown += std::to_wstring(page->GetSelectedModifierCheck());
            else if (auto* combo = static_cast<CComboUI*>(control->GetInterface(L"Combo")))
                shown += std::to_wstring(combo->GetCurSel());
            else if (name.ends_with(L"_layout"))
                shown += control->IsVisible() ? L"1" : L"0";
            else
                shown += control->GetText().str();
        }
        EXPECT_EQ(shown, c.shown);
        // Showing stores nothing; saving builds the function from the editors.
        EXPECT_EQ(page->GetStoredEntry(), c.entry);
        const KeyListEntry built = page->BuildAssignment();
        EXPECT_EQ(Hex(built.current.function), Hex(c.built));
        EXPECT_EQ(built.current.keyIndex, 7);
        EXPECT_EQ(built.defaults, c.entry.defaults);
    }
}

TEST_F(KeySetControlTest, DefaultShowsCategoryZeroAndSavesTheDefault) {
    CKeySetControlUI* page = OpenPage();
    ASSERT_NE(page, nullptr);
    page->SetKeyAssignment(Entry({0x30, 0xE9, 0}));
    page->ShowDefaultAssignment();
    EXPECT_EQ(page->GetFunctionItemCategory(page->GetFunctionIndex()), kCategoryDefault);
    EXPECT_EQ(Hex(page->GetStoredEntry().current.function), Hex({0x30, 0xE9, 0}));
    EXPECT_EQ(Hex(page->BuildAssignment().current.function), Hex(kEsc));
    // Cancel shows the stored (now default) function again.
    page->ShowCurrentAssignment();
    EXPECT_EQ(page->GetFunctionItemCategory(page->GetFunctionIndex()), kCategoryDefault);
}

// Editors set by hand, then saved: values are clamped to what their byte
// carries and the edit shows the value used.
struct EditCase {
    const char* name;
    KeyFunction current;
    int category;
    std::function<void(CKeySetControlUI&)> edit;
    KeyFunction built;
    const wchar_t* edit1;  // a control and the text it shows afterwards (null: none)
    const wchar_t* text1;
};

TEST_F(KeySetControlTest, BuildsFromTheEditorsWithClampedValues) {
    const EditCase cases[] = {
        {"fire interval 5",
         {},
         5,
         [](CKeySetControlUI& p) { p.SetFireIntervalText(L"5"); },
         {0x14, 10, 2},
         L"keyset_mousefire_interval_edit",
         L"10"},
        {"fire interval 300",
         {},
         5,
         [](CKeySetControlUI& p) { p.SetFireIntervalText(L"300"); },
         {0x14, 255, 2},
         L"keyset_mousefire_interval_edit",
         L"255"},
        {"fire count 0",
         {},
         5,
         [](CKeySetControlUI& p) { p.SetFireCountText(L"0"); },
         {0x14, 50, 1},
         L"keyset_mousefire_num_edit",
         L"1"},
        {"fire count 1000",
         {},
         5,
         [](CKeySetControlUI& p) { p.SetFireCountText(L" 1000x"); },
         {0x14, 50, 255},
         L"keyset_mousefire_num_edit",
         L"255"},
        {"swing count 200 right",
         {},
         2,
         [](CKeySetControlUI& p) {
             p.SetSwingCountText(L"200");
             p.SetSwingDelayText(L"20");
             p.SetSwingSpeedText(L"-3");
             p.SelectSwingDirection(1);
         },
         {0x11, 0xF0, 0xFF},
         L"keyset_mouseswing_num_edit",
         L"127"},
        {"swing count 0 left",
         {},
         2,
         [](CKeySetControlUI& p) {
             p.SetSwingCountText(L"0");
             p.SelectSwingDirection(0);
         },
         {0x11, 0x00, 0x01},
         L"keyset_mouseswing_num_edit",
         L"1"},
        {"wheel 127 down",
         {},
         3,
         [](CKeySetControlUI& p) {
             p.SetWheelCountText(L"127");
             p.SetWheelDelayText(L"3");
             p.SetWheelSpeedText(L"16");
             p.SelectWheelDirection(1);
         },
         {0x12, 0x3F, 0x81},
         L"keyset_mousewheel_speed_edit",
         L"15"},
        {"wheel without a direction keeps the key",
         {0x20, 0, 4},
         3,
         [](CKeySetControlUI& p) { p.SetWheelCountText(L"3"); },
         {0x20, 0, 4},
         nullptr,
         nullptr},
        {"macro repeated 300 times",
         {},
         9,
         [](CKeySetControlUI& p) {
             p.SelectMacroItem(1);
             p.SelectMacroRepeatItem(4);
             p.SetMacroRepeatText(L"300");
         },
         {0x71, 1, 255},
         L"keyset_macro_cycle_edit",
         L"255"},
        {"macro played in mode 3",
         {},
         9,
         [](CKeySetControlUI& p) {
             p.SelectMacroItem(0);
             p.SelectMacroRepeatItem(3);
         },
         {0x70, 0, 3},
         nullptr,
         nullptr},
        {"macro without a play mode keeps the key",
         {0x20, 0, 4},
         9,
         [](CKeySetControlUI& p) { p.SelectMacroItem(0); },
         {0x20, 0, 4},
         nullptr,
         nullptr},
        {"typed a matches nothing",
         {0x20, 0, 0x05},
         6,
         [](CKeySetControlUI& p) {
             p.SelectModifierCheck(0);
             p.SetKeyNameEditText(L"a");
         },
         {0x20, 0, 0x05},
         nullptr,
         nullptr},
        {"typed K42 lies beyond the compared names",
         {0x20, 0, 0x05},
         6,
         [](CKeySetControlUI& p) {
             p.SelectModifierCheck(2);
             p.SetKeyNameEditText(L"K42");
         },
         {0x20, 0x02, 0x05},
         nullptr,
         nullptr},
        {"Shift and Tab",
         {0x10, 1, 0},
         6,
         [](CKeySetControlUI& p) {
             p.SelectModifierCheck(2);
             p.SetKeyNameEditText(L"Tab");
         },
         {0x20, 0x02, 0x2B},
         nullptr,
         nullptr},
        {"Null with no check keeps the key",
         {0x30, 0xE9, 0},
         6,
         [](CKeySetControlUI& p) {
             p.SelectModifierCheck(-1);
             p.SetKeyNameEditText(L"nULL");
         },
         {0x30, 0xE9, 0},
         nullptr,
         nullptr},
        {"Ctrl alone",
         {0x20, 0, 4},
         6,
         [](CKeySetControlUI& p) {
             p.SelectModifierCheck(1);
             p.SetKeyNameEditText(L"Null");
         },
         {0x20, 0x01, 0},
         nullptr,
         nullptr},
        {"picked key",
         {0x20, 0, 4},
         6,
         [](CKeySetControlUI& p) {
             p.SelectModifierCheck(0);
             p.SelectKeyboardKey(44);  // Enter
         },
         {0x20, 0, 0x28},
         L"keyset_keyboard_text_edit",
         L"Enter"},
        {"mouse button row",
         {0x20, 0, 4},
         1,
         [](CKeySetControlUI& p) { p.SelectMouseKeyItem(3); },
         {0x10, 0x10, 0},
         nullptr,
         nullptr},
        {"no mouse row keeps the key",
         {0x20, 0, 4},
         1,
         [](CKeySetControlUI& p) { p.SelectMouseKeyItem(-1); },
         {0x20, 0, 4},
         nullptr,
         nullptr},
        {"gun 1", {0x20, 0, 4}, 10, [](CKeySetControlUI& p) { p.SelectGunItem(0); }, {0x72, 0, 0}, nullptr, nullptr},
        {"no category keeps the key", {0x20, 0, 4}, -1, [](CKeySetControlUI&) {}, {0x20, 0, 4}, nullptr, nullptr},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        CKeySetControlUI* page = OpenPage(2, {L"one", L"two"});
        ASSERT_NE(page, nullptr);
        page->SetCurrentAssignment({3, c.current, 0});
        page->SelectFunctionItem(page->FindFunctionItem(c.category));
        c.edit(*page);
        const KeyListEntry built = page->BuildAssignment();
        EXPECT_EQ(Hex(built.current.function), Hex(c.built));
        EXPECT_EQ(built.current.keyIndex, 3);
        EXPECT_EQ(Hex(page->GetStoredEntry().current.function), Hex(c.built));
        if (c.edit1) {
            EXPECT_EQ(Text(c.edit1), c.text1);
        }
    }
}

TEST_F(KeySetControlTest, MacroListFollowsTheEditor) {
    CKeySetControlUI* page = OpenPage(1, {L"a", L"b"});
    ASSERT_NE(page, nullptr);
    auto* combo = Child<CComboUI>(L"keyset_macro_combo");
    EXPECT_EQ(combo->GetCurSel(), -1);
    page->AddMacroName(L"c");
    page->RemoveMacroName(-1);
    page->RemoveMacroName(7);
    page->RemoveMacroName(0);
    page->RenameMacroName(0, L"");
    page->RenameMacroName(-1, L"x");
    page->RenameMacroName(1, L"z");
    ASSERT_EQ(combo->GetCount(), 2);
    EXPECT_EQ(combo->GetItemAt(0)->GetText(), L"b");
    EXPECT_EQ(combo->GetItemAt(1)->GetText(), L"z");
    EXPECT_EQ(combo->GetItemAt(1)->GetFixedHeight(), 30);
}

TEST_F(KeySetControlTest, ChecksPickerAndButtons) {
    CKeySetControlUI* page = OpenPage();
    ASSERT_NE(page, nullptr);
    page->SelectModifierCheck(3);
    EXPECT_EQ(page->GetSelectedModifierCheck(), 3);
    page->SelectModifierCheck(-1);
    EXPECT_EQ(page->GetSelectedModifierCheck(), -1);
    page->SelectKeyboardKey(8);
    EXPECT_EQ(page->GetSelectedKeyboardKey(), 8);
    EXPECT_EQ(Text(L"keyset_keyboard_text_edit"), L"A");
    page->SelectKeyboardKey(125);
    EXPECT_EQ(page->GetSelectedKeyboardKey(), 125);
    page->SelectKeyboardKey(126);
    EXPECT_EQ(page->GetSelectedKeyboardKey(), -1);
    page->SetKeyNameText(L"keyboard_key_Esc");
    EXPECT_EQ(Text(L"keyset_keyboard_text_edit"), L"Esc");
    // Programmatic changes raise no notification the main window would act on.
    EXPECT_EQ(window_->Count(L"selectchanged"), 0);
    EXPECT_EQ(window_->Count(L"itemselect"), 0);

    for (bool enable : {true, false}) {
        page->EnableSaveButtons(enable);
        for (const wchar_t* b : {L"key_butt_keysave", L"key_butt_keycancel", L"key_butt_prosave"})
            EXPECT_EQ(Child(b)->IsEnabled(), enable) << b;
        EXPECT_TRUE(Child(L"key_butt_keydefalut")->IsEnabled());
    }
}

// The key name the page translated itself follows a language switch; a name
// put into the edit since is left as it is.
TEST_F(KeySetControlTest, TheTranslatedKeyNameFollowsALanguageSwitch) {
    CKeySetControlUI* page = OpenPage();
    ASSERT_NE(page, nullptr);
    CResourceManager* resources = CResourceManager::GetInstance();
    const std::filesystem::path skin = std::filesystem::path(TAVRIK_SOURCE_DIR) / "skin";
    auto load = [&](const char* file) {
        return resources->LoadLanguage(win::FromUtf8((skin / file).string()).c_str());
    };
    page->SetKeyNameText(L"keyboard_key_LCtrl");
    EXPECT_EQ(Text(L"keyset_keyboard_text_edit"), L"LCtrl");

    ASSERT_TRUE(load("lan_cn.xml"));
    page->RetranslateKeyName();
    EXPECT_EQ(Text(L"keyset_keyboard_text_edit"), L"左Ctrl");

    page->SetKeyNameEditText(L"F13");
    ASSERT_TRUE(load("lan_en.xml"));
    page->RetranslateKeyName();
    EXPECT_EQ(Text(L"keyset_keyboard_text_edit"), L"F13");
}

TEST_F(KeySetControlTest, APageWithoutItsControlsDoesNothing) {
    window_ = Open(R"(<Window size="200,40"><KeySetControl name="KeySetControlItem"/></Window>)", 200, 40);
    auto* page = window_->Find<CKeySetControlUI>(L"KeySetControlItem");
    ASSERT_NE(page, nullptr);
    page->InitControls();
    page->SetDeviceKind(1);
    page->SetMacroNames({L"a"});
    page->SetKeyAssignment(Entry({0x20, 0, 4}));
    EXPECT_EQ(page->GetFunctionIndex(), -1);
    EXPECT_EQ(page->GetSelectedModifierCheck(), -1);
    EXPECT_EQ(page->GetMacroCount(), 0);
    EXPECT_EQ(Hex(page->BuildAssignment().current.function), Hex({0x20, 0, 4}));
}

}  // namespace
