#include "keyboard/screen_wnd.h"

#include <algorithm>

#include "keyboard/screen_canvas_ui.h"
#include "platform/os/messages.h"
#include "platform/ui/ico_cursor.h"
#include "platform/ui/win_window_api.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

namespace {

// Where the editor goes in the main window, in unscaled pixels: its distance
// from the window's right edge, the top of the Screen tab's first row and the
// width the tab's controls take.
constexpr int kPlaceMargin = 12;
constexpr int kPlaceTop = 266;
constexpr int kPlaceControlsWidth = 570;

int SignedLow(LPARAM lParam) { return static_cast<short>(lParam & 0xFFFF); }
int SignedHigh(LPARAM lParam) { return static_cast<short>((lParam >> 16) & 0xFFFF); }

DWORD Opaque(uint8_t r, uint8_t g, uint8_t b) { return 0xFF000000u | (DWORD(r) << 16) | (DWORD(g) << 8) | b; }

}  // namespace

ScreenWnd::ScreenWnd(int columns, int rows) {
    m_canvas.columns = std::clamp(columns, 0, CScreenViewControlUI::kGridColumns);
    m_canvas.rows = std::clamp(rows, 0, CScreenViewControlUI::kGridRows);
}

int ScreenWnd::ZoomFor(int columns, int rows) {
    if (columns <= 0 || rows <= 0) return 0;
    int zoom = 0;
    for (int k = 2; columns * k <= kWidth && rows * k <= kHeight; k += 2) zoom = k;
    return zoom;
}

int ScreenWnd::GetCellSize() const {
    if (m_canvas.rows <= 0) return 0;
    const RECT r = GetWindowRect();
    return (r.bottom - r.top) / m_canvas.rows;
}

CControlUI* ScreenWnd::CreateControl(LPCTSTR pstrClass) {
    if (pstrClass && std::wstring_view(pstrClass) == CScreenCanvasUI::kClassName)
        return new CScreenCanvasUI(
            [this](HDC dc, const RECT& item, const RECT& paint) { PaintCanvas(dc, item, paint); });
    return nullptr;
}

void ScreenWnd::OnClick(TNotifyUI& msg) {
    if (msg.pSender == nullptr) return;
    if (msg.pSender == m_pCloseButton) {
        Close(0);
        return;
    }
    if (msg.pSender->GetName() == L"okbtn") Close(1);
}

LRESULT ScreenWnd::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if ((wParam & 0xFFF0) == win::SC_CLOSE) {
        bHandled = TRUE;
        Close(0);
        return 0;
    }
    return WindowImplBase::OnSysCommand(uMsg, wParam, lParam, bHandled);
}

void ScreenWnd::PlaceBeside(int left, int top, int right, int bottom) {
    if (!GetHWND()) return;
    // The editor is a top-level window owned by the main window, so its
    // position stays in screen coordinates. The Screen tab keeps its controls
    // in the left part of the page: the editor takes the free part to their
    // right, level with the tab's first row, at the window's scale; where the
    // window is too narrow for that, it stands beside the window.
    const BackendRect area = GetDisplayBackend().GetWorkArea();
    const CDPI* dpi = m_pm.GetDPIObj();
    const int margin = dpi->Scale(kPlaceMargin);
    const int width = kWidth, height = kHeight;
    int x = right - margin - width;
    int y = top + dpi->Scale(kPlaceTop);
    if (x < left + dpi->Scale(kPlaceControlsWidth)) x = right + margin;
    if (left >= area.left && right <= area.right) {
        if (x < area.left)
            x = area.left;
        else if (x + width > area.right)
            x = area.right - width;
    }
    if (top >= area.top && bottom <= area.bottom) {
        if (y < area.top)
            y = area.top;
        else if (y + height > area.bottom)
            y = area.bottom - height;
    }
    win::SetWindowPos(GetHWND(), nullptr, x, y, kWidth, kHeight, win::SWP_NOZORDER | win::SWP_NOACTIVATE);
}

// ---- history --------------------------------------------------------------

void ScreenWnd::CanvasToHistory(int entry) {
    m_canvas.EnsureHistory();
    if (entry < 0 || entry >= kHistoryEntries) return;
    m_canvas.history[size_t(entry)].cells = m_canvas.cells;
}

