#include "platform/ui/progress.h"

#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"

#include <algorithm>

namespace DuiLib {

CProgressUI::CProgressUI() { m_uTextStyle = DT_SINGLELINE | DT_CENTER | DT_VCENTER; }

LPCTSTR CProgressUI::GetClass() const { return L"ProgressUI"; }
LPVOID CProgressUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"Progress") == 0) return this;
    return CLabelUI::GetInterface(n);
}

void CProgressUI::SetValue(int nValue) {
    int v = m_nMax >= m_nMin ? std::clamp(nValue, m_nMin, m_nMax) : nValue;
    if (v == m_nValue) return;
    m_nValue = v;
    Invalidate();
}

RECT CProgressUI::FilledRect() const {
    RECT r = m_rcItem;
    int span = m_nMax - m_nMin;
    if (span <= 0) return {r.left, r.top, r.left, r.bottom};
    if (m_bHorizontal)
        r.right = r.left + static_cast<int>(static_cast<long long>(m_nValue - m_nMin) * (r.right - r.left) / span);
    else
        r.top = r.bottom - static_cast<int>(static_cast<long long>(m_nValue - m_nMin) * (r.bottom - r.top) / span);
    return r;
}

void CProgressUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    auto is = [n](const wchar_t* name) { return DuiCompareNoCase(n, name) == 0; };
    if (is(L"hor"))
        SetHorizontal(ParseBoolUI(v));
    else if (is(L"min"))
        SetMinValue(ParseIntUI(v));
    else if (is(L"max"))
        SetMaxValue(ParseIntUI(v));
    else if (is(L"value"))
        SetValue(ParseIntUI(v));
    else
        CLabelUI::SetAttribute(n, v);
}

void CProgressUI::PaintStatusImage(HDC hDC) {
    RECT f = FilledRect();
    if (IsRectEmptyUI(f)) return;
    RECT clip;
    if (!IntersectRectUI(clip, f, m_rcPaint)) return;
    cairo_save(hDC);
    cairo_rectangle(hDC, f.left, f.top, f.right - f.left, f.bottom - f.top);
    cairo_clip(hDC);
    // The fore image spans the whole bar and shows only where filled.
    if (!m_sForeImage.IsEmpty())
        DrawImage(hDC, m_sForeImage);
    else if (m_dwForeColor)
        CRenderEngine::DrawColor(hDC, f, m_dwForeColor);
    cairo_restore(hDC);
}

// ---- slider --------------------------------------------------------------------

CSliderUI::CSliderUI() { m_uTextStyle = DT_SINGLELINE | DT_CENTER; }

LPCTSTR CSliderUI::GetClass() const { return L"SliderUI"; }
LPVOID CSliderUI::GetInterface(LPCTSTR n) {
    if (DuiCompareNoCase(n, L"Slider") == 0) return this;
    return CProgressUI::GetInterface(n);
}
UINT CSliderUI::GetControlFlags() const { return IsEnabled() ? UIFLAG_SETCURSOR : 0; }

void CSliderUI::SetEnabled(bool bEnable) {
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled()) m_uButtonState = 0;
}

RECT CSliderUI::GetThumbRect() const {
    SIZE t = {Scaled(m_szThumb.cx), Scaled(m_szThumb.cy)};
    int span = std::max(1, m_nMax - m_nMin);
    RECT r;
    if (m_bHorizontal) {
        int track = GetWidth() - t.cx;
        int left = m_rcItem.left + static_cast<int>(static_cast<long long>(m_nValue - m_nMin) * track / span);
        int top = (m_rcItem.bottom + m_rcItem.top - t.cy) / 2;
        r = {left, top, left + t.cx, top + t.cy};
    } else {
        int track = GetHeight() - t.cy;
        int top = m_rcItem.bottom - t.cy - static_cast<int>(static_cast<long long>(m_nValue - m_nMin) * track / span);
        int left = (m_rcItem.right + m_rcItem.left - t.cx) / 2;
        r = {left, top, left + t.cx, top + t.cy};
    }
    return r;
}

