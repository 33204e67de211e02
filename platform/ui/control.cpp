#include "platform/ui/control.h"

#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/ui_log.h"

#include <cwchar>
#include <cwctype>
#include <cstdlib>

namespace DuiLib {

namespace {

const wchar_t* SkipBlank(const wchar_t* p) {
    while (p && *p && std::iswspace(static_cast<wint_t>(*p))) ++p;
    return p;
}

// Reads up to n integers separated by commas or blanks.
int ReadInts(LPCTSTR s, long* out, int n) {
    int count = 0;
    const wchar_t* p = s;
    while (p && *p && count < n) {
        p = SkipBlank(p);
        wchar_t* end = nullptr;
        long v = std::wcstol(p, &end, 10);
        if (end == p) break;
        out[count++] = v;
        p = SkipBlank(end);
        if (*p == L',') ++p;
    }
    return count;
}

}  // namespace

DWORD ParseColorUI(LPCTSTR v) {
    if (!v) return 0;
    v = SkipBlank(v);
    if (*v == L'#')
        ++v;
    else if (v[0] == L'0' && (v[1] == L'x' || v[1] == L'X'))
        v += 2;
    wchar_t* end = nullptr;
    unsigned long c = std::wcstoul(v, &end, 16);
    if (end - v == 6) c |= 0xFF000000ul;  // "#RRGGBB": opaque
    return static_cast<DWORD>(c);
}

RECT ParseRectUI(LPCTSTR v) {
    long n[4] = {0, 0, 0, 0};
    ReadInts(v, n, 4);
    RECT r;
    r.left = n[0];
    r.top = n[1];
    r.right = n[2];
    r.bottom = n[3];
    return r;
}

SIZE ParseSizeUI(LPCTSTR v) {
    long n[2] = {0, 0};
    ReadInts(v, n, 2);
    SIZE s;
    s.cx = n[0];
    s.cy = n[1];
    return s;
}

bool ParseBoolUI(LPCTSTR v) { return v && DuiCompareNoCase(v, L"true") == 0; }

int ParseIntUI(LPCTSTR v) {
    if (!v) return 0;
    return static_cast<int>(std::wcstol(v, nullptr, 10));
}

int ParseCursorUI(LPCTSTR v) {
    static const struct {
        const wchar_t* name;
        int id;
    } kCursors[] = {
        {L"arrow", UICURSOR_ARROW},    {L"ibeam", UICURSOR_IBEAM},        {L"wait", UICURSOR_WAIT},
        {L"cross", UICURSOR_CROSS},    {L"size_nwse", UICURSOR_SIZENWSE}, {L"size_nesw", UICURSOR_SIZENESW},
        {L"size_we", UICURSOR_SIZEWE}, {L"size_ns", UICURSOR_SIZENS},     {L"size_all", UICURSOR_SIZEALL},
        {L"no", UICURSOR_NO},          {L"hand", UICURSOR_HAND},          {L"appstarting", UICURSOR_APPSTARTING},
        {L"help", UICURSOR_HELP},
    };
    for (const auto& c : kCursors)
        if (DuiCompareNoCase(v, c.name) == 0) return c.id;
    return 0;
}

bool IntersectRectUI(RECT& out, const RECT& a, const RECT& b) {
    RECT r;
    r.left = a.left > b.left ? a.left : b.left;
    r.top = a.top > b.top ? a.top : b.top;
    r.right = a.right < b.right ? a.right : b.right;
    r.bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
    if (r.right <= r.left || r.bottom <= r.top) {
        out = RECT{};
        return false;
    }
    out = r;
    return true;
}

void UnionRectUI(RECT& out, const RECT& a, const RECT& b) {
    if (IsRectEmptyUI(a)) {
        out = b;
        return;
    }
    if (IsRectEmptyUI(b)) {
        out = a;
        return;
    }
    RECT r;
    r.left = a.left < b.left ? a.left : b.left;
    r.top = a.top < b.top ? a.top : b.top;
    r.right = a.right > b.right ? a.right : b.right;
    r.bottom = a.bottom > b.bottom ? a.bottom : b.bottom;
    out = r;
}

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    if (m_pManager) m_pManager->OnControlDestroyed(this);
}

LPCTSTR CControlUI::GetClass() const { return L"ControlUI"; }

LPVOID CControlUI::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, L"Control") == 0) return this;
    return nullptr;
}

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

void CControlUI::SetName(LPCTSTR pstrName) {
    m_sName = pstrName;
    if (m_pManager) m_pManager->InvalidateNameMap();
}

void CControlUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
    if (m_pManager && m_pManager != pManager) m_pManager->InvalidateNameMap();
    m_pManager = pManager;
    if (m_pManager) m_pManager->InvalidateNameMap();
    m_pParent = pParent;
    if (bInit && m_pParent) Init();
}

CDuiString CControlUI::GetText() const {
    if (!m_bResourceText) return m_sText;
    return CResourceManager::GetInstance()->GetText(m_sText);
}

void CControlUI::SetText(LPCTSTR pstrText) {
    if (m_sText == (pstrText ? pstrText : L"")) return;
    m_sText = pstrText;
    Invalidate();
}

void CControlUI::SetResourceText(bool bResource) {
    if (m_bResourceText == bResource) return;
    m_bResourceText = bResource;
    Invalidate();
}

void CControlUI::SetBkColor(DWORD c) {
    if (m_dwBackColor != c) {
        m_dwBackColor = c;
        Invalidate();
    }
}
void CControlUI::SetBkColor2(DWORD c) {
    if (m_dwBackColor2 != c) {
        m_dwBackColor2 = c;
        Invalidate();
    }
}
void CControlUI::SetBkColor3(DWORD c) {
    if (m_dwBackColor3 != c) {
        m_dwBackColor3 = c;
        Invalidate();
    }
}
void CControlUI::SetForeColor(DWORD c) {
    if (m_dwForeColor != c) {
        m_dwForeColor = c;
        Invalidate();
    }
}
void CControlUI::SetBorderColor(DWORD c) {
    if (m_dwBorderColor != c) {
        m_dwBorderColor = c;
        Invalidate();
    }
}
void CControlUI::SetFocusBorderColor(DWORD c) {
    if (m_dwFocusBorderColor != c) {
        m_dwFocusBorderColor = c;
        Invalidate();
    }
}
void CControlUI::SetBkImage(LPCTSTR s) {
    if (m_sBkImage != (s ? s : L"")) {
        m_sBkImage = s;
        Invalidate();
    }
}
void CControlUI::SetForeImage(LPCTSTR s) {
    if (m_sForeImage != (s ? s : L"")) {
        m_sForeImage = s;
        Invalidate();
    }
}
void CControlUI::SetBorderSize(int n) {
    if (m_nBorderSize != n) {
        m_nBorderSize = n;
        Invalidate();
    }
}
void CControlUI::SetBorderRound(SIZE s) {
    m_cxyBorderRound = s;
    Invalidate();
}

bool CControlUI::DrawImage(HDC hDC, LPCTSTR pStrImage, LPCTSTR pStrModify) {
    return CRenderEngine::DrawImageString(hDC, m_pManager, m_rcItem, m_rcPaint, pStrImage, pStrModify);
}

RECT CControlUI::GetRelativePos() const {
    RECT r = m_rcItem;
    if (m_pParent) {
        const RECT& p = m_pParent->GetPos();
        r.left -= p.left;
        r.right -= p.left;
        r.top -= p.top;
        r.bottom -= p.top;
    }
    return r;
}

void CControlUI::SetPos(RECT rc, bool bNeedInvalidate) {
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;
    RECT invalid = m_rcItem;
    m_rcItem = rc;
    m_bUpdateNeeded = false;
    if (bNeedInvalidate && m_pManager && IsVisible()) {
        UnionRectUI(invalid, invalid, m_rcItem);
        m_pManager->Invalidate(invalid);
    }
}

void CControlUI::Move(SIZE off, bool bNeedInvalidate) {
    RECT r = m_rcItem;
    r.left += off.cx;
    r.right += off.cx;
    r.top += off.cy;
    r.bottom += off.cy;
    SetPos(r, bNeedInvalidate);
}

void CControlUI::SetPadding(RECT rc) {
    m_rcPadding = rc;
    NeedParentUpdate();
}
void CControlUI::SetFixedXY(SIZE s) {
    m_cXY = s;
    NeedParentUpdate();
}
void CControlUI::SetFixedWidth(int cx) {
    if (cx >= 0) {
        m_cxyFixed.cx = cx;
        NeedParentUpdate();
    }
}
void CControlUI::SetFixedHeight(int cy) {
    if (cy >= 0) {
        m_cxyFixed.cy = cy;
        NeedParentUpdate();
    }
}
void CControlUI::SetMinWidth(int cx) {
    if (cx >= 0) {
        m_cxyMin.cx = cx;
        NeedParentUpdate();
    }
}
void CControlUI::SetMaxWidth(int cx) {
    if (cx >= 0) {
        m_cxyMax.cx = cx;
        NeedParentUpdate();
    }
}
void CControlUI::SetMinHeight(int cy) {
    if (cy >= 0) {
        m_cxyMin.cy = cy;
        NeedParentUpdate();
    }
}
void CControlUI::SetMaxHeight(int cy) {
    if (cy >= 0) {
        m_cxyMax.cy = cy;
        NeedParentUpdate();
    }
}

