#include "shell/hand_img_button_ui.h"

#include "platform/ui/paint_manager.h"
#include "shell/hand_image_painter.h"

using namespace DuiLib;

void NotifyPointerCrossing(CButtonUI* button, UINT& buttonState, TEventUI& event) {
    if (!button->IsEnabled()) return;
    const bool entering = event.Type == UIEVENT_MOUSEENTER;
    if (entering) buttonState |= UISTATE_HOT;
    else buttonState &= ~UISTATE_HOT;
    if (CPaintManagerUI* pm = button->GetManager()) pm->SendNotify(button, entering ? L"msenter" : L"msleave");
    button->Invalidate();
}

CControlUI* CHandImgButtonUI::CreateInstance() { return new CHandImgButtonUI(); }

LPCTSTR CHandImgButtonUI::GetClass() const { return kClassName; }

void CHandImgButtonUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    if (DuiCompareNoCase(pstrName, L"handimage") == 0) {
        m_sHandImage = pstrValue ? pstrValue : L"";
        Invalidate();
    } else if (DuiCompareNoCase(pstrName, L"deletenormalimage") == 0 ||
               DuiCompareNoCase(pstrName, L"deletehotimage") == 0) {
        // The delete hot-spot these belong to is not offered.
    } else {
        CButtonUI::SetAttribute(pstrName, pstrValue);
    }
}

void CHandImgButtonUI::PaintStatusImage(HDC hDC) {
    CButtonUI::PaintStatusImage(hDC);
    if (!m_sHandImage.IsEmpty()) PaintHandImage(hDC, m_pManager, m_rcItem, m_rcPaint, m_sHandImage);
}

void CHandImgButtonUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled() && PtInRectUI(m_rcItem, event.ptMouse)) {
            m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
            Invalidate();
        }
        return;
    case UIEVENT_BUTTONUP:
        if (m_uButtonState & UISTATE_CAPTURED) {
            m_uButtonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
            Invalidate();
            // Last: a listener of the click may remove this button.
            if (PtInRectUI(m_rcItem, event.ptMouse)) Activate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if (m_uButtonState & UISTATE_CAPTURED) {
            if (PtInRectUI(m_rcItem, event.ptMouse)) m_uButtonState |= UISTATE_PUSHED;
            else m_uButtonState &= ~UISTATE_PUSHED;
        }
        Invalidate();
        return;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
        NotifyPointerCrossing(this, m_uButtonState, event);
        break;
    default:
        break;
    }
    CButtonUI::DoEvent(event);
}