void ScreenWnd::ResetHistory() {
    CanvasToHistory(0);
    CanvasToHistory(1);
    m_canvas.history[0].valid = 0;
    m_canvas.history[1].valid = 0;
}

ScreenWnd::UndoResult ScreenWnd::Undo() {
    int position = ScreenUndoPosition.load() - 1;
    if (position <= 0) {
        ScreenUndoPosition = 0;
        return kUndoNothing;
    }
    position = std::min(position, kHistoryEntries - 2);
    ScreenUndoPosition = position;
    auto& history = m_canvas.history;
    if (history.empty()) return kUndoNothing;
    if (!history[1].valid) return kUndoAllowed;
    m_canvas.cells = history[size_t(position)].cells.Read();
    history[size_t(position) + 1].cells = history[size_t(position)].cells;
    RepaintCanvas();
    return kUndoRestored;
}

int ScreenWnd::NextStrokeEntry() {
    const int next = std::max(ScreenUndoPosition.load() + 1, 2);
    if (next < kHistoryEntries) return next;
    // Entry 1 holds the oldest state an undo reaches: it gives way to the
    // next one, every later entry moves down one, and the stroke takes the
    // last entry.
    auto& history = m_canvas.history;
    history.erase(history.begin() + 1);
    history.emplace_back();
    return kHistoryEntries - 1;
}

// ---- strokes ----------------------------------------------------------------

void ScreenWnd::Tell(UINT message) {
    if (HWND owner = GetOwner()) win::SendMessageW(owner, message, 0, 0);
}

bool ScreenWnd::PressIsOnAButton(int x, int y) {
    CControlUI* hit = m_pm.FindControl(POINT{x, y});
    return hit != nullptr && hit->GetInterface(L"Button") != nullptr;
}

void ScreenWnd::InvalidateCell(int column, int row) {
    const int size = m_cellSize > 0 ? m_cellSize : GetCellSize();
    m_pm.Invalidate(RECT{column * size, row * size, (column + 1) * size, (row + 1) * size});
}

void ScreenWnd::PaintAt(int column, int row, bool record) {
    ScreenHistoryFrame* entry = nullptr;
    if (record && m_penMode != kPenModeEraser) {
        const int position = ScreenUndoPosition.load();
        if (position >= 0 && position < int(m_canvas.history.size())) entry = &m_canvas.history[size_t(position)];
    }
    const ScreenColor pen = m_canvas.pen, background = m_canvas.background;
    for (int r = row; r < row + m_penSize; ++r) {
        for (int c = column; c < column + m_penSize; ++c) {
            if (c < 0 || r < 0 || c >= m_canvas.columns || r >= m_canvas.rows) continue;
            ScreenCell& cell = m_canvas.Cell(c, r);
            if (m_penMode != kPenModeEraser) {
                cell = ScreenCell{pen.red, pen.green, pen.blue, 1};
                if (entry) entry->cells[size_t(CScreenViewControlUI::CellIndex(c, r))] = cell;
            } else {
                if (cell.flag != 1) continue;
                cell = ScreenCell{background.red, background.green, background.blue, 0};
            }
            InvalidateCell(c, r);
        }
    }
}

void ScreenWnd::OnButtonDown(int x, int y) {
    m_buttonPress = PressIsOnAButton(x, y);
    if (m_buttonPress) return;
    m_canvas.EnsureHistory();
    ScreenUndoPosition = NextStrokeEntry();
    m_canvas.ReleaseHistoryAfter(ScreenUndoPosition);
    m_canvas.history[0].valid = 1;
    m_canvas.history[1].valid = 1;
    Tell(kUndoReadyMessage);
    m_drawing = true;
    const int size = GetCellSize();
    if (size > 0) PaintAt(x / size - (x < 0), y / size - (y < 0), true);
}

void ScreenWnd::OnMove(int x, int y) {
    UpdateCursor();
    if (!m_drawing) return;
    const int size = GetCellSize();
    if (size <= 0) return;
    const int column = x / size - (x < 0), row = y / size - (y < 0);
    if (column == m_lastColumn && row == m_lastRow) return;
    m_lastColumn = column;
    m_lastRow = row;
    PaintAt(column, row, false);
}