int CControlUI::Scaled(int v) const { return m_pManager ? m_pManager->GetDPIObj()->Scale(v) : v; }
RECT CControlUI::Scaled(RECT v) const { return m_pManager ? m_pManager->GetDPIObj()->Scale(v) : v; }
RECT CControlUI::GetPadding() const { return Scaled(m_rcPadding); }
SIZE CControlUI::GetFixedXY() const { return {Scaled(m_cXY.cx), Scaled(m_cXY.cy)}; }
int CControlUI::GetFixedWidth() const { return Scaled(m_cxyFixed.cx); }
int CControlUI::GetFixedHeight() const { return Scaled(m_cxyFixed.cy); }
int CControlUI::GetMinWidth() const { return Scaled(m_cxyMin.cx); }
int CControlUI::GetMaxWidth() const { return m_cxyMax.cx >= 9999 ? 9999 : Scaled(m_cxyMax.cx); }
int CControlUI::GetMinHeight() const { return Scaled(m_cxyMin.cy); }
int CControlUI::GetMaxHeight() const { return m_cxyMax.cy >= 9999 ? 9999 : Scaled(m_cxyMax.cy); }

SIZE CControlUI::EstimateSize(SIZE) { return {GetFixedWidth(), GetFixedHeight()}; }

void CControlUI::SetFloat(bool bFloat) {
    if (m_bFloat == bFloat) return;
    m_bFloat = bFloat;
    NeedParentUpdate();
}

CDuiString CControlUI::GetToolTip() const {
    if (!m_bResourceText) return m_sToolTip;
    return CResourceManager::GetInstance()->GetText(m_sToolTip);
}

CDuiString CControlUI::GetVirtualWnd() const {
    if (!m_sVirtualWnd.IsEmpty()) return m_sVirtualWnd;
    return m_pParent ? m_pParent->GetVirtualWnd() : CDuiString();
}

