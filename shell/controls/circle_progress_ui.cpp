#include "shell/controls/circle_progress_ui.h"

#include <algorithm>

#include "platform/ui/render_engine.h"

using namespace DuiLib;

CControlUI* CCircleProgressUI::CreateInstance() { return new CCircleProgressUI(); }

LPCTSTR CCircleProgressUI::GetClass() const { return kClassName; }

int CCircleProgressUI::SweepDegrees() const {
    const int span = m_nMax - m_nMin;
    if (span == 0) return 0;
    const float sweep = static_cast<float>(m_nValue) / static_cast<float>(span) * 360.0f;
    return static_cast<int>(std::clamp(sweep, 0.0f, 360.0f));
}

void CCircleProgressUI::PaintBkColor(HDC hDC) { CRenderEngine::FillEllipse(hDC, m_rcItem, m_dwBackColor); }

// The ring stands in for the bar of the plain progress control, and its fore
// image is never drawn.
void CCircleProgressUI::PaintStatusImage(HDC) {}

void CCircleProgressUI::PaintForeColor(HDC hDC) {
    CRenderEngine::FillPie(hDC, m_rcItem, 90.0f, static_cast<float>(SweepDegrees()), m_dwForeColor);
    const RECT inner{m_rcItem.left + kRingWidth, m_rcItem.top + kRingWidth, m_rcItem.right - kRingWidth,
                     m_rcItem.bottom - kRingWidth};
    CRenderEngine::FillEllipse(hDC, inner, 0xFFFFFFFF);
}

void CCircleProgressUI::PaintForeImage(HDC) {}
