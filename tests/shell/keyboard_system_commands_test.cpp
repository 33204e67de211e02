// The keyboard-wide commands of the main window on a real keyboard page bound
// by the real scan to an emulated keyboard: the system tab's rows as the
// user's notifications reach them (the block the keyboard receives and the
// profile file), the 30-second clock sync, a language change and the stop of
// the event listeners at shutdown.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/keyboard_clock.h"
#include "keyboard/keyboard_device_block.h"
#include "link/device/device_option_ui.h"
#include "link/device_packet.h"
#include "link/keyboard_profiledata.h"
#include "platform/files/utf8.h"
#include "platform/os/messages.h"
#include "platform/ui/controls.h"
#include "platform/ui/resource_manager.h"
#include "shell/controls/device_key_button_ui.h"
#include "shell/controls/process_state.h"
#include "tests/shell/device_commands_fixture.h"
#include "tools/devsim/keyboard_model.h"
#include "tests/shell/main_wnd_fixture.h"

namespace commandstest {
namespace {

namespace block = device_block;

class KeyboardSystemCommandsTest : public DeviceCommandsTest {
protected:
    void SetUp() override {
        DeviceCommandsTest::SetUp();
        ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(L"lan_en.xml"));
    }

    CControlUI* Control(const wchar_t* name) { return keyboard_->FindSubControl(name); }
    COptionUI* Option(const wchar_t* name) {
        CControlUI* c = Control(name);
        return c ? static_cast<COptionUI*>(c->GetInterface(L"Option")) : nullptr;
    }
    // What the user's actions send: an option chosen or toggled, a slider
    // released, an edit left, a button clicked.
    // A switch ticked (on) or unticked by the user; one already in that
    // state is first put the other way without telling anyone.
    void Tick(const wchar_t* name, bool on) {
        COptionUI* option = Option(name);
        ASSERT_NE(option, nullptr) << name;
        if (option->IsSelected() == on) option->Selected(!on, false);
        option->Selected(on, true);
    }
    void Notify(const wchar_t* name, const wchar_t* type) {
        CControlUI* c = Control(name);
        ASSERT_NE(c, nullptr) << name;
        commands_->GetPaintManager()->SendNotify(c, type);
    }
    KeyboardSystemStages SavedStages() {
        CKeyboardProfiledata document;
        document.LoadProfile(keyboard_->GetProfilePath());
        return document.GetSystemStages();
    }
};

// Each row of the system tab: what the user does, which byte of the block
// the keyboard receives carries it (none for the values that stay in the
// profile), and the value the profile file then holds.
TEST_F(KeyboardSystemCommandsTest, EachSystemRowReachesTheProfileAndTheRowsOfTheBlockTheKeyboard) {
    ASSERT_NE(ConnectKeyboard(), nullptr);
    struct Row {
        const char* what;
        std::function<void()> act;
        int byte;  // -1: no block write
        int value;
        std::function<int(const KeyboardSystemStages&)> saved;
    };
    const std::vector<Row> rows = {
        {"Win lock on", [&] { Tick(L"winlockflag_option", true); }, block::kWinFlag, 1,
         [](const KeyboardSystemStages& s) { return s.winFlag; }},
        {"Win lock off", [&] { Tick(L"winlockflag_option", false); }, block::kWinFlag, 0,
         [](const KeyboardSystemStages& s) { return s.winFlag; }},
        {"W switch", [&] { Tick(L"wflag_option", true); }, block::kWFlag, 1,
         [](const KeyboardSystemStages& s) { return s.wFlag; }},
        {"6 switch off", [&] { Tick(L"6flag_option", false); }, block::kKey6Flag, 0,
         [](const KeyboardSystemStages& s) { return s.key6Flag; }},
        {"report rate 2", [&] { Option(L"polling_rate_option_2")->Selected(true, true); }, block::kPollingRate, 2,
         [](const KeyboardSystemStages& s) { return s.pollingRate; }},
        {"debounce typed 3",
         [&] {
             Control(L"key_shake_edit")->SetText(L"3");
             Notify(L"key_shake_edit", L"killfocus");
         },
         block::kKeyShake, 3, [](const KeyboardSystemStages& s) { return s.keyShake; }},
        {"debounce typed 9 is held to 4",
         [&] {
             Control(L"key_shake_edit")->SetText(L"9");
             Notify(L"key_shake_edit", L"killfocus");
         },
         block::kKeyShake, 4, [](const KeyboardSystemStages& s) { return s.keyShake; }},
        {"repeat delay 3", [&] { Option(L"repeat_delay_check_3")->Selected(true, true); }, -1, 3,
         [](const KeyboardSystemStages& s) { return s.repeatDelay; }},
        {"repeat rate 20",
         [&] {
             static_cast<CSliderUI*>(Control(L"repeat_rate_slider")->GetInterface(L"Slider"))->SetValue(20);
             Notify(L"repeat_rate_slider", L"valuechanged");
         },
         -1, 20, [](const KeyboardSystemStages& s) { return s.repeat; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        device_->ClearRecord();
        row.act();
        EXPECT_EQ(row.saved(SavedStages()), row.value);
        EXPECT_EQ(row.saved(keyboard_->GetSystemStages()), row.value);
        if (row.byte < 0) {
            EXPECT_TRUE(device_->Requests(CMD_WRITE_PARAMS).empty());
            continue;
        }
        const std::vector<uint8_t> written = LastBlockWrite();
        ASSERT_EQ(written.size(), kDeviceBlockSize);
        EXPECT_EQ(written[size_t(row.byte)], row.value);
        auto lock = device_->Lock();
        EXPECT_EQ(device_->Memory().params[size_t(row.byte)], row.value);
    }
    // What the tab shows.
    EXPECT_EQ(Control(L"key_shake_text")->GetText(), L"15 ms");
    EXPECT_EQ(Control(L"key_shake_edit")->GetText(), L"4");
    EXPECT_EQ(Control(L"repeat_delay_time_label1")->GetText(), L"Repeat delay: 1000ms");
    EXPECT_TRUE(Option(L"polling_rate_option_2")->IsSelected());
    EXPECT_FALSE(Option(L"polling_rate_option_0")->IsSelected());
    // Every earlier choice is still on the keyboard: one row does not undo another.
    auto lock = device_->Lock();
    EXPECT_EQ(device_->Memory().params[block::kWFlag], 1);
    EXPECT_EQ(device_->Memory().params[block::kKey6Flag], 0);
    EXPECT_EQ(device_->Memory().params[block::kPollingRate], 2);
}

TEST_F(KeyboardSystemCommandsTest, TheClearButtonEmptiesTheRepeatTestBox) {
    ASSERT_NE(ConnectKeyboard(), nullptr);
    Control(L"repeat_input_richedit")->SetText(L"aaaaaaaa");
    Notify(L"reset_repeat_btn", L"click");
    EXPECT_EQ(Control(L"repeat_input_richedit")->GetText(), L"");
}

// Timer 1031 sets the keyboard's clock to the PC's, except while a screen
// upload holds the keyboard.
TEST_F(KeyboardSystemCommandsTest, TheClockTimerWritesTheClockUnlessAnUploadRuns) {
    ASSERT_NE(ConnectKeyboard(), nullptr);
    const win::HWND window = commands_->GetHWND();

    keyboard_->SetScreenUploading(1);
    device_->ClearRecord();
    win::SendMessageW(window, win::WM_TIMER, TIMER_MAIN_CLOCK_SYNC, 0);
    EXPECT_TRUE(device_->Requests(CMD_WRITE_CLOCK).empty());
    keyboard_->SetScreenUploading(0);

    {
        auto lock = device_->Lock();
        std::fill(device_->Memory().params.begin(), device_->Memory().params.end(), uint8_t(0));
    }
    device_->ClearRecord();
    const KeyboardClock before = LocalKeyboardClock();
    win::SendMessageW(window, win::WM_TIMER, TIMER_MAIN_CLOCK_SYNC, 0);
    const KeyboardClock after = LocalKeyboardClock();
    EXPECT_EQ(device_->Requests(CMD_WRITE_CLOCK).size(), 1u);
    auto lock = device_->Lock();
    const auto clock = tavrik::devsim::ViewClock(device_->Memory(), 0);
    ASSERT_TRUE(clock.has_value());
    // Minute to year as the PC's clock shows them at the write.
    auto sameAs = [&](const KeyboardClock& pc) {
        const auto bcd = [](uint8_t v) { return (v >> 4) * 10 + (v & 0x0F); };
        return clock->minute == bcd(pc[1]) && clock->hour == bcd(pc[2]) && clock->day == bcd(pc[4]) &&
               clock->month == bcd(pc[5]) && clock->year == bcd(pc[6]);
    };
    EXPECT_TRUE(sameAs(before) || sameAs(after));
}

// The settings window's language change: the keyboard shows the key picture
// of the new language (its entry previews it), the key labels take the new
// language's texts and the block is written again.
TEST_F(KeyboardSystemCommandsTest, ALanguageChangeReachesTheKeyPictureAndTheKeyLabels) {
    ASSERT_NE(ConnectKeyboard(), nullptr);
    ASSERT_FALSE(keyboard_->GetKeyButtons().empty());
    const CDuiString englishLabel = keyboard_->GetKeyButtons()[0]->GetUserToolText();
    Option(L"repeat_delay_check_2")->Selected(true, true);
    ASSERT_EQ(Control(L"repeat_delay_time_label1")->GetText(), L"Repeat delay: 750ms");
    auto* testBox = static_cast<CRichEditUI*>(Control(L"repeat_input_richedit")->GetInterface(L"RichEdit"));
    ASSERT_NE(testBox, nullptr);
    device_->ClearRecord();

    win::SendMessageW(commands_->GetHWND(), WM_LANGUAGE_CHANGED, 1, 0);

    // The texts built from a language text and a value are built again.
    EXPECT_EQ(Control(L"repeat_delay_time_label1")->GetText(), L"重复延迟：750ms");
    EXPECT_EQ(testBox->GetTipValue(), L"在此按住一个键试试重复");

    EXPECT_EQ(CCorvaneKeyboardDevice::GetLanguageIndex(), 1);
    EXPECT_FALSE(Control(L"keyboard_device_key_light_0")->IsVisible());
    CControlUI* picture = Control(L"keyboard_device_key_light_1");
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->IsVisible());
    EXPECT_EQ(keyboard_->GetSelectPanel(), picture);
    ASSERT_NE(keyboard_->GetDeviceOption(), nullptr);
    EXPECT_EQ(keyboard_->GetDeviceOption()->GetPreviewControl(), picture);
    // The buttons of the new picture carry labels in the new language.
    ASSERT_FALSE(keyboard_->GetKeyButtons().empty());
    CDeviceKeyButtonUI* key = keyboard_->GetKeyButtons()[0];
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->GetParent(), picture);
    const CDuiString chineseLabel = key->GetUserToolText();
    EXPECT_NE(chineseLabel, englishLabel);
    EXPECT_NE(chineseLabel.str().find(CResourceManager::GetInstance()->GetText(L"Key_Set").str()), std::wstring::npos)
        << win::ToUtf8(chineseLabel.str());
    EXPECT_FALSE(device_->Requests(CMD_WRITE_PARAMS).empty());

    // The layout refresh does the same without writing the keyboard.
    device_->ClearRecord();
    win::SendMessageW(commands_->GetHWND(), WM_KEYBOARD_LAYOUT_REFRESH, 0, 0);
    EXPECT_TRUE(Control(L"keyboard_device_key_light_0")->IsVisible());
    EXPECT_TRUE(device_->Requests(CMD_WRITE_PARAMS).empty());
    win::SendMessageW(commands_->GetHWND(), WM_LANGUAGE_CHANGED, 0, 0);
    EXPECT_EQ(Control(L"repeat_delay_time_label1")->GetText(), L"Repeat delay: 750ms");
    EXPECT_EQ(testBox->GetTipValue(), L"Hold a key here to try the repeat");
}

// At shutdown the keyboards' event listeners end with the workers, while
// the pages still exist.
TEST_F(KeyboardSystemCommandsTest, ShutdownStopsTheKeyboardsEventListeners) {
    ASSERT_NE(ConnectKeyboard(), nullptr);
    ASSERT_GT(keyboard_->RunningEventListeners(), 0);
    commands_->StopWorkerThreads();
    EXPECT_EQ(keyboard_->RunningEventListeners(), 0);
}

}  // namespace
}  // namespace commandstest
