// The main window's screen-editor commands on a real keyboard page bound to
// an emulated keyboard: the editor opens owned by the main window and beside
// it, follows it, a close from the window manager ends only the editor (the
// next show opens a new one), the page's close ends it, a stroke reaches the
// current frame through the main window, and a keyboard without a screen
// size gets none; picked colours become the pen and the background; the
// screen tab's tool combos and undo button reach the editor.

#include <algorithm>
#include <functional>

#include "keyboard/screen_wnd.h"
#include "platform/os/messages.h"
#include "platform/os/window.h"
#include "platform/ui/win_window_api.h"
#include "tests/shell/device_commands_fixture.h"

namespace commandstest {
namespace {

using ScreenEditorCommands = DeviceCommandsTest;

bool QuitQueued() {
    win::MSG msg;
    return win::PeekMessageW(&msg, nullptr, win::WM_QUIT, win::WM_QUIT, win::PM_REMOVE) != 0;
}

TEST_F(ScreenEditorCommands, EditorOpensBesideTheMainWindowAndAWindowManagerCloseEndsOnlyIt) {
    CountingKeyboard* keyboard = ConnectKeyboard();
    ASSERT_NE(keyboard, nullptr);
    keyboard->SetScreenGeometry(240, 135, 0);
    commands_->ShowScreenEditor();
    ScreenWnd* editor = keyboard->GetScreenEditorWindow();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor->GetHWND(), nullptr);
    EXPECT_EQ(editor->GetOwner(), commands_->GetHWND());
    RECT r = editor->GetWindowRect();
    EXPECT_EQ(r.right - r.left, ScreenWnd::kWidth);
    EXPECT_EQ(r.bottom - r.top, ScreenWnd::kHeight);

    // The main window moves: the editor follows, within the fixture's work
    // area. The 800 x 572 window has no room right of the Screen tab's
    // controls, so the editor stands beside it, level with the tab's first row.
    const BackendRect area = GetDisplayBackend().GetWorkArea();
    ASSERT_NE(commands_->GetWindowRect().left, 60) << "the move must change the place";
    win::SetWindowPos(commands_->GetHWND(), nullptr, 60, 40, 0, 0, win::SWP_NOSIZE | win::SWP_NOZORDER);
    PumpFor([] { return false; }, 200);
    r = editor->GetWindowRect();
    const RECT main = commands_->GetWindowRect();
    EXPECT_EQ(r.left, std::min<long>(main.right + 12, area.right - ScreenWnd::kWidth));
    EXPECT_EQ(r.top, std::min<long>(40 + 266, area.bottom - ScreenWnd::kHeight));

    win::SendMessageW(editor->GetHWND(), win::WM_SYSCOMMAND, win::SC_CLOSE, 0);
    PumpFor([&] { return editor->GetHWND() == nullptr; }, 2000);
    EXPECT_EQ(editor->GetHWND(), nullptr);
    EXPECT_FALSE(QuitQueued()) << "the program goes on";
    EXPECT_TRUE(win::IsWindow(commands_->GetHWND()));

    commands_->ShowScreenEditor();
    ScreenWnd* again = keyboard->GetScreenEditorWindow();
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again->GetHWND(), nullptr) << "a new editor window";

    commands_->HideScreenEditor();
    EXPECT_FALSE(win::IsWindowVisible(again->GetHWND()));
    commands_->ShowScreenEditor();
    EXPECT_TRUE(win::IsWindowVisible(again->GetHWND()));

    commands_->CloseScreenEditor();
    EXPECT_FALSE(keyboard->HasScreenEditor());
    EXPECT_EQ(keyboard->GetScreenEditorWindow(), nullptr);
}

