#include "shell/controls/hand_img_select_button_ui.h"

#include <algorithm>

#include "platform/ui/paint_manager.h"
#include "shell/controls/hand_image_painter.h"
#include "shell/controls/hand_img_button_ui.h"

using namespace DuiLib;

namespace {

// Moves the span [first, last) by the pointer's step along one axis: a step
// towards the start shows more of the picture's far side, and the span stays
// inside [0, size).
void PanAxis(win::LONG& first, win::LONG& last, int pointer, int lastPointer, int size) {
    if (pointer < lastPointer) {
        if (last < size) {
            const int step = std::min(lastPointer - pointer, size - static_cast<int>(last));
            first += step;
            last += step;
        }
    } else if (first > 0) {
        const int step = std::min(pointer - lastPointer, static_cast<int>(first));
        first -= step;
        last -= step;
    }
}

}  // namespace

CControlUI* CHandImgSelectButtonUI::CreateInstance() { return new CHandImgSelectButtonUI(); }

LPCTSTR CHandImgSelectButtonUI::GetClass() const { return kClassName; }

int CHandImgSelectButtonUI::CursorIdOf(LPCTSTR value) {
    static const struct {
        const wchar_t* name;
        int id;
    } kCursors[] = {
        {L"arrow", UICURSOR_ARROW},   {L"ibeam", UICURSOR_IBEAM},       {L"wait", UICURSOR_WAIT},
        {L"cross", UICURSOR_CROSS},   {L"uparrow", UICURSOR_UPARROW},   {L"size", UICURSOR_SIZE},
        {L"icon", UICURSOR_ICON},     {L"sizenwse", UICURSOR_SIZENWSE}, {L"sizenesw", UICURSOR_SIZENESW},
        {L"sizewe", UICURSOR_SIZEWE}, {L"sizens", UICURSOR_SIZENS},     {L"sizeall", UICURSOR_SIZEALL},
        {L"no", UICURSOR_NO},         {L"hand", UICURSOR_HAND},
    };
    if (!value) return 0;
    for (const auto& c : kCursors)
        if (DuiCompareNoCase(value, c.name) == 0) return c.id;
    return 0;
}

void CHandImgSelectButtonUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    if (DuiCompareNoCase(pstrName, L"handimage") == 0) {
        m_sHandImage = pstrValue ? pstrValue : L"";
        LoadPicture();
        Invalidate();
    } else if (DuiCompareNoCase(pstrName, L"cursor") == 0 && pstrValue) {
        if (int id = CursorIdOf(pstrValue)) SetCursor(id);
    } else {
        CButtonUI::SetAttribute(pstrName, pstrValue);
    }
}

void CHandImgSelectButtonUI::LoadPicture() {
    const TImageInfo* image = m_pManager ? m_pManager->GetImageEx(m_sHandImage, nullptr, 0) : nullptr;
    if (!image || !image->surface) return;
    m_nImageWidth = image->nX;
    m_nImageHeight = image->nY;
    const int w = GetWidth(), h = GetHeight();
    m_rcCrop = RECT{0, 0, w, h};
    if (w >= m_nImageWidth && h >= m_nImageHeight)
        m_sCrop = m_sHandImage;
    else
        DescribeCrop();
}

void CHandImgSelectButtonUI::DescribeCrop() {
    m_sCrop =
        DuiFormat(L"file='%s' source='%d,%d,%d,%d'", m_sHandImage.GetData(), static_cast<int>(m_rcCrop.left),
                  static_cast<int>(m_rcCrop.top), static_cast<int>(m_rcCrop.right), static_cast<int>(m_rcCrop.bottom));
}

void CHandImgSelectButtonUI::Pan(POINT pt) {
    PanAxis(m_rcCrop.left, m_rcCrop.right, pt.x, m_ptLast.x, m_nImageWidth);
    PanAxis(m_rcCrop.top, m_rcCrop.bottom, pt.y, m_ptLast.y, m_nImageHeight);
    m_ptLast = pt;
    DescribeCrop();
}

void CHandImgSelectButtonUI::PaintStatusImage(HDC hDC) {
    CButtonUI::PaintStatusImage(hDC);
    if (!m_sCrop.IsEmpty()) PaintHandImage(hDC, m_pManager, m_rcItem, m_rcPaint, m_sCrop, m_sHandImage);
}

void CHandImgSelectButtonUI::DoEvent(TEventUI& event) {
    NotifyPointerCrossing(this, event);
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            // A drag starts only where its first position is known: a press
            // that is not the enabled button's own would pan from a stale point.
            if (IsEnabled() && PtInRectUI(m_rcItem, event.ptMouse)) {
                m_bDragging = true;
                m_ptLast = event.ptMouse;
            }
            break;
        case UIEVENT_BUTTONUP:
            // The end of a drag, never a click.
            m_bDragging = false;
            if (m_uButtonState & UISTATE_CAPTURED) {
                m_uButtonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
                Invalidate();
            }
            return;
        case UIEVENT_MOUSEMOVE:
            // A crop taken at size 0 by 0 stands for the whole picture; moving
            // it would leave an empty source and the picture would vanish.
            if (m_bDragging && !IsRectEmptyUI(m_rcCrop)) {
                Pan(event.ptMouse);
                Invalidate();
            }
            break;
        default:
            break;
    }
    CButtonUI::DoEvent(event);
}
