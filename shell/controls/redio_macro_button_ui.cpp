#include "shell/controls/redio_macro_button_ui.h"

#include "platform/ui/paint_manager.h"

using namespace DuiLib;

namespace {
constexpr int kFadeStep = 20;
constexpr int kFadeLowest = 80;
constexpr int kFadeHighest = 255;
}  // namespace

CControlUI* CRedioMacroButtonUI::CreateInstance() { return new CRedioMacroButtonUI(); }

LPCTSTR CRedioMacroButtonUI::GetClass() const { return kClassName; }

void CRedioMacroButtonUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    if (DuiCompareNoCase(pstrName, L"redioimage") == 0)
        m_sPulseImage = pstrValue ? pstrValue : L"";
    else
        CButtonUI::SetAttribute(pstrName, pstrValue);
}

void CRedioMacroButtonUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_TIMER) PulseStep(event.wParam);
    CButtonUI::DoEvent(event);
}

void CRedioMacroButtonUI::StartPulse() {
    m_bPulsing = true;
    if (m_pManager) m_pManager->SetTimer(this, kPulseTimer, kPulseInterval);
}

void CRedioMacroButtonUI::StopPulse() {
    m_bPulsing = false;
    if (m_pManager) m_pManager->KillTimer(this, kPulseTimer);
}

void CRedioMacroButtonUI::PulseStep(UINT_PTR timerId) {
    if (timerId != kPulseTimer) return;
    if (m_pManager) m_pManager->KillTimer(this, kPulseTimer);
    if (!m_sPulseImage.IsEmpty()) {
        if (m_bRising) {
            m_nFade += kFadeStep;
            if (m_nFade >= kFadeHighest) {
                m_nFade = kFadeHighest;
                m_bRising = false;
            }
        } else {
            m_nFade -= kFadeStep;
            if (m_nFade <= kFadeLowest) {
                m_nFade = kFadeLowest;
                m_bRising = true;
            }
        }
        SetNormalImage(DuiFormat(L"res='%s' fade='%d'", m_sPulseImage.GetData(), m_nFade));
    }
    if (m_bPulsing && m_pManager) m_pManager->SetTimer(this, kPulseTimer, kPulseInterval);
}
