#include "shell/controls/audio_record_ui.h"

#include <algorithm>

#include "platform/ui/render_engine.h"

using namespace DuiLib;

CAudioRecordUI::CAudioRecordUI() {
    for (int i = 0; i < 256; ++i) m_samples[i] = i;
}

CControlUI* CAudioRecordUI::CreateInstance() { return new CAudioRecordUI(); }

LPCTSTR CAudioRecordUI::GetClass() const { return kClassName; }

void CAudioRecordUI::PaintBkColor(HDC hDC) {
    CRenderEngine::DrawColor(hDC, m_rcItem, GetAdjustColor(0xFFFFFFFF));
    const int w = GetWidth(), h = GetHeight();
    const DWORD black = GetAdjustColor(0xFF000000);
    for (int i = 0; i < kSampleCount && 2 * i < w; ++i) {
        const long long rise = static_cast<long long>(m_samples[i]) * h / kFullScale;
        // A sample above full scale stops at the top; one at or below 0 draws nothing.
        const int offset = static_cast<int>(std::clamp<long long>(h - rise, 0, h));
        const RECT bar{m_rcItem.left + 2 * i, m_rcItem.top + offset, m_rcItem.left + 2 * i + 1, m_rcItem.bottom - 1};
        if (bar.bottom > bar.top) CRenderEngine::DrawColor(hDC, bar, black);
    }
}

void CAudioRecordUI::PaintForeImage(HDC) {}
