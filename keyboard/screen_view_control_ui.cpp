#include "keyboard/screen_view_control_ui.h"

#include <algorithm>
#include <cstring>

#include "platform/ui/render_engine.h"

using namespace DuiLib;

ScreenColor ScreenColor::FromRgb(DWORD color) {
    return ScreenColor{static_cast<uint8_t>((color >> 16) & 0xFF), static_cast<uint8_t>((color >> 8) & 0xFF),
                       static_cast<uint8_t>(color & 0xFF)};
}

CScreenViewControlUI::CScreenViewControlUI() {
    // The hand shows over a frame; the window takes the cursor from here.
    SetCursor(UICURSOR_HAND);
}

CScreenViewControlUI::~CScreenViewControlUI() = default;

LPCTSTR CScreenViewControlUI::GetClass() const { return kClassName; }

LPVOID CScreenViewControlUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, kClassName) == 0) return this;
    return COptionUI::GetInterface(pstrName);
}

UINT CScreenViewControlUI::GetControlFlags() const {
    if (IsEnabled()) return UIFLAG_TABSTOP | UIFLAG_SETCURSOR;
    return COptionUI::GetControlFlags();
}

void CScreenViewControlUI::SetPos(RECT rc, bool bNeedInvalidate) { CControlUI::SetPos(rc, bNeedInvalidate); }

void CScreenViewControlUI::Move(SIZE szOffset, bool bNeedInvalidate) { CControlUI::Move(szOffset, bNeedInvalidate); }

void CScreenViewControlUI::SetVisible(bool bVisible) { CControlUI::SetVisible(bVisible); }

void CScreenViewControlUI::SetInternVisible(bool) {}

void CScreenViewControlUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        if (m_pParent)
            m_pParent->DoEvent(event);
        else
            COptionUI::DoEvent(event);
        return;
    }
    if (IsEnabled()) {
        switch (event.Type) {
            case UIEVENT_SETCURSOR:
                return;  // the window shows the hand this control names
            case UIEVENT_SETFOCUS:
            case UIEVENT_KILLFOCUS:
                Invalidate();
                break;
            case UIEVENT_MOUSEENTER:
                m_hot = true;
                Invalidate();
                break;
            case UIEVENT_MOUSELEAVE:
                m_hot = false;
                Invalidate();
                break;
            default:
                break;
        }
    }
    if (event.Type == UIEVENT_CONTEXTMENU) return;
    COptionUI::DoEvent(event);
}

void CScreenViewControlUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    // Text-entry and image attributes mean nothing on a frame.
    static const wchar_t* const kIgnored[] = {
        L"readonly",      L"numberonly", L"password",     L"passwordchar",  L"maxchar",
        L"normalimage",   L"hotimage",   L"focusedimage", L"disabledimage", L"nativetextcolor",
        L"nativebkcolor", L"min",        L"max"};
    if (pstrName) {
        for (const wchar_t* ignored : kIgnored) {
            if (CDuiString(pstrName).CompareNoCase(ignored) == 0) return;
        }
    }
    COptionUI::SetAttribute(pstrName, pstrValue);
}

DWORD CScreenViewControlUI::DrawColorOf(const ScreenCell& cell) {
    if (cell.red == 0 && cell.green == 0 && cell.blue == 0) return 0xFF010101;
    return 0xFF000000 | (DWORD(cell.red) << 16) | (DWORD(cell.green) << 8) | cell.blue;
}

