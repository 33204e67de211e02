// The screen editor window on the X server: its size and canvas as the
// screen shows them, strokes of the pen and the eraser through real pointer
// input, the undo history up to and past its last entry, the place beside
// the main window within the work area, the tool cursors, and closing.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "keyboard/screen_wnd.h"
#include "platform/files/folders.h"
#include "platform/os/messages.h"
#include "platform/screen/screen_source.h"
#include "platform/screen/x11_screen_source.h"
#include "platform/ui/ico_cursor.h"
#include "platform/ui/x11/x11_backend.h"
#include "platform/ui/x11/x11_backend_impl.h"
#include "shell/controls/process_state.h"
#include "tests/x11/x_display.h"
#include "tests/x11/x_driver.h"

// X's own headers last: their macros (None, Expose, ...) would break the UI's names.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

namespace {

using namespace DuiLib;
using tavrik::x11::X11Window;

void Pump() {
    win::MSG msg;
    for (int i = 0; i < 10000 && win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE); ++i) {
        if (msg.message == win::WM_QUIT) {
            ADD_FAILURE() << "the program's message loop was told to end";
            continue;
        }
        if (CPaintManagerUI::TranslateMessage(&msg)) continue;
        win::TranslateMessage(&msg);
        win::DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done) {
    return tavrik::test::PumpUntil([] { Pump(); }, done);
}

// Stands in for the main window: owns the editor and records what it hears.
class OwnerWindow : public WindowImplBase {
public:
    CDuiString GetSkinFile() override {
        return L"<Window size='800,572'><VerticalLayout bkcolor='#FF202020'/></Window>";
    }
    LPCTSTR GetWindowClassName() const override { return L"ScreenEditorOwner"; }
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled) override {
        if (uMsg == ScreenWnd::kUndoReadyMessage || uMsg == ScreenWnd::kCanvasChangedMessage) heard.push_back(uMsg);
        bHandled = FALSE;
        return 0;
    }
    std::vector<UINT> heard;
};

ScreenCell Cell(uint8_t r, uint8_t g, uint8_t b, int flag) { return ScreenCell{r, g, b, flag}; }

int FlaggedCells(const CScreenViewControlUI::CellGrid& grid) {
    int n = 0;
    for (const ScreenCell& c : grid) n += c.flag == 1;
    return n;
}

class ScreenEditorDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        static bool installed = false;
        if (!installed) {
            std::string error;
            ASSERT_TRUE(tavrik::x11::UseX11DisplayBackend(&error)) << error;
            installed = true;
        }
        CPaintManagerUI::SetResourcePath((win::GetProgramFolder() + L"skin\\").c_str());
        CPaintManagerUI::SetAllDPI(96);
        CResourceManager::GetInstance()->Release();
        ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource(L"res.xml", nullptr));
        driver_ = std::make_unique<tavrik::test::XDriver>();
        driver_->MoveTo(5, 1015);
        ScreenUndoPosition = 0;
        owner_ = std::make_unique<OwnerWindow>();
        owner_->Create(nullptr, L"Owner", win::WS_POPUP | win::WS_VISIBLE, 0, 100, 100, 800, 572);
        ASSERT_TRUE(PumpUntil([&] { return driver_->Viewable(Xid(owner_.get())); }));
    }
    void TearDown() override {
        ClearWorkArea();
        if (editor_ && editor_->GetHWND()) win::DestroyWindow(editor_->GetHWND());
        editor_.reset();
        if (owner_ && owner_->GetHWND()) win::DestroyWindow(owner_->GetHWND());
        owner_.reset();
        Pump();
        CResourceManager::GetInstance()->Release();
        CPaintManagerUI::Term();
        ScreenUndoPosition = 0;
    }

    static Window Xid(CWindowWnd* w) { return static_cast<X11Window*>(w->GetBackendWindow())->xid(); }

    // Opens the editor as the keyboard page does: owned by the main window,
    // at the zoomed size, then placed beside it.
    ScreenWnd& OpenEditor(int columns, int rows) {
        editor_ = std::make_unique<ScreenWnd>(columns, rows);
        const int zoom = ScreenWnd::ZoomFor(columns, rows);
        editor_->Create(owner_->GetHWND(), L"ScreenWnd", 0x10CF0000, 0x80, 0, 0, columns * zoom, rows * zoom);
        editor_->SetDPI(96);
        const RECT r = owner_->GetWindowRect();
        editor_->PlaceBeside(r.left, r.top, r.right, r.bottom);
        EXPECT_TRUE(PumpUntil([&] { return driver_->Viewable(Xid(editor_.get())); }));
        editor_->RepaintCanvas();
        return *editor_;
    }

    void Geometry(int& x, int& y, int& w, int& h) {
        x = y = w = h = -1;
        PumpUntil([&] {
            driver_->Geometry(Xid(editor_.get()), x, y, w, h);
            const RECT r = editor_->GetWindowRect();
            return x == r.left && y == r.top;
        });
    }

    // A press and release at a point of the editor, through the X server.
    void ClickEditor(int x, int y) {
        int ex = 0, ey = 0, w = 0, h = 0;
        Geometry(ex, ey, w, h);
        driver_->MoveTo(ex + x, ey + y);
        driver_->Click(ex + x, ey + y);
    }

    void SetWorkArea(long x, long y, long w, long h) {
        Display* d = driver_->display();
        const long values[4] = {x, y, w, h};
        XChangeProperty(d, DefaultRootWindow(d), XInternAtom(d, "_NET_WORKAREA", False), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(values), 4);
        XSync(d, False);
    }
    void ClearWorkArea() {
        if (!driver_) return;
        Display* d = driver_->display();
        XDeleteProperty(d, DefaultRootWindow(d), XInternAtom(d, "_NET_WORKAREA", False));
        XSync(d, False);
    }

    // The colour of one pixel of the editor as the screen shows it, 0xRRGGBB.
    uint32_t ScreenPixel(int x, int y) {
        if (!screen_) screen_ = tavrik::screen::OpenX11ScreenSource();
        if (!screen_) return 0xFFFFFFFF;
        const RECT r = editor_->GetWindowRect();
        const uint32_t bgr = tavrik::screen::CaptureAverageColour(*screen_, r.left + x, r.top + y, 1, 1);
        return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
    }

    std::unique_ptr<tavrik::test::XDriver> driver_;
    std::unique_ptr<OwnerWindow> owner_;
    std::unique_ptr<ScreenWnd> editor_;
    std::unique_ptr<tavrik::screen::ScreenSource> screen_;
};

TEST(ScreenEditorZoom, LargestEvenZoomWithin480By270) {
    struct Case {
        int columns, rows, zoom;
    } cases[] = {
        {240, 135, 2}, {128, 128, 2}, {120, 67, 4},  {60, 30, 8},
        {80, 45, 6},   {1, 1, 270},   {0, 0, 0},  // no screen size: no zoom (and no endless search for one)
        {0, 135, 0},   {240, 0, 0},   {241, 135, 0}, {240, 136, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ScreenWnd::ZoomFor(c.columns, c.rows), c.zoom) << c.columns << "x" << c.rows;
}

TEST_F(ScreenEditorDisplay, A240By135ScreenOpensAt480By270WithOnePixelPerCellInsideTheGrid) {
    ScreenWnd& editor = OpenEditor(240, 135);
    int x = 0, y = 0, w = 0, h = 0;
    Geometry(x, y, w, h);
    EXPECT_EQ(w, 480);
    EXPECT_EQ(h, 270);
    EXPECT_EQ(editor.GetCellSize(), 2);
    // A drawn red cell, an empty cell holding green, on a blue background.
    editor.Canvas().background = {0, 0, 200};
    editor.Canvas().Cell(10, 20) = Cell(255, 0, 0, 1);
    editor.Canvas().Cell(11, 20) = Cell(0, 255, 0, 0);
    editor.RepaintCanvas();
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(21, 41) == 0xFF0000u; })) << std::hex << ScreenPixel(21, 41);
    EXPECT_EQ(ScreenPixel(23, 41), 0x0000C8u) << "an empty cell shows the background";
    for (const auto& [gx, gy] :
         std::vector<std::pair<int, int>>{{20, 41}, {22, 41}, {21, 40}, {21, 42}, {0, 0}, {478, 268}})
        EXPECT_EQ(ScreenPixel(gx, gy), 0x323232u) << "grid at " << gx << "," << gy;
    EXPECT_EQ(ScreenPixel(101, 101), 0x0000C8u);
}

