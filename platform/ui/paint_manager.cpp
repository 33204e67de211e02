#include "platform/ui/paint_manager.h"
#include "platform/ui/paint_hidden.h"

#include "platform/os/clock.h"
#include "platform/files/folders.h"
#include "platform/os/message_queue.h"
#include "platform/ui/input_state.h"
#include "platform/ui/render_engine.h"
#include "platform/ui/tooltip_window.h"
#include "platform/ui/ui_probe.h"
#include "platform/ui/paint_manager_shared.h"
#include "platform/ui/window.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <atomic>

using namespace win;

namespace DuiLib {

namespace {

// Registration lists (notifiers, message filters): each entry at most once.
template <typename T>
bool AddOnce(std::vector<T*>& list, T* p) {
    if (!p || std::find(list.begin(), list.end(), p) != list.end()) return false;
    list.push_back(p);
    return true;
}

template <typename T>
bool RemoveOnce(std::vector<T*>& list, T* p) {
    auto it = std::find(list.begin(), list.end(), p);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

// Window timer ids of control timers: a range that window timers of the
// program (small numbers) never reach.
std::atomic<UINT_PTR> g_nextTimerId{0x7E000000};

constexpr UINT kVkTab = 0x09;
constexpr UINT kVkShift = 0x10;

CControlUI* FromPoint(CControlUI* c, LPVOID data) {
    return PtInRectUI(c->GetPos(), *static_cast<POINT*>(data)) ? c : nullptr;
}
CControlUI* FromName(CControlUI* c, LPVOID data) {
    return c->GetName() == static_cast<const wchar_t*>(data) ? c : nullptr;
}
CControlUI* FromTabStop(CControlUI* c, LPVOID data) {
    auto* list = static_cast<std::vector<CControlUI*>*>(data);
    if ((c->GetControlFlags() & UIFLAG_TABSTOP) && c->IsEnabled() && c->IsVisible()) list->push_back(c);
    return nullptr;
}
struct ClassSearch {
    const wchar_t* cls;
    int index;
};
CControlUI* FromClass(CControlUI* c, LPVOID data) {
    auto* s = static_cast<ClassSearch*>(data);
    if (c->GetInterface(s->cls) != nullptr && s->index-- == 0) return c;
    return nullptr;
}

}  // namespace

namespace paint_shared {

SharedState& Shared() {
    static SharedState s;
    return s;
}

void FreeFont(TFontInfo& f) {
    if (f.desc) pango_font_description_free(f.desc);
    f.desc = nullptr;
}

}  // namespace paint_shared

using namespace paint_shared;

CPaintManagerUI::CPaintManagerUI() {
    m_dpi.SetScale(Shared().allDPI);
    Shared().managers.push_back(this);
}

CPaintManagerUI::~CPaintManagerUI() {
    auto& m = Shared().managers;
    m.erase(std::remove(m.begin(), m.end(), this), m.end());
    RemoveAllTimers();
    m_pToolTip.reset();
    FlushDelayedCleanup();
    CControlUI* root = m_pRoot;
    m_pRoot = nullptr;
    delete root;
    FlushDelayedCleanup();
    RemoveAllFonts();
    FreeFont(m_DefaultFont);
    RemoveAllImages();
    if (m_picture) cairo_surface_destroy(m_picture);
}

void CPaintManagerUI::Init(HWND hWnd, LPCTSTR pstrName) {
    m_hWndPaint = hWnd;
    m_sName = pstrName;
    if (!m_pWindow) m_pWindow = CWindowWnd::FromHandle(hWnd);
}

// ---- resources ----------------------------------------------------------

HINSTANCE CPaintManagerUI::GetInstance() { return Shared().instance; }
void CPaintManagerUI::SetInstance(HINSTANCE h) { Shared().instance = h; }
CDuiString CPaintManagerUI::GetInstancePath() { return CDuiString(win::GetProgramFolder()); }
CDuiString CPaintManagerUI::GetCurrentPath() {
    if (!Shared().currentPath.IsEmpty()) return Shared().currentPath;
    return GetInstancePath();
}
void CPaintManagerUI::SetCurrentPath(LPCTSTR p) { Shared().currentPath = p; }
CDuiString CPaintManagerUI::GetResourcePath() { return Shared().resourcePath; }
void CPaintManagerUI::SetResourcePath(LPCTSTR p) {
    CDuiString s(p);
    if (!s.IsEmpty() && s.Right(1) != L"\\" && s.Right(1) != L"/") s += L'/';
    Shared().resourcePath = s;
}
int CPaintManagerUI::GetResourceType() { return Shared().resourceType; }
void CPaintManagerUI::SetResourceType(int n) { Shared().resourceType = n; }

// ---- painting -----------------------------------------------------------

void CPaintManagerUI::NeedUpdate() {
    m_bUpdateNeeded = true;
    Invalidate();
}

void CPaintManagerUI::Invalidate() {
    SIZE s = GetClientSize();
    Invalidate(RECT{0, 0, s.cx, s.cy});
}

void CPaintManagerUI::Invalidate(const RECT& rc) {
    if (IsRectEmptyUI(rc) && !m_bUpdateNeeded) return;
    UnionRectUI(m_rcDirty, m_rcDirty, rc);
    if (!m_bPaintPending && m_hWndPaint) {
        m_bPaintPending = true;
        win::PostMessageW(m_hWndPaint, UIMSG_PAINT, 0, 0);
    }
}

SIZE CPaintManagerUI::GetClientSize() const {
    if (m_pWindow) return m_pWindow->GetClientSize();
    return m_szInitWindowSize;
}

SIZE CPaintManagerUI::GetInitSize() { return m_dpi.Scale(m_szInitWindowSize); }
void CPaintManagerUI::SetInitSize(int cx, int cy) {
    m_szInitWindowSize = {cx, cy};
    if (m_pRoot == nullptr && m_pWindow) {
        RECT r = m_pWindow->GetWindowRect();
        SIZE s = GetInitSize();
        m_pWindow->SetWindowRect({r.left, r.top, r.left + s.cx, r.top + s.cy});
    }
}
void CPaintManagerUI::SetMinInfo(int cx, int cy) {
    m_szMinWindow = {cx, cy};
    ApplySizeLimits();
}
void CPaintManagerUI::SetMaxInfo(int cx, int cy) {
    m_szMaxWindow = {cx, cy};
    ApplySizeLimits();
}
void CPaintManagerUI::ApplySizeLimits() {
    if (m_pWindow) m_pWindow->SetSizeLimits(m_dpi.Scale(m_szMinWindow), m_dpi.Scale(m_szMaxWindow));
}
RECT CPaintManagerUI::GetSizeBox() { return m_dpi.Scale(m_rcSizeBox); }
RECT CPaintManagerUI::GetCaptionRect() { return m_dpi.Scale(m_rcCaption); }

void CPaintManagerUI::SetScreenWndUpdate(bool bUpdate) {
    m_bScreenUpdate = bUpdate;
    if (bUpdate) Invalidate();
}

namespace {

// The manager PaintWhileHidden paints on this thread.
thread_local CPaintManagerUI* paintingHidden = nullptr;

}  // namespace

void PaintWhileHidden(CPaintManagerUI& manager) {
    CPaintManagerUI* const outer = paintingHidden;
    paintingHidden = &manager;
    manager.Paint();
    paintingHidden = outer;
}

void CPaintManagerUI::Paint() {
    m_bPaintPending = false;
    if (!m_bScreenUpdate || !m_pRoot || m_bInPaint) return;
    if (m_pWindow && !m_pWindow->IsVisible() && paintingHidden != this) return;  // painted when shown
    SIZE size = GetClientSize();
    if (size.cx <= 0 || size.cy <= 0) return;
    m_bInPaint = true;
    RECT client{0, 0, size.cx, size.cy};
    for (int pass = 0; pass < 4 && (m_bUpdateNeeded || m_bFirstLayout); ++pass) {
        m_bUpdateNeeded = false;
        m_pRoot->SetPos(client, false);
        m_rcDirty = client;
        if (m_bFirstLayout) {
            m_bFirstLayout = false;
            SendNotify(m_pRoot, DUI_MSGTYPE_WINDOWINIT, 0, 0, false);
            if (!m_pRoot) {
                m_bInPaint = false;
                return;
            }
        }
    }
    if (m_bFocusNeeded) {
        m_bFocusNeeded = false;
        SetNextTabControl();
    }
    if (!m_picture || cairo_image_surface_get_width(m_picture) != size.cx ||
        cairo_image_surface_get_height(m_picture) != size.cy) {
        if (m_picture) cairo_surface_destroy(m_picture);
        m_picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size.cx, size.cy);
        m_rcDirty = client;
    }
    RECT dirty;
    if (IntersectRectUI(dirty, m_rcDirty, client)) {
        cairo_t* cr = cairo_create(m_picture);
        cairo_rectangle(cr, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top);
        cairo_clip(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        m_pRoot->DoPaint(cr, dirty);
        cairo_destroy(cr);
        cairo_surface_flush(m_picture);
        if (m_pWindow) m_pWindow->Present(m_picture, dirty);
    }
    if (m_pWindow && m_pWindow->GetBackendWindow() && m_pWindow->GetBackendWindow()->WantsProbe())
        m_pWindow->GetBackendWindow()->SetProbe(CollectProbeEntries(m_pRoot, client));
    m_rcDirty = RECT{};
    m_bInPaint = false;
}

// ---- the tree -------------------------------------------------------------

bool CPaintManagerUI::AttachDialog(CControlUI* pControl) {
    SetFocus(nullptr, false);
    m_pEventKey = m_pEventHover = m_pEventClick = nullptr;
    if (m_pRoot && m_pRoot != pControl) {
        CControlUI* old = m_pRoot;
        m_pRoot = nullptr;
        delete old;
    }
    m_pRoot = pControl;
    m_bNameMapDirty = true;
    m_bUpdateNeeded = true;
    m_bFirstLayout = true;
    m_bFocusNeeded = true;
    return InitControls(pControl);
}

bool CPaintManagerUI::InitControls(CControlUI* pControl, CControlUI* pParent) {
    if (!pControl) return false;
    pControl->SetManager(this, pParent ? pParent : pControl->GetParent(), true);
    return true;
}

void CPaintManagerUI::ReapObjects(CControlUI* pControl) { OnControlDestroyed(pControl); }

void CPaintManagerUI::OnControlDestroyed(CControlUI* c) {
    if (!c) return;
    m_bNameMapDirty = true;
    if (m_pEventKey == c) m_pEventKey = nullptr;
    if (m_pEventHover == c) m_pEventHover = nullptr;
    if (m_pToolTipFor == c) UpdateToolTip(false);
    if (m_pEventClick == c) {
        m_pEventClick = nullptr;
        ReleaseCapture();
    }
    if (m_pFocus == c) m_pFocus = nullptr;
    if (m_pRoot == c) m_pRoot = nullptr;
    KillTimer(c);
    for (auto& g : m_mOptionGroup) g.second.erase(std::remove(g.second.begin(), g.second.end(), c), g.second.end());
    std::lock_guard<std::mutex> guard(m_asyncLock);
    for (auto& n : m_aAsyncNotify)
        if (n.pSender == c) n.pSender = nullptr;
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const {
    if (!m_pRoot) return nullptr;
    return m_pRoot->FindControl(FromPoint, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

void CPaintManagerUI::RebuildNameMap() const {
    auto* self = const_cast<CPaintManagerUI*>(this);
    self->m_mNameHash.clear();
    self->m_sInTree.clear();
    self->m_bNameMapDirty = false;
    if (!m_pRoot) return;
    // The first control with a name, in tree order, answers for it.
    m_pRoot->FindControl(
        [](CControlUI* c, LPVOID data) -> CControlUI* {
            auto* pm = static_cast<CPaintManagerUI*>(data);
            pm->m_sInTree.insert(c);
            CDuiString n = c->GetName();
            if (!n.IsEmpty()) pm->m_mNameHash.emplace(n, c);
            return nullptr;
        },
        self, UIFIND_ALL | UIFIND_ME_FIRST);
}

bool CPaintManagerUI::IsInTree(const CControlUI* c) const {
    if (m_bNameMapDirty) RebuildNameMap();
    return m_sInTree.count(c) > 0;
}

CControlUI* CPaintManagerUI::FindControl(LPCTSTR name) const {
    if (!m_pRoot || !name) return nullptr;
    if (m_bNameMapDirty) RebuildNameMap();
    auto it = m_mNameHash.find(name);
    return it == m_mNameHash.end() ? nullptr : it->second;
}

CControlUI* CPaintManagerUI::FindSubControlByPoint(CControlUI* parent, POINT pt) const {
    if (!parent) parent = m_pRoot;
    if (!parent) return nullptr;
    return parent->FindControl(FromPoint, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, LPCTSTR name) const {
    if (!parent) parent = m_pRoot;
    if (!parent || !name) return nullptr;
    return parent->FindControl(FromName, const_cast<wchar_t*>(name), UIFIND_ALL);
}

CControlUI* CPaintManagerUI::FindSubControlByClass(CControlUI* parent, LPCTSTR cls, int index) {
    if (!parent) parent = m_pRoot;
    if (!parent) return nullptr;
    ClassSearch s{cls, index};
    return parent->FindControl(FromClass, &s, UIFIND_ALL);
}

bool CPaintManagerUI::AddOptionGroup(LPCTSTR name, CControlUI* c) {
    auto& g = m_mOptionGroup[name];
    if (std::find(g.begin(), g.end(), c) != g.end()) return false;
    g.push_back(c);
    return true;
}

CStdPtrArray* CPaintManagerUI::GetOptionGroup(LPCTSTR name) {
    auto it = m_mOptionGroup.find(name);
    return it == m_mOptionGroup.end() ? nullptr : &it->second;
}

void CPaintManagerUI::RemoveOptionGroup(LPCTSTR name, CControlUI* c) {
    auto it = m_mOptionGroup.find(name);
    if (it == m_mOptionGroup.end()) return;
    auto& g = it->second;
    g.erase(std::remove(g.begin(), g.end(), c), g.end());
    if (g.empty()) m_mOptionGroup.erase(it);
}

void CPaintManagerUI::RemoveAllOptionGroups() { m_mOptionGroup.clear(); }

// ---- focus and capture -----------------------------------------------------

void CPaintManagerUI::SetFocus(CControlUI* pControl, bool) {
    if (pControl == m_pFocus) return;
    if (m_pFocus) {
        CControlUI* old = m_pFocus;
        m_pFocus = nullptr;
        TEventUI e;
        e.Type = UIEVENT_KILLFOCUS;
        e.pSender = pControl;
        e.dwTimestamp = win::GetTickCount();
        DispatchEvent(old, e);
        SendNotify(old, DUI_MSGTYPE_KILLFOCUS);
    }
    if (pControl && pControl->GetManager() == this && pControl->IsVisible() && pControl->IsEnabled()) {
        m_pFocus = pControl;
        TEventUI e;
        e.Type = UIEVENT_SETFOCUS;
        e.pSender = pControl;
        e.dwTimestamp = win::GetTickCount();
        DispatchEvent(pControl, e);
        if (m_pFocus == pControl) SendNotify(pControl, DUI_MSGTYPE_SETFOCUS);
    }
}

void CPaintManagerUI::SetFocusNeeded(CControlUI* pControl) {
    m_bFocusNeeded = pControl == nullptr;
    if (pControl) SetFocus(pControl);
}

bool CPaintManagerUI::SetNextTabControl(bool bForward) {
    if (!m_pRoot) return false;
    std::vector<CControlUI*> order;
    m_pRoot->FindControl(FromTabStop, &order, UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST);
    if (order.empty()) return false;
    auto it = std::find(order.begin(), order.end(), m_pFocus);
    size_t next = 0;
    if (it == order.end())
        next = bForward ? 0 : order.size() - 1;
    else {
        size_t i = static_cast<size_t>(it - order.begin());
        next = bForward ? (i + 1) % order.size() : (i + order.size() - 1) % order.size();
    }
    SetFocus(order[next]);
    return true;
}

void CPaintManagerUI::SetCapture() {
    m_bMouseCapture = true;
    if (m_pWindow) m_pWindow->SetCaptureMouse(true);
}

void CPaintManagerUI::ReleaseCapture() {
    if (!m_bMouseCapture) return;
    m_bMouseCapture = false;
    if (m_pWindow) m_pWindow->SetCaptureMouse(false);
}

// ---- timers -----------------------------------------------------------------

bool CPaintManagerUI::SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse) {
    if (!pControl || !m_hWndPaint) return false;
    UINT_PTR winId = 0;
    {
        std::lock_guard<std::mutex> guard(m_timerLock);
        for (auto& t : m_aTimers)
            if (t.pSender == pControl && t.nLocalID == nTimerID) {
                t.bKilled = false;
                winId = t.uWinTimer;
            }
        if (!winId) {
            winId = g_nextTimerId++;
            m_aTimers.push_back({pControl, nTimerID, winId, false});
        }
    }
    return win::SetTimer(m_hWndPaint, winId, uElapse, nullptr) != 0;
}

bool CPaintManagerUI::KillTimer(CControlUI* pControl, UINT nTimerID) {
    UINT_PTR winId = 0;
    {
        std::lock_guard<std::mutex> guard(m_timerLock);
        for (auto it = m_aTimers.begin(); it != m_aTimers.end(); ++it)
            if (it->pSender == pControl && it->nLocalID == nTimerID) {
                winId = it->uWinTimer;
                m_aTimers.erase(it);
                break;
            }
    }
    if (winId && m_hWndPaint) win::KillTimer(m_hWndPaint, winId);
    return winId != 0;
}

void CPaintManagerUI::KillTimer(CControlUI* pControl) {
    std::vector<UINT_PTR> ids;
    {
        std::lock_guard<std::mutex> guard(m_timerLock);
        for (auto it = m_aTimers.begin(); it != m_aTimers.end();) {
            if (it->pSender == pControl) {
                ids.push_back(it->uWinTimer);
                it = m_aTimers.erase(it);
            } else
                ++it;
        }
    }
    for (UINT_PTR id : ids)
        if (m_hWndPaint) win::KillTimer(m_hWndPaint, id);
}

void CPaintManagerUI::RemoveAllTimers() {
    std::vector<UINT_PTR> ids;
    {
        std::lock_guard<std::mutex> guard(m_timerLock);
        for (auto& t : m_aTimers) ids.push_back(t.uWinTimer);
        m_aTimers.clear();
    }
    for (UINT_PTR id : ids)
        if (m_hWndPaint) win::KillTimer(m_hWndPaint, id);
}

// ---- notifications -----------------------------------------------------------

bool CPaintManagerUI::AddNotifier(INotifyUI* p) { return AddOnce(m_aNotifiers, p); }

bool CPaintManagerUI::RemoveNotifier(INotifyUI* p) { return RemoveOnce(m_aNotifiers, p); }

void CPaintManagerUI::SendNotify(CControlUI* pControl, LPCTSTR type, WPARAM wParam, LPARAM lParam, bool bAsync) {
    TNotifyUI msg;
    msg.pSender = pControl;
    msg.sType = type;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, bAsync);
}

void CPaintManagerUI::SendNotify(TNotifyUI& Msg, bool bAsync) {
    Msg.ptMouse = m_ptLastMousePos;
    Msg.dwTimestamp = win::GetTickCount();
    if (Msg.pSender && Msg.sVirtualWnd.IsEmpty()) Msg.sVirtualWnd = Msg.pSender->GetVirtualWnd();
    if (!bAsync) {
        DeliverNotify(Msg);
        return;
    }
    {
        std::lock_guard<std::mutex> guard(m_asyncLock);
        m_aAsyncNotify.push_back(Msg);
    }
    if (m_hWndPaint) win::PostMessageW(m_hWndPaint, UIMSG_ASYNC_NOTIFY, 0, 0);
}

void CPaintManagerUI::DeliverNotify(TNotifyUI& Msg) {
    ++m_nEventDepth;
    // A copy: notifiers may add or remove notifiers while being called.
    std::vector<INotifyUI*> notifiers = m_aNotifiers;
    for (INotifyUI* n : notifiers)
        if (std::find(m_aNotifiers.begin(), m_aNotifiers.end(), n) != m_aNotifiers.end()) n->Notify(Msg);
    --m_nEventDepth;
}

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* p) { return AddOnce(m_aPreMessageFilters, p); }
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* p) { return RemoveOnce(m_aPreMessageFilters, p); }
bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* p) { return AddOnce(m_aMessageFilters, p); }
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* p) { return RemoveOnce(m_aMessageFilters, p); }

