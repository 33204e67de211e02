// The key-assignment commands of the main window on a real keyboard page,
// bound by the real scan to an emulated keyboard on the sim bus: saving the
// key map with the macro write's outcomes, capturing keys through the
// keyboard hook (fed by injected input), the key debounce and the hook's
// release while the window is inactive.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "keyboard/corvane_keyboard_device.h"
#include "link/device_packet.h"
#include "pages/device_hook.h"
#include "pages/key_set_control_ui.h"
#include "pages/macro_files.h"
#include "platform/hooks/hook_api.h"
#include "platform/hooks/injected_input_source.h"
#include "platform/files/folders.h"
#include "platform/os/messages.h"
#include "platform/ui/progress.h"
#include "platform/ui/win_window_api.h"
#include "shell/main/device_scan_thread.h"
#include "tests/link/sim_channel.h"
#include "tests/shell/discovery_fixture.h"
#include "tests/shell/main_wnd_fixture.h"

namespace {

using namespace DuiLib;
using discoverytest::DiscoveryTest;
using discoverytest::DiscoveryWnd;
using tavrik::devsim::Emulator;
using tavrik::devsim::Fault;
using tavrik::devsim::FaultKind;
using tavrik::devsim::ProductKind;

constexpr int kKey = 10;

// The main window with its real pages and key commands; only the message
// boxes are recorded instead of shown.
class KeyCommandsWnd : public DiscoveryWnd {
public:
    std::vector<std::wstring> messages;

    CControlUI* CreateControl(LPCTSTR pstrClass) override { return CMainWnd::CreateControl(pstrClass); }
    void SetKeyCaptureHook(int start) override { CMainWnd::SetKeyCaptureHook(start); }
    void SetDeviceUiEnabled(bool lockSelector, bool enabled) override {
        CMainWnd::SetDeviceUiEnabled(lockSelector, enabled);
    }
    bool IsDeviceUiEnabled() override { return CMainWnd::IsDeviceUiEnabled(); }
    int ShowMainMessage(const wchar_t* text, int, int) override {
        messages.push_back(text);
        return 1;
    }
};

KeyFunction HookKey(KeyCommandsWnd& w, win::DWORD vk, win::DWORD scan, win::DWORD flags, win::WPARAM kind) {
    win::KBDLLHOOKSTRUCT event;
    event.vkCode = vk;
    event.scanCode = scan;
    event.flags = flags;
    w.OnHookKey(kind, reinterpret_cast<win::LPARAM>(&event));
    auto* keyboard = dynamic_cast<CCorvaneKeyboardDevice*>(w.GetCurrentDevice());
    return keyboard ? keyboard->GetKeyList()[kKey].current.function : KeyFunction{};
}

std::string Hex(KeyFunction f) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X %02X %02X", f.code, f.param1, f.param2);
    return text;
}

class KeyCommandsTest : public DiscoveryTest {
protected:
    void SetUp() override {
        DiscoveryTest::SetUp();
        ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(L"lan_en.xml"));
        device_ = &sim_.Plug(kind_);
        if (device_->Product().receiver) device_->SetLinked(true);
        wnd_ = new KeyCommandsWnd;
        window_ = wnd_;
        wnd_->Create(nullptr, kProductString, win::WS_POPUP | win::WS_VISIBLE, 0, 0, 0, 800, 572);
        mainwndtest::Pump();
        ScanPass();
        // A receiver's entry shows once its connect timer has seen the link.
        if (device_->Product().receiver) Entry(discoverytest::kKeyboardEntry)->DeviceTimerProc(TIMER_OPTION_CONNECT);
        // The entry's clock (connect, frames, status) stays off: the test
        // connects the page itself, and repaints of the lights would flood
        // every pump of the message queue.
        wnd_->GetPaintManager()->KillTimer(Entry(discoverytest::kKeyboardEntry));
        mainwndtest::Pump();
        keyboard_ = dynamic_cast<CCorvaneKeyboardDevice*>(wnd_->GetCurrentDevice());
        ASSERT_NE(keyboard_, nullptr);
        keyboard_->CommandChannel().m_timeouts = tavrik::test::FastTimeouts();
        keyboard_->OnConnected();
        // The lighting would repaint the page all the time; these tests
        // watch keys, not lights.
        keyboard_->StopLightThreads();
        keys_ = wnd_->KeySetPageOf(keyboard_);
        ASSERT_NE(keys_, nullptr);
        ASSERT_GT(keyboard_->GetKeyList().size(), size_t(kKey));
        keyboard_->SelectKey(kKey);
        device_->ClearRecord();
    }

    // The user picks the keyboard-key category.
    void ChooseKeyboardKeyCategory() {
        keys_->SelectFunctionItem(keys_->FindFunctionItem(kCategoryKeyboardKey));
        wnd_->OnKeyFunctionSelected();
    }
    std::wstring KeyName() { return std::wstring(keys_->GetKeyNameEditText()); }
    bool SaveButtonsEnabled() { return keyboard_->FindSubControl(L"key_butt_keysave")->IsEnabled(); }
    std::string ProfileText() {
        std::ifstream in(win::ToFsPath(keyboard_->GetProfilePath().str()));
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // A macro list of one macro of `events` events, assigned to the selected key.
    void AssignMacro(size_t events) {
        const std::vector<MacroEvent> steps(events, MacroEvent{true, 4, kMacroKey, 10});
        ASSERT_TRUE(SaveMacroFile(MacroFilePath(keyboard_->GetUserDataFolder(), "g0"), {steps, "g0", "g0"}));
        ASSERT_TRUE(SaveMacroList(keyboard_->GetUserDataFolder(), {{"m", "g0"}}));
        std::vector<KeyListEntry> list = keyboard_->GetKeyList();
        list[kKey].current.function = {0x70, 0, 0};
        keyboard_->SetKeyList(list);
    }

    ProductKind kind_ = ProductKind::KeyboardCable;
    Emulator* device_ = nullptr;
    KeyCommandsWnd* wnd_ = nullptr;
    CCorvaneKeyboardDevice* keyboard_ = nullptr;
    CKeySetControlUI* keys_ = nullptr;
};

