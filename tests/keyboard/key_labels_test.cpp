// The keys of the keyboard picture: labels through a test language file, the
// selection of a key, and custom colours painted and sent to the emulated
// keyboard.
#include <fstream>
#include <string>

#include "keyboard/key_position_table.h"
#include "link/device_packet.h"
#include "pages/key_search.h"
#include "link/base/key_tables.h"
#include "pages/light_control_ui.h"
#include "pages/macro_files.h"
#include "platform/files/utf8.h"
#include "platform/ui/combo.h"
#include "shell/controls/device_key_button_ui.h"
#include "tests/keyboard/keyboard_test_support.h"
#include "tests/shell/device_ui_fixture.h"

namespace {

using namespace devtest;
using namespace kbtest;

const char* const kSkin = R"(<Window size="400,200"><VerticalLayout>
  <CorvaneKeyboardDevice name="page">
    <Label name="text_test" visible="false"/>
    <Container name="keyboard_device_key_light_0">
      <DeviceKeyButton name="key_0" userdata="light_0"/>
      <DeviceKeyButton name="key_1" userdata="light_1"/>
      <DeviceKeyButton name="key_55" userdata="light_55"/>
      <DeviceKeyButton name="key_62" userdata="light_62"/>
      <DeviceKeyButton name="key_108" userdata="light_108"/>
    </Container>
    <LightControl name="LightControlItem">
      <Combo name="light_combo_custommodeSelect">
        <ListLabelElement text="1"/><ListLabelElement text="2"/><ListLabelElement text="3"/>
        <ListLabelElement text="4"/><ListLabelElement text="5"/>
      </Combo>
    </LightControl>
    <Option name="keyboard_key_0"/><Option name="keyboard_key_125"/>
  </CorvaneKeyboardDevice></VerticalLayout></Window>)";

// The test language: every key name reads "T:" + its key.
std::wstring Tr(const wchar_t* key) { return std::wstring(L"T:") + key; }

class KeyLabels : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        RegisterCorvaneKeyboardDevice();
        CControlFactory::GetInstance()->RegistControl(L"CLightControlUI", &CLightControlUI::CreateInstance);
        std::ofstream lang(dir_.Path() / "lang_test.xml");
        lang << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Language>\n";
        for (size_t i = 0; i < kKeyNameTableCount; ++i)
            lang << "<Text id=\"" << win::ToUtf8(KeyNameAt(i)) << "\" value=\"T:" << win::ToUtf8(KeyNameAt(i))
                 << "\"/>\n";
        lang << "<Text id=\"close_text\" value=\"Off\"/>\n<Text id=\"Key_Set\" value=\" | \"/>\n</Language>\n";
        lang.close();
        ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(L"lang_test.xml"));

        window_ = Open(kSkin, 400, 200);
        page_ = window_->Find<CCorvaneKeyboardDevice>(L"page");
        ASSERT_NE(page_, nullptr);
        SetUpPage(*page_);
        page_->SetPageXml(L"XML\\DeviceXml\\keyboarddevice.xml");
        SaveMacroList(page_->GetUserDataFolder(), {{"first", "g1"}, {"second", "g2"}, {"third", "g3"}});
        page_->InitPage();
        std::vector<KeyListEntry> keys(kKeyPositionCount);
        for (size_t i = 0; i < keys.size(); ++i)
            keys[i].current.function = keys[i].defaults.function = KeyPositionTable[i];
        page_->SetKeyList(keys);
    }
    void TearDown() override {
        CResourceManager::GetInstance()->ResetTextMap();
        DeviceUiTest::TearDown();
    }

    // The translated default name of a position.
    static std::wstring DefaultName(size_t position) {
        for (size_t row = 0; row < kKeyTableCount; ++row)
            if (KeyTable[row].function == KeyPositionTable[position]) return Tr(KeyNameAt(kKeyNameBase + row));
        return L"";
    }
    void Assign(size_t position, KeyFunction f) {
        std::vector<KeyListEntry> keys = page_->GetKeyList();
        keys[position].current.function = f;
        page_->SetKeyList(keys);
        page_->UpdateKeyLabels();
    }
    CDeviceKeyButtonUI* Button(int position) { return page_->GetKeyButtons()[size_t(position)]; }
    std::wstring Text(int position) { return Button(position)->GetUserToolText().str(); }

    SkinWindow* window_ = nullptr;
    CCorvaneKeyboardDevice* page_ = nullptr;
};

