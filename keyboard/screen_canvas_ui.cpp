#include "keyboard/screen_canvas_ui.h"

using namespace DuiLib;

bool CScreenCanvasUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI*) {
    RECT clip;
    if (!IntersectRectUI(clip, rcPaint, m_rcItem)) return true;
    if (m_painter) m_painter(hDC, m_rcItem, clip);
    return true;
}