TEST_F(ScreenEditorCommands, AStrokeReachesTheCurrentFrameThroughTheMainWindow) {
    CountingKeyboard* keyboard = ConnectKeyboard();
    ASSERT_NE(keyboard, nullptr);
    keyboard->SetScreenGeometry(240, 135, 0);
    commands_->ShowScreenEditor();
    ScreenWnd* editor = keyboard->GetScreenEditorWindow();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(keyboard->GetFrame(0), nullptr) << "the frames were loaded";
    DuiLib::CControlUI* undo = commands_->GetPaintManager()->FindControl(L"screen_undo_btn");
    ASSERT_NE(undo, nullptr);
    EXPECT_FALSE(undo->IsEnabled()) << "a fresh history";
    editor->Canvas().pen = {12, 34, 56};
    const LPARAM at = win::MAKELPARAM(10 * 2 + 1, 20 * 2 + 1);  // cell (10, 20)
    win::SendMessageW(editor->GetHWND(), win::WM_LBUTTONDOWN, 1, at);
    EXPECT_TRUE(undo->IsEnabled());
    win::SendMessageW(editor->GetHWND(), win::WM_LBUTTONUP, 0, at);
    EXPECT_EQ(keyboard->GetFrame(0)->Cell(10, 20), (ScreenCell{12, 34, 56, 1}));
    commands_->CloseScreenEditor();
}

// Runs one step on the UI thread while a modal loop (the colour picker's) runs.
class StepWindow : public CWindowWnd {
public:
    std::function<void()> step;
    void Post() { win::PostMessageW(GetHWND(), kRunStep, 0, 0); }

protected:
    static constexpr UINT kRunStep = 0x8002;  // WM_APP + 2
    LPCTSTR GetWindowClassName() const override { return L"ScreenEditorSteps"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
        if (uMsg != kRunStep || !step) return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
        auto run = std::move(step);
        step = nullptr;
        run();
        return 0;
    }
};

TEST_F(ScreenEditorCommands, PickedColoursBecomeThePenAndTheFramesBackground) {
    CountingKeyboard* keyboard = ConnectKeyboard();
    ASSERT_NE(keyboard, nullptr);
    keyboard->SetScreenGeometry(240, 135, 0);
    commands_->ShowScreenEditor();
    ScreenWnd* editor = keyboard->GetScreenEditorWindow();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(keyboard->GetFrame(0), nullptr);
    keyboard->GetFrame(0)->Cell(3, 3) = ScreenCell{9, 9, 9, 1};
    StepWindow steps;
    steps.Create(nullptr, L"steps", UI_WS_POPUP, 0, 0, 0, 10, 10);
    // Each pick chooses the skin's blue swatch and confirms it.
    auto pickBlue = [&](void (CMainWnd::*pick)()) {
        steps.step = [&] {
            auto* picker = CWindowWnd::FromHandle(commands_->GetColorPickerWnd());
            ASSERT_NE(picker, nullptr);
            auto* pm = static_cast<WindowImplBase*>(picker)->GetPaintManager();
            pm->Invalidate();
            pm->Paint();
            auto* blue = static_cast<COptionUI*>(pm->FindControl(L"color_option_8"));
            ASSERT_NE(blue, nullptr);
            blue->Selected(true);
            pm->SendNotify(pm->FindControl(L"okbtn"), L"click");
        };
        steps.Post();
        (commands_->*pick)();
    };
    pickBlue(&CMainWnd::PickScreenPenColor);
    EXPECT_EQ(editor->Canvas().pen, (ScreenColor{0, 0, 255}));
    EXPECT_EQ(keyboard->GetPenColor(), 0xFF0000FFu);
    EXPECT_EQ(keyboard->GetFrame(0)->GetPenColor(), (ScreenColor{0, 0, 255}));

    editor->Canvas().Cell(3, 3) = ScreenCell{9, 9, 9, 1};
    pickBlue(&CMainWnd::PickScreenBackgroundColor);
    EXPECT_EQ(editor->Canvas().background, (ScreenColor{0, 0, 255}));
    EXPECT_EQ(keyboard->GetFrame(0)->Cell(0, 0), (ScreenCell{0, 0, 255, 0}));
    EXPECT_EQ(keyboard->GetFrame(0)->Cell(3, 3), (ScreenCell{9, 9, 9, 1})) << "drawn cells keep their colour";
    win::DestroyWindow(steps.GetHWND());
    commands_->CloseScreenEditor();
}

