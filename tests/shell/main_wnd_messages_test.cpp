// The main window's message table: each private message, registered
// message, copied-data block and timer reaches its operation with its
// arguments; the power gate; game events.

#include <cstring>
#include <memory>
#include <vector>

#include "link/light_setting.h"
#include "link/registered_messages.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/os/power.h"
#include "platform/ui/resource_manager.h"
#include "shell/controls/process_state.h"
#include "tests/shell/main_wnd_fixture.h"

namespace mainwndtest {
namespace {

using Calls = std::vector<std::string>;

class MainWndMessages : public MainWndTest {
protected:
    void SetUp() override {
        MainWndTest::SetUp();
        OpenMainWindow();
        window_->Clear();
    }
    void TearDown() override {
        win::StopPowerNotifications();
        SystemAwakeFlag = 1;
        isFirst = 0;
        ScreenTabActive = 0;
        if (window_ != nullptr) window_->currentDevice = nullptr;
        MainWndTest::TearDown();
    }
    // Calls reached by one message sent to the window.
    Calls CallsFor(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        window_->Clear();
        Send(message, wParam, lParam);
        return window_->calls;
    }
    // True when the window's timer was armed (and disarms it).
    bool TimerArmed(UINT_PTR id) { return win::KillTimer(window_->GetHWND(), id) != FALSE; }
};

struct MessageCase {
    const char* label;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    Calls expected;
};

TEST_F(MainWndMessages, PrivateMessagesReachTheirOperations) {
    const MessageCase cases[] = {
        {"preview paint", WM_SCREEN_PREVIEW_PAINT, 5, 6, {"OnScreenPreviewPaint(5,6)"}},
        {"undo ready", WM_SCREEN_UNDO_READY, 0, 0, {"OnScreenUndoReady()"}},
        {"canvas changed", WM_SCREEN_CANVAS_CHANGED, 0, 0, {"OnScreenCanvasChanged()"}},
        {"tray", WM_TRAY_NOTIFY, 107, win::WM_LBUTTONUP, {"OnTrayNotify(514)"}},
        {"capture on", WM_KEY_CAPTURE, 1, 0, {"SetKeyCaptureHook(1)"}},
        {"capture off", WM_KEY_CAPTURE, 0, 0, {"SetKeyCaptureHook(0)"}},
        {"capture other", WM_KEY_CAPTURE, 2, 0, {}},
        {"menu command", WM_MENU_COMMAND, 77, 0, {"OnMenuCommandMessage(77)"}},
        {"dpi notice", WM_DPI_NOTICE, 0, 0, {}},
        {"language outside the list", WM_LANGUAGE_CHANGED, 2, 0, {}},
        {"negative language", WM_LANGUAGE_CHANGED, static_cast<WPARAM>(-1), 0, {}},
        {"layout refresh outside", WM_KEYBOARD_LAYOUT_REFRESH, 9, 0, {}},
        {"bound", WM_DEVICE_BOUND, 3, 0, {"OnDeviceSlotAttached(3)"}},
        {"lost", WM_DEVICE_LOST, 4, 0, {"OnDeviceSlotDetached(4)"}},
        {"open settings", WM_OPEN_SETTINGS, 0, 0, {"ShowSettingsWindow(1)"}},
        {"online", WM_DEVICE_ONLINE, 2, 1, {"OnDeviceOnline(2,1)"}},
        {"offline", WM_DEVICE_ONLINE, 1, 0, {"OnDeviceOnline(1,0)"}},
        {"screen editor", WM_OPEN_SCREEN_EDITOR, 0, 0, {"ShowScreenEditor()", "ShowScreenFramesPage()"}},
        {"firmware", WM_FIRMWARE_CHECK, 0x1234, 0x105, {"LaunchFirmwareUpdate(4660,261)"}},
        {"reserved", WM_DEVICE_RESERVED, 0, 0, {}},
        {"settings to itself", 0xC14, 0, 0, {}},
        {"profile index", WM_DEVICE_PROFILE_INDEX, 1, 1, {}},
        {"device status", WM_DEVICE_STATUS, 1, 1, {}},
        {"relay without a window", WM_RELAY_REQUEST, 1, 2, {}},
        {"select language without settings", WM_SELECT_LANGUAGE, 1, 0, {}},
    };
    for (const MessageCase& c : cases) {
        EXPECT_EQ(CallsFor(c.message, c.wParam, c.lParam), c.expected) << c.label;
    }
}

TEST_F(MainWndMessages, ItemActivateAndSetFocusReachTheirHandlersThroughTheMessageMap) {
    CControlUI* ok = Find(L"nodevice_ok_btn");
    ASSERT_NE(ok, nullptr);
    window_->GetPaintManager()->SendNotify(ok, DUI_MSGTYPE_ITEMACTIVATE);
    window_->GetPaintManager()->SendNotify(ok, DUI_MSGTYPE_SETFOCUS);
    EXPECT_EQ(window_->calls, (Calls{"OnItemActivate(nodevice_ok_btn)", "OnNotifySetFocus(nodevice_ok_btn)"}));
}

TEST_F(MainWndMessages, DeviceBoundAnswersWhatTheAttachAnswers) {
    window_->attachResult = 0;
    EXPECT_EQ(Send(WM_DEVICE_BOUND, 2), 0);
    window_->attachResult = 1;
    EXPECT_EQ(Send(WM_DEVICE_BOUND, 2), 1);
}

TEST_F(MainWndMessages, SmallPrivateMessagesShowAndClear) {
    CControlUI* progress = Find(L"setting_progress");
    ASSERT_NE(progress, nullptr);
    ASSERT_FALSE(progress->IsVisible());
    Send(WM_SHOW_SETTING_PROGRESS);
    EXPECT_TRUE(progress->IsVisible());

    CControlUI* setbtn = window_->GetCaptionButton(8);
    ASSERT_NE(setbtn, nullptr);
    setbtn->SetForeImage(L"caption/set_hot.png");
    Send(WM_CLEAR_UPDATE_BADGE);
    EXPECT_EQ(std::wstring(setbtn->GetForeImage()), L"");

    Send(WM_START_CLOCK_SYNC);
    EXPECT_TRUE(TimerArmed(TIMER_MAIN_CLOCK_SYNC));
}

TEST_F(MainWndMessages, HookAndGameMessagesReachTheirOperations) {
    struct HookCase {
        int message;
        Calls expected;
    };
    const HookCase cases[] = {
        {kHookKeySingleKey, {"OnHookKey(7,8)"}},
        {kHookKeyHitKey, {}},
        {kHookKeyKbMacro, {"OnHookKeyMacro(7,8)"}},
        {kHookKeyKbMacroLater, {"OnHookKeyMacroAfter(7,8)"}},
        {kHookKeyKbMacroPrevious, {"OnHookKeyMacroBefore(7,8)"}},
        {kHookKeyKbMacroSingle, {"OnHookKeyMacroReplace(7,8)"}},
        {kHookKeyMsMacro, {"OnHookMouseMacro(7,8)"}},
        {kHookKeyMsMacroLater, {"OnHookMouseMacroAfter(7,8)"}},
        {kHookKeyMsMacroPrevious, {"OnHookMouseMacroBefore(7,8)"}},
        {kHookKeyMsMacroSingle, {"OnHookMouseMacroReplace(7,8)"}},
        {kHookMouSingleKey, {}},
        {kHookMouseMove, {}},
    };
    for (const HookCase& c : cases) {
        EXPECT_EQ(CallsFor(HookMessageId(c.message), 7, 8), c.expected) << kHookMessageNames[c.message];
    }
    for (int game : {kGameStart, kGameEnd, kGameKill, kGameDeath}) {
        window_->Clear();
        Send(HookMessageId(game), 3, 9);
        EXPECT_TRUE(TimerArmed(TIMER_MAIN_GAME_RESTORE)) << kHookMessageNames[game];
    }
    EXPECT_EQ(CallsFor(WM_VEXMAR_QUERY), Calls{"SendVexmarTable()"});
}

TEST_F(MainWndMessages, TimersAreKilledThenRunTheirOperation) {
    const struct {
        UINT_PTR id;
        Calls expected;
    } cases[] = {
        {TIMER_MAIN_TRAY_MENU, {"ShowTrayMenu()"}},
        {TIMER_MAIN_PROFILE_SWITCH, {"ApplySelectedProfile()"}},
    };
    for (const auto& c : cases) {
        win::SetTimer(window_->GetHWND(), c.id, 60000, nullptr);
        EXPECT_EQ(CallsFor(win::WM_TIMER, c.id), c.expected) << c.id;
        EXPECT_FALSE(TimerArmed(c.id)) << c.id;
    }
    // The first show fits the window (which places the floating windows
    // beside it, also on every move); with no keyboard in the music mode it
    // records no sound.
    win::SetTimer(window_->GetHWND(), TIMER_MAIN_FIRST_SHOW, 60000, nullptr);
    const Calls firstShow = CallsFor(win::WM_TIMER, TIMER_MAIN_FIRST_SHOW);
    EXPECT_GE(window_->Count("PlaceFloatingWindows()"), 1);
    ASSERT_FALSE(firstShow.empty());
    EXPECT_EQ(window_->Count("StartAudioCapture()"), 0);
    EXPECT_FALSE(TimerArmed(TIMER_MAIN_FIRST_SHOW));
    // The clock timer re-arms itself.
    CallsFor(win::WM_TIMER, TIMER_MAIN_CLOCK_SYNC);
    EXPECT_TRUE(TimerArmed(TIMER_MAIN_CLOCK_SYNC));
    // Another id is left to the controls.
    win::SetTimer(window_->GetHWND(), 1099, 60000, nullptr);
    EXPECT_EQ(CallsFor(win::WM_TIMER, 1099), Calls{});
    EXPECT_TRUE(TimerArmed(1099));
}

TEST_F(MainWndMessages, LightingRequestSetsTheFlagAndTellsThePages) {
    CControlUI* status = Find(L"control_light_status");
    ASSERT_NE(status, nullptr);
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(L"lan_cn.xml"));
    auto page = std::make_unique<CCorvaneUSBDevice>();
    window_->Keyboards().push_back(page.get());
    Send(WM_LIGHTING_REQUEST, 1, 0);
    EXPECT_EQ(window_->GetLightingEnabled(), 0);
    EXPECT_EQ(status->GetText(), L"不控制灯光");
    EXPECT_EQ(page->IsLightingEnabled(), 0);
    // lParam 2 leaves flag and text and tells the pages again.
    page->SetLightingEnabled(1);
    Send(WM_LIGHTING_REQUEST, 1, 2);
    EXPECT_EQ(window_->GetLightingEnabled(), 0);
    EXPECT_EQ(status->GetText(), L"不控制灯光");
    EXPECT_EQ(page->IsLightingEnabled(), 0);
    // Another wParam does nothing.
    Send(WM_LIGHTING_REQUEST, 0, 1);
    EXPECT_EQ(window_->GetLightingEnabled(), 0);
    Send(WM_LIGHTING_REQUEST, 1, 1);
    EXPECT_EQ(window_->GetLightingEnabled(), 1);
    EXPECT_EQ(status->GetText(), L"控制灯光");
    EXPECT_EQ(page->IsLightingEnabled(), 1);
    window_->Keyboards().clear();
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(L"lan_en.xml"));
    EXPECT_EQ(status->GetText(), L"Lighting controlled");
}

