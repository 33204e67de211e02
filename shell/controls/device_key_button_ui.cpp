#include "shell/controls/device_key_button_ui.h"

#include "platform/ui/container.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"

using namespace DuiLib;

CDeviceKeyButtonUI::CDeviceKeyButtonUI() = default;

CControlUI* CDeviceKeyButtonUI::CreateControl() { return new CDeviceKeyButtonUI(); }

LPCTSTR CDeviceKeyButtonUI::GetClass() const { return kClassName; }

LPVOID CDeviceKeyButtonUI::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, kClassName) == 0) return this;
    return CButtonUI::GetInterface(pstrName);
}

void CDeviceKeyButtonUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    if (DuiCompareNoCase(pstrName, L"lightimage") == 0) {
        m_sLightImage = pstrValue ? pstrValue : L"";
        Invalidate();
    } else if (DuiCompareNoCase(pstrName, L"legendimage") == 0) {
        m_sLegendImage = pstrValue ? pstrValue : L"";
        Invalidate();
    } else if (DuiCompareNoCase(pstrName, L"keysetimage") == 0) {
        m_sKeySetImage = pstrValue ? pstrValue : L"";
        Invalidate();
    } else if (DuiCompareNoCase(pstrName, L"gmnametextcolor") == 0) {
        // Accepted for the skins that carry it; the key name is not drawn in another colour.
    } else {
        CButtonUI::SetAttribute(pstrName, pstrValue);
    }
}

void CDeviceKeyButtonUI::SetLightColor(DWORD colorWord, int level, bool shown) {
    if (colorWord == m_dwLightColor && level == m_nLightLevel && shown == m_bLightShown) return;
    m_dwLightColor = colorWord;
    m_nLightLevel = level;
    m_bLightShown = shown;
    m_bLightChanged = true;
}

void InvalidateChangedLights(CControlUI* root) {
    if (!root) return;
    if (auto* button = dynamic_cast<CDeviceKeyButtonUI*>(root)) {
        if (button->TakeLightChange()) button->Invalidate();
        return;
    }
    auto* container = static_cast<CContainerUI*>(root->GetInterface(L"Container"));
    if (!container) return;
    for (int i = 0; i < container->GetCount(); ++i) InvalidateChangedLights(container->GetItemAt(i));
}

void CDeviceKeyButtonUI::SetKeySetMarkHidden(int hidden) {
    if (hidden == m_nKeySetMarkHidden) return;
    m_nKeySetMarkHidden = hidden;
    Invalidate();
}

void CDeviceKeyButtonUI::SetMarked(bool marked) {
    if (marked == m_bMarked) return;
    m_bMarked = marked;
    Invalidate();
}

void CDeviceKeyButtonUI::SetSelected(int selected) {
    if (selected != m_nSelected) m_nSelected = selected;
}

void CDeviceKeyButtonUI::PaintStatusImage(HDC hDC) {
    CButtonUI::PaintStatusImage(hDC);
    if (m_bLightShown && !m_sLightImage.IsEmpty())
        CRenderEngine::DrawImageString(hDC, m_pManager, m_rcItem, m_rcPaint, m_sLightImage, nullptr, m_dwLightColor,
                                       m_nLightLevel, true);
    if (!m_sLegendImage.IsEmpty())
        CRenderEngine::DrawImageString(hDC, m_pManager, m_rcItem, m_rcPaint, m_sLegendImage, nullptr, 0, 0, false);
    if (m_nKeySetMarkHidden == 0 && !m_sKeySetImage.IsEmpty())
        CRenderEngine::DrawImageString(hDC, m_pManager, m_rcItem, m_rcPaint, m_sKeySetImage, nullptr, 0, 0, false);
}

void CDeviceKeyButtonUI::PaintBkColor(HDC hDC) { CButtonUI::PaintBkColor(hDC); }

namespace {
constexpr DWORD kMarkColor = 0xFF00B4FF;
constexpr int kMarkWidth = 2;
}  // namespace

void CDeviceKeyButtonUI::PaintBorder(HDC hDC) {
    if (!m_bMarked) {
        CButtonUI::PaintBorder(hDC);
        return;
    }
    const int width = m_pManager ? m_pManager->GetDPIObj()->Scale(kMarkWidth) : kMarkWidth;
    CRenderEngine::DrawRect(hDC, m_rcItem, width, kMarkColor);
}

void CDeviceKeyButtonUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_DBLCLICK) {
        if (!IsEnabled() || !PtInRectUI(m_rcItem, event.ptMouse)) return;
        m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
        if (m_pManager) m_pManager->SendNotify(this, L"dbclick", 0, 0, false);
        Invalidate();
        return;
    }
    CButtonUI::DoEvent(event);
}