TEST_F(ScreenEditorCommands, TheScreenTabsControlsReachTheEditorThroughTheDispatch) {
    CountingKeyboard* keyboard = ConnectKeyboard();
    ASSERT_NE(keyboard, nullptr);
    keyboard->SetScreenGeometry(240, 135, 0);
    commands_->SelectFunctionTab(9);  // the screen tab, whose controls are then shown
    commands_->ShowScreenEditor();
    ScreenWnd* editor = keyboard->GetScreenEditorWindow();
    ASSERT_NE(editor, nullptr);
    CPaintManagerUI* pm = commands_->GetPaintManager();
    auto* tool = static_cast<CComboUI*>(pm->FindControl(L"Screen_tool_combo_Select"));
    auto* size = static_cast<CComboUI*>(pm->FindControl(L"Pixel_size_combo_Select"));
    ASSERT_NE(tool, nullptr);
    ASSERT_NE(size, nullptr);
    ASSERT_GE(size->GetCount(), 3);
    auto choose = [&](CComboUI* combo, int row) {
        combo->SelectItem(row, false, false);
        pm->SendNotify(combo, L"itemselect");
        PumpFor([] { return false; }, 100);
    };
    choose(size, 2);
    choose(tool, 1);
    EXPECT_EQ(editor->GetPenSize(), 3);
    EXPECT_EQ(editor->GetPenMode(), ScreenWnd::kPenModeEraser);
    choose(tool, 0);
    EXPECT_EQ(editor->GetPenMode(), ScreenWnd::kPenModePen);

    // A stroke, then the undo button.
    editor->Canvas().pen = {200, 0, 0};
    const LPARAM at = win::MAKELPARAM(5 * 2 + 1, 5 * 2 + 1);
    win::SendMessageW(editor->GetHWND(), win::WM_LBUTTONDOWN, 1, at);
    win::SendMessageW(editor->GetHWND(), win::WM_LBUTTONUP, 0, at);
    ASSERT_EQ(keyboard->GetFrame(0)->Cell(7, 7), (ScreenCell{200, 0, 0, 1})) << "a 3 x 3 pen";
    pm->SendNotify(pm->FindControl(L"screen_undo_btn"), L"click");
    PumpFor([] { return false; }, 100);
    EXPECT_EQ(keyboard->GetFrame(0)->Cell(7, 7).flag, 0);
    EXPECT_EQ(editor->Canvas().Cell(5, 5).flag, 0);
    commands_->CloseScreenEditor();
}

// The frames page (0) or the upload page (1) the screen tab shows.
int ShownScreenPage(CPaintManagerUI* pm) {
    auto* pages = static_cast<CTabLayoutUI*>(pm->FindControl(L"screen_function_switch"));
    return pages ? pages->GetCurSel() : -1;
}

TEST_F(ScreenEditorCommands, OnlyAWiredKeyboardTakesTheScreenCommands) {
    CountingKeyboard* keyboard = ConnectKeyboard();
    ASSERT_NE(keyboard, nullptr);
    keyboard->SetScreenGeometry(240, 135, 0);
    commands_->SelectFunctionTab(9);
    CPaintManagerUI* pm = commands_->GetPaintManager();
    ASSERT_EQ(ShownScreenPage(pm), 0);
    // Bound through the receiver (type 9): no editor, no page switch.
    keyboard->SetDeviceType(9, 0);
    commands_->ShowScreenEditor();
    EXPECT_FALSE(keyboard->HasScreenEditor());
    EXPECT_TRUE(commands_->m_floatingWindows.empty());
    commands_->SelectScreenPage(1);
    EXPECT_EQ(ShownScreenPage(pm), 0);
    // On the cable (type 1) the same commands reach the page.
    keyboard->SetDeviceType(CCorvaneUSBDevice::kTypeKeyboard, 0);
    commands_->ShowScreenEditor();
    ASSERT_TRUE(keyboard->HasScreenEditor());
    commands_->SelectScreenPage(1);
    EXPECT_EQ(ShownScreenPage(pm), 1);
    EXPECT_TRUE(static_cast<COptionUI*>(pm->FindControl(L"uploading_option"))->IsSelected());
    commands_->ShowScreenFramesPage();
    EXPECT_EQ(ShownScreenPage(pm), 0);
    EXPECT_TRUE(static_cast<COptionUI*>(pm->FindControl(L"frame_option"))->IsSelected());
    // The options' own notifications take the same way.
    pm->SendNotify(pm->FindControl(L"uploading_option"), L"selectchanged");
    PumpFor([] { return false; }, 100);
    EXPECT_EQ(ShownScreenPage(pm), 1);
    commands_->CloseScreenEditor();
}