void CControlUI::SetVisible(bool bVisible) {
    if (m_bVisible == bVisible) return;
    bool v = IsVisible();
    m_bVisible = bVisible;
    if (m_bFocused) m_bFocused = false;
    if (!bVisible && m_pManager && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
    if (IsVisible() != v) NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool bVisible) {
    m_bInternVisible = bVisible;
    if (!bVisible && m_pManager && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
}

void CControlUI::SetEnabled(bool bEnable) {
    if (m_bEnabled == bEnable) return;
    m_bEnabled = bEnable;
    if (!bEnable && m_pManager && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
    Invalidate();
}

void CControlUI::SetFocus() {
    if (m_pManager) m_pManager->SetFocus(this);
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) {
    if ((uFlags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((uFlags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if ((uFlags & UIFIND_HITTEST) && (!m_bMouseEnabled || !PtInRectUI(m_rcItem, *static_cast<POINT*>(pData))))
        return nullptr;
    return Proc(this, pData);
}

void CControlUI::Invalidate() {
    if (!IsVisible() || !m_pManager) return;
    RECT invalid = m_rcItem;
    // Clip to the visible part of every ancestor.
    for (CControlUI* p = m_pParent; p; p = p->GetParent()) {
        if (!IntersectRectUI(invalid, invalid, p->GetPos())) return;
    }
    m_pManager->Invalidate(invalid);
}

void CControlUI::NeedUpdate() {
    if (!IsVisible()) return;
    m_bUpdateNeeded = true;
    Invalidate();
    if (m_pManager) m_pManager->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
    if (m_pParent) {
        m_pParent->NeedUpdate();
        m_pParent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_pManager) m_pManager->NeedUpdate();
}

void CControlUI::Init() { DoInit(); }

void CControlUI::Event(TEventUI& event) { DoEvent(event); }

void CControlUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_SETCURSOR) return;  // the window shows GetCursor()
    if (event.Type == UIEVENT_SETFOCUS) {
        m_bFocused = true;
        Invalidate();
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_bFocused = false;
        Invalidate();
        return;
    }
    if (event.Type == UIEVENT_TIMER) {
        if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_TIMER, event.wParam, event.lParam);
        return;
    }
    if (event.Type == UIEVENT_CONTEXTMENU) {
        if (IsContextMenuUsed() && m_pManager) {
            m_pManager->SendNotify(this, DUI_MSGTYPE_MENU, event.wParam, event.lParam);
            return;
        }
    }
    if (m_pParent) m_pParent->DoEvent(event);
}

const CControlUI* CControlUI::OptionScope() const {
    const CControlUI* c = this;
    while (!c->m_bOptionScope && c->m_pParent) c = c->m_pParent;
    return c;
}

void CControlUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    auto is = [n](const wchar_t* name) { return DuiCompareNoCase(n, name) == 0; };
    if (is(L"pos")) {
        RECT r = ParseRectUI(v);
        SIZE xy = {r.left, r.top};
        SetFixedXY(xy);
        SetFixedWidth(r.right - r.left);
        SetFixedHeight(r.bottom - r.top);
    } else if (is(L"float"))
        SetFloat(ParseBoolUI(v));
    else if (is(L"padding"))
        SetPadding(ParseRectUI(v));
    else if (is(L"bkcolor") || is(L"bkcolor1"))
        SetBkColor(ParseColorUI(v));
    else if (is(L"bkcolor2"))
        SetBkColor2(ParseColorUI(v));
    else if (is(L"bkcolor3"))
        SetBkColor3(ParseColorUI(v));
    else if (is(L"forecolor"))
        SetForeColor(ParseColorUI(v));
    else if (is(L"bordercolor"))
        SetBorderColor(ParseColorUI(v));
    else if (is(L"focusbordercolor"))
        SetFocusBorderColor(ParseColorUI(v));
    else if (is(L"bordersize")) {
        CDuiString s(v);
        if (s.Find(L',') >= 0) {
            m_rcBorderSize = ParseRectUI(v);
            m_nBorderSize = 0;
            Invalidate();
        } else
            SetBorderSize(ParseIntUI(v));
    } else if (is(L"borderstyle"))
        m_nBorderStyle = ParseIntUI(v);
    else if (is(L"borderround"))
        SetBorderRound(ParseSizeUI(v));
    else if (is(L"bkimage"))
        SetBkImage(v);
    else if (is(L"foreimage"))
        SetForeImage(v);
    else if (is(L"width"))
        SetFixedWidth(ParseIntUI(v));
    else if (is(L"height"))
        SetFixedHeight(ParseIntUI(v));
    else if (is(L"minwidth"))
        SetMinWidth(ParseIntUI(v));
    else if (is(L"minheight"))
        SetMinHeight(ParseIntUI(v));
    else if (is(L"maxwidth"))
        SetMaxWidth(ParseIntUI(v));
    else if (is(L"maxheight"))
        SetMaxHeight(ParseIntUI(v));
    else if (is(L"name"))
        SetName(v);
    else if (is(L"text"))
        SetText(v);
    else if (is(L"resourcetext"))
        SetResourceText(ParseBoolUI(v));
    else if (is(L"tooltip"))
        SetToolTip(v);
    else if (is(L"userdata"))
        SetUserData(v);
    else if (is(L"tag"))
        SetTag(static_cast<UINT_PTR>(std::wcstoul(v ? v : L"0", nullptr, 10)));
    else if (is(L"enabled"))
        SetEnabled(ParseBoolUI(v));
    else if (is(L"mouse"))
        SetMouseEnabled(ParseBoolUI(v));
    else if (is(L"keyboard"))
        SetKeyboardEnabled(ParseBoolUI(v));
    else if (is(L"visible"))
        SetVisible(ParseBoolUI(v));
    else if (is(L"float"))
        SetFloat(ParseBoolUI(v));
    else if (is(L"menu"))
        SetContextMenuUsed(ParseBoolUI(v));
    else if (is(L"cursor"))
        SetCursor(ParseCursorUI(v));
    else if (is(L"virtualwnd"))
        SetVirtualWnd(v);
    else if (is(L"optionscope"))
        SetOptionScope(ParseBoolUI(v));
    else if (is(L"style")) {
        LPCTSTR style = m_pManager ? m_pManager->GetStyle(v) : nullptr;
        if (style)
            ApplyAttributeList(style);
        else
            ReportUIProblem(CDuiString(L"unknown style ") + v);
    } else
        ReportUIProblem(CDuiString(L"unknown attribute ") + n + L" of " + GetClass());
}

CControlUI* CControlUI::ApplyAttributeList(LPCTSTR pstrList) {
    // name="value" pairs, the value in double quotes (&quot; inside).
    const wchar_t* p = pstrList;
    while (p && *p) {
        p = SkipBlank(p);
        CDuiString name;
        while (*p && *p != L'=' && !std::iswspace(static_cast<wint_t>(*p))) name += *p++;
        p = SkipBlank(p);
        if (*p != L'=') break;
        p = SkipBlank(p + 1);
        wchar_t quote = *p;
        if (quote != L'"' && quote != L'\'') break;
        ++p;
        CDuiString value;
        while (*p && *p != quote) value += *p++;
        if (*p != quote) break;
        ++p;
        value.Replace(L"&quot;", L"\"");
        SetAttribute(name, value);
    }
    return this;
}

bool CControlUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) {
    if (pStopControl == this) return false;
    if (!IntersectRectUI(m_rcPaint, rcPaint, m_rcItem)) return true;
    cairo_save(hDC);
    if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0) {
        // Clip to the rounded rectangle.
        double x = m_rcItem.left, y = m_rcItem.top, w = GetWidth(), h = GetHeight();
        double rx = m_cxyBorderRound.cx / 2.0, ry = m_cxyBorderRound.cy / 2.0;
        double r = rx < ry ? rx : ry;
        cairo_new_sub_path(hDC);
        cairo_arc(hDC, x + w - r, y + r, r, -1.5708, 0);
        cairo_arc(hDC, x + w - r, y + h - r, r, 0, 1.5708);
        cairo_arc(hDC, x + r, y + h - r, r, 1.5708, 3.14159);
        cairo_arc(hDC, x + r, y + r, r, 3.14159, 4.71239);
        cairo_close_path(hDC);
        cairo_clip(hDC);
    }
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintForeColor(hDC);
    PaintForeImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
    cairo_restore(hDC);
    return true;
}

void CControlUI::PaintBkColor(HDC hDC) {
    if (m_dwBackColor == 0) return;
    if (m_dwBackColor2 != 0) {
        if (m_dwBackColor3 != 0) {
            RECT r = m_rcItem;
            r.bottom = (m_rcItem.top + m_rcItem.bottom) / 2;
            CRenderEngine::DrawGradient(hDC, r, GetAdjustColor(m_dwBackColor), GetAdjustColor(m_dwBackColor2), true);
            r.top = r.bottom;
            r.bottom = m_rcItem.bottom;
            CRenderEngine::DrawGradient(hDC, r, GetAdjustColor(m_dwBackColor2), GetAdjustColor(m_dwBackColor3), true);
        } else {
            CRenderEngine::DrawGradient(hDC, m_rcItem, GetAdjustColor(m_dwBackColor), GetAdjustColor(m_dwBackColor2),
                                        m_bGradientVertical);
        }
        return;
    }
    CRenderEngine::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwBackColor));
}