TEST_F(MainWndMessages, ActivationAndMouseTrackTheWindowActiveFlags) {
    auto page = std::make_unique<CCorvaneUSBDevice>();
    window_->Mice().push_back(page.get());
    Send(win::WM_ACTIVATE, win::WA_INACTIVE);
    EXPECT_EQ(window_->GetWindowActiveA(), 0);
    EXPECT_EQ(page->IsWindowActive(), 0);
    Send(win::WM_MOUSEHOVER);
    EXPECT_EQ(window_->GetWindowActiveB(), 1);
    EXPECT_EQ(page->IsWindowActive(), 1);
    Send(win::WM_MOUSELEAVE);
    EXPECT_EQ(page->IsWindowActive(), 0);
    Send(win::WM_ACTIVATE, win::WA_ACTIVE);
    EXPECT_EQ(page->IsWindowActive(), 1);
    // While active, the mouse leaving changes nothing.
    Send(win::WM_MOUSELEAVE);
    EXPECT_EQ(page->IsWindowActive(), 1);
    window_->Mice().clear();
}

TEST_F(MainWndMessages, TheFloatingWindowsFollowMovesUnlessTheEditorStaysHidden) {
    EXPECT_EQ(CallsFor(win::WM_MOVE), Calls{"PlaceFloatingWindows()"});
    isFirst = 1;
    EXPECT_EQ(CallsFor(win::WM_MOVE), Calls{});
}

