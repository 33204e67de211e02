#pragma once
// The screen editor's drawing as the keyboard page reaches it: the canvas the
// editor shows (one frame's cells, its pen and background colours), its undo
// history, and the editor seen from the page (ScreenEditorView).

#include <algorithm>
#include <cstddef>
#include <deque>
#include <memory>

#include "keyboard/screen_view_control_ui.h"

// The grid of one undo entry, allocated when a state is first recorded in
// it: a history of 512 entries costs only the states it holds. An entry
// with nothing recorded reads as an empty grid (every cell 0, 0, 0, flag 0).
class ScreenHistoryGrid {
public:
    using CellGrid = CScreenViewControlUI::CellGrid;

    ScreenHistoryGrid() = default;
    ScreenHistoryGrid(const ScreenHistoryGrid& other) { *this = other; }
    ScreenHistoryGrid(ScreenHistoryGrid&&) noexcept = default;
    ScreenHistoryGrid& operator=(ScreenHistoryGrid&&) noexcept = default;
    ScreenHistoryGrid& operator=(const ScreenHistoryGrid& other) {
        if (this == &other) return *this;
        if (other.grid_) return *this = *other.grid_;
        grid_.reset();
        return *this;
    }
    ScreenHistoryGrid& operator=(const CellGrid& cells) {
        Grid() = cells;
        return *this;
    }

    // Writable grid: allocated (empty) when nothing was recorded yet.
    CellGrid& Grid() {
        if (!grid_) grid_ = std::make_unique<CellGrid>();
        return *grid_;
    }
    const CellGrid& Read() const { return grid_ ? *grid_ : Empty(); }
    ScreenCell& operator[](std::size_t i) { return Grid()[i]; }
    const ScreenCell& operator[](std::size_t i) const { return Read()[i]; }

    bool Held() const { return grid_ != nullptr; }
    void Release() { grid_.reset(); }

private:
    static const CellGrid& Empty() {
        static const CellGrid empty{};
        return empty;
    }
    std::unique_ptr<CellGrid> grid_;
};

// One undo entry: its grid and whether it holds a recorded state.
struct ScreenHistoryFrame {
    ScreenHistoryGrid cells;
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
    // Entries past `entry` can no longer be reached by an undo (a new stroke
    // takes `entry`): their grids go.
    void ReleaseHistoryAfter(int entry) {
        for (std::size_t i = std::size_t(std::max(entry + 1, 0)); i < history.size(); ++i) history[i].cells.Release();
    }
    // How many entries hold a grid.
    int HistoryGridsHeld() const {
        int held = 0;
        for (const ScreenHistoryFrame& frame : history) held += frame.cells.Held() ? 1 : 0;
        return held;
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
