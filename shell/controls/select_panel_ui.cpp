#include "shell/controls/select_panel_ui.h"

#include <algorithm>

#include "platform/ui/paint_manager.h"
#include "shell/controls/device_key_button_ui.h"

using namespace DuiLib;

CSelectPanelUI::CSelectPanelUI() = default;

CControlUI* CSelectPanelUI::CreateControl() { return new CSelectPanelUI(); }

LPCTSTR CSelectPanelUI::GetClass() const { return kClassName; }

LPVOID CSelectPanelUI::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, kClassName) == 0) return this;
    return CVerticalLayoutUI::GetInterface(pstrName);
}

// The vertical layout of this UI has no separator to drag, so the layout
// never holds a captured state of its own; the rubber band is the only drag.
void CSelectPanelUI::DoEvent(TEventUI& event) {
    CVerticalLayoutUI::DoEvent(event);
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
            if (IsEnabled()) {
                m_nButtonDown = 1;
                m_ptStart = event.ptMouse;
            }
            break;
        case UIEVENT_MOUSEMOVE:
            if (m_nButtonDown) m_bDragging = true;
            if (m_bDragging) {
                m_ptCurrent = event.ptMouse;
                m_rcSelection.left = std::min(m_ptStart.x, m_ptCurrent.x);
                m_rcSelection.right = std::max(m_ptStart.x, m_ptCurrent.x);
                m_rcSelection.top = std::min(m_ptStart.y, m_ptCurrent.y);
                m_rcSelection.bottom = std::max(m_ptStart.y, m_ptCurrent.y);
                NeedUpdate();
            }
            break;
        case UIEVENT_BUTTONUP:
            m_nButtonDown = 0;
            if (m_bDragging) {
                m_bDragging = false;
                m_ptStart = m_ptCurrent;
                SelectButtonsInRect();
                NeedUpdate();
                if (m_pManager) m_pManager->SendNotify(this, L"click_select_end");
            }
            break;
        default:
            break;
    }
}

void CSelectPanelUI::SelectButtonsInRect() {
    for (CControlUI* child : m_items) {
        if (!child || CDuiString(child->GetClass()) != CDeviceKeyButtonUI::kClassName) continue;
        auto* key = static_cast<CDeviceKeyButtonUI*>(child->GetInterface(CDeviceKeyButtonUI::kClassName));
        if (!key) continue;
        RECT overlap;
        key->SetSelected(IntersectRectUI(overlap, child->GetPos(), m_rcSelection) ? 1 : 0);
    }
}

bool CSelectPanelUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) {
    return CVerticalLayoutUI::DoPaint(hDC, rcPaint, pStopControl);
}