TEST_F(MainWndMessages, CopiedDataOfExactlyTheRecordSizeIsTaken) {
    const struct {
        std::uintptr_t code;
        size_t size;
        bool taken;
    } cases[] = {
        {COPYDATA_SPECTRUM, 0, false},       {COPYDATA_SPECTRUM, 1999, false},      {COPYDATA_SPECTRUM, 2000, true},
        {COPYDATA_SPECTRUM, 2001, false},    {COPYDATA_EXTERNAL_FEED, 23, false},   {COPYDATA_EXTERNAL_FEED, 24, true},
        {COPYDATA_EXTERNAL_FEED, 25, false}, {COPYDATA_EXTERNAL_FEED, 2000, false}, {3, 2000, false},
    };
    for (const auto& c : cases) {
        std::vector<unsigned char> bytes(c.size);
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 7 + c.size);
        win::COPYDATASTRUCT data;
        data.dwData = c.code;
        data.cbData = static_cast<win::DWORD>(c.size);
        data.lpData = bytes.empty() ? nullptr : bytes.data();
        const Calls calls = CallsFor(win::WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
        Calls expected;
        if (c.taken) expected.push_back(c.code == COPYDATA_SPECTRUM ? "OnSpectrumFrame()" : "OnExternalFeed()");
        EXPECT_EQ(calls, expected) << c.code << " " << c.size;
        if (c.taken && c.code == COPYDATA_SPECTRUM) {
            EXPECT_EQ(std::memcmp(window_->GetSpectrumFrame().data(), bytes.data(), bytes.size()), 0);
        }
        if (c.taken && c.code == COPYDATA_EXTERNAL_FEED) {
            EXPECT_EQ(std::memcmp(window_->GetExternalFeed().data(), bytes.data(), bytes.size()), 0);
        }
    }
}

