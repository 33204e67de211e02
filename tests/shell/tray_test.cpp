// The tray icon's clicks and the menus' items on the main window, and where
// the tray menu opens beside a taskbar.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/device/corvane_usb_device.h"
#include "platform/os/messages.h"
#include "platform/files/utf8.h"
#include "platform/ui/menu.h"
#include "shell/main/tray_menu_position.h"
#include "shell/controls/message_boxes.h"
#include "shell/controls/msg_progress_wnd.h"
#include "tests/shell/main_wnd_fixture.h"

namespace mainwndtest {
namespace {

TEST(TrayMenuPosition, OpensBesideTheTaskbarOrAtTheCursor) {
    constexpr DWORD L = eMenuAlignment_Left, T = eMenuAlignment_Top, R = eMenuAlignment_Right,
                    B = eMenuAlignment_Bottom;
    struct Case {
        const char* taskbar;
        RECT bar;
        POINT anchor;
        DWORD alignment;
    } cases[] = {
        {"none", {0, 0, 0, 0}, {700, 500}, L | T},
        {"top", {0, 0, 1280, 40}, {700, 41}, T | R},
        {"left", {0, 0, 48, 1024}, {49, 500}, L | B},
        {"bottom", {0, 984, 1280, 1024}, {700, 964}, R | B},
        {"right", {1232, 0, 1280, 1024}, {1231, 500}, R | B},
        {"square at the origin", {0, 0, 40, 40}, {700, 500}, L | T},
        {"floating", {100, 100, 300, 140}, {700, 500}, L | T},
    };
    for (const Case& c : cases) {
        POINT anchor{700, 500};
        DWORD alignment = L | T;
        PlaceTrayMenuBesideTaskbar(c.bar, anchor, alignment);
        EXPECT_EQ(anchor.x, c.anchor.x) << c.taskbar;
        EXPECT_EQ(anchor.y, c.anchor.y) << c.taskbar;
        EXPECT_EQ(alignment, c.alignment) << c.taskbar;
    }
}

// The main window with the macro page's operations recorded too.
class MenuRecorder : public RecordingMainWnd {
public:
    std::vector<std::string> actions;
    bool fixedDelay = false;
    void StartMacroRecording(int delayMode, int hookMode) override {
        actions.push_back("record " + std::to_string(delayMode) + " " + std::to_string(hookMode));
    }
    void InsertMouseButtonAction(int button, bool down) override {
        actions.push_back("button " + std::to_string(button) + (down ? " down" : " up"));
    }
    void SaveMacro() override { actions.push_back("save"); }
    void ShowAboutWindow() override { actions.push_back("about"); }
    bool IsMacroFixedDelayChecked(CCorvaneUSBDevice*) override { return fixedDelay; }
};

TEST(TrayMenuItems, EachItemReachesItsOperation) {
    CCorvaneUSBDevice keyboard;
    keyboard.SetDeviceType(1, 0);
    CCorvaneUSBDevice headset;
    headset.SetDeviceType(7, 0);
    struct Case {
        const wchar_t* item;
        CCorvaneUSBDevice* device;
        bool fixedDelay;
        std::vector<std::string> actions;
        std::vector<std::string> calls;
    } cases[] = {
        {L"redio_previous_record_time", &keyboard, false, {"record 1 8"}, {}},
        {L"redio_previous_record_time", &keyboard, true, {"record 2 8"}, {}},
        {L"REDIO_LATER_RECORD_TIME", &headset, true, {"record 1 16"}, {}},
        {L"redio_later_constant_time", &keyboard, false, {"record 2 16"}, {}},
        {L"redio_previous_ignore_time", &keyboard, false, {"record 3 8"}, {}},
        {L"redio_later_ignore_time", nullptr, false, {}, {}},
        {L"macro_action_edit", &keyboard, false, {"record 3 32"}, {}},
        {L"left_click", &keyboard, false, {"button 0 down", "button 0 up", "save"}, {}},
        {L"middle_down", &keyboard, false, {"button 1 down", "save"}, {}},
        {L"right_up", &keyboard, false, {"button 2 up", "save"}, {}},
        {L"Forward_Click", &keyboard, false, {"button 3 down", "button 3 up", "save"}, {}},
        {L"back_down", &keyboard, false, {"button 4 down", "save"}, {}},
        {L"about_menu", nullptr, false, {"about"}, {}},
        {L"setwnd_menu", nullptr, false, {}, {"ShowSettingsWindow(1)"}},
        // Only the exact "exit" ends the program, and not through here.
        {L"EXIT", &keyboard, false, {}, {}},
        {L"no_such_item", &keyboard, false, {}, {}},
    };
    for (const Case& c : cases) {
        MenuRecorder window;
        window.currentDevice = c.device;
        window.fixedDelay = c.fixedDelay;
        window.OnMenuCommand(c.item);
        EXPECT_EQ(window.actions, c.actions) << win::ToUtf8(c.item);
        EXPECT_EQ(window.calls, c.calls) << win::ToUtf8(c.item);
    }
}

class TrayClicks : public MainWndTest {
protected:
    void SetUp() override {
        MainWndTest::SetUp();
        OpenMainWindow();
        // What start-up does by itself comes first: the scan thread's raise
        // and the first-show fit (run now, its timer ends with it).
        ASSERT_TRUE(PumpUntil([&] { return window_->IsVisible(); }));
        Send(win::WM_TIMER, TIMER_MAIN_FIRST_SHOW);
        window_->ShowWindow(true, false);
        window_->Clear();
    }
    void Tray(UINT mouseMessage) { window_->CMainWnd::OnTrayNotify(mouseMessage); }
};

TEST_F(TrayClicks, LeftClickTogglesTheWindowAndRightClickOpensTheMenu) {
    Tray(win::WM_LBUTTONDOWN);
    EXPECT_EQ(window_->Count("HideScreenEditor()"), 1);
    Tray(win::WM_LBUTTONUP);
    EXPECT_FALSE(window_->IsVisible());
    Tray(win::WM_LBUTTONDOWN);
    Tray(win::WM_LBUTTONUP);
    EXPECT_TRUE(window_->IsVisible());
    EXPECT_GE(window_->Count("PlaceFloatingWindows()"), 1);
    // "No_device_Link" tells whether a device entry is shown.
    EXPECT_TRUE(Find(L"No_device_Link")->IsVisible());

    Tray(win::WM_RBUTTONUP);
    EXPECT_TRUE(PumpUntil([&] { return window_->Count("ShowTrayMenu()") == 1; }));
    // The real menu, from "menu.xml".
    window_->CMainWnd::ShowTrayMenu();
    ASSERT_EQ(CMenuWnd::OpenMenus().size(), 1u);
    CPaintManagerUI* menu = CMenuWnd::OpenMenus().front()->GetMenuPaintManager();
    for (const wchar_t* item : {L"setwnd_menu", L"about_menu", L"exit"})
        EXPECT_NE(menu->FindControl(item), nullptr) << win::ToUtf8(item);
    // A second menu replaces the first.
    window_->CMainWnd::ShowTrayMenu();
    Pump();
    EXPECT_EQ(CMenuWnd::OpenMenus().size(), 1u);
}

// Shown again from the tray, the window comes back where it was, fitted and
// drawn before it appears, and does not move once shown: the next click (the
// tray menu's right click, a control's) lands where the user aims.
TEST_F(MainWndTest, TheTrayShowsTheWindowAgainWhereItWasWithoutMovingIt) {
    auto* window = new PlacementRecordingMainWnd;
    OpenMainWindow(window);
    ASSERT_TRUE(PumpUntil([&] { return window_->IsVisible(); }));
    Send(win::WM_TIMER, TIMER_MAIN_FIRST_SHOW);
    const RECT before = window_->GetWindowRect();
    for (UINT message : {win::WM_LBUTTONDOWN, win::WM_LBUTTONUP}) window_->CMainWnd::OnTrayNotify(message);
    ASSERT_FALSE(window_->IsVisible());
    window->shownAt.clear();
    window->changesWhileShown = 0;
    for (UINT message : {win::WM_LBUTTONDOWN, win::WM_LBUTTONUP}) window_->CMainWnd::OnTrayNotify(message);
    Pump();
    ASSERT_TRUE(window_->IsVisible());
    ASSERT_EQ(window->shownAt.size(), 1u);
    EXPECT_EQ(Edges(window->shownAt.front()), Edges(before));
    EXPECT_EQ(window->changesWhileShown, 0);
}

TEST_F(TrayClicks, ClicksAreIgnoredWhileAProgressWindowIsOpen) {
    auto* progress = new CMsgProgressWnd;
    ASSERT_NE(progress->Create(window_->GetHWND(), L"progress", UI_WS_POPUP, 0, 0, 0, 300, 160), nullptr);
    ASSERT_NE(GetProgressWindowHwnd(), nullptr);
    for (UINT message : {win::WM_LBUTTONDOWN, win::WM_LBUTTONUP, win::WM_RBUTTONUP}) Tray(message);
    Pump();
    EXPECT_TRUE(window_->IsVisible());
    EXPECT_TRUE(window_->calls.empty());
    win::DestroyWindow(progress->GetHWND());  // the window deletes itself
    Pump();
    EXPECT_EQ(GetProgressWindowHwnd(), nullptr);
    Tray(win::WM_LBUTTONUP);
    EXPECT_FALSE(window_->IsVisible());
}

}  // namespace
}  // namespace mainwndtest
