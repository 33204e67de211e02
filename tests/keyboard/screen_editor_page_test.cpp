// The keyboard page and its screen editor window on a headless display:
// no editor for a screen without a size, the editor's size and canvas, a
// window the user closed reopened on the current frame, undo through the
// page, clearing and the background fill.

#include <filesystem>

#include "keyboard/screen_wnd.h"
#include "platform/os/messages.h"
#include "platform/ui/controls.h"
#include "shell/controls/process_state.h"
#include "tests/keyboard/screen_page_fixture.h"

namespace kbtest {
namespace {

using namespace DuiLib;
namespace fs = std::filesystem;

class ScreenEditorPage : public ScreenPageTest {
protected:
    void SetUp() override {
        ScreenPageTest::SetUp();
        fs::copy_file(fs::path(TAVRIK_SOURCE_DIR) / "skin" / "XML" / "screen.xml", dir_.Path() / "screen.xml",
                      fs::copy_options::overwrite_existing);
        ScreenUndoPosition = 0;
    }
    void TearDown() override {
        if (page_) page_->CloseScreenEditor();
        ScreenUndoPosition = 0;
        ScreenPageTest::TearDown();
    }
    // The page with two loaded frames, frame 1 painted, and its editor open.
    ScreenWnd* OpenOnTwoFrames(int width = 240, int height = 135) {
        CCorvaneKeyboardDevice* page = Build(true, width, height);
        if (!page) return nullptr;
        page->LoadFrames();
        EXPECT_EQ(page->AddFrame(), 0);
        PaintFrame(*page->GetFrame(1), 1);
        page->OpenScreenEditor(main_->GetHWND(), 96);
        devtest::Pump();
        return page->GetScreenEditorWindow();
    }
    HeadlessWindow* EditorSurface(ScreenWnd* editor) {
        return static_cast<HeadlessWindow*>(editor->GetBackendWindow());
    }
    // A press and release on the canvas at cell (column, row) of a 2-pixel grid.
    void Stroke(ScreenWnd* editor, int column, int row) {
        const LPARAM at = win::MAKELPARAM(WORD(column * 2 + 1), WORD(row * 2 + 1));
        win::SendMessageW(editor->GetHWND(), win::WM_LBUTTONDOWN, 1, at);
        win::SendMessageW(editor->GetHWND(), win::WM_LBUTTONUP, 0, at);
    }
};

TEST_F(ScreenEditorPage, AScreenWithoutASizeOpensNoEditorAndItsOperationsDoNothing) {
    CCorvaneKeyboardDevice* page = Build(true, 0, 0);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    const size_t windows = display_->Windows().size();
    page->OpenScreenEditor(main_->GetHWND(), 96);
    EXPECT_FALSE(page->HasScreenEditor());
    EXPECT_EQ(page->GetScreenEditorWindow(), nullptr);
    EXPECT_EQ(display_->Windows().size(), windows);
    page->ShowScreenEditor();
    page->ShowFrameInCanvas(0);
    page->UndoCanvas();
    page->ClearFrame();
    page->OnPixelSizeSelected();
    EXPECT_EQ(display_->Windows().size(), windows);
    EXPECT_FALSE(page->HasScreenEditor());
}

TEST_F(ScreenEditorPage, OpensAt480By270BesideTheMainWindowOnTheFramesCells) {
    ScreenWnd* editor = OpenOnTwoFrames();
    ASSERT_NE(editor, nullptr);
    const RECT r = editor->GetWindowRect();
    EXPECT_EQ(r.right - r.left, 480);
    EXPECT_EQ(r.bottom - r.top, 270);
    EXPECT_EQ(editor->GetCellSize(), 2);
    HeadlessWindow* surface = EditorSurface(editor);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->Owner(), main_->GetBackendWindow()) << "transient for the main window";
    // The 800 x 600 main window at (0, 0) on the headless 1920 x 1080 screen
    // has no room right of the Screen tab's controls: the editor stands
    // beside it, level with the tab's first row.
    EXPECT_EQ(r.left, 800 + 12);
    EXPECT_EQ(r.top, 266);

    // A second opening while one exists changes nothing.
    page_->OpenScreenEditor(main_->GetHWND(), 96);
    EXPECT_EQ(page_->GetScreenEditorWindow(), editor);