TEST_F(KeyCommandsTest, CapturedRightAltThenAKeepsTheAltCheck) {
    ChooseKeyboardKeyCategory();
    for (win::WPARAM kind : {win::WM_SYSKEYDOWN, win::WM_SYSKEYUP}) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(Hex(HookKey(*wnd_, 0xA5, 0x38, win::LLKHF_EXTENDED, kind)), Hex({0x20, 0x04, 0}));
        EXPECT_EQ(keys_->GetSelectedModifierCheck(), 3);
        EXPECT_EQ(KeyName(), L"");
    }
    // Left Alt (no extended flag) is the same check.
    HookKey(*wnd_, 0xA4, 0x38, 0, win::WM_SYSKEYDOWN);
    EXPECT_EQ(keys_->GetSelectedModifierCheck(), 3);
    for (win::WPARAM kind : {win::WM_KEYDOWN, win::WM_KEYUP}) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(Hex(HookKey(*wnd_, 0x41, 0x1E, 0, kind)), Hex({0x20, 0x04, 0x04}));
        EXPECT_EQ(keys_->GetSelectedModifierCheck(), 3);
        EXPECT_EQ(KeyName(), L"A");
    }
    // Editing leaves the save buttons on and the device UI pending.
    EXPECT_FALSE(wnd_->IsDeviceUiEnabled());
    EXPECT_TRUE(SaveButtonsEnabled());
    // Nothing reached the keyboard.
    EXPECT_TRUE(device_->Record().empty());
}

TEST_F(KeyCommandsTest, CapturedKeysAloneAndUnknownScanCodes) {
    ChooseKeyboardKeyCategory();
    const KeyFunction before = keyboard_->GetKeyList()[kKey].current.function;
    // A scan code no key has changes nothing.
    EXPECT_EQ(Hex(HookKey(*wnd_, 0, 0x5F, 0, win::WM_KEYDOWN)), Hex(before));
    EXPECT_EQ(keys_->GetSelectedModifierCheck(), -1);
    const struct {
        const char* name;
        win::DWORD vk, scan, flags;
        KeyFunction expected;
        const wchar_t* shown;
    } cases[] = {
        {"A", 0x41, 0x1E, 0, {0x20, 0, 0x04}, L"A"},
        {"Enter", 0x0D, 0x1C, 0, {0x20, 0, 0x28}, L"Enter"},
        {"Num Enter", 0x0D, 0x1C, win::LLKHF_EXTENDED, {0x20, 0, 0x58}, L"Num Enter"},
        {"Pause", 0x13, 0x45, 0, {0x20, 0, 0x48}, L"Pause"},
        {"Num Lock", 0x90, 0x45, win::LLKHF_EXTENDED, {0x20, 0, 0x53}, L"Num Lock"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Hex(HookKey(*wnd_, c.vk, c.scan, c.flags, win::WM_KEYDOWN)), Hex(c.expected));
        EXPECT_EQ(keys_->GetSelectedModifierCheck(), 0);
        EXPECT_EQ(KeyName(), c.shown);
    }
}