void CControlUI::PaintBkImage(HDC hDC) {
    if (!m_sBkImage.IsEmpty()) DrawImage(hDC, m_sBkImage);
}

void CControlUI::PaintStatusImage(HDC) {}

void CControlUI::PaintForeColor(HDC hDC) {
    if (m_dwForeColor != 0) CRenderEngine::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwForeColor));
}

void CControlUI::PaintForeImage(HDC hDC) {
    if (!m_sForeImage.IsEmpty()) DrawImage(hDC, m_sForeImage);
}

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC hDC) {
    DWORD color = (m_bFocused && m_dwFocusBorderColor != 0) ? m_dwFocusBorderColor : m_dwBorderColor;
    if (color == 0) return;
    if (m_nBorderSize > 0) {
        if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0)
            CRenderEngine::DrawRoundRect(hDC, m_rcItem, m_cxyBorderRound.cx, m_cxyBorderRound.cy, m_nBorderSize,
                                         GetAdjustColor(color), m_nBorderStyle);
        else
            CRenderEngine::DrawRect(hDC, m_rcItem, m_nBorderSize, GetAdjustColor(color), m_nBorderStyle);
        return;
    }
    const RECT& b = m_rcBorderSize;
    const RECT& r = m_rcItem;
    if (b.left > 0) CRenderEngine::DrawColor(hDC, {r.left, r.top, r.left + b.left, r.bottom}, color);
    if (b.top > 0) CRenderEngine::DrawColor(hDC, {r.left, r.top, r.right, r.top + b.top}, color);
    if (b.right > 0) CRenderEngine::DrawColor(hDC, {r.right - b.right, r.top, r.right, r.bottom}, color);
    if (b.bottom > 0) CRenderEngine::DrawColor(hDC, {r.left, r.bottom - b.bottom, r.right, r.bottom}, color);
}

}  // namespace DuiLib
