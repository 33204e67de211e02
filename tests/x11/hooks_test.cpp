// The hooks without a display: the vocabulary of keys and buttons, the
// auto-repeat folding, and the hook API and input-trap library fed by the
// injected source.

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <atomic>
#include <thread>

#include "platform/hooks/hook_api.h"
#include "platform/hooks/hook_hub.h"
#include "platform/hooks/injected_input_source.h"
#include "platform/hooks/input_vocabulary.h"
#include "platform/hooks/key_trap.h"
#include "platform/os/registered_message.h"
#include "platform/os/window.h"
#include "tests/x11/hook_recorder.h"

namespace tavrik::hooks {
namespace {

using test::Hooked;
using test::PumpMessages;

// X key codes of the evdev driver (kernel key code + 8).
constexpr unsigned kKeyA = 38, kKeyB = 56, kRightCtrl = 105, kKeypadEnter = 104, kNumLock = 77, kPause = 127,
                   kRightShift = 62, kLeftAlt = 64, kCapsLock = 66, kLeftWin = 133, kRightAlt = 108;

struct KeyCase {
    const char* name;
    InputEvent event;
    win::DWORD vk, scan, flags;
    win::WPARAM message;
};

TEST(HookVocabulary, KeysGiveVirtualKeyScanCodeFlagsAndMessage) {
    const unsigned alt = kAltModifierMask;
    const KeyCase cases[] = {
        {"a down", KeyEvent(true, kKeyA, XK_a), 0x41, 0x1E, 0, 0x100},
        {"a up", KeyEvent(false, kKeyA, XK_a), 0x41, 0x1E, win::LLKHF_UP, 0x101},
        {"right ctrl", KeyEvent(true, kRightCtrl, XK_Control_R), 0xA3, 0x1D, win::LLKHF_EXTENDED, 0x100},
        {"keypad enter", KeyEvent(true, kKeypadEnter, XK_KP_Enter), 0x0D, 0x1C, win::LLKHF_EXTENDED, 0x100},
        {"num lock is extended", KeyEvent(true, kNumLock, XK_Num_Lock), 0x90, 0x45, win::LLKHF_EXTENDED, 0x100},
        {"pause is 0x45 plain", KeyEvent(true, kPause, XK_Pause), 0x13, 0x45, 0, 0x100},
        {"right shift is extended", KeyEvent(true, kRightShift, XK_Shift_R), 0xA1, 0x36, win::LLKHF_EXTENDED, 0x100},
        {"caps lock", KeyEvent(true, kCapsLock, XK_Caps_Lock), 0x14, 0x3A, 0, 0x100},
        {"left win", KeyEvent(true, kLeftWin, XK_Super_L), 0x5B, 0x5B, win::LLKHF_EXTENDED, 0x100},
        {"alt itself", KeyEvent(true, kLeftAlt, XK_Alt_L), 0xA4, 0x38, win::LLKHF_ALTDOWN, 0x104},
        {"alt released", KeyEvent(false, kLeftAlt, XK_Alt_L, 0, alt), 0xA4, 0x38, win::LLKHF_ALTDOWN | win::LLKHF_UP,
         0x105},
        {"right alt", KeyEvent(true, kRightAlt, XK_Alt_R), 0xA5, 0x38, win::LLKHF_EXTENDED | win::LLKHF_ALTDOWN, 0x104},
        {"a with alt", KeyEvent(true, kKeyA, XK_a, 0, alt), 0x41, 0x1E, win::LLKHF_ALTDOWN, 0x104},
        {"a up with alt", KeyEvent(false, kKeyA, XK_a, 0, alt), 0x41, 0x1E, win::LLKHF_ALTDOWN | win::LLKHF_UP, 0x105},
        {"a with shift", KeyEvent(true, kKeyA, XK_a, 0, 1u /* Shift */), 0x41, 0x1E, 0, 0x100},
        {"japanese ro", KeyEvent(true, 97, XK_backslash), 0xDC, 0x73, 0, 0x100},
        {"yen", KeyEvent(true, 132, XK_yen), 0, 0x7D, 0, 0x100},
        {"henkan", KeyEvent(true, 100, XK_Henkan), 0, 0x79, 0, 0x100},
        {"muhenkan", KeyEvent(true, 102, XK_Muhenkan), 0, 0x7B, 0, 0x100},
        {"katakana/hiragana", KeyEvent(true, 101, XK_Hiragana_Katakana), 0, 0x70, 0, 0x100},
        {"keypad comma", KeyEvent(true, 129, XK_KP_Separator), 0x6C, 0x7E, 0, 0x100},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        const KeyHookEvent k = ToKeyHookEvent(c.event, 1234);
        EXPECT_EQ(k.record.vkCode, c.vk);
        EXPECT_EQ(k.record.scanCode, c.scan);
        EXPECT_EQ(k.record.flags, c.flags);
        EXPECT_EQ(k.message, c.message);
        EXPECT_EQ(k.record.time, 1234u);
    }
}

struct ButtonCase {
    unsigned button;
    bool press;
    win::WPARAM message;  // 0: nothing
    win::DWORD mouseData;
};

TEST(HookVocabulary, ButtonsGiveMouseMessagesAndMouseData) {
    const ButtonCase cases[] = {
        {1, true, 0x201, 0},
        {1, false, 0x202, 0},
        {2, true, 0x207, 0},
        {2, false, 0x208, 0},
        {3, true, 0x204, 0},
        {3, false, 0x205, 0},
        {8, true, 0x20B, 0x10000},
        {8, false, 0x20C, 0x10000},
        {9, true, 0x20B, 0x20000},
        {9, false, 0x20C, 0x20000},
        {4, true, 0x20A, 0x00780000},
        {5, true, 0x20A, 0xFF880000},
        {6, true, 0x20E, 0xFF880000},
        {7, true, 0x20E, 0x00780000},
        {4, false, 0, 0},
        {7, false, 0, 0},
        {10, true, 0, 0},
        {0, true, 0, 0},
    };
    for (const ButtonCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "button " << c.button << (c.press ? " press" : " release"));
        const auto m = ToMouseHookEvent(ButtonEvent(c.press, c.button, -5, 700));
        if (!c.message) {
            EXPECT_FALSE(m.has_value());
            continue;
        }
        ASSERT_TRUE(m.has_value());
        EXPECT_EQ(m->message, c.message);
        EXPECT_EQ(m->record.mouseData, c.mouseData);
        EXPECT_EQ(m->record.x, -5);
        EXPECT_EQ(m->record.y, 700);
    }
}

struct FoldCase {
    const char* name;
    std::vector<InputEvent> in;
    std::vector<std::pair<InputKind, unsigned>> out;  // after a flush
};

TEST(HookVocabulary, RepeatFolderTurnsReleasePressPairsIntoOnePress) {
    const auto down = InputKind::KeyDown, up = InputKind::KeyUp;
    const FoldCase cases[] = {
        {"a held: pairs with equal times fold",
         {KeyEvent(true, kKeyA, XK_a, 100), KeyEvent(false, kKeyA, XK_a, 600), KeyEvent(true, kKeyA, XK_a, 600),
          KeyEvent(false, kKeyA, XK_a, 630), KeyEvent(true, kKeyA, XK_a, 630), KeyEvent(false, kKeyA, XK_a, 700)},
         {{down, kKeyA}, {down, kKeyA}, {down, kKeyA}, {up, kKeyA}}},
        {"release and press at different times stay",
         {KeyEvent(false, kKeyA, XK_a, 600), KeyEvent(true, kKeyA, XK_a, 601)},
         {{up, kKeyA}, {down, kKeyA}}},
        {"another key at the same time stays",
         {KeyEvent(false, kKeyA, XK_a, 600), KeyEvent(true, kKeyB, XK_b, 600)},
         {{up, kKeyA}, {down, kKeyB}}},
        {"two releases keep their order",
         {KeyEvent(false, kKeyA, XK_a, 600), KeyEvent(false, kKeyB, XK_b, 600)},
         {{up, kKeyA}, {up, kKeyB}}},
        {"a button between keeps the release",
         {KeyEvent(false, kKeyA, XK_a, 600), ButtonEvent(true, 1, 0, 0, 600), KeyEvent(true, kKeyA, XK_a, 600)},
         {{up, kKeyA}, {InputKind::ButtonDown, 1}, {down, kKeyA}}},
    };
    for (const FoldCase& c : cases) {
        SCOPED_TRACE(c.name);
        RepeatFolder folder;
        std::vector<std::pair<InputKind, unsigned>> out;
        for (const InputEvent& e : c.in)
            for (const InputEvent& d : folder.Feed(e)) out.emplace_back(d.kind, d.detail);
        for (const InputEvent& d : folder.Flush()) out.emplace_back(d.kind, d.detail);
        EXPECT_EQ(out, c.out);
        EXPECT_FALSE(folder.Holding());
    }
}

class InjectedHooks : public ::testing::Test, protected test::HookSet {
protected:
    void SetUp() override { test::ClearHooked(); }
    void TearDown() override {
        ReleaseAll();
        EXPECT_FALSE(HookHub::Instance().SourceRunning());
        test::ClearHooked();
    }
    void TypeA() { ASSERT_TRUE(input_.Inject({KeyEvent(true, kKeyA, XK_a, 1), KeyEvent(false, kKeyA, XK_a, 2)})); }