TEST_F(MainWndMessages, WhileSuspendedOnlyBindingAndLossAreHandled) {
    auto source = std::make_unique<win::ManualPowerSource>();
    win::ManualPowerSource* power = source.get();
    ASSERT_TRUE(win::StartPowerNotifications(std::move(source)));
    auto page = std::make_unique<CCorvaneUSBDevice>();
    window_->Mice().push_back(page.get());

    power->Suspend();
    ASSERT_TRUE(PumpUntil([] { return SystemAwakeFlag == 0; }));
    EXPECT_EQ(page->IsLightingEnabled(), 0);
    EXPECT_EQ(CallsFor(WM_OPEN_SETTINGS), Calls{});
    EXPECT_EQ(CallsFor(WM_DEVICE_ONLINE, 1, 1), Calls{});
    EXPECT_EQ(CallsFor(HookMessageId(kHookKeySingleKey), 1, 2), Calls{});
    EXPECT_EQ(CallsFor(win::WM_TIMER, TIMER_MAIN_TRAY_MENU), Calls{});
    EXPECT_EQ(CallsFor(WM_VEXMAR_QUERY), Calls{"SendVexmarTable()"});
    // The scan thread has claimed or freed the slot already: both are handled.
    EXPECT_EQ(CallsFor(WM_DEVICE_BOUND, 5), Calls{"OnDeviceSlotAttached(5)"});
    EXPECT_EQ(CallsFor(WM_DEVICE_LOST, 5), Calls{"OnDeviceSlotDetached(5)"});

    power->Resume();
    ASSERT_TRUE(PumpUntil([] { return SystemAwakeFlag == 1; }));
    EXPECT_EQ(page->IsLightingEnabled(), 1);
    EXPECT_EQ(CallsFor(WM_OPEN_SETTINGS), Calls{"ShowSettingsWindow(1)"});
    window_->Mice().clear();
}