void ScreenWnd::OnButtonUp() {
    if (m_buttonPress) {
        m_buttonPress = false;
        return;
    }
    m_canvas.EnsureHistory();
    if (ScreenUndoPosition < 2) ScreenUndoPosition = 2;
    m_canvas.history[0].valid = 0;
    CanvasToHistory(ScreenUndoPosition);
    m_canvas.history[1].valid = 1;
    m_drawing = false;
    m_lastColumn = m_lastRow = -10;
    Tell(kCanvasChangedMessage);
}

void ScreenWnd::OnLeave() {
    if (!m_drawing) return;
    if (!m_canvas.history.empty() && m_canvas.history[0].valid) {
        CanvasToHistory(ScreenUndoPosition);
        m_canvas.history[0].valid = 0;
        m_canvas.history[1].valid = 1;
    }
    m_cursorUpdate = true;
    m_drawing = false;
    Tell(kCanvasChangedMessage);
}

void ScreenWnd::UpdateCursor() {
    if (!m_cursorUpdate) return;
    const wchar_t* file = m_penMode == kPenModeEraser ? kEraserCursor : kPenCursor;
    // A file that does not load leaves the window without a cursor of its own.
    SetClassCursor(LoadIcoCursor(CPaintManagerUI::GetInstancePath().str() + file));
    m_cursorUpdate = false;
}

LRESULT ScreenWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    bHandled = FALSE;
    switch (uMsg) {
        case win::WM_LBUTTONDOWN:
            OnButtonDown(SignedLow(lParam), SignedHigh(lParam));
            break;
        case win::WM_MOUSEMOVE:
            OnMove(SignedLow(lParam), SignedHigh(lParam));
            break;
        case win::WM_LBUTTONUP:
            OnButtonUp();
            break;
        case win::WM_MOUSEHOVER:
            UpdateCursor();
            break;
        case win::WM_MOUSELEAVE:
            OnLeave();
            break;
        case win::WM_DPICHANGED:
            FollowDpiChange(wParam, lParam, 0);
            break;
        default:
            break;
    }
    return 0;
}

// ---- painting ---------------------------------------------------------------

void ScreenWnd::RepaintCanvas() {
    if (!GetHWND()) return;
    m_pm.Invalidate();
    m_pm.Paint();
}

void ScreenWnd::PaintCanvas(HDC dc, const RECT& item, const RECT& paint) {
    m_cellSize = GetCellSize();
    const ScreenColor background = m_canvas.background;
    CRenderEngine::DrawColor(dc, paint, Opaque(background.red, background.green, background.blue));
    const int size = m_cellSize;
    if (size <= 0) return;
    const int width = item.right - item.left, height = item.bottom - item.top;
    for (int i = 0; i <= m_canvas.columns; ++i) {
        const int x = item.left + i * size;
        if (x >= paint.left && x < paint.right)
            CRenderEngine::DrawColor(dc, {x, item.top, x + 1, item.top + height}, kGridColor);
    }
    for (int i = 0; i <= m_canvas.rows; ++i) {
        const int y = item.top + i * size;
        if (y >= paint.top && y < paint.bottom)
            CRenderEngine::DrawColor(dc, {item.left, y, item.left + width, y + 1}, kGridColor);
    }
    // Only the cells that meet the painted part.
    const int firstColumn = std::max(0, (paint.left - item.left) / size);
    const int lastColumn = std::min(m_canvas.columns - 1, (paint.right - 1 - item.left) / size);
    const int firstRow = std::max(0, (paint.top - item.top) / size);
    const int lastRow = std::min(m_canvas.rows - 1, (paint.bottom - 1 - item.top) / size);
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const ScreenCell& cell = m_canvas.Cell(c, r);
            if (cell.flag != 1) continue;
            const int x = item.left + c * size, y = item.top + r * size;
            CRenderEngine::DrawColor(dc, {x + 1, y + 1, x + size, y + size}, Opaque(cell.red, cell.green, cell.blue));
        }
    }
}