bool CPaintManagerUI::AddDelayedCleanup(CControlUI* pControl) {
    if (!pControl) return false;
    pControl->SetManager(this, nullptr, false);
    OnControlDestroyed(pControl);
    m_aDelayedCleanup.push_back(pControl);
    if (m_hWndPaint) win::PostMessageW(m_hWndPaint, UIMSG_ASYNC_NOTIFY, 0, 0);
    return true;
}

void CPaintManagerUI::FlushDelayedCleanup() {
    while (!m_aDelayedCleanup.empty()) {
        std::vector<CControlUI*> list;
        list.swap(m_aDelayedCleanup);
        for (CControlUI* c : list) delete c;
    }
}

// ---- DPI ----------------------------------------------------------------------

void CPaintManagerUI::ResetDPIAssets() {
    RebuildFonts();
    RemoveAllImages();
    NeedUpdate();
}

void CPaintManagerUI::SetDPI(int iDPI) {
    int old = m_dpi.GetDPI();
    m_dpi.SetScale(iDPI);
    int now = m_dpi.GetDPI();
    if (old == now) return;
    ResetDPIAssets();
    if (m_pWindow) {
        RECT r = m_pWindow->GetWindowRect();
        int w = (r.right - r.left) * now / old, h = (r.bottom - r.top) * now / old;
        // The limits follow the DPI before the window takes its new size.
        ApplySizeLimits();
        m_pWindow->SetWindowRect({r.left, r.top, r.left + w, r.top + h});
    }
    NeedUpdate();
}