TEST_F(ScreenEditorDisplay, PenOfSizeThreeAtTheLastColumnPaintsOnlyThatColumn) {
    ScreenWnd& editor = OpenEditor(240, 135);
    editor.Canvas().pen = {10, 200, 30};
    editor.SetPenSize(3);
    ClickEditor(479, 101);  // cell (239, 50)
    ASSERT_TRUE(PumpUntil([&] { return owner_->heard.size() == 2; }));
    EXPECT_EQ(owner_->heard, (std::vector<UINT>{ScreenWnd::kUndoReadyMessage, ScreenWnd::kCanvasChangedMessage}));
    for (int row = 50; row < 53; ++row) EXPECT_EQ(editor.Canvas().Cell(239, row), Cell(10, 200, 30, 1)) << row;
    EXPECT_EQ(FlaggedCells(editor.Canvas().cells), 3);
    EXPECT_EQ(ScreenUndoPosition.load(), 2);
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(479, 105) == 0x0AC81Eu; }));
    EXPECT_FALSE(editor.IsDrawing());
}

TEST_F(ScreenEditorDisplay, EraserClearsOnlyDrawnCellsToTheBackground) {
    ScreenWnd& editor = OpenEditor(240, 135);
    editor.Canvas().background = {0, 0, 200};
    auto& canvas = editor.Canvas();
    canvas.Cell(5, 5) = Cell(255, 0, 0, 1);
    canvas.Cell(6, 5) = Cell(0, 255, 0, 0);  // empty, another colour
    canvas.Cell(6, 6) = Cell(9, 9, 9, 1);
    canvas.Cell(7, 7) = Cell(8, 8, 8, 1);  // outside the 2 x 2 block
    editor.SetPenMode(ScreenWnd::kPenModeEraser);
    editor.SetPenSize(2);
    ClickEditor(11, 11);  // cell (5, 5)
    ASSERT_TRUE(PumpUntil([&] { return owner_->heard.size() == 2; }));
    EXPECT_EQ(canvas.Cell(5, 5), Cell(0, 0, 200, 0));
    EXPECT_EQ(canvas.Cell(6, 6), Cell(0, 0, 200, 0));
    EXPECT_EQ(canvas.Cell(6, 5), Cell(0, 255, 0, 0)) << "empty cells are left";
    EXPECT_EQ(canvas.Cell(7, 7), Cell(8, 8, 8, 1));
    EXPECT_EQ(canvas.Cell(5, 6), Cell(0, 0, 0, 0));
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(11, 11) == 0x0000C8u; }));
}

