#include "platform/ui/color_palette.h"

#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"

#include <algorithm>
#include <cmath>

namespace DuiLib {

DWORD HsvToArgbUI(double h, double s, double v) {
    h = std::fmod(std::fmod(h, 360.0) + 360.0, 360.0);
    double c = v * s, x = c * (1 - std::fabs(std::fmod(h / 60.0, 2) - 1)), m = v - c;
    double r = 0, g = 0, b = 0;
    if (h < 60) {
        r = c;
        g = x;
    } else if (h < 120) {
        r = x;
        g = c;
    } else if (h < 180) {
        g = c;
        b = x;
    } else if (h < 240) {
        g = x;
        b = c;
    } else if (h < 300) {
        r = x;
        b = c;
    } else {
        r = c;
        b = x;
    }
    auto to8 = [m](double t) { return static_cast<DWORD>(std::lround((t + m) * 255.0)) & 0xFF; };
    return 0xFF000000u | (to8(r) << 16) | (to8(g) << 8) | to8(b);
}

CColorPaletteUI::CColorPaletteUI() { SetCursor(UICURSOR_CROSS); }

LPCTSTR CColorPaletteUI::GetClass() const { return L"ColorPaletteUI"; }
LPVOID CColorPaletteUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"ColorPalette") == 0) return this;
    return CControlUI::GetInterface(n);
}

void CColorPaletteUI::SetSelectColor(DWORD c) {
    m_dwSelectColor = c | 0xFF000000u;
    m_ptMarker = {-1, -1};
    Invalidate();
}

DWORD CColorPaletteUI::ColorAt(POINT pt) const {
    int w = std::max(1, GetWidth());
    int field = m_nPalletHeight > 0 ? Scaled(m_nPalletHeight) : GetHeight() - Scaled(m_nBarHeight);
    field = std::max(1, field);
    int x = std::clamp<int>(pt.x - m_rcItem.left, 0, w - 1);
    int y = std::clamp<int>(pt.y - m_rcItem.top, 0, field - 1);
    double sat = double(x) / (w - 1 > 0 ? w - 1 : 1);
    double val = 1.0 - double(y) / (field - 1 > 0 ? field - 1 : 1);
    return HsvToArgbUI(m_nHue, sat, val);
}

void CColorPaletteUI::Pick(POINT pt) {
    int field = m_nPalletHeight > 0 ? Scaled(m_nPalletHeight) : GetHeight() - Scaled(m_nBarHeight);
    if (pt.y - m_rcItem.top >= field) {
        // The hue bar.
        int w = std::max(1, GetWidth());
        m_nHue = std::clamp<int>((pt.x - m_rcItem.left) * 360 / w, 0, 359);
        POINT at = m_ptMarker.x >= 0 ? m_ptMarker : POINT{m_rcItem.left, m_rcItem.top};
        m_dwSelectColor = ColorAt(at);
    } else {
        m_ptMarker = pt;
        m_dwSelectColor = ColorAt(pt);
    }
    Invalidate();
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_COLORCHANGED, m_dwSelectColor, 0);
}

void CColorPaletteUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
            if (IsEnabled() && PtInRectUI(m_rcItem, event.ptMouse)) {
                m_bDragging = true;
                Pick(event.ptMouse);
            }
            return;
        case UIEVENT_MOUSEMOVE:
            if (m_bDragging) Pick(event.ptMouse);
            return;
        case UIEVENT_BUTTONUP:
            m_bDragging = false;
            return;
        default:
            break;
    }
    CControlUI::DoEvent(event);
}

void CColorPaletteUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    if (DuiCompareNoCase(n, L"palletheight") == 0)
        SetPalletHeight(ParseIntUI(v));
    else if (DuiCompareNoCase(n, L"barheight") == 0)
        SetBarHeight(ParseIntUI(v));
    else if (DuiCompareNoCase(n, L"thumbimage") == 0) {
    } else
        CControlUI::SetAttribute(n, v);
}

void CColorPaletteUI::PaintBkColor(HDC hDC) {
    int w = GetWidth();
    int field = m_nPalletHeight > 0 ? Scaled(m_nPalletHeight) : GetHeight() - Scaled(m_nBarHeight);
    if (w <= 0 || field <= 0) return;
    // The field: white-to-hue across, transparent-to-black down.
    RECT f = {m_rcItem.left, m_rcItem.top, m_rcItem.right, m_rcItem.top + field};
    CRenderEngine::DrawGradient(hDC, f, 0xFFFFFFFF, HsvToArgbUI(m_nHue, 1, 1), false);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, f.top, 0, f.bottom);
    cairo_pattern_add_color_stop_rgba(shade, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(shade, 1, 0, 0, 0, 1);
    cairo_save(hDC);
    cairo_set_source(hDC, shade);
    cairo_rectangle(hDC, f.left, f.top, w, field);
    cairo_fill(hDC);
    cairo_restore(hDC);
    cairo_pattern_destroy(shade);
    // The hue bar.
    for (int x = 0; x < w; ++x) {
        RECT r = {m_rcItem.left + x, f.bottom, m_rcItem.left + x + 1, m_rcItem.bottom};
        CRenderEngine::DrawColor(hDC, r, HsvToArgbUI(x * 360.0 / w, 1, 1));
    }
    if (m_ptMarker.x >= 0)
        CRenderEngine::DrawRect(hDC, {m_ptMarker.x - 3, m_ptMarker.y - 3, m_ptMarker.x + 4, m_ptMarker.y + 4}, 1,
                                0xFFFFFFFF);
}

}  // namespace DuiLib