void CPaintManagerUI::SetAllDPI(int iDPI) {
    Shared().allDPI = iDPI > 0 ? iDPI : 96;
    for (CPaintManagerUI* pm : Shared().managers) pm->SetDPI(iDPI);
}

int CPaintManagerUI::GetAllDPI() { return Shared().allDPI; }

void CPaintManagerUI::DeletePtr(void* ptr) { operator delete(ptr); }

std::vector<CPaintManagerUI*> CPaintManagerUI::GetPaintManagers() { return Shared().managers; }

CPaintManagerUI* CPaintManagerUI::GetPaintManager(LPCTSTR name) {
    for (CPaintManagerUI* pm : Shared().managers)
        if (pm->m_sName == (name ? name : L"")) return pm;
    return nullptr;
}

void CPaintManagerUI::Term() {
    Shared().sharedDefaultAttrs.clear();
    for (auto& f : Shared().sharedFonts) FreeFont(f.second);
    Shared().sharedFonts.clear();
    FreeFont(Shared().sharedDefaultFont);
    Shared().sharedDefaultSet = false;
    Shared().useHSL = false;
    Shared().hue = 180;
    Shared().saturation = 100;
    Shared().lightness = 100;
}

// ---- messages -------------------------------------------------------------------

void CPaintManagerUI::DispatchEvent(CControlUI* pControl, TEventUI& event) {
    if (!pControl) return;
    ++m_nEventDepth;
    pControl->Event(event);
    --m_nEventDepth;
}

bool CPaintManagerUI::TranslateMessage(const win::MSG* msg) {
    if (!msg || !msg->hwnd) return false;
    for (CPaintManagerUI* pm : Shared().managers) {
        if (pm->m_hWndPaint != msg->hwnd) continue;
        LRESULT res = 0;
        return pm->PreMessageHandler(msg->message, msg->wParam, msg->lParam, res);
    }
    return false;
}

void CPaintManagerUI::MessageLoop() {
    win::MSG msg;
    while (win::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateMessage(&msg)) continue;
        win::TranslateMessage(&msg);
        win::DispatchMessageW(&msg);
    }
}

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    std::vector<IMessageFilterUI*> filters = m_aPreMessageFilters;
    for (IMessageFilterUI* f : filters) {
        bool handled = false;
        LRESULT r = f->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled) {
            lRes = r;
            return true;
        }
    }
    if (uMsg == WM_KEYDOWN && wParam == kVkTab) {
        SetNextTabControl(!IsKeyDownUI(kVkShift));
        return true;
    }
    return false;
}

}  // namespace DuiLib