class GameEvents : public MainWndMessages {
protected:
    void SetUp() override {
        MainWndMessages::SetUp();
        page_ = std::make_unique<CCorvaneUSBDevice>();
        LightSetting setting;
        setting.mode = 5;
        page_->SetLightSetting(setting);
        window_->currentDevice = page_.get();
    }
    void Game(int kind, int mode) {
        window_->Clear();
        Send(HookMessageId(kGameStart), static_cast<WPARAM>(kind), mode);
    }
    void Restore() { Send(win::WM_TIMER, TIMER_MAIN_GAME_RESTORE); }
    LightSetting Setting() const { return page_->CurrentLightSetting(); }

    std::unique_ptr<CCorvaneUSBDevice> page_;
};

TEST_F(GameEvents, KindZeroStoresTheModeAndTheRestoreGoesBack) {
    Game(0, 7);
    EXPECT_EQ(window_->calls, (Calls{"LeaveLightingSync()", "ShowLightMode(7)"}));
    EXPECT_EQ(Setting().mode, 7);
    EXPECT_EQ(Setting().previousMode, 5);
    EXPECT_TRUE(TimerArmed(TIMER_MAIN_GAME_RESTORE));
    window_->Clear();
    Restore();
    EXPECT_EQ(window_->calls, (Calls{"LeaveLightingSync()", "ShowLightMode(5)"}));
    EXPECT_EQ(Setting().mode, 5);
}

TEST_F(GameEvents, TwoKindZeroEventsRestoreTheFirstEventsMode) {
    Game(0, 7);
    Game(0, 9);
    EXPECT_EQ(Setting().previousMode, 7);
    Restore();
    EXPECT_EQ(Setting().mode, 7);
}

TEST_F(GameEvents, AModeOutsideTheEffectsIsStoredAsOne) {
    LightSetting setting;
    setting.mode = 25;
    page_->SetLightSetting(setting);
    Game(0, 3);
    EXPECT_EQ(Setting().previousMode, 1);
}

TEST_F(GameEvents, KindsOneAndTwoSetTheModeWithoutStoringIt) {
    Game(1, 0x108);
    EXPECT_EQ(Setting().mode, 8);
    EXPECT_EQ(Setting().previousMode, 0);
    Game(2, 4);
    EXPECT_EQ(Setting().mode, 4);
}

TEST_F(GameEvents, KindThreeChangesNothingAtOnceAndTheRestoreStillApplies) {
    Game(0, 7);
    Game(3, 11);
    EXPECT_EQ(window_->calls, Calls{});
    EXPECT_EQ(Setting().mode, 7);
    EXPECT_TRUE(TimerArmed(TIMER_MAIN_GAME_RESTORE));
    Restore();
    EXPECT_EQ(Setting().mode, 5);
}

TEST_F(GameEvents, WithoutAStoredModeTheRestoreLeavesTheLightingAlone) {
    Game(3, 11);
    window_->Clear();
    Restore();
    EXPECT_EQ(window_->calls, Calls{});
    EXPECT_EQ(Setting().mode, 5);
}

TEST_F(GameEvents, WithoutACurrentDeviceOnlyTheTimerIsArmed) {
    window_->currentDevice = nullptr;
    Game(0, 7);
    EXPECT_EQ(window_->calls, Calls{});
    EXPECT_TRUE(TimerArmed(TIMER_MAIN_GAME_RESTORE));
    Restore();
    EXPECT_EQ(Setting().mode, 5);
}

}  // namespace
}  // namespace mainwndtest
