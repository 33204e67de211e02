// The lighting commands of the main window on a real keyboard page bound by
// the real scan to an emulated keyboard: what each does to the device's
// LightSetting, its sync flag, the block written to the keyboard and the
// profile file; and the same-mode command.

#include <algorithm>
#include <array>
#include <functional>
#include <optional>

#include "link/device_packet.h"
#include "link/keyboard_profiledata.h"
#include "link/sync_light_state.h"
#include "shell/main/color_edit_value.h"
#include "shell/main/device_scan_thread.h"
#include "shell/main/sync_light_modes.h"
#include "tests/shell/device_commands_fixture.h"
#include "tests/shell/main_wnd_fixture.h"

namespace commandstest {
namespace {

using LightingCommandsTest = DeviceCommandsTest;

// Mode 2, brightness 3, speed 2, direction 0, seven colours on, colour
// 10/20/30, sub-mode 0, custom group 1.
LightSetting Baseline() {
    LightSetting s;
    s.mode = 2;
    s.brightness = 3;
    s.speed = 2;
    s.colorful = 1;
    s.red = 10;
    s.green = 20;
    s.blue = 30;
    s.customGroup = 1;
    return s;
}

// Block bytes 1..8 and 25 (the lighting bytes) of a write.
std::array<int, 9> LightingBytes(const std::vector<uint8_t>& block) {
    std::array<int, 9> out{};
    if (block.size() < 49) return out;
    for (int i = 0; i < 8; ++i) out[i] = block[1 + i];
    out[8] = block[25];
    return out;
}

void Select(CComboUI* combo, int row) {
    ASSERT_NE(combo, nullptr);
    combo->SelectItem1(row, false, false);
}

TEST_F(LightingCommandsTest, EachCommandChangesItsFieldWritesTheBlockAndSavesTheProfile) {
    ASSERT_NE(ConnectKeyboard(), nullptr);
    struct Row {
        const char* name;
        uint8_t startMode;  // the sub-mode and custom-group combos show in modes 17 and 19 only
        std::function<void(CMainWnd&, CLightControlUI&)> act;
        std::function<void(LightSetting&)> change;
        int syncAfter;              // the sync flag started at 1
        bool applied;               // ApplyLightProfile ran
        std::array<int, 9> bytes;   // block bytes 1..8 and 25
        const wchar_t* greenShown;  // what "deng_edit_G" shows afterwards (null: not looked at)
    };
    const auto combo = [](CLightControlUI& l, const wchar_t* name) {
        return static_cast<CComboUI*>(l.FindSubControl(name));
    };
    const Row rows[] = {
        {"mode 7",
         2,
         [&](CMainWnd& w, CLightControlUI& l) {
             Select(combo(l, L"light_combo_modeSelect"), 7);
             w.OnLightModeSelected();
         },
         [](LightSetting& s) { s.mode = 7; },
         0,
         true,
         {7, 3, 3, 0, 1, 10, 20, 30, 1},
         nullptr},
        {"sub-mode 1",
         17,
         [&](CMainWnd& w, CLightControlUI& l) {
             Select(combo(l, L"light_combo_ZZCCmodeSelect"), 1);
             w.OnZZCCModeSelected();
         },
         [](LightSetting& s) { s.subMode = 1; },
         1,
         true,
         {17, 3, 3, 0, 1, 10, 20, 30, 1},
         nullptr},
        {"custom group 2",
         19,
         [&](CMainWnd& w, CLightControlUI& l) {
             Select(combo(l, L"light_combo_custommodeSelect"), 2);
             w.OnCustomModeSelected();
         },
         [](LightSetting& s) { s.customGroup = 2; },
         1,
         false,
         {19, 3, 3, 0, 1, 10, 20, 30, 2},
         nullptr},
        {"brightness 5",
         2,
         [](CMainWnd& w, CLightControlUI& l) {
             l.SetBrightness(5);
             w.OnBrightnessChanged();
         },
         [](LightSetting& s) { s.brightness = 5; },
         0,
         true,
         {2, 5, 3, 0, 1, 10, 20, 30, 1},
         nullptr},
        {"speed 4",
         2,
         [](CMainWnd& w, CLightControlUI& l) {
             l.SetSpeed(4);
             w.OnSpeedChanged();
         },
         [](LightSetting& s) { s.speed = 4; },
         0,
         true,
         {2, 3, 1, 0, 1, 10, 20, 30, 1},
         nullptr},
        {"seven colours off",
         2,
         [](CMainWnd& w, CLightControlUI& l) {
             l.SetSevenColor(0);
             w.OnSevenColorCheck();
         },
         [](LightSetting& s) { s.colorful = 0; },
         0,
         true,
         {2, 3, 3, 0, 0, 10, 20, 30, 1},
         nullptr},
        {"direction left",
         2,
         [](CMainWnd& w, CLightControlUI&) { w.OnDirectionCheck(1); },
         [](LightSetting& s) { s.direction = 1; },
         0,
         true,
         {2, 3, 3, 1, 1, 10, 20, 30, 1},
         nullptr},
        {"palette 0x112233",
         2,
         [](CMainWnd& w, CLightControlUI& l) {
             l.SetPaletteColor(0xFF112233);
             w.OnPaletteColorChanged();
         },
         [](LightSetting& s) { s.red = 0x11, s.green = 0x22, s.blue = 0x33, s.colorful = 0; },
         0,
         true,
         {2, 3, 3, 0, 0, 0x11, 0x22, 0x33, 1},
         L"34"},
        {"swatch 3 (green)",
         2,
         [](CMainWnd& w, CLightControlUI&) { w.OnColorOptionClick(3); },
         [](LightSetting& s) { s.red = 0, s.green = 255, s.blue = 0, s.colorful = 0; },
         1,
         true,
         {2, 3, 3, 0, 0, 0, 255, 0, 1},
         L"255"},
        {"green 300",
         2,
         [](CMainWnd& w, CLightControlUI& l) {
             l.SetGreenText(L"300");
             w.OnGreenEdit();
         },
         [](LightSetting& s) { s.green = 255, s.colorful = 0; },
         0,
         true,
         {2, 3, 3, 0, 0, 10, 255, 30, 1},
         L"255"},
        {"green empty",
         2,
         [](CMainWnd& w, CLightControlUI& l) {
             l.SetGreenText(L"");
             w.OnGreenEdit();
         },
         [](LightSetting& s) { s.green = 0, s.colorful = 0; },
         0,
         true,
         {2, 3, 3, 0, 0, 10, 0, 30, 1},
         L"0"},
        {"green abc",
         2,
         [](CMainWnd& w, CLightControlUI& l) {
             l.SetGreenText(L"abc");
             w.OnGreenEdit();
         },
         [](LightSetting& s) { s.green = 0, s.colorful = 0; },
         0,
         true,
         {2, 3, 3, 0, 0, 10, 0, 30, 1},
         L"abc"},
        {"green -5",
         2,
         [](CMainWnd& w, CLightControlUI& l) {
             l.SetGreenText(L"-5");
             w.OnGreenEdit();
         },
         [](LightSetting& s) { s.green = 0, s.colorful = 0; },
         0,
         true,
         {2, 3, 3, 0, 0, 10, 0, 30, 1},
         L"0"},
        {"red 77",
         2,
         [](CMainWnd& w, CLightControlUI& l) {
             l.SetRedText(L"77");
             w.OnRedEdit();
         },
         [](LightSetting& s) { s.red = 77, s.colorful = 0; },
         0,
         true,
         {2, 3, 3, 0, 0, 77, 20, 30, 1},
         nullptr},
        {"blue 256",
         2,
         [](CMainWnd& w, CLightControlUI& l) {
             l.SetBlueText(L"256");
             w.OnBlueEdit();
         },
         [](LightSetting& s) { s.blue = 255, s.colorful = 0; },
         0,
         true,
         {2, 3, 3, 0, 0, 10, 20, 255, 1},
         nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LightSetting start = Baseline();
        start.mode = row.startMode;
        SetBaseline(start, 1);
        row.act(*commands_, *Light());
        LightSetting expected = start;
        row.change(expected);
        const LightSetting now = keyboard_->CurrentLightSetting();
        EXPECT_EQ(now, expected);
        EXPECT_EQ(SyncFlag(), row.syncAfter);
        EXPECT_EQ(keyboard_->applied.load() > 0, row.applied);
        EXPECT_EQ(device_->Requests(CMD_WRITE_PARAMS).size(), 1u);
        EXPECT_EQ(LightingBytes(LastBlockWrite()), row.bytes);
        const LightSetting saved = SavedLightSetting();
        EXPECT_EQ(saved.mode, expected.mode);
        EXPECT_EQ(saved.brightness, expected.brightness);
        EXPECT_EQ(saved.speed, expected.speed);
        EXPECT_EQ(saved.direction, expected.direction);
        EXPECT_EQ(saved.colorful, expected.colorful);
        EXPECT_EQ(saved.red, expected.red);
        EXPECT_EQ(saved.green, expected.green);
        EXPECT_EQ(saved.blue, expected.blue);
        EXPECT_EQ(saved.subMode, expected.subMode);
        EXPECT_EQ(saved.customGroup, expected.customGroup);
        // Only the custom group reloads its colours to the keyboard, after the block.
        const auto colorWrites = device_->Requests(CMD_WRITE_COLORS);
        EXPECT_EQ(!colorWrites.empty(), row.startMode == 19);
        if (!colorWrites.empty() && !device_->Requests(CMD_WRITE_PARAMS).empty()) {
            EXPECT_GT(colorWrites.front().time, device_->Requests(CMD_WRITE_PARAMS).back().time);
        }
        if (row.greenShown != nullptr) {
            EXPECT_EQ(std::wstring(Light()->GetGreenText().GetData()), row.greenShown);
        }
        // A colour command leaves the page's seven-colour option off and the
        // palette on the new colour.
        if (expected.colorful == 0 && start.colorful == 1) {
            EXPECT_FALSE(Light()->IsSevenColor());
            EXPECT_EQ(Light()->GetPaletteColor() & 0xFFFFFFu,
                      (static_cast<uint32_t>(expected.red) << 16) | (expected.green << 8) | expected.blue);
        }
    }
}

// The custom-colour buttons in the custom-colour mode: every key takes the
// setting's colour (or black), the keyboard gets the colours and the
// document keeps them as the selected group's; the block is not written.
TEST_F(LightingCommandsTest, CustomColourButtonsFillEveryKeyAndSendTheColours) {
    ASSERT_NE(ConnectKeyboard(), nullptr);
    LightSetting start = Baseline();
    start.mode = 19;
    for (int fill : {1, 0}) {
        SCOPED_TRACE(fill);
        SetBaseline(start, 1);
        commands_->OnCustomColorButton(fill);
        EXPECT_TRUE(device_->Requests(CMD_WRITE_PARAMS).empty());
        EXPECT_EQ(SyncFlag(), 1);
        const auto writes = device_->Requests(CMD_WRITE_COLORS);
        ASSERT_FALSE(writes.empty());
        std::vector<uint8_t> data;
        for (const auto& w : writes) data.insert(data.end(), w.bytes.begin() + 8, w.bytes.end());
        size_t lit = 0, dark = 0;
        for (size_t i = 0; i + 2 < data.size(); i += 3) {
            if (data[i] == 10 && data[i + 1] == 20 && data[i + 2] == 30) ++lit;
            if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 0) ++dark;
        }
        if (fill == 1) {
            EXPECT_GT(lit, 100u);
        } else {
            EXPECT_EQ(lit, 0u);
            EXPECT_EQ(dark * 3, data.size() - data.size() % 3);
        }
        CKeyboardProfiledata document;
        document.LoadProfile(keyboard_->GetProfilePath());
        const std::vector<LedColor> saved = document.GetCustomLightColors(1, 170);
        ASSERT_FALSE(saved.empty());
        EXPECT_EQ(saved[0].r, fill ? 10 : 0);
        EXPECT_EQ(saved[0].g, fill ? 20 : 0);
        EXPECT_EQ(saved[0].b, fill ? 30 : 0);
    }
    // Outside the custom-colour mode nothing reaches the keyboard.
    SetBaseline(Baseline(), 1);
    commands_->OnCustomColorButton(1);
    EXPECT_TRUE(device_->Requests(CMD_WRITE_COLORS).empty());
}

// Neither a swatch the page lacks nor a list without a selection gives a
// value: the lighting stays as it is and nothing is written.
TEST_F(LightingCommandsTest, NoValueOnThePageChangesNothing) {
    ASSERT_NE(ConnectKeyboard(), nullptr);
    SetBaseline(Baseline(), 1);
    commands_->OnColorOptionClick(99);
    auto* modes = static_cast<CComboUI*>(Light()->FindSubControl(L"light_combo_modeSelect"));
    ASSERT_NE(modes, nullptr);
    modes->SelectItem1(-1, false, false);
    commands_->OnLightModeSelected();
    EXPECT_EQ(keyboard_->CurrentLightSetting(), Baseline());
    EXPECT_EQ(SyncFlag(), 1);
    EXPECT_TRUE(device_->Requests(CMD_WRITE_PARAMS).empty());
}

TEST_F(LightingCommandsTest, WithoutACurrentDeviceNothingIsWritten) {
    ASSERT_NE(ConnectKeyboard(), nullptr);
    SetBaseline(Baseline(), 1);
    device_->Unplug();
    DeviceScanPass(*commands_);
    ASSERT_TRUE(PumpFor([&] { return commands_->GetCurrentDevice() == nullptr; }, 10000));
    commands_->OnLightModeSelected();
    commands_->OnBrightnessChanged();
    commands_->OnGreenEdit();
    commands_->OnColorOptionClick(3);
    commands_->OnSameModeClick();
    EXPECT_EQ(keyboard_->CurrentLightSetting(), Baseline());
    EXPECT_EQ(keyboard_->applied.load(), 0);
}

// The same-mode command from a keyboard in each mode of the sync table.
TEST_F(LightingCommandsTest, SameModeFillsTheSyncRecordAndPutsEveryOpenDeviceIntoTheEffect) {
    ASSERT_NE(ConnectKeyboard(), nullptr);
    CCorvaneUSBDevice* mouse = commands_->m_mice.empty() ? nullptr : commands_->m_mice[0];
    ASSERT_NE(mouse, nullptr);
    ASSERT_FALSE(mouse->CommandChannel().IsOpen());  // no mouse plugged
    struct Row {
        int mode;
        std::optional<uint8_t> effect;
    };
    const Row rows[] = {{1, SyncLightState::Static}, {2, SyncLightState::Breathing}, {3, SyncLightState::ColorCycle},
                        {20, SyncLightState::Off},   {23, SyncLightState::Flash},    {5, std::nullopt}};
    const SyncLightState::Values sentinel{4, 9, 9, 9, 9, 9, 9, 9};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        LightSetting start = Baseline();
        start.mode = static_cast<uint8_t>(row.mode);
        SetBaseline(start, 0);
        LightSetting mouseStart;
        mouseStart.mode = 7;
        mouse->SetLightSetting(mouseStart);
        mouse->CommandChannel().SetSyncFlag(0);
        GetSyncLightState().Store(sentinel);

        commands_->OnSameModeClick();

        // The mouse's channel is closed: it keeps its mode and its flag.
        EXPECT_EQ(mouse->CurrentLightSetting().mode, 7);
        EXPECT_EQ(mouse->CommandChannel().GetSyncFlag(), 0);
        if (!row.effect) {
            EXPECT_EQ(GetSyncLightState().Snapshot(), sentinel);
            EXPECT_EQ(SyncFlag(), 0);
            EXPECT_TRUE(device_->Requests(CMD_WRITE_PARAMS).empty());
            EXPECT_EQ(keyboard_->CurrentLightSetting(), start);
            continue;
        }
        EXPECT_EQ(GetSyncLightState().Snapshot(), (SyncLightState::Values{*row.effect, 3, 2, 0, 1, 10, 20, 30}));
        EXPECT_EQ(SyncFlag(), 1);
        // A keyboard shows each effect in the mode it came from.
        EXPECT_EQ(keyboard_->CurrentLightSetting(), start);
        EXPECT_EQ(Light()->GetLightMode(), row.mode);
        EXPECT_EQ(keyboard_->applied.load(), 1);
        ASSERT_EQ(device_->Requests(CMD_WRITE_PARAMS).size(), 1u);
        EXPECT_EQ(LastBlockWrite()[1], row.mode);
        EXPECT_EQ(SavedLightSetting().mode, row.mode);
    }
}

TEST(SyncLightModes, EveryKindTranslatesItsModesBothWays) {
    struct Row {
        int kind;
        std::array<int, 5> modes;  // breathing, static, flashing, colour cycle, off
    };
    const Row rows[] = {{kKeyboardKind, {2, 1, 23, 3, 20}},
                        {kMouseKind, {2, 3, 4, 1, 9}},
                        {kMousePadKind, {2, 3, 4, 1, 8}},
                        {kHeadsetKind, {2, 3, 4, 1, 8}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        for (uint8_t effect = 0; effect < 5; ++effect) {
            EXPECT_EQ(ModeOfSyncEffect(row.kind, effect), row.modes[effect]);
            EXPECT_EQ(SyncEffectOfMode(row.kind, row.modes[effect]), effect);
        }
        EXPECT_EQ(ModeOfSyncEffect(row.kind, 5), std::nullopt);
        for (int mode : {0, 5, 6, 7, 21, 22, 255}) {
            if (std::find(row.modes.begin(), row.modes.end(), mode) == row.modes.end()) {
                EXPECT_EQ(SyncEffectOfMode(row.kind, mode), std::nullopt) << mode;
            }
        }
    }
    // A mouse in mode 4 flashes; a keyboard's mode 4 has no sync effect.
    EXPECT_EQ(SyncEffectOfMode(kMouseKind, 4), SyncLightState::Flash);
    EXPECT_EQ(SyncEffectOfMode(kKeyboardKind, 4), std::nullopt);
    EXPECT_EQ(SyncEffectOfMode(9, 1), std::nullopt);
}

TEST(ColorEdit, ReadsLeadingDigitsAndCorrectsWhatCannotBeAByte) {
    struct Row {
        const wchar_t* text;
        int value;
        std::optional<std::wstring> shown;
    };
    const Row rows[] = {
        {L"0", 0, std::nullopt},
        {L"255", 255, std::nullopt},
        {L"256", 255, L"255"},
        {L"300", 255, L"255"},
        {L"99999999999999999999", 255, L"255"},
        {L"", 0, L"0"},
        {L"abc", 0, std::nullopt},
        {L"-5", 0, L"0"},
        {L"-0", 0, std::nullopt},
        {L"12abc", 12, std::nullopt},
        {L" 7", 7, std::nullopt},
        {L"+8", 8, std::nullopt},
        {L"-", 0, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.text)));
        const ColorEditValue read = ReadColorEdit(row.text);
        EXPECT_EQ(read.value, row.value);
        EXPECT_EQ(read.shown, row.shown);
    }
}

