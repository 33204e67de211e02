#pragma once
// The screen editor's drawing as the keyboard page reaches it: the canvas the
// editor shows (one frame's cells, its pen and background colours), its undo
// history, and the editor seen from the page (ScreenEditorView).

#include <deque>

#include "keyboard/screen_view_control_ui.h"

// One undo entry: a canvas-sized grid and whether it holds a recorded state.
struct ScreenHistoryFrame {
    CScreenViewControlUI::CellGrid cells{};
    int32_t valid = 0;
};

struct ScreenCanvas {
    static constexpr int kHistoryEntries = 512;

    ScreenColor pen{};
    ScreenColor background{};
    CScreenViewControlUI::CellGrid cells{};
    // The keyboard's screen size in cells, held to the grid.
    int columns = 0;
    int rows = 0;
    // Empty until first used, then kHistoryEntries entries. A deque, so that
    // dropping the oldest entry when the last one is taken moves no grids.
    std::deque<ScreenHistoryFrame> history;

    ScreenCell& Cell(int column, int row) { return cells[CScreenViewControlUI::CellIndex(column, row)]; }
    void EnsureHistory() {
        if (history.empty()) history.resize(kHistoryEntries);
    }
};

// The editor window as the page drives it. The window keeps the canvas; the
// page copies frames into it and out of it.
class ScreenEditorView {
public:
    virtual ~ScreenEditorView() = default;
    virtual ScreenCanvas& Canvas() = 0;
    // Invalidates the whole canvas and repaints it at once.
    virtual void RedrawCanvas() = 0;
};
