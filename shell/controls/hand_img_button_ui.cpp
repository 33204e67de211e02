#include "shell/controls/hand_img_button_ui.h"

#include "platform/ui/paint_manager.h"
#include "shell/controls/hand_image_painter.h"

using namespace DuiLib;

void NotifyPointerCrossing(CButtonUI* button, const TEventUI& event) {
    if (!button->IsEnabled()) return;
    if (event.Type != UIEVENT_MOUSEENTER && event.Type != UIEVENT_MOUSELEAVE) return;
    if (CPaintManagerUI* pm = button->GetManager())
        pm->SendNotify(button, event.Type == UIEVENT_MOUSEENTER ? L"msenter" : L"msleave");
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

// Presses, releases (a click only inside), moves and the hot state are the
// button's own; only the crossings are told to the listener.
void CHandImgButtonUI::DoEvent(TEventUI& event) {
    NotifyPointerCrossing(this, event);
    CButtonUI::DoEvent(event);
}