// The music-light edits: each changes the colour slot the page edits (the
// foreground when the colour type is set), ends the seven colours when it
// is the foreground, and stores, saves and applies the setting.
TEST_F(LightingCommandsTest, MusicLightEditsChangeTheSlotTheColourTypeNames) {
    ASSERT_NE(ConnectKeyboard(), nullptr);
    const auto text = [](CLightControlUI& l, const wchar_t* name, const wchar_t* value) {
        CControlUI* edit = l.FindSubControl(name);
        ASSERT_NE(edit, nullptr);
        edit->SetText(value);
    };
    struct Row {
        const char* name;
        uint8_t colorType;
        std::function<void(CMainWnd&, CLightControlUI&)> act;
        std::function<void(AudioLightSetting&)> change;
    };
    const Row rows[] = {
        {"foreground green 999", 1,
         [&](CMainWnd& w, CLightControlUI& l) {
             text(l, L"deng_audioedit_G", L"999");
             w.OnAudioEditColor(1);
         },
         [](AudioLightSetting& s) { s.fgGreen = 255, s.sevenColor = 0; }},
        {"background blue empty", 0,
         [&](CMainWnd& w, CLightControlUI& l) {
             text(l, L"deng_audioedit_B", L"");
             w.OnAudioEditColor(2);
         },
         [](AudioLightSetting& s) { s.bkBlue = 0; }},
        {"background red -7", 0,
         [&](CMainWnd& w, CLightControlUI& l) {
             text(l, L"deng_audioedit_R", L"-7");
             w.OnAudioEditColor(0);
         },
         [](AudioLightSetting& s) { s.bkRed = 0; }},
        {"foreground swatch 1", 1, [](CMainWnd& w, CLightControlUI&) { w.OnAudioColorOption(1); },
         [](AudioLightSetting& s) { s.fgRed = 0xFF, s.fgGreen = 0x80, s.fgBlue = 0, s.sevenColor = 0; }},
        {"background swatch 0", 0, [](CMainWnd& w, CLightControlUI&) { w.OnAudioColorOption(0); },
         [](AudioLightSetting& s) { s.bkRed = 0xFF, s.bkGreen = 0, s.bkBlue = 0; }},
        {"clear the background", 1, [](CMainWnd& w, CLightControlUI&) { w.ClearAudioBackground(); },
         [](AudioLightSetting& s) { s.bkRed = s.bkGreen = s.bkBlue = 0; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AudioLightSetting start;
        start.mode = 2;
        start.bkRed = 10, start.bkGreen = 20, start.bkBlue = 30;
        start.fgRed = 40, start.fgGreen = 50, start.fgBlue = 60;
        start.sevenColor = 1;
        start.colorType = row.colorType;
        keyboard_->SetAudioLightInfo(start);
        Light()->SetAudioLightInfo(start);  // as the page shows it
        keyboard_->applied.store(0);
        row.act(*commands_, *Light());
        AudioLightSetting expected = start;
        row.change(expected);
        // The reapplied profile opens the page on the foreground colour again,
        // so the colours and (for the foreground) the seven colours tell.
        const AudioLightSetting now = keyboard_->CurrentAudioLightSetting();
        EXPECT_EQ((std::array<int, 6>{now.bkRed, now.bkGreen, now.bkBlue, now.fgRed, now.fgGreen, now.fgBlue}),
                  (std::array<int, 6>{expected.bkRed, expected.bkGreen, expected.bkBlue, expected.fgRed,
                                      expected.fgGreen, expected.fgBlue}));
        if (row.colorType != 0) {
            EXPECT_EQ(now.sevenColor, expected.sevenColor);
        }
        EXPECT_GT(keyboard_->applied.load(), 0);
    }
}

}  // namespace
}  // namespace commandstest