// A category the user turns to shows a choice in its list, and saving
// takes that choice: the list is not left empty.
TEST_F(KeyCommandsTest, ACategoryTurnedToShowsItsFirstRowChosen) {
    struct Case {
        int category;
        const wchar_t* list;
        uint8_t code;  // of the function the first row builds
    };
    for (const Case& c :
         {Case{kCategoryMedia, L"keyset_media_combo", 0x30}, Case{kCategorySystem, L"keyset_system_combo", 0x40}}) {
        SCOPED_TRACE(c.category);
        CControlUI* found = keys_->FindSubControl(c.list);
        auto* list = found ? static_cast<CComboUI*>(found->GetInterface(L"Combo")) : nullptr;
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->GetCurSel(), -1) << "nothing chosen before";
        keys_->SelectFunctionItem(keys_->FindFunctionItem(c.category));
        wnd_->OnKeyFunctionSelected();
        EXPECT_EQ(list->GetCurSel(), 0);
        EXPECT_EQ(keys_->BuildAssignment().current.function.code, c.code);
    }
}

TEST_F(KeyCommandsTest, SaveWritesTheKeyMapAndTheProfile) {
    ChooseKeyboardKeyCategory();
    HookKey(*wnd_, 0x41, 0x1E, 0, win::WM_KEYDOWN);
    wnd_->SaveKeyAssignments();
    EXPECT_TRUE(wnd_->messages.empty());
    EXPECT_FALSE(device_->Requests(CMD_WRITE_KEYMAP).empty());
    EXPECT_NE(ProfileText().find(std::to_string(0x200004)), std::string::npos);
    EXPECT_TRUE(wnd_->IsDeviceUiEnabled());
    EXPECT_FALSE(SaveButtonsEnabled());
}

TEST_F(KeyCommandsTest, MacrosThatDidNotReachTheKeyboardStillSaveTheKeys) {
    AssignMacro(1);
    device_->Inject(Fault{FaultKind::Status, 1, CMD_WRITE_MACROS, 0, 0, 0xFF});
    wnd_->SaveKeyAssignments();
    ASSERT_EQ(wnd_->messages.size(), 1u);
    EXPECT_EQ(wnd_->messages[0], L"message_text_7");
    EXPECT_FALSE(device_->Requests(CMD_WRITE_KEYMAP).empty());
    EXPECT_NE(ProfileText().find(std::to_string(0x700000)), std::string::npos);
    EXPECT_TRUE(wnd_->IsDeviceUiEnabled());
}

TEST_F(KeyCommandsTest, MacrosThatDoNotFitLeaveTheKeyOnItsDefault) {
    {
        auto lock = device_->Lock();
        device_->Memory().info[6] = 2;  // a small macro capacity
    }
    keyboard_->OnConnected();  // reads the capacity
    keyboard_->StopLightThreads();
    keyboard_->SelectKey(kKey);
    AssignMacro(60);
    device_->ClearRecord();
    const std::string before = ProfileText();
    wnd_->SaveKeyAssignments();
    ASSERT_EQ(wnd_->messages.size(), 1u);
    EXPECT_NE(wnd_->messages[0].find(L" 2 "), std::wstring::npos) << win::ToUtf8(wnd_->messages[0]);
    EXPECT_EQ(wnd_->messages[0].find(L"%d"), std::wstring::npos);
    EXPECT_TRUE(device_->Requests(CMD_WRITE_KEYMAP).empty());
    EXPECT_TRUE(device_->Requests(CMD_WRITE_MACROS).empty());
    EXPECT_EQ(ProfileText(), before);
    const KeyListEntry entry = keyboard_->GetKeyList()[kKey];
    EXPECT_EQ(entry.current.function, entry.defaults.function);
    EXPECT_FALSE(wnd_->IsDeviceUiEnabled());
    EXPECT_TRUE(SaveButtonsEnabled());
}

class ReceiverKeyCommandsTest : public KeyCommandsTest {
protected:
    void SetUp() override {
        kind_ = ProductKind::KeyboardReceiver;
        KeyCommandsTest::SetUp();
    }
};

// A receiver whose keyboard is away answers "not linked": the user is told,
// neither the macros, the key map nor the profile are written, and the edit
// stays pending until a save with the keyboard back goes through.
TEST_F(ReceiverKeyCommandsTest, AReceiverWithoutItsKeyboardWritesNothingUntilItIsBack) {
    AssignMacro(1);
    wnd_->SetDeviceUiEnabled(false, false);  // as the edit that assigned it
    const std::string before = ProfileText();
    device_->SetLinked(false);
    device_->ClearRecord();
    wnd_->SaveKeyAssignments();
    ASSERT_EQ(wnd_->messages.size(), 1u);
    EXPECT_EQ(wnd_->messages[0], L"device_unlink_text");
    EXPECT_TRUE(device_->Requests(CMD_WRITE_MACROS).empty());
    EXPECT_TRUE(device_->Requests(CMD_WRITE_KEYMAP).empty());
    EXPECT_EQ(ProfileText(), before);
    EXPECT_FALSE(wnd_->IsDeviceUiEnabled());

    device_->SetLinked(true);
    wnd_->SaveKeyAssignments();
    EXPECT_EQ(wnd_->messages.size(), 1u);
    EXPECT_FALSE(device_->Requests(CMD_WRITE_MACROS).empty());
    EXPECT_FALSE(device_->Requests(CMD_WRITE_KEYMAP).empty());
    EXPECT_NE(ProfileText().find(std::to_string(0x700000)), std::string::npos);
    EXPECT_TRUE(wnd_->IsDeviceUiEnabled());
}