    page_->SelectFrame(1);
    EXPECT_EQ(editor->Canvas().Cell(239, 134), Marker(1, 239, 134));
    page_->ShowFrameInCanvas(0);
    EXPECT_EQ(editor->Canvas().Cell(239, 134), ScreenCell{}) << "frame 0 shown";
    EXPECT_EQ(page_->GetCurrentFrame(), 1) << "and frame 1 still the current one";
    EXPECT_EQ(editor->Canvas().pen, (ScreenColor{255, 255, 255}));
}

TEST_F(ScreenEditorPage, AnEditorClosedByItsUserOpensAnewOnTheCurrentFrame) {
    ScreenWnd* editor = OpenOnTwoFrames();
    ASSERT_NE(editor, nullptr);
    page_->SelectFrame(1);
    display_->Click(EditorSurface(editor), 470, 10);  // "closebtn"
    devtest::Pump();
    ASSERT_EQ(editor->GetHWND(), nullptr) << "the window is gone";
    EXPECT_TRUE(page_->HasScreenEditor()) << "the page still holds it";
    // The page's operations skip the closed window.
    page_->HideScreenEditor();
    page_->PlaceScreenEditor(0, 0, 800, 600);
    page_->InvertFrame();

    page_->ShowScreenEditor();
    devtest::Pump();
    ScreenWnd* reopened = page_->GetScreenEditorWindow();
    ASSERT_NE(reopened, nullptr);
    ASSERT_NE(reopened->GetHWND(), nullptr);
    EXPECT_TRUE(EditorSurface(reopened)->IsVisible());
    EXPECT_EQ(page_->GetFrameCount(), 2) << "nothing reloaded";
    EXPECT_EQ(page_->GetCurrentFrame(), 1);
    EXPECT_EQ(reopened->Canvas().Cell(100, 50), Marker(1, 100, 50));
    EXPECT_EQ(page_->GetFrame(1)->Cell(100, 50), Marker(1, 100, 50)) << "nothing lost";

    // The window manager's close does the same.
    win::SendMessageW(reopened->GetHWND(), win::WM_SYSCOMMAND, win::SC_CLOSE, 0);
    devtest::Pump();
    EXPECT_EQ(reopened->GetHWND(), nullptr);
    EXPECT_NE(main_->GetHWND(), nullptr);
    page_->ShowScreenEditor();
    ASSERT_NE(page_->GetScreenEditorWindow(), nullptr);
    EXPECT_NE(page_->GetScreenEditorWindow()->GetHWND(), nullptr);

    // Closing through the page empties the strip and ends the window.
    page_->CloseScreenEditor();
    EXPECT_FALSE(page_->HasScreenEditor());
    EXPECT_EQ(page_->GetScreenEditorWindow(), nullptr);
    EXPECT_EQ(page_->GetFrameStrip()->GetCount(), 0);
}

TEST_F(ScreenEditorPage, UndoThroughThePageRestoresTheFrameAndEnablesTheButton) {
    ScreenWnd* editor = OpenOnTwoFrames(6, 3);
    ASSERT_NE(editor, nullptr);
    page_->SelectFrame(0);
    auto* undo = Find<CControlUI>(L"screen_undo_btn");
    ASSERT_NE(undo, nullptr);
    EXPECT_FALSE(undo->IsEnabled()) << "a fresh history";
    editor->Canvas().pen = {200, 10, 10};
    // A 6 x 3 screen opens at zoom 80; placed beside it is 480 x 270, so a
    // cell is 90 pixels.
    ASSERT_EQ(editor->GetCellSize(), 90);
    win::SendMessageW(editor->GetHWND(), win::WM_LBUTTONDOWN, 1, win::MAKELPARAM(100, 100));
    win::SendMessageW(editor->GetHWND(), win::WM_LBUTTONUP, 0, win::MAKELPARAM(100, 100));
    page_->StoreCanvasToFrame();  // what the main window does on the editor's message
    EXPECT_EQ(page_->GetFrame(0)->Cell(1, 1), (ScreenCell{200, 10, 10, 1}));
    page_->UndoCanvas();
    EXPECT_EQ(page_->GetFrame(0)->Cell(1, 1), ScreenCell{});
    EXPECT_TRUE(undo->IsEnabled());
    EXPECT_EQ(ScreenUndoPosition.load(), 1);
}

TEST_F(ScreenEditorPage, ClearAndBackgroundFillReachTheFrame) {
    ScreenWnd* editor = OpenOnTwoFrames(6, 3);
    ASSERT_NE(editor, nullptr);
    page_->SelectFrame(1);
    editor->Canvas().Cell(0, 0) = ScreenCell{1, 2, 3, 0};
    editor->Canvas().Cell(1, 0) = ScreenCell{4, 5, 6, 1};
    page_->FillBackgroundColor(0xFF102030);
    EXPECT_EQ(page_->GetFrame(1)->Cell(0, 0), (ScreenCell{0x10, 0x20, 0x30, 0}));
    EXPECT_EQ(page_->GetFrame(1)->Cell(1, 0), (ScreenCell{4, 5, 6, 1})) << "drawn cells keep their colour";
    EXPECT_EQ(page_->GetFrame(1)->GetBackgroundColor(), (ScreenColor{0x10, 0x20, 0x30}));
    page_->ClearFrame();
    for (int c = 0; c < 6; ++c)
        for (int r = 0; r < 3; ++r) EXPECT_EQ(page_->GetFrame(1)->Cell(c, r), (ScreenCell{0x10, 0x20, 0x30, 0}));
}

}  // namespace
}  // namespace kbtest