int CSliderUI::ValueAt(POINT pt) const {
    SIZE t = {Scaled(m_szThumb.cx), Scaled(m_szThumb.cy)};
    long long span = m_nMax - m_nMin;
    long long v;
    if (m_bHorizontal) {
        int track = std::max(1, static_cast<int>(GetWidth() - t.cx));
        v = m_nMin + (static_cast<long long>(pt.x - m_rcItem.left - t.cx / 2) * span + track / 2) / track;
    } else {
        int track = std::max(1, static_cast<int>(GetHeight() - t.cy));
        v = m_nMin + (static_cast<long long>(m_rcItem.bottom - pt.y - t.cy / 2) * span + track / 2) / track;
    }
    if (m_nStep > 1) v = m_nMin + (v - m_nMin + m_nStep / 2) / m_nStep * m_nStep;
    return static_cast<int>(std::clamp<long long>(v, m_nMin, std::max(m_nMin, m_nMax)));
}

void CSliderUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        if (m_pParent) m_pParent->DoEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (!IsEnabled() || !PtInRectUI(m_rcItem, event.ptMouse)) return;
            m_uButtonState |= UISTATE_CAPTURED | UISTATE_PUSHED;
            if (!PtInRectUI(GetThumbRect(), event.ptMouse)) {
                int v = ValueAt(event.ptMouse);
                if (v != m_nValue) {
                    m_nValue = v;
                    Invalidate();
                    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_MOVEVALUECHANGED);
                }
            }
            return;
        case UIEVENT_MOUSEMOVE:
            if (m_uButtonState & UISTATE_CAPTURED) {
                int v = ValueAt(event.ptMouse);
                if (v != m_nValue) {
                    m_nValue = v;
                    Invalidate();
                    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_MOVEVALUECHANGED);
                }
            }
            return;
        case UIEVENT_BUTTONUP:
            if (m_uButtonState & UISTATE_CAPTURED) {
                m_uButtonState &= ~(UISTATE_CAPTURED | UISTATE_PUSHED);
                m_nValue = ValueAt(event.ptMouse);
                Invalidate();
                if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_VALUECHANGED);
            }
            return;
        case UIEVENT_SCROLLWHEEL:
            if (!IsEnabled()) return;
            SetValue(m_nValue + (event.wParam == 0 ? m_nStep : -m_nStep));
            if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_VALUECHANGED);
            return;
        case UIEVENT_MOUSEENTER:
            if (IsEnabled()) {
                m_uButtonState |= UISTATE_HOT;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSELEAVE:
            if (IsEnabled()) {
                m_uButtonState &= ~UISTATE_HOT;
                Invalidate();
            }
            return;
        default:
            break;
    }
    CProgressUI::DoEvent(event);
}

void CSliderUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    auto is = [n](const wchar_t* name) { return DuiCompareNoCase(n, name) == 0; };
    if (is(L"thumbimage"))
        SetThumbImage(v);
    else if (is(L"thumbhotimage"))
        m_sThumbHotImage = v;
    else if (is(L"thumbpushedimage"))
        m_sThumbPushedImage = v;
    else if (is(L"thumbsize"))
        SetThumbSize(ParseSizeUI(v));
    else if (is(L"step"))
        SetChangeStep(std::max(1, ParseIntUI(v)));
    else
        CProgressUI::SetAttribute(n, v);
}

void CSliderUI::PaintStatusImage(HDC hDC) {
    CProgressUI::PaintStatusImage(hDC);
    RECT t = GetThumbRect();
    const CDuiString* img = &m_sThumbImage;
    if ((m_uButtonState & UISTATE_CAPTURED) && !m_sThumbPushedImage.IsEmpty())
        img = &m_sThumbPushedImage;
    else if ((m_uButtonState & UISTATE_HOT) && !m_sThumbHotImage.IsEmpty())
        img = &m_sThumbHotImage;
    if (img->IsEmpty()) return;
    RECT rel = {t.left - m_rcItem.left, t.top - m_rcItem.top, t.right - m_rcItem.left, t.bottom - m_rcItem.top};
    CDuiString dest;
    dest.Format(L"dest='%d,%d,%d,%d'", m_pManager ? m_pManager->GetDPIObj()->ScaleBack(rel.left) : rel.left,
                m_pManager ? m_pManager->GetDPIObj()->ScaleBack(rel.top) : rel.top,
                m_pManager ? m_pManager->GetDPIObj()->ScaleBack(rel.right) : rel.right,
                m_pManager ? m_pManager->GetDPIObj()->ScaleBack(rel.bottom) : rel.bottom);
    DrawImage(hDC, *img, dest);
}

}  // namespace DuiLib