TEST_F(ScreenEditorCommands, ClearingAllFramesKeepsTheShownEditorListed) {
    CountingKeyboard* keyboard = ConnectKeyboard();
    ASSERT_NE(keyboard, nullptr);
    keyboard->SetScreenGeometry(240, 135, 0);
    commands_->SelectFunctionTab(9);
    commands_->ShowScreenEditor();
    ASSERT_NE(keyboard->GetScreenEditorWindow(), nullptr);
    CPaintManagerUI* pm = commands_->GetPaintManager();
    pm->SendNotify(pm->FindControl(L"clear_all_frame_btn"), L"click");
    PumpFor([] { return false; }, 100);
    ScreenWnd* editor = keyboard->GetScreenEditorWindow();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor->GetHWND(), nullptr);
    EXPECT_EQ(commands_->m_floatingWindows, std::vector<DuiLib::HWND>{editor->GetHWND()});
    // The listed editor follows the main window.
    win::SetWindowPos(commands_->GetHWND(), nullptr, 30, 20, 0, 0, win::SWP_NOSIZE | win::SWP_NOZORDER);
    PumpFor([] { return false; }, 200);
    EXPECT_EQ(editor->GetWindowRect().left,
              std::min<long>(commands_->GetWindowRect().right + 12,
                             GetDisplayBackend().GetWorkArea().right - ScreenWnd::kWidth));
    commands_->CloseScreenEditor();
    EXPECT_TRUE(commands_->m_floatingWindows.empty());
}

TEST_F(ScreenEditorCommands, ClosingAllEditorsReachesAKeyboardThatIsNoLongerCurrentOrWired) {
    CountingKeyboard* keyboard = ConnectKeyboard();
    ASSERT_NE(keyboard, nullptr);
    keyboard->SetScreenGeometry(240, 135, 0);
    commands_->ShowScreenEditor();
    ASSERT_NE(keyboard->GetScreenEditorWindow(), nullptr);
    const DuiLib::HWND window = keyboard->GetScreenEditorWindow()->GetHWND();
    // The keyboard is now bound through its receiver: the command on the
    // current device passes it by, the closing of all editors does not.
    keyboard->SetDeviceType(9, 0);
    commands_->CloseScreenEditor();
    EXPECT_TRUE(keyboard->HasScreenEditor());
    commands_->CloseAllScreenEditors();
    EXPECT_FALSE(keyboard->HasScreenEditor());
    EXPECT_FALSE(win::IsWindow(window));
    EXPECT_TRUE(commands_->m_floatingWindows.empty());
}

TEST_F(ScreenEditorCommands, AKeyboardWithoutAScreenSizeGetsNoEditor) {
    CountingKeyboard* keyboard = ConnectKeyboard();
    ASSERT_NE(keyboard, nullptr);
    keyboard->SetScreenGeometry(0, 0, 0);
    commands_->ShowScreenEditor();
    EXPECT_FALSE(keyboard->HasScreenEditor());
    commands_->OnScreenCanvasChanged();
    commands_->OnScreenPreviewPaint(1, (5 << 16) | 5);
    commands_->PlaceFloatingWindows();
    EXPECT_FALSE(keyboard->HasScreenEditor());
}

}  // namespace
}  // namespace commandstest
