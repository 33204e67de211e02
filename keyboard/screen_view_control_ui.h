#pragma once
// CScreenViewControlUI: one frame of the keyboard's screen animation. It is at
// the same time the frame's pixel store (a fixed 240 x 135 grid of cells, of
// which the frame uses columns x rows), its thumbnail in the frame strip (an
// option drawn as a dot pattern with a border that marks the selected or
// hovered frame) and the source of the frame's 32-bit bitmap.
//
// The keyboard page reads and writes the cells, colours, columns and rows
// directly (editor canvas, import, upload) and asks for a repaint afterwards.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/ui/button.h"

// One pixel of a frame: the colour it shows and whether it carries a drawn
// colour (1) or the frame's background (0).
struct ScreenCell {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    int32_t flag = 0;

    bool operator==(const ScreenCell&) const = default;
};

// A colour as three bytes.
struct ScreenColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    bool operator==(const ScreenColor&) const = default;
    // From 0xRRGGBB (any alpha byte is ignored).
    static ScreenColor FromRgb(DuiLib::DWORD color);
    DuiLib::DWORD ToRgb() const { return (DuiLib::DWORD(red) << 16) | (DuiLib::DWORD(green) << 8) | blue; }
};

// A 32-bit device-independent picture, rows top first (height is negative as
// in a top-down bitmap header), each pixel blue, green, red, 255.
struct ScreenBitmap {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitsPerPixel = 32;
    std::vector<uint8_t> pixels;

    int32_t Rows() const { return height < 0 ? -height : height; }
    int32_t RowBytes() const { return (width * bitsPerPixel + 31) / 32 * 4; }
};

class CScreenViewControlUI : public DuiLib::COptionUI {
public:
    static constexpr int kGridColumns = 240;
    static constexpr int kGridRows = 135;
    static constexpr int kCellCount = kGridColumns * kGridRows;
    static constexpr DuiLib::DWORD kMarkColor = 0xFFD20334;
    static constexpr DuiLib::DWORD kPlainBorderColor = 0xFFFFFFFF;
    static constexpr const wchar_t* kClassName = L"ScreenViewControl";

    using CellGrid = std::array<ScreenCell, kCellCount>;

    CScreenViewControlUI();
    ~CScreenViewControlUI() override;

    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;
    DuiLib::UINT GetControlFlags() const override;
    void SetPos(DuiLib::RECT rc, bool bNeedInvalidate = true) override;
    void Move(DuiLib::SIZE szOffset, bool bNeedInvalidate = true) override;
    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;
    void DoEvent(DuiLib::TEventUI& event) override;
    void SetAttribute(DuiLib::LPCTSTR pstrName, DuiLib::LPCTSTR pstrValue) override;
    bool DoPaint(DuiLib::HDC hDC, const DuiLib::RECT& rcPaint, DuiLib::CControlUI* pStopControl = nullptr) override;
    void PaintText(DuiLib::HDC hDC) override;
    void PaintBorder(DuiLib::HDC hDC) override;

    // position = row << 16 | column (column in the low 8 bits). On: the cell
    // takes the pen colour and flag 1; off: the background colour and flag 0.
    // A position outside the frame's columns x rows is ignored. No repaint.
    void SetCell(int on, uint32_t position);
    // 0xRRGGBB.
    void SetPenColor(DuiLib::DWORD color);
    void SetBackgroundColor(DuiLib::DWORD color);
    ScreenColor GetPenColor() const { return m_pen; }
    ScreenColor GetBackgroundColor() const { return m_background; }

    // The bitmap built anew from the cells; GetBitmap builds it when there is
    // none. A frame without columns or rows has no bitmap (null).
    void RebuildBitmap();
    void UpdateBitmap() { RebuildBitmap(); }
    const ScreenBitmap* GetBitmap();

    // The frame's size in cells, held to 0..240 and 0..135.
    void SetColumns(int columns);
    void SetRows(int rows);
    int GetColumns() const { return m_columns; }
    int GetRows() const { return m_rows; }

    // The cell of (column, row) in the fixed grid: element row * 240 + column.
    static int CellIndex(int column, int row) { return row * kGridColumns + column; }
    ScreenCell& Cell(int column, int row) { return m_cells[CellIndex(column, row)]; }
    const ScreenCell& Cell(int column, int row) const { return m_cells[CellIndex(column, row)]; }
    CellGrid& Cells() { return m_cells; }
    const CellGrid& Cells() const { return m_cells; }

    bool IsHot() const { return m_hot; }
    // The distance between thumbnail dots at the last paint.
    float GetDotPitch() const { return m_dotPitch; }

    // The colour a cell is drawn in: pure black shows as 1, 1, 1 so that a
    // black dot stays apart from the thumbnail's black ground.
    static DuiLib::DWORD DrawColorOf(const ScreenCell& cell);

private:
    bool m_hot = false;
    float m_dotPitch = 0.0f;
    ScreenColor m_pen{};
    ScreenColor m_background{};
    bool m_hasBitmap = false;
    ScreenBitmap m_bitmap;
    CellGrid m_cells{};
    int m_columns = 0;
    int m_rows = 0;
};