TEST_F(ScreenEditorDisplay, UndoWalksBackStrokeByStrokeAndTheOldestGivesWayPastTheLastEntry) {
    ScreenWnd& editor = OpenEditor(240, 135);
    editor.Canvas().pen = {255, 255, 255};
    editor.ResetHistory();
    const HWND hwnd = editor.GetHWND();
    // Stroke k paints cell (k % 240, 10 + k / 240) with one press and
    // release (below the close button).
    auto stroke = [&](int k) {
        const LPARAM at = win::MAKELPARAM(WORD((k % 240) * 2 + 1), WORD((10 + k / 240) * 2 + 1));
        win::SendMessageW(hwnd, win::WM_LBUTTONDOWN, 1 /* left button held */, at);
        win::SendMessageW(hwnd, win::WM_LBUTTONUP, 0, at);
    };
    auto painted = [&](int k) { return editor.Canvas().Cell(k % 240, 10 + k / 240).flag == 1; };
    // A first stroke: one undo restores the start, a second does nothing.
    stroke(0);
    EXPECT_EQ(ScreenUndoPosition.load(), 2);
    EXPECT_EQ(editor.Undo(), ScreenWnd::kUndoRestored);
    EXPECT_EQ(ScreenUndoPosition.load(), 1);
    EXPECT_EQ(FlaggedCells(editor.Canvas().cells), 0);
    EXPECT_EQ(editor.Undo(), ScreenWnd::kUndoNothing);
    EXPECT_EQ(ScreenUndoPosition.load(), 0);

    // 600 strokes: the history keeps the last 510 of them.
    editor.ResetHistory();
    for (int k = 1; k <= 600; ++k) stroke(k);
    EXPECT_EQ(ScreenUndoPosition.load(), ScreenWnd::kHistoryEntries - 1);
    EXPECT_EQ(FlaggedCells(editor.Canvas().cells), 600);
    EXPECT_EQ(editor.Undo(), ScreenWnd::kUndoRestored);
    EXPECT_FALSE(painted(600));
    EXPECT_TRUE(painted(599));
    for (int i = 1; i < 510; ++i) ASSERT_EQ(editor.Undo(), ScreenWnd::kUndoRestored) << i;
    EXPECT_EQ(ScreenUndoPosition.load(), 1);
    // The oldest state kept: after stroke 90 (strokes 1..90 painted).
    EXPECT_EQ(FlaggedCells(editor.Canvas().cells), 90);
    EXPECT_TRUE(painted(90));
    EXPECT_FALSE(painted(91));
    EXPECT_EQ(editor.Undo(), ScreenWnd::kUndoNothing);
    EXPECT_EQ(FlaggedCells(editor.Canvas().cells), 90);
    // Strokes go on from there.
    stroke(700);
    EXPECT_EQ(ScreenUndoPosition.load(), 2);
    EXPECT_EQ(editor.Undo(), ScreenWnd::kUndoRestored);
    EXPECT_FALSE(painted(700));
    EXPECT_EQ(FlaggedCells(editor.Canvas().cells), 90);
}

TEST_F(ScreenEditorDisplay, TheHistoryHoldsAGridOnlyForEachRecordedState) {
    ScreenWnd& editor = OpenEditor(240, 135);
    editor.Canvas().pen = {255, 255, 255};
    const HWND hwnd = editor.GetHWND();
    auto stroke = [&](int k) {
        const LPARAM at = win::MAKELPARAM(WORD((k % 240) * 2 + 1), WORD((10 + k / 240) * 2 + 1));
        win::SendMessageW(hwnd, win::WM_LBUTTONDOWN, 1, at);
        win::SendMessageW(hwnd, win::WM_LBUTTONUP, 0, at);
    };
    ScreenCanvas& canvas = editor.Canvas();
    editor.ResetHistory();
    ASSERT_EQ(canvas.history.size(), size_t(ScreenWnd::kHistoryEntries));
    EXPECT_EQ(canvas.HistoryGridsHeld(), 2) << "the start state in entries 0 and 1";
    for (int k = 1; k <= 5; ++k) {
        stroke(k);
        EXPECT_EQ(canvas.HistoryGridsHeld(), 2 + k) << k;
    }
    // Three steps back, then a stroke: the states past it can no longer be
    // reached and their grids go; what an undo reaches stays.
    for (int i = 0; i < 3; ++i) ASSERT_EQ(editor.Undo(), ScreenWnd::kUndoRestored);
    stroke(50);
    EXPECT_EQ(ScreenUndoPosition.load(), 4);
    EXPECT_EQ(canvas.HistoryGridsHeld(), 5);
    EXPECT_EQ(FlaggedCells(canvas.cells), 3) << "strokes 1, 2 and 50";
    ASSERT_EQ(editor.Undo(), ScreenWnd::kUndoRestored);
    EXPECT_EQ(FlaggedCells(canvas.cells), 2);
    ASSERT_EQ(editor.Undo(), ScreenWnd::kUndoRestored);
    EXPECT_EQ(FlaggedCells(canvas.cells), 1);
    // A long session never holds more than the entries.
    for (int k = 100; k < 700; ++k) stroke(k);
    EXPECT_EQ(canvas.HistoryGridsHeld(), ScreenWnd::kHistoryEntries);
    EXPECT_EQ(editor.Undo(), ScreenWnd::kUndoRestored);
    EXPECT_EQ(canvas.Cell(699 % 240, 10 + 699 / 240).flag, 0);
    EXPECT_EQ(canvas.Cell(698 % 240, 10 + 698 / 240).flag, 1);
}

