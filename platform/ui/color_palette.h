#pragma once

#include "platform/ui/control.h"

namespace DuiLib {

// A colour field: hue from left to right, from full colour at the top to
// black at the bottom, with a hue bar below. Picking a colour (click or
// drag) sends "colorchanged".
class CColorPaletteUI : public CControlUI {
public:
    CColorPaletteUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override { return UIFLAG_SETCURSOR; }

    DWORD GetSelectColor() const { return m_dwSelectColor; }
    void SetSelectColor(DWORD dwColor);
    int GetPalletHeight() const { return m_nPalletHeight; }
    void SetPalletHeight(int n) {
        m_nPalletHeight = n;
        Invalidate();
    }
    int GetBarHeight() const { return m_nBarHeight; }
    void SetBarHeight(int n) {
        m_nBarHeight = n;
        Invalidate();
    }

    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintBkColor(HDC hDC) override;

private:
    DWORD ColorAt(POINT pt) const;
    void Pick(POINT pt);

    DWORD m_dwSelectColor = 0xFFFF0000;
    int m_nPalletHeight = 0;  // 0: all but the bar
    int m_nBarHeight = 10;
    int m_nHue = 0;  // 0..359, chosen with the bar
    POINT m_ptMarker{-1, -1};
    bool m_bDragging = false;
};

// HSV (hue 0..359, saturation and value 0..1) to opaque ARGB.
DWORD HsvToArgbUI(double h, double s, double v);

}  // namespace DuiLib