std::wstring KeyName(KeyFunction f) { return Tr(KeyNameAt(kKeyNameBase + size_t(FindKeyTableRow(f)))); }

TEST_F(KeyLabels, FunctionsGiveTheirLabelAndTheMarkShowsWhereTheLabelIsNotTheDefault) {
    struct Case {
        const char* name;
        KeyFunction function;
        std::wstring label;
    };
    const std::wstring esc = DefaultName(0);
    ASSERT_FALSE(esc.empty());
    const std::vector<Case> cases = {
        {"own default", KeyPositionTable[0], esc},
        {"key A", {0x20, 0, 0x04}, KeyName({0x20, 0, 0x04})},
        {"nothing assigned", {0x20, 0, 0}, L"Off"},
        {"code 0 key", {0x00, 0, 0x04}, KeyName({0x20, 0, 0x04})},
        {"left Ctrl + A", {0x20, 0x01, 0x04}, KeyName({0x20, 0x01, 0}) + L"+" + KeyName({0x20, 0, 0x04})},
        {"macro 1", {0x70, 1, 0}, L"second"},
        {"macro repeat 0", {0x71, 0, 3}, L"first"},
        {"no label rule", {0x72, 0, 0}, L"Off"},
        {"fire", {0x14, 0, 0}, Tr(KeyNameAt(kFireName))},
        {"wheel down", {0x12, 0, 0x80}, Tr(KeyNameAt(kWheelNameBase + 1))},
        {"wheel up", {0x12, 0, 0x01}, Tr(KeyNameAt(kWheelNameBase))},
        {"swing right", {0x11, 0, 0x81}, Tr(KeyNameAt(kSwingNameBase + 1))},
        {"media", MediaKeyTable[2].function, Tr(KeyNameAt(kMediaNameBase + 2))},
        {"system", SystemKeyTable[1].function, Tr(KeyNameAt(kSystemNameBase + 1))},
        {"shortcut", ShortcutKeyTable[3].function, Tr(KeyNameAt(kShortcutNameBase + 3))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Assign(0, c.function);
        EXPECT_EQ(Button(0)->GetUserToolTitle().str(), esc);
        EXPECT_EQ(Text(0), esc + L" | " + c.label);
        EXPECT_EQ(Button(0)->IsKeySetMarkHidden(), c.label == esc ? 1 : 0);
    }
}

TEST_F(KeyLabels, FunctionsWithoutALabelKeepThePreviousOne) {
    for (KeyFunction keep : {KeyFunction{0x70, 5, 0}, KeyFunction{0x15, 1, 2}, KeyFunction{0xB0, 1, 0}}) {
        SCOPED_TRACE(int(keep.code));
        Assign(1, {0x20, 0, 0x04});
        const std::wstring before = Text(1);
        Assign(1, keep);
        EXPECT_EQ(Text(1), before);
    }
}

TEST_F(KeyLabels, TheMarkComparesWithoutCase) {
    const std::wstring esc = DefaultName(0);
    page_->UpdateKeyLabel(0, CDuiString(esc.c_str()).MakeUpper());
    EXPECT_EQ(Button(0)->IsKeySetMarkHidden(), 1);
    page_->UpdateKeyLabel(0, L"other");
    EXPECT_EQ(Button(0)->IsKeySetMarkHidden(), 0);
    // A position without a button is skipped.
    page_->UpdateKeyLabel(2, L"x");
    page_->UpdateKeyLabel(500, L"x");
}

TEST_F(KeyLabels, SelectKeyTakesKeysOfTheListOnly) {
    auto* option = window_->Find<COptionUI>(L"keyboard_key_125");
    option->Selected(true, false);
    page_->SelectKey(42);
    EXPECT_EQ(page_->GetSelectedKey(), 42);
    EXPECT_FALSE(option->IsSelected());
    for (int outside : {-1, 170, 400}) {
        page_->SelectKey(outside);
        EXPECT_EQ(page_->GetSelectedKey(), 42) << outside;
    }
    // A short key list ends the keys that can be selected.
    page_->SetKeyList(std::vector<KeyListEntry>(10));
    page_->SelectKey(20);
    EXPECT_EQ(page_->GetSelectedKey(), 42);
}

TEST_F(KeyLabels, TheSelectedKeyRecordNeedsASelectedKeyOfTheList) {
    KeyListEntry entry;
    entry.current.function = {0x20, 0, 0x05};
    page_->SetSelectedKeyRecord(entry);  // nothing selected yet
    EXPECT_EQ(page_->GetKeyList()[0].current.function, KeyPositionTable[0]);
    page_->SelectKey(3);
    page_->SetSelectedKeyRecord(entry);
    EXPECT_EQ(page_->GetKeyList()[3], entry);
    EXPECT_EQ(page_->Document().GetKeyList()[3].current.function, entry.current.function);
}

TEST_F(KeyLabels, TheSecondaryListGoesToTheDocumentsSecondEntry) {
    std::vector<KeyListEntry> keys(3);
    keys[1].current.function = {0x20, 0, 0x06};
    page_->SetSecondaryKeyList(keys);
    EXPECT_EQ(page_->GetSecondaryKeyList(), keys);
}

// --- Custom colours against the emulated keyboard ------------------------------------

class CustomKeyPainting : public KeyLabels {
protected:
    void SetUp() override {
        KeyLabels::SetUp();
        if (HasFatalFailure()) return;
        page_->CommandChannel().m_timeouts = FastTimeouts();
        ASSERT_TRUE(tavrik::test::OpenCommandChannel(page_->CommandChannel(), device_));
        ASSERT_EQ(page_->ReadDeviceTables(), 1);
        LightSetting light{};
        light.mode = 19;
        light.red = 0x11;
        light.green = 0x22;
        light.blue = 0x33;
        page_->SetLightSetting(light);
        for (int i = 0; i < 170; ++i) page_->Leds().SetLedColor(i, PackLedColor({uint8_t(i), 1, 2, 0x80}));
        device_.ClearRecord();
    }
    void TearDown() override {
        tavrik::test::CloseCommandChannel(page_->CommandChannel());
        KeyLabels::TearDown();
    }
    void ChooseGroup(int group) {
        window_->Find<CComboUI>(L"light_combo_custommodeSelect")->SelectItem1(group, false, false);
    }
    // The bytes the 0x0B reports carried, in order.
    std::vector<uint8_t> WrittenColors() {
        std::vector<uint8_t> out;
        for (const auto& r : device_.Requests(CMD_WRITE_COLORS))
            out.insert(out.end(), r.bytes.begin() + 8, r.bytes.begin() + 8 + r.Count());
        return out;
    }

    tavrik::devsim::SimFixture sim_;
    Emulator& device_ = sim_.Plug(ProductKind::KeyboardCable);
};

TEST_F(CustomKeyPainting, PaintingStoresTheGroupAndSendsEveryLedToPageZero) {
    const KeyPositionMaps before = page_->GetPositionMaps();
    ChooseGroup(2);
    page_->PaintCustomKey(55);
    for (int p : {55, 62}) {
        const LedColor led = page_->Leds().GetLed(p);
        EXPECT_EQ(led.r, 0x11);
        EXPECT_EQ(led.g, 0x22);
        EXPECT_EQ(led.b, 0x33);
        EXPECT_EQ(led.brightness, 0x80);  // the level stays
    }
    EXPECT_EQ(page_->Leds().GetLed(56).r, 56);

    std::vector<uint8_t> expected(170 * 3, 0);
    for (int i = 0; i < 170; ++i) {
        const int j = i == 108 ? 85 : before.ledIndex[size_t(i)];
        if (j >= 170 || (i != 0 && j == 0)) continue;
        const LedColor led = page_->Leds().GetLed(i);
        expected[size_t(3 * j)] = led.r;
        expected[size_t(3 * j + 1)] = led.g;
        expected[size_t(3 * j + 2)] = led.b;
    }
    EXPECT_EQ(WrittenColors(), expected);
    for (const auto& r : device_.Requests(CMD_WRITE_COLORS)) EXPECT_LT(r.Offset(), 512u);
    const std::vector<uint8_t> commands = Commands(device_);
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.front(), CMD_BEGIN);
    EXPECT_EQ(commands.back(), CMD_END);
    // The page's map is as the keyboard gave it.
    EXPECT_EQ(page_->GetPositionMaps().ledIndex, before.ledIndex);
    // The group's colours are in the profile.
    const std::vector<LedColor> stored = page_->Document().GetCustomLightColors(2, 170);
    ASSERT_EQ(stored.size(), 170u);
    EXPECT_EQ(stored[62].g, 0x22);
}