TEST_F(ScreenEditorDisplay, ADragIsOneStrokeAndLeavingTheWindowEndsIt) {
    ScreenWnd& editor = OpenEditor(240, 135);
    editor.Canvas().pen = {250, 250, 0};
    editor.ResetHistory();
    Window owner = 0;
    ASSERT_TRUE(XGetTransientForHint(driver_->display(), Xid(&editor), &owner));
    EXPECT_EQ(owner, Xid(owner_.get())) << "transient for the main window";
    int x = 0, y = 0, w = 0, h = 0;
    Geometry(x, y, w, h);
    driver_->MoveTo(x + 41, y + 41);  // cell (20, 20)
    driver_->Press(1);
    ASSERT_TRUE(PumpUntil([&] { return editor.Canvas().Cell(20, 20).flag == 1; }));
    // To cell (30, 20), one cell at a time (the editor paints where the
    // pointer is; it does not fill the cells between two far positions).
    for (int step = 1; step <= 10; ++step) {
        driver_->MoveTo(x + 41 + step * 2, y + 41);
        EXPECT_TRUE(PumpUntil([&] { return editor.Canvas().Cell(20 + step, 20).flag == 1; })) << step;
    }
    driver_->Release(1);
    ASSERT_TRUE(PumpUntil([&] { return owner_->heard.size() == 2; }));
    for (int c = 20; c <= 30; ++c) EXPECT_EQ(editor.Canvas().Cell(c, 20), Cell(250, 250, 0, 1)) << c;
    EXPECT_EQ(FlaggedCells(editor.Canvas().cells), 11);
    EXPECT_EQ(ScreenUndoPosition.load(), 2) << "one stroke";
    EXPECT_EQ(editor.Undo(), ScreenWnd::kUndoRestored);
    EXPECT_EQ(FlaggedCells(editor.Canvas().cells), 0);

    // A stroke that leaves the window ends there and is recorded.
    const HWND hwnd = editor.GetHWND();
    win::SendMessageW(hwnd, win::WM_LBUTTONDOWN, 1, win::MAKELPARAM(5, 5));
    EXPECT_TRUE(editor.IsDrawing());
    win::SendMessageW(hwnd, win::WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(editor.IsDrawing());
    win::SendMessageW(hwnd, win::WM_MOUSEMOVE, 1, win::MAKELPARAM(9, 5));
    EXPECT_EQ(FlaggedCells(editor.Canvas().cells), 1) << "no painting after the stroke ended";
    EXPECT_EQ(owner_->heard.back(), ScreenWnd::kCanvasChangedMessage);
    EXPECT_EQ(editor.Undo(), ScreenWnd::kUndoRestored);
    EXPECT_EQ(FlaggedCells(editor.Canvas().cells), 0);
}

// The editor takes the free part of the Screen tab right of its controls, at
// the window's scale; a window too narrow for that has it beside it. Either
// way it stays inside the work area.
TEST_F(ScreenEditorDisplay, PlaceBesideUsesTheScaledWindowAndKeepsInsideTheWorkArea) {
    ScreenWnd& editor = OpenEditor(240, 135);
    struct Case {
        const char* name;
        int dpi;
        long area[4];
        RECT main;
        int x, y;
    } cases[] = {
        {"1.5x window: inside, right of the controls", 144, {0, 0, 1920, 1040}, {210, 40, 1710, 1000}, 1692 - 480, 439},
        {"1x window too narrow: beside it", 96, {0, 0, 1920, 1040}, {100, 100, 1100, 740}, 1112, 366},
        {"beside, pushed in from the right and the bottom", 96, {0, 0, 1920, 1040}, {1300, 600, 1900, 1000}, 1440, 770},
        {"main window reaching out: left as it is", 96, {0, 0, 1920, 1040}, {1500, 100, 2300, 672}, 2312, 366},
        {"small area with a panel on top", 96, {0, 40, 1280, 984}, {0, 40, 800, 612}, 800, 306},
    };
    for (const Case& c : cases) {
        SetWorkArea(c.area[0], c.area[1], c.area[2], c.area[3]);
        editor.SetDPI(c.dpi);
        editor.PlaceBeside(c.main.left, c.main.top, c.main.right, c.main.bottom);
        const RECT r = editor.GetWindowRect();
        EXPECT_EQ(r.left, c.x) << c.name;
        EXPECT_EQ(r.top, c.y) << c.name;
        EXPECT_EQ(r.right - r.left, 480) << c.name;
        EXPECT_EQ(r.bottom - r.top, 270) << c.name;
        int x = 0, y = 0, w = 0, h = 0;
        Geometry(x, y, w, h);
        EXPECT_EQ(x, c.x) << c.name << " on the server";
        EXPECT_EQ(y, c.y) << c.name << " on the server";
    }
}

TEST_F(ScreenEditorDisplay, TheToolsCursorShowsOverTheCanvas) {
    ScreenWnd& editor = OpenEditor(240, 135);
    auto pen = LoadIcoCursor(win::GetProgramFolder() + ScreenWnd::kPenCursor);
    auto eraser = LoadIcoCursor(win::GetProgramFolder() + ScreenWnd::kEraserCursor);
    ASSERT_NE(pen, nullptr);
    ASSERT_NE(eraser, nullptr);
    ASSERT_NE(pen->pixels, eraser->pixels);
    Display* d = driver_->display();
    auto shows = [&](const BackendCursorImage& image) {
        XFixesCursorImage* shown = XFixesGetCursorImage(d);
        if (!shown) return false;
        bool same = shown->width == image.width && shown->height == image.height && shown->xhot == image.hotX &&
                    shown->yhot == image.hotY;
        for (int i = 0; same && i < image.width * image.height; ++i)
            same = uint32_t(shown->pixels[i]) == image.pixels[size_t(i)];
        XFree(shown);
        return same;
    };
    int x = 0, y = 0, w = 0, h = 0;
    Geometry(x, y, w, h);
    driver_->MoveTo(x + 200, y + 100);
    EXPECT_TRUE(PumpUntil([&] { return shows(*pen); }));
    editor.SetPenMode(ScreenWnd::kPenModeEraser);
    editor.RequestCursorUpdate();
    driver_->MoveTo(x + 210, y + 110);
    EXPECT_TRUE(PumpUntil([&] { return shows(*eraser); }));
}

TEST_F(ScreenEditorDisplay, DpiRequestsAreCheckedAndADpiChangeMovesTheWindowToTheSuggestedPlace) {
    ScreenWnd& editor = OpenEditor(240, 135);
    editor.SetDPI(120);
    EXPECT_EQ(editor.GetDPI(), 120);
    editor.SetDPI(100);  // not a step the program knows
    EXPECT_EQ(editor.GetDPI(), 96);
    EXPECT_EQ(editor.GetPaintManager()->GetDPIObj()->GetDPI(), 96);
    RECT suggested{300, 200, 780, 470};
    win::SendMessageW(editor.GetHWND(), win::WM_DPICHANGED, 144 | (144 << 16), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(editor.GetPaintManager()->GetDPIObj()->GetDPI(), 144);
    int x = 0, y = 0, w = 0, h = 0;
    Geometry(x, y, w, h);
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 200);
    EXPECT_EQ(w, 480);
    EXPECT_EQ(h, 270);
}

TEST_F(ScreenEditorDisplay, CloseButtonAndWindowManagerCloseEndOnlyTheEditor) {
    for (const bool byWindowManager : {false, true}) {
        ScreenWnd& editor = OpenEditor(240, 135);
        const Window xid = Xid(&editor);
        if (byWindowManager)
            driver_->RequestClose(xid);
        else
            ClickEditor(470, 10);  // "closebtn"
        EXPECT_TRUE(PumpUntil([&] { return editor.GetHWND() == nullptr; })) << byWindowManager;
        EXPECT_EQ(ScreenUndoPosition.load(), 0) << "a press on the close button is no stroke";
        EXPECT_TRUE(owner_->heard.empty());
        // The main window lives on and its loop goes on (Pump fails on a quit).
        EXPECT_NE(owner_->GetHWND(), nullptr);
        Pump();
    }
}

}  // namespace