bool CScreenViewControlUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) {
    if (pStopControl == this) return false;
    if (!IntersectRectUI(m_rcPaint, rcPaint, m_rcItem)) return true;
    const int width = m_rcItem.right - m_rcItem.left;
    const int height = m_rcItem.bottom - m_rcItem.top;
    m_dotPitch = static_cast<float>(width) / static_cast<float>(m_columns + 2);
    if (!hDC || width <= 0 || height <= 0) return true;

    // The dots go into a picture of the control's size, black where no dot
    // falls, which is then put on the window in one piece.
    cairo_surface_t* dots = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(dots) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(dots);
        unsigned char* data = cairo_image_surface_get_data(dots);
        const int stride = cairo_image_surface_get_stride(dots);
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
            std::fill(row, row + width, 0xFF000000u);
        }
        for (int i = 0; i < m_rows; ++i) {
            const int y = static_cast<int>(static_cast<float>(i + 1) * m_dotPitch);
            if (y < 0 || y >= height) continue;
            auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
            for (int j = 0; j < m_columns; ++j) {
                const int x = static_cast<int>(static_cast<float>(j + 1) * m_dotPitch);
                if (x < 0 || x >= width) continue;
                row[x] = DrawColorOf(Cell(j, i));
            }
        }
        cairo_surface_mark_dirty(dots);
        cairo_save(hDC);
        cairo_rectangle(hDC, m_rcPaint.left, m_rcPaint.top, m_rcPaint.right - m_rcPaint.left,
                        m_rcPaint.bottom - m_rcPaint.top);
        cairo_clip(hDC);
        cairo_set_source_surface(hDC, dots, m_rcItem.left, m_rcItem.top);
        cairo_pattern_set_filter(cairo_get_source(hDC), CAIRO_FILTER_NEAREST);
        cairo_rectangle(hDC, m_rcItem.left, m_rcItem.top, width, height);
        cairo_fill(hDC);
        cairo_restore(hDC);
    }
    cairo_surface_destroy(dots);
    PaintBorder(hDC);
    return true;
}

void CScreenViewControlUI::PaintText(HDC) {}

void CScreenViewControlUI::PaintBorder(HDC hDC) {
    const DWORD color = (IsSelected() || m_hot) ? kMarkColor : kPlainBorderColor;
    CRenderEngine::DrawRect(hDC, m_rcItem, 1, color);
}

void CScreenViewControlUI::SetCell(int on, uint32_t position) {
    const int row = static_cast<int>(position >> 16);
    const int column = static_cast<int>(position & 0xFF);
    if (row >= m_rows || column >= m_columns) return;
    ScreenCell& cell = Cell(column, row);
    const ScreenColor& color = on ? m_pen : m_background;
    cell.red = color.red;
    cell.green = color.green;
    cell.blue = color.blue;
    cell.flag = on ? 1 : 0;
}

void CScreenViewControlUI::SetPenColor(DWORD color) { m_pen = ScreenColor::FromRgb(color); }

void CScreenViewControlUI::SetBackgroundColor(DWORD color) { m_background = ScreenColor::FromRgb(color); }

void CScreenViewControlUI::SetColumns(int columns) { m_columns = std::clamp(columns, 0, kGridColumns); }

void CScreenViewControlUI::SetRows(int rows) { m_rows = std::clamp(rows, 0, kGridRows); }

void CScreenViewControlUI::RebuildBitmap() {
    m_hasBitmap = false;
    m_bitmap = ScreenBitmap{};
    if (m_columns <= 0 || m_rows <= 0) return;
    m_bitmap.width = m_columns;
    m_bitmap.height = -m_rows;
    m_bitmap.bitsPerPixel = 32;
    m_bitmap.pixels.resize(static_cast<size_t>(m_bitmap.RowBytes()) * m_rows);
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            const ScreenCell& cell = Cell(c, r);
            uint8_t* pixel = &m_bitmap.pixels[(static_cast<size_t>(r) * m_columns + c) * 4];
            pixel[0] = cell.blue;
            pixel[1] = cell.green;
            pixel[2] = cell.red;
            pixel[3] = 255;
        }
    }
    m_hasBitmap = true;
}

const ScreenBitmap* CScreenViewControlUI::GetBitmap() {
    if (!m_hasBitmap) RebuildBitmap();
    return m_hasBitmap ? &m_bitmap : nullptr;
}