TEST_F(CustomKeyPainting, WithoutACustomGroupOnlyThePreviewChanges) {
    page_->PaintCustomKey(3);
    EXPECT_EQ(page_->Leds().GetLed(3).r, 0x11);
    EXPECT_TRUE(device_.Record().empty());
}

TEST_F(CustomKeyPainting, OutsideTheCustomModeOrTheLedsNothingHappens) {
    ChooseGroup(1);
    LightSetting light = page_->GetLightSetting();
    light.mode = 3;
    page_->SetLightSetting(light);
    page_->PaintCustomKey(3);
    EXPECT_EQ(page_->Leds().GetLed(3).r, 3);
    light.mode = 19;
    page_->SetLightSetting(light);
    page_->PaintCustomKey(170);
    page_->PaintCustomKey(-1);
    EXPECT_TRUE(device_.Record().empty());
}

TEST_F(CustomKeyPainting, SendingLeavesOutAnLedThatDoesNotFitTheColourArea) {
    // The keyboard's LED table gives device key 0 the LED 170.
    {
        auto lock = device_.Lock();
        device_.Memory().ledMap[0] = 170;
    }
    ASSERT_EQ(page_->ReadDeviceTables(), 1);
    page_->ApplyLightProfile();
    LightSetting light = page_->GetLightSetting();
    light.mode = 19;
    page_->SetLightSetting(light);
    page_->ApplyLightProfile();
    // Entering the mode shows the profile's group; paint every LED again.
    for (int i = 0; i < 170; ++i) page_->Leds().SetLedColor(i, PackLedColor({uint8_t(i), 1, 2, 0x80}));
    device_.ClearRecord();
    const KeyPositionMaps maps = page_->GetPositionMaps();
    int outside = -1;
    for (int i = 0; i < 170; ++i)
        if (maps.ledIndex[size_t(i)] == 170) outside = i;
    ASSERT_GE(outside, 0);
    EXPECT_EQ(page_->SendCustomColors(), 0);
    std::vector<uint8_t> expected(510, 0);
    for (int i = 0; i < 170; ++i) {
        const int j = maps.ledIndex[size_t(i)];
        if (j >= 170) continue;
        expected[size_t(3 * j)] = page_->Leds().GetLed(i).r;
        expected[size_t(3 * j + 1)] = 1;
        expected[size_t(3 * j + 2)] = 2;
    }
    EXPECT_EQ(WrittenColors(), expected);
}

TEST_F(CustomKeyPainting, TheKeyboardKeepsPageZeroAsTheGroupsPage) {
    // The active block names group 3: the write to page 0 lands there too.
    {
        auto lock = device_.Lock();
        device_.Memory().params[25] = 3;
    }
    ChooseGroup(3);
    page_->PaintCustomKey(0);
    auto lock = device_.Lock();
    const auto page0 = tavrik::devsim::ViewColorPage(device_.Memory(), 0);
    const auto page3 = tavrik::devsim::ViewColorPage(device_.Memory(), 3);
    EXPECT_EQ(std::vector<uint8_t>(page0.begin(), page0.begin() + 510),
              std::vector<uint8_t>(page3.begin(), page3.begin() + 510));
    EXPECT_NE(tavrik::devsim::ViewColorPage(device_.Memory(), 2), page3);
}

}  // namespace
