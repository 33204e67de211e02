#pragma once

// CRenderEngine: every drawing primitive of the UI, on Cairo and Pango.
// Colours are ARGB words (alpha in the top byte). Fills skip a colour whose
// alpha is 0; text and pens draw a colour with alpha 0 opaque.

#include "platform/ui/paint_manager.h"

namespace DuiLib {

// Text layout flags (the usual DT_ values).
inline constexpr UINT DT_TOP = 0x0000;
inline constexpr UINT DT_LEFT = 0x0000;
inline constexpr UINT DT_CENTER = 0x0001;
inline constexpr UINT DT_RIGHT = 0x0002;
inline constexpr UINT DT_VCENTER = 0x0004;
inline constexpr UINT DT_BOTTOM = 0x0008;
inline constexpr UINT DT_WORDBREAK = 0x0010;
inline constexpr UINT DT_SINGLELINE = 0x0020;
inline constexpr UINT DT_CALCRECT = 0x0400;
inline constexpr UINT DT_NOPREFIX = 0x0800;
inline constexpr UINT DT_END_ELLIPSIS = 0x8000;

// A parsed image description: a bare name or key='value' pairs (file or
// res, restype, dest, source, corner, mask, fade, hole, xtiled, ytiled, hsl).
struct TDrawInfo {
    CDuiString sName;
    CDuiString sResType;
    RECT rcDest{};
    RECT rcSource{};
    RECT rcCorner{};
    DWORD dwMask = 0;
    BYTE uFade = 255;
    bool bHole = false;
    bool bTiledX = false;
    bool bTiledY = false;
    bool bHSL = false;
    bool Parse(LPCTSTR pStrImage, LPCTSTR pStrModify = nullptr);
};

class CRenderEngine {
public:
    static TImageInfo* LoadImage(LPCTSTR bitmap, LPCTSTR type = nullptr, DWORD mask = 0);
    static void FreeImage(TImageInfo* bitmap, bool bDelete = true);
    // The hue/saturation/lightness adjustment of CPaintManagerUI::SetHSL
    // (H 0-360 with 180 = no turn, S and L 0-200 with 100 = unchanged),
    // for one ARGB colour (alpha kept) and, in place, for a picture when
    // bUseHSL is set.
    static DWORD AdjustColor(DWORD dwColor, short H, short S, short L);
    static void AdjustImage(bool bUseHSL, TImageInfo* imageInfo, short H, short S, short L);

    static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
    static void DrawGradient(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical, int nSteps = 64);
    static void DrawLine(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int nStyle = 0);
    static void DrawRect(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int nStyle = 0);
    static void DrawRoundRect(HDC hDC, const RECT& rc, int width, int height, int nSize, DWORD dwPenColor,
                              int nStyle = 0);
    static void FillRoundRect(HDC hDC, const RECT& rc, int width, int height, DWORD dwColor);
    // Anti-aliased fills of the ellipse inscribed in rc and of a pie slice of
    // it. Angles are degrees measured clockwise from the +x axis (y points
    // down), as rays from the centre: 90 is straight down. A negative sweep
    // turns anticlockwise; a sweep of 360 or more is the whole ellipse.
    static void FillEllipse(HDC hDC, const RECT& rc, DWORD dwColor);
    static void FillPie(HDC hDC, const RECT& rc, float startAngle, float sweepAngle, DWORD dwColor);

    static void DrawImage(HDC hDC, cairo_surface_t* hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                          const RECT& rcCorners, bool bAlpha, BYTE uFade = 255, bool hole = false, bool xtiled = false,
                          bool ytiled = false);
    static bool DrawImage(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                          const TDrawInfo& info);
    static bool DrawImageString(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                                LPCTSTR pStrImage, LPCTSTR pStrModify = nullptr);
    // The tinted form: the image's shape filled with dwTintColor at opacity
    // nLevel/255 when bTint is set. The colour word is packed red in byte 0,
    // blue in byte 1 and green in byte 2 (as the key pictures pack it).
    static bool DrawImageString(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                                LPCTSTR pStrImage, LPCTSTR pStrModify, DWORD dwTintColor, int nLevel, bool bTint);

    // Text; DrawText with DT_CALCRECT sets rc to the size the text needs.
    static void DrawText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText, DWORD dwTextColor, int iFont,
                         UINT uStyle);
    // Inline tags: <b>, <i>, <u>, <c #RRGGBB> (colour), <f n> (font id), <n> (new line), <a> (link).
    static void DrawHtmlText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText, DWORD dwTextColor,
                             RECT* pLinks, CDuiString* sLinks, int& nLinkRects, int iFont, UINT uStyle);
    // The size of the text as drawn; wrapped text (DT_WORDBREAK) wraps at
    // `width` pixels.
    static SIZE GetTextSize(HDC hDC, CPaintManagerUI* pManager, LPCTSTR pstrText, int iFont, UINT uStyle,
                            int width = 9999);
};

// Cairo colour from an ARGB word; with opaqueIfZero an alpha of 0 means opaque.
void SetSourceColorUI(cairo_t* cr, DWORD argb, bool opaqueIfZero = false);

}  // namespace DuiLib
