// The mouse page's button list on the shipped page skin: tooltips and rows
// from the key list, hidden buttons, macros the list no longer holds, the
// selection of a button and the logo's tooltip.
#include <json/json.h>

#include "link/json_file_util.h"
#include "pages/macro_files.h"
#include "tests/devices/mouse_page_support.h"

namespace {

using namespace mousepage;

class MouseButtonList : public MousePage {
protected:
    void SetUp() override {
        MousePage::SetUp();
        ASSERT_TRUE(SaveMacroList(page_->GetUserDataFolder(), {{"first", "g1"}, {"second", "g2"}}));
        page_->LoadNameLists();
        std::vector<KeyListEntry> keys(kMouseButtonCount);
        for (size_t i = 0; i < keys.size(); ++i) {
            keys[i].current.function = keys[i].defaults.function = MouseReferenceFunctionTable[i];
            keys[i].current.keyIndex = keys[i].defaults.keyIndex = uint16_t(i);
        }
        page_->SetKeyList(keys);
    }
    void Assign(int position, KeyFunction f) {
        std::vector<KeyListEntry> keys = page_->GetKeyList();
        keys[size_t(position)].current.function = f;
        keys[size_t(position)].current.keyIndex = 99;
        page_->SetKeyList(keys);
    }
    CListUI* List() { return Control<CListUI>(L"device_setkeyinfo_list"); }
    CContainerUI* Row(int i) { return static_cast<CContainerUI*>(List()->GetItemAt(i)->GetInterface(L"Container")); }
    std::wstring RowText(int i, int label) { return Row(i)->GetItemAt(label)->GetText().str(); }
    CDeviceKeyButtonUI* Button(int i) { return page_->GetKeyButtons()[size_t(i)]; }
};

TEST_F(MouseButtonList, EveryButtonGetsItsNameAndCaption) {
    Assign(3, {0x20, 0x02, 0x04});
    Assign(4, {0x00, 0, 0});
    Assign(5, {0x70, 1, 0});
    Assign(6, {0x05, 1, 1});
    page_->RefreshKeyInfoList();
    ASSERT_EQ(List()->GetCount(), kMouseButtonCount);
    const std::vector<std::wstring> captions = {
        Tr(L"mouse_key_left"),     Tr(L"mouse_key_right"),
        Tr(L"mouse_key_middle"),   Tr(L"keyboard_key_LShift") + L"+" + Tr(L"keyboard_key_A"),
        Tr(L"close_text"),         L"second",
        L"\u5173\u95ed",           Tr(L"mouse_key_DPI_loop"),
        Tr(L"keyboard_key_GM"),    Tr(L"mouse_key_DPI_shift"),
        Tr(L"mouse_key_fire_key"),
    };
    for (int i = 0; i < kMouseButtonCount; ++i) {
        EXPECT_EQ(Button(i)->GetUserToolTitle().str(), Tr(MouseButtonNameTable[i])) << i;
        EXPECT_EQ(Button(i)->GetUserToolText().str(), captions[size_t(i)]) << i;
        EXPECT_EQ(RowText(i, 0), Tr(MouseButtonNameTable[i])) << i;
        EXPECT_EQ(RowText(i, 1), captions[size_t(i)]) << i;
        EXPECT_EQ(Row(i)->IsVisible(), Button(i)->IsVisible()) << i;
        EXPECT_EQ(Row(i)->GetFixedHeight(), 25);
    }
    EXPECT_EQ(static_cast<CLabelUI*>(Row(0)->GetItemAt(1))->GetTextStyle() & 0x8000u, 0x8000u);
}

TEST_F(MouseButtonList, AHiddenButtonHidesItsRow) {
    Button(7)->SetVisible(false);
    page_->RefreshKeyInfoList();
    ASSERT_EQ(List()->GetCount(), kMouseButtonCount);
    EXPECT_FALSE(Row(7)->IsVisible());
    EXPECT_TRUE(Row(6)->IsVisible());
}

TEST_F(MouseButtonList, RowsFilledWhileThePictureIsHiddenShowOnceItIs) {
    // The page fills its list before its key picture was ever shown (another
    // option tab in front): the rows must not stay hidden until a click.
    CControlUI* picture = Control<CControlUI>(L"mouse_device_key_light");
    ASSERT_NE(picture, nullptr);
    auto* tabs = Control<CTabLayoutUI>(L"mouse_device_seting_layout");
    ASSERT_NE(tabs, nullptr);
    tabs->SelectItem(1);
    ASSERT_FALSE(Button(0)->IsVisible());
    page_->RefreshKeyInfoList();
    tabs->SelectItem(0);
    ASSERT_EQ(List()->GetCount(), kMouseButtonCount);
    for (int i = 0; i < kMouseButtonCount; ++i) EXPECT_TRUE(Row(i)->IsVisible()) << i;
}

TEST_F(MouseButtonList, AMacroTheListNoLongerHoldsFallsBackToItsDefault) {
    Assign(2, {0x70, 1, 0});
    page_->RefreshKeyInfoList();
    ASSERT_EQ(Button(2)->GetUserToolText().str(), L"second");
    Assign(2, {0x70, 5, 0});
    page_->RefreshKeyInfoList();
    // No caption for a macro beyond the list: the button keeps what it showed.
    EXPECT_EQ(Button(2)->GetUserToolText().str(), L"second");

    Assign(2, {0x70, 1, 0});
    Assign(9, {0x71, 0, 2});
    ASSERT_TRUE(SaveMacroList(page_->GetUserDataFolder(), {{"first", "g1"}}));
    page_->CheckMacroAssignments();
    const std::vector<KeyListEntry> keys = page_->GetKeyList();
    EXPECT_EQ(keys[2].current.function, MouseReferenceFunctionTable[2]);
    EXPECT_EQ(keys[2].current.keyIndex, 2);
    EXPECT_EQ(keys[9].current.function, (KeyFunction{0x71, 0, 2})) << "macro 0 is still listed";
    EXPECT_EQ(page_->Document().GetKeyList()[2].current.function, MouseReferenceFunctionTable[2]);
    EXPECT_EQ(Button(2)->GetUserToolText().str(), Tr(L"mouse_key_middle"));
}

TEST_F(MouseButtonList, SelectedButtonTakesTheAppliedFunction) {
    page_->SelectKey(4);
    EXPECT_EQ(page_->GetSelectedKey(), 4);
    KeyListEntry entry = page_->GetKeyList()[4];
    entry.current.function = {0x30, 0xCD, 0};
    page_->SetSelectedKeyRecord(entry);
    EXPECT_EQ(page_->GetKeyList()[4], entry);
    EXPECT_EQ(page_->Document().GetKeyList()[4].current.function, entry.current.function);

    // A position outside the list changes nothing.
    page_->SelectKey(kMouseButtonCount + 3);
    const std::vector<KeyListEntry> before = page_->GetKeyList();
    page_->SetSelectedKeyRecord(KeyListEntry{});
    EXPECT_EQ(page_->GetKeyList(), before);

    std::vector<KeyListEntry> other(3);
    other[1].current.function = {0x70, 0, 0};
    page_->SetSecondaryKeyList(other);
    EXPECT_EQ(page_->GetSecondaryKeyList(), other);
    const std::vector<KeyListEntry> stored = page_->Document().GetOtherKeyList();
    ASSERT_EQ(stored.size(), other.size());
    EXPECT_EQ(stored[1].current.function, other[1].current.function);
}

TEST_F(MouseButtonList, TheLogoNamesTheRunningMode) {
    LightSetting s;
    s.mode = 5;
    page_->SetLightingCopy(s);
    page_->UpdateLogoTooltip();
    CDeviceKeyButtonUI* logo = page_->GetLogoButton();
    ASSERT_NE(logo, nullptr);
    ASSERT_GT(page_->GetDefaultLightNames().size(), 5u);
    EXPECT_EQ(logo->GetUserToolTitle().str(), L"Logo");
    EXPECT_EQ(logo->GetUserToolText().str(),
              Tr(L"Light_Set") + L"\n" + Tr(L"Overall_Light_Set") + Tr(page_->GetDefaultLightNames()[5].GetData()));

    // A custom mode names the user's effect; one the list lacks adds nothing.
    Json::Value user;
    Json::Value row(Json::arrayValue);
    for (const char* name : {"glow", "pulse"}) {
        Json::Value e;
        e["LightName"] = name;
        row.append(e);
    }
    user["LightInfo"][DeviceOptionTable[kDeviceKindMouse].lightNameIndex] = row;
    ASSERT_TRUE(CJsonFileUtil::SaveJson(page_->GetUserDataFolder() + page_->GetLightListName() + L".config", user));
    page_->LoadNameLists();
    s.mode = 11;
    page_->SetLightingCopy(s);
    page_->UpdateLogoTooltip();
    EXPECT_EQ(logo->GetUserToolText().str(), Tr(L"Light_Set") + L"\n" + Tr(L"Overall_Light_Set") + L"pulse");
    s.mode = 12;
    page_->SetLightingCopy(s);
    page_->UpdateLogoTooltip();
    EXPECT_EQ(logo->GetUserToolText().str(), Tr(L"Light_Set") + L"\n" + Tr(L"Overall_Light_Set"));
}

}  // namespace