    InjectedInput input_;
};

TEST_F(InjectedHooks, NothingIsWatchedWithoutAHook) {
    EXPECT_FALSE(input_.Running());
    EXPECT_FALSE(input_.Inject({KeyEvent(true, kKeyA, XK_a)}));
    PumpMessages();
    EXPECT_TRUE(Hooked().keys.empty());
    EXPECT_EQ(input_.Starts(), 0);
}

TEST_F(InjectedHooks, KeyboardHookRunsOnItsThreadWithEveryKeyAndHoldsTheKeyboard) {
    ASSERT_NE(Hook(), nullptr);
    EXPECT_TRUE(input_.Running());
    EXPECT_TRUE(input_.KeyboardGrabbed());

    // Events come from another thread, as they do from the X source.
    std::thread([&] { TypeA(); }).join();
    EXPECT_TRUE(Hooked().keys.empty()) << "delivered only inside the installing thread's message wait";
    PumpMessages();
    ASSERT_EQ(Hooked().keys.size(), 2u);
    EXPECT_EQ(Hooked().keys[0].message, win::WM_KEYDOWN);
    EXPECT_EQ(Hooked().keys[0].record.vkCode, 0x41u);
    EXPECT_EQ(Hooked().keys[0].record.scanCode, 0x1Eu);
    EXPECT_EQ(Hooked().keys[0].code, win::HC_ACTION);
    EXPECT_EQ(Hooked().keys[0].thread, win::GetCurrentThreadId());
    EXPECT_EQ(Hooked().keys[1].message, win::WM_KEYUP);
}

TEST_F(InjectedHooks, HeldKeyGivesRepeatedDownsAndOneUp) {
    ASSERT_NE(Hook(), nullptr);
    ASSERT_TRUE(input_.Inject({KeyEvent(true, kKeyA, XK_a, 100), KeyEvent(false, kKeyA, XK_a, 600),
                               KeyEvent(true, kKeyA, XK_a, 600), KeyEvent(false, kKeyA, XK_a, 633),
                               KeyEvent(true, kKeyA, XK_a, 633), KeyEvent(false, kKeyA, XK_a, 650)}));
    PumpMessages();
    std::vector<win::WPARAM> messages;
    for (const auto& k : Hooked().keys) messages.push_back(k.message);
    EXPECT_EQ(messages, (std::vector<win::WPARAM>{0x100, 0x100, 0x100, 0x101}));
}

TEST_F(InjectedHooks, RemovalDropsQueuedEventsAndStopsTheSource) {
    win::HHOOK h = Hook();
    ASSERT_NE(h, nullptr);
    TypeA();
    Unhook(h);
    PumpMessages();
    EXPECT_TRUE(Hooked().keys.empty());
    EXPECT_FALSE(input_.Running());
    EXPECT_FALSE(input_.KeyboardGrabbed());
    EXPECT_FALSE(win::UnhookWindowsHookEx(h)) << "a removed hook is unknown";
}

TEST_F(InjectedHooks, HookRemovedInsideItsProcedureGetsNothingMore) {
    win::HHOOK h = Hook();
    ASSERT_NE(h, nullptr);
    Hooked().onKey = [&] { Unhook(h); };
    TypeA();
    TypeA();
    PumpMessages();
    EXPECT_EQ(Hooked().keys.size(), 1u);
    EXPECT_FALSE(input_.Running());
}

TEST_F(InjectedHooks, InstallationFailsWithoutRecordingOrWhenTheKeyboardIsHeld) {
    input_.SetRecordingAvailable(false);
    EXPECT_EQ(Hook(), nullptr);
    EXPECT_FALSE(input_.Running());

    input_.SetRecordingAvailable(true);
    input_.SetKeyboardGrabbable(false);
    EXPECT_EQ(Hook(), nullptr);
    EXPECT_FALSE(input_.Running()) << "a failed installation leaves no source behind";
    EXPECT_FALSE(input_.Inject({KeyEvent(true, kKeyA, XK_a)}));

    input_.SetKeyboardGrabbable(true);
    EXPECT_NE(Hook(), nullptr);
}

TEST_F(InjectedHooks, OnlyLowLevelKeyboardHooksOfAllThreadsAreOffered) {
    EXPECT_EQ(win::SetWindowsHookExW(2 /* WH_KEYBOARD */, test::RecordingKeyProc, nullptr, 0), nullptr);
    EXPECT_EQ(win::SetWindowsHookExW(win::WH_KEYBOARD_LL, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(win::SetWindowsHookExW(win::WH_KEYBOARD_LL, test::RecordingKeyProc, nullptr, 5), nullptr);
    EXPECT_FALSE(input_.Running());
}

TEST_F(InjectedHooks, NewestHookSeesTheEventFirstAndPassesItOn) {
    win::HHOOK older = Hook(test::OtherKeyProc);
    win::HHOOK newer = Hook(test::RecordingKeyProc);
    ASSERT_TRUE(older && newer);
    EXPECT_EQ(input_.Starts(), 1) << "one source serves both";

    ASSERT_TRUE(input_.Inject({KeyEvent(true, kKeyA, XK_a)}));
    PumpMessages();
    ASSERT_EQ(Hooked().keys.size(), 1u) << "the older hook sees it only when passed on";
    EXPECT_EQ(Hooked().keys[0].hook, 1);

    Hooked().keyProcCallsNext = true;
    Hooked().keyProcHook = newer;
    ASSERT_TRUE(input_.Inject({KeyEvent(true, kKeyB, XK_b)}));
    PumpMessages();
    ASSERT_EQ(Hooked().keys.size(), 3u);
    EXPECT_EQ(Hooked().keys[2].hook, 2);
    EXPECT_EQ(Hooked().keys[2].record.vkCode, 0x42u);
    EXPECT_EQ(Hooked().lastNextResult, 7);

    // The oldest hook has nothing after it.
    EXPECT_EQ(win::CallNextHookEx(older, 0, 0x100, 0), 0);
    Unhook(newer);
    EXPECT_TRUE(input_.KeyboardGrabbed()) << "the keyboard stays taken while a hook is left";
}

const wchar_t* const kModeMessages[][2] = {
    {L"4", L"WM_HOOK_KEY_MSMACRO_MSG"},
    {L"8", L"WM_HOOK_KEY_MSMACROPREVIOUS_MSG"},
    {L"16", L"WM_HOOK_KEY_MSMACROLATER_MSG"},
    {L"32", L"WM_HOOK_KEY_MSMACROSINGLE_MSG"},
};

TEST_F(InjectedHooks, KeyTrapReportsButtonsAsTheModesMessageWithoutTakingAnything) {
    win::HWND w = Window();
    for (const auto& [modeText, name] : kModeMessages) {
        const int mode = std::stoi(modeText);
        SCOPED_TRACE(mode);
        test::ClearHooked();
        ASSERT_EQ(InstallHook(w, mode), 1);
        EXPECT_FALSE(input_.KeyboardGrabbed()) << "the mouse hook takes no keyboard";
        ASSERT_TRUE(input_.Inject({ButtonEvent(true, 1, 640, 480), ButtonEvent(false, 1, 641, 481),
                                   ButtonEvent(true, 9, 3, 4), KeyEvent(true, kKeyA, XK_a)}));
        PumpMessages();
        ASSERT_EQ(Hooked().mouse.size(), 3u) << "keys are not the mouse hook's";
        const win::UINT id = win::RegisterWindowMessageW(name);
        for (const auto& m : Hooked().mouse) EXPECT_EQ(m.message, id);
        EXPECT_EQ(Hooked().mouse[0].mouseMessage, 0x201u);
        EXPECT_EQ(Hooked().mouse[0].record.x, 640);
        EXPECT_EQ(Hooked().mouse[0].record.y, 480);
        EXPECT_EQ(Hooked().mouse[1].mouseMessage, 0x202u);
        EXPECT_EQ(Hooked().mouse[2].mouseMessage, 0x20Bu);
        EXPECT_EQ(Hooked().mouse[2].record.mouseData >> 16, 2u);
        EXPECT_EQ(UnInstallHook(w), 1);
    }
    EXPECT_EQ(UnInstallHook(w), 0) << "nothing left to remove";
    EXPECT_FALSE(input_.Running());
}

TEST_F(InjectedHooks, KeyTrapInKeyCaptureModeReportsNothing) {
    win::HWND w = Window();
    ASSERT_EQ(InstallHook(w, 1), 1);
    EXPECT_FALSE(input_.Running()) << "nothing to report, nothing watched";
    ASSERT_NE(Hook(), nullptr);
    ASSERT_TRUE(input_.Inject({ButtonEvent(true, 1, 0, 0), KeyEvent(true, kKeyA, XK_a)}));
    PumpMessages();
    EXPECT_TRUE(Hooked().mouse.empty());
    EXPECT_EQ(Hooked().keys.size(), 1u);
    EXPECT_EQ(UnInstallHook(w), 1);
}

TEST_F(InjectedHooks, KeyTrapUninstallDropsQueuedEventsAndReinstallReplacesTheMode) {
    win::HWND w = Window();
    ASSERT_EQ(InstallHook(w, 4), 1);
    ASSERT_TRUE(input_.Inject({ButtonEvent(true, 3, 0, 0)}));
    ASSERT_EQ(InstallHook(w, 8), 1);  // replaces: the queued mode-4 event is dropped
    ASSERT_TRUE(input_.Inject({ButtonEvent(false, 3, 0, 0)}));
    PumpMessages();
    ASSERT_EQ(Hooked().mouse.size(), 1u);
    EXPECT_EQ(Hooked().mouse[0].message, win::RegisterWindowMessageW(L"WM_HOOK_KEY_MSMACROPREVIOUS_MSG"));
    EXPECT_EQ(Hooked().mouse[0].mouseMessage, 0x205u);

    ASSERT_TRUE(input_.Inject({ButtonEvent(true, 3, 0, 0)}));
    EXPECT_EQ(UnInstallHook(w), 1);
    PumpMessages();
    EXPECT_EQ(Hooked().mouse.size(), 1u);
}

TEST_F(InjectedHooks, KeyTrapNeedsAWindowOfTheCallingThreadAndAWatchableDesktop) {
    EXPECT_EQ(InstallHook(nullptr, 4), 0);
    win::HWND foreign = nullptr;
    std::atomic<bool> release{false};
    std::atomic<bool> created{false};
    std::thread other([&] {
        foreign = test::CreateMouseReportWindow();
        created = true;
        while (!release) std::this_thread::yield();
        win::DestroyWindow(foreign);
    });
    while (!created) std::this_thread::yield();
    EXPECT_EQ(InstallHook(foreign, 4), 0);
    release = true;
    other.join();

    win::HWND w = Window();
    input_.SetRecordingAvailable(false);
    EXPECT_EQ(InstallHook(w, 4), 0);
    EXPECT_EQ(UnInstallHook(w), 0);
}

TEST_F(InjectedHooks, KeysAndButtonsArriveInTheOrderTheyHappened) {
    win::HWND w = Window();
    ASSERT_NE(Hook(), nullptr);
    ASSERT_EQ(InstallHook(w, 4), 1);
    ASSERT_TRUE(
        input_.Inject({KeyEvent(true, kKeyA, XK_a, 1), ButtonEvent(true, 1, 0, 0, 2), KeyEvent(false, kKeyA, XK_a, 3),
                       ButtonEvent(false, 1, 0, 0, 4), ButtonEvent(true, 3, 0, 0, 5), KeyEvent(true, kKeyB, XK_b, 6)}));
    PumpMessages();
    EXPECT_EQ(Hooked().sequence, (std::vector<win::WPARAM>{0x100, 0x201, 0x101, 0x202, 0x204, 0x100}));
}

TEST_F(InjectedHooks, KeyboardAndMouseShareOneSourceUntilTheLastLeaves) {
    win::HWND w = Window();
    win::HHOOK h = Hook();
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(InstallHook(w, 4), 1);
    EXPECT_EQ(input_.Starts(), 1);
    Unhook(h);
    EXPECT_FALSE(input_.KeyboardGrabbed());
    EXPECT_TRUE(input_.Running()) << "the mouse hook still watches";
    ASSERT_TRUE(input_.Inject({ButtonEvent(true, 2, 0, 0), KeyEvent(true, kKeyA, XK_a)}));
    PumpMessages();
    EXPECT_EQ(Hooked().mouse.size(), 1u);
    EXPECT_TRUE(Hooked().keys.empty());
    EXPECT_EQ(UnInstallHook(w), 1);
    EXPECT_FALSE(input_.Running());
}

}  // namespace
}  // namespace tavrik::hooks
