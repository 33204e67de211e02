#pragma once

// ScreenWnd: the floating editor in which one frame of the keyboard's screen
// is drawn cell by cell. Its canvas (the frame's grid, enlarged) is painted
// with the render engine as a grid of 50-50-50 lines with each drawn cell's
// inside in its colour. A press starts a stroke with the square pen or the
// eraser; every finished stroke is recorded in the undo history and told to
// the owner (the main window), which copies the canvas into the frame.
//
// The keyboard page owns the object: the window's end does not delete it.
// "closebtn" and a close from the window manager close only this window.

#include "keyboard/screen_canvas.h"
#include "shell/controls/message_window_base.h"

class ScreenWnd : public CMessageWindowBase, public ScreenEditorView {
public:
    static constexpr int kHistoryEntries = ScreenCanvas::kHistoryEntries;
    // The editor's size beside the main window, and the room the zoom fills.
    static constexpr int kWidth = 480;
    static constexpr int kHeight = 270;
    static constexpr DuiLib::DWORD kGridColor = 0xFF323232;
    static constexpr int kPenModeEraser = 0;
    static constexpr int kPenModePen = 1;
    // Sent to the owner (the main window): a stroke began (the undo button
    // may be enabled), and a stroke ended (the canvas goes to the frame).
    static constexpr DuiLib::UINT kUndoReadyMessage = 0x3F4;
    static constexpr DuiLib::UINT kCanvasChangedMessage = 0x3F5;
    static constexpr const wchar_t* kPenCursor = L"Skin\\Cursor\\pen.ico";
    static constexpr const wchar_t* kEraserCursor = L"Skin\\Cursor\\eraser.ico";

    // The keyboard's screen size in cells, held to the frame grid.
    ScreenWnd(int columns, int rows);

    // Pixels per cell at which a screen of columns x rows opens: the largest
    // even number from 2 up that keeps it within 480 x 270; 0 when even 2
    // does not fit or the screen has no size.
    static int ZoomFor(int columns, int rows);

    DuiLib::LPCTSTR GetWindowClassName() const override { return L"ScreenWnd"; }

    // Moves the window next to the main window's rectangle (screen
    // coordinates), within the display's work area, at 480 x 270, without
    // activating it.
    void PlaceBeside(int left, int top, int right, int bottom);
    void SetScreenWndUpdate(bool update) { m_pm.SetScreenWndUpdate(update); }

    // The canvas (cells, colours, size, undo history) and the tools.
    ScreenCanvas& Canvas() override { return m_canvas; }
    void RedrawCanvas() override { RepaintCanvas(); }
    int GetPenMode() const { return m_penMode; }
    void SetPenMode(int mode) { m_penMode = mode; }
    int GetPenSize() const { return m_penSize; }
    void SetPenSize(int size) { m_penSize = size < 1 ? 1 : size; }
    // The next pointer move loads the tool's cursor.
    void RequestCursorUpdate() { m_cursorUpdate = true; }
    bool IsDrawing() const { return m_drawing; }
    // Pixels per cell: the window's height over the rows (0 without rows).
    int GetCellSize() const;

    // Copies the canvas into history entry n (0..511; the history is made
    // when empty).
    void CanvasToHistory(int entry);

    // Back to the state before any recorded stroke: the canvas goes into
    // entries 0 and 1, both marked not valid.
    void ResetHistory();
    // One step back in the history (ScreenUndoPosition down one):
    // kUndoNothing when the position reached 0 or there is no history yet;
    // kUndoAllowed when a stroke was recorded but none is to be restored;
    // kUndoRestored when the canvas took the entry (it is repainted).
    enum UndoResult { kUndoNothing, kUndoAllowed, kUndoRestored };
    UndoResult Undo();

    // Repaints the whole canvas now.
    void RepaintCanvas();
    // Paints the canvas into the window's picture (the canvas control).
    void PaintCanvas(DuiLib::HDC dc, const DuiLib::RECT& item, const DuiLib::RECT& paint);

protected:
    DuiLib::CDuiString GetSkinFile() override { return L"screen.xml"; }
    DuiLib::CControlUI* CreateControl(DuiLib::LPCTSTR pstrClass) override;
    // The close button closes with 0, "okbtn" with 1.
    void OnClick(DuiLib::TNotifyUI& msg) override;
    // A close from the window manager closes this window like its close
    // button (the program goes on); other commands take the default path.
    DuiLib::LRESULT OnSysCommand(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                 DuiLib::BOOL& bHandled) override;
    // Strokes, the tool's cursor and DPI changes; never handled here, so the
    // paint manager sees every message too.
    DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                        DuiLib::BOOL& bHandled) override;

private:
    void OnButtonDown(int x, int y);
    void OnMove(int x, int y);
    void OnButtonUp();
    void OnLeave();
    void UpdateCursor();
    // Paints the pen-size block at cell (column, row); with `record` the
    // pen's cells also go into the current history entry.
    void PaintAt(int column, int row, bool record);
    void InvalidateCell(int column, int row);
    // The history position a new stroke takes; at the last entry the oldest
    // recorded state is dropped to make room.
    int NextStrokeEntry();
    void Tell(DuiLib::UINT message);
    bool PressIsOnAButton(int x, int y);

    int m_cellSize = 0;
    bool m_drawing = false;
    bool m_buttonPress = false;  // the press went to a button, not to the canvas
    int m_penMode = kPenModePen;
    bool m_cursorUpdate = true;
    int m_penSize = 1;
    int m_lastColumn = -10;
    int m_lastRow = -10;
    ScreenCanvas m_canvas;
};