TEST_F(KeyCommandsTest, DebounceAtItsMaximumAndBeyond) {
    auto* slider = static_cast<CSliderUI*>(keyboard_->FindSubControl(L"key_shake_slider")->GetInterface(L"Slider"));
    ASSERT_NE(slider, nullptr);
    for (int asked : {4, 9}) {
        SCOPED_TRACE(asked);
        slider->SetValue(asked);
        device_->ClearRecord();
        wnd_->OnKeyShakeChanged();
        EXPECT_EQ(keyboard_->FindSubControl(L"key_shake_text")->GetText(), L"15 ms");
        EXPECT_EQ(keyboard_->GetSystemStages().keyShake, 4);
        EXPECT_FALSE(device_->Requests(CMD_WRITE_PARAMS).empty());
        auto lock = device_->Lock();
        EXPECT_EQ(device_->Memory().params[45], 4);
    }
    EXPECT_NE(ProfileText().find("\"KeyShake\" : 4"), std::string::npos);
}

TEST_F(KeyCommandsTest, CaptureHookFollowsTheWindowsActivation) {
    tavrik::hooks::InjectedInput input;
    // The key edit is on the keys tab: only a shown edit takes the focus.
    keyboard_->SelectFunctionTab(2);
    mainwndtest::Pump();
    CControlUI* edit = keyboard_->FindSubControl(L"keyset_keyboard_text_edit");
    ASSERT_NE(edit, nullptr);
    ChooseKeyboardKeyCategory();
    wnd_->GetPaintManager()->SetFocus(edit);
    ASSERT_EQ(wnd_->GetPaintManager()->GetFocus(), edit);
    wnd_->SetKeyCaptureHook(1);
    ASSERT_TRUE(CDeviceHook::IsKeyboardHookInstalled());
    EXPECT_TRUE(input.KeyboardGrabbed());

    // A key of the desktop arrives through the hook: X key code 38 is A.
    EXPECT_TRUE(input.Inject({tavrik::hooks::KeyEvent(true, 38, 'a', 100)}));
    EXPECT_TRUE(mainwndtest::PumpUntil([&] {
        return keyboard_->GetKeyList()[kKey].current.function == KeyFunction{0x20, 0, 0x04};
    }));

    // Leaving the window frees the keyboard.
    win::SendMessageW(wnd_->GetHWND(), win::WM_ACTIVATE, win::WA_INACTIVE, 0);
    EXPECT_FALSE(CDeviceHook::IsKeyboardHookInstalled());
    EXPECT_FALSE(input.KeyboardGrabbed());
    // Coming back with the edit still focused takes it again: B (code 56).
    win::SendMessageW(wnd_->GetHWND(), win::WM_ACTIVATE, win::WA_ACTIVE, 0);
    ASSERT_TRUE(CDeviceHook::IsKeyboardHookInstalled());
    EXPECT_TRUE(input.KeyboardGrabbed());
    EXPECT_TRUE(input.Inject({tavrik::hooks::KeyEvent(true, 56, 'b', 200)}));
    EXPECT_TRUE(mainwndtest::PumpUntil([&] {
        return keyboard_->GetKeyList()[kKey].current.function == KeyFunction{0x20, 0, 0x05};
    }));
    // Coming back with the focus elsewhere leaves the keyboard to the desktop.
    win::SendMessageW(wnd_->GetHWND(), win::WM_ACTIVATE, win::WA_INACTIVE, 0);
    wnd_->GetPaintManager()->SetFocus(nullptr);
    win::SendMessageW(wnd_->GetHWND(), win::WM_ACTIVATE, win::WA_ACTIVE, 0);
    EXPECT_FALSE(CDeviceHook::IsKeyboardHookInstalled());
    EXPECT_FALSE(input.KeyboardGrabbed());

    // Hiding the window while the key is being captured frees it too.
    wnd_->GetPaintManager()->SetFocus(edit);
    wnd_->SetKeyCaptureHook(1);
    ASSERT_TRUE(CDeviceHook::IsKeyboardHookInstalled());
    wnd_->ShowWindow(false);
    EXPECT_FALSE(CDeviceHook::IsKeyboardHookInstalled());
    wnd_->SetKeyCaptureHook(0);
    EXPECT_FALSE(CDeviceHook::IsKeyboardHookInstalled());
}

}  // namespace
