#pragma once

// CPaintManagerUI: one per window. Holds the control tree, paints it into a
// Cairo image and hands the picture to the display backend, routes input to
// controls, keeps focus, capture, control timers, option groups, fonts,
// images and default attributes, and delivers notifications to the
// window's notifiers.

#include "platform/ui/control.h"
#include "platform/os/message_queue.h"
#include "platform/ui/dpi.h"

#include <pango/pango.h>

#include <map>
#include <set>
#include <memory>
#include <mutex>
#include <vector>

namespace DuiLib {

class CWindowWnd;
class CToolTipWnd;

struct TFontInfo {
    PangoFontDescription* desc = nullptr;
    CDuiString sFontName;
    int iSize = 12;  // pixel height as written in the skin (before DPI scaling)
    bool bBold = false;
    bool bUnderline = false;
    bool bItalic = false;
    int tmHeight = 0;  // line height in pixels at the current DPI
};
using HFONT = TFontInfo*;

struct TImageInfo {
    cairo_surface_t* surface = nullptr;  // ARGB32, premultiplied
    int nX = 0;
    int nY = 0;
    bool bAlpha = false;
    CDuiString sResType;
    DWORD dwMask = 0;
};

using CStdPtrArray = std::vector<CControlUI*>;

class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    void Init(HWND hWnd, LPCTSTR pstrName = nullptr);
    HWND GetPaintWindow() const { return m_hWndPaint; }
    CDuiString GetName() const { return m_sName; }
    // The window this manager paints (set by CWindowWnd).
    void SetWindow(CWindowWnd* pWindow) { m_pWindow = pWindow; }
    CWindowWnd* GetWindow() const { return m_pWindow; }

    bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
    void NeedUpdate();
    void Invalidate();
    void Invalidate(const RECT& rcItem);
    // Lays out and paints what is invalid now (normally done on WM_PAINT).
    void Paint();
    // While off, the window's picture is not updated (painting is paused).
    void SetScreenWndUpdate(bool bUpdate);
    bool GetScreenWndUpdate() const { return m_bScreenUpdate; }
    // The picture of the whole client area as last painted (null before).
    cairo_surface_t* GetPicture() const { return m_picture; }

    POINT GetMousePos() const { return m_ptLastMousePos; }
    SIZE GetClientSize() const;
    SIZE GetInitSize();
    void SetInitSize(int cx, int cy);
    RECT GetSizeBox();
    void SetSizeBox(RECT rcSizeBox) { m_rcSizeBox = rcSizeBox; }
    RECT GetCaptionRect();
    void SetCaptionRect(RECT rcCaption) { m_rcCaption = rcCaption; }
    SIZE GetRoundCorner() const { return m_szRoundCorner; }
    void SetRoundCorner(int cx, int cy) { m_szRoundCorner = {cx, cy}; }
    SIZE GetMinInfo() const { return m_szMinWindow; }
    // The window's size limits (skin pixels at 96 DPI); the window gets them
    // scaled to the current DPI.
    void SetMinInfo(int cx, int cy);
    SIZE GetMaxInfo() const { return m_szMaxWindow; }
    void SetMaxInfo(int cx, int cy);
    bool IsShowUpdateRect() const { return false; }

    // Process-wide resource settings.
    static HINSTANCE GetInstance();
    static void SetInstance(HINSTANCE hInst);
    // The program folder, ending in a separator.
    static CDuiString GetInstancePath();
    static CDuiString GetCurrentPath();
    static CDuiString GetResourcePath();
    static void SetResourcePath(LPCTSTR pStrPath);
    static void SetCurrentPath(LPCTSTR pStrPath);
    // 1 = plain files (the only kind supported).
    static int GetResourceType();
    static void SetResourceType(int nType);
    static CDuiString GetResourceZip() { return {}; }

    // Fonts. Ids are the numbers that "font" attributes name.
    void SetDefaultFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                        bool bShared = false);
    HFONT AddFont(int id, LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                  bool bShared = false);
    HFONT GetFont(int id);
    void RemoveFont(int id, bool bShared = false);
    void RemoveAllFonts(bool bShared = false);
    TFontInfo* GetFontInfo(int id);
    TFontInfo* GetDefaultFontInfo();

    // Images, cached by name and resource type.
    const TImageInfo* GetImage(LPCTSTR bitmap);
    const TImageInfo* GetImageEx(LPCTSTR bitmap, LPCTSTR type = nullptr, DWORD mask = 0, bool bUseHSL = false);
    const TImageInfo* AddImage(LPCTSTR bitmap, LPCTSTR type = nullptr, DWORD mask = 0, bool bUseHSL = false,
                               bool bShared = false);
    void RemoveImage(LPCTSTR bitmap, bool bShared = false);
    void RemoveAllImages(bool bShared = false);
    static void ReloadSharedImages();
    // Colour adjustment of the pictures whose description says hsl='true'
    // (every window): H 0-360 turns their hues by H - 180 degrees, S and L
    // 0-200 scale saturation and lightness (100 keeps them). Windows repaint.
    static void SetHSL(bool bUseHSL, short H = 180, short S = 100, short L = 100);
    static bool IsUseHSL();
    static void GetHSL(short* H, short* S, short* L);

    // Default attribute lists by control class name ("Default" elements).
    void AddDefaultAttributeList(LPCTSTR pStrControlName, LPCTSTR pStrControlAttrList, bool bShared = false);
    LPCTSTR GetDefaultAttributeList(LPCTSTR pStrControlName) const;
    void RemoveAllDefaultAttributeList(bool bShared = false);
    // Named attribute lists ("Style" elements), applied by a "style" attribute.
    void AddStyle(LPCTSTR pName, LPCTSTR pStyle, bool bShared = false);
    LPCTSTR GetStyle(LPCTSTR pName) const;
    static bool TranslateMessage(const win::MSG* pMsg);

    // The control tree.
    bool AttachDialog(CControlUI* pControl);
    bool InitControls(CControlUI* pControl, CControlUI* pParent = nullptr);
    void ReapObjects(CControlUI* pControl);
    CControlUI* GetRoot() const { return m_pRoot; }
    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindControl(LPCTSTR pstrName) const;
    CControlUI* FindSubControlByPoint(CControlUI* pParent, POINT pt) const;
    CControlUI* FindSubControlByName(CControlUI* pParent, LPCTSTR pstrName) const;
    CControlUI* FindSubControlByClass(CControlUI* pParent, LPCTSTR pstrClass, int iIndex = 0);

    bool AddOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl);
    CStdPtrArray* GetOptionGroup(LPCTSTR pStrGroupName);
    void RemoveOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl);
    void RemoveAllOptionGroups();

    // Focus and capture.
    CControlUI* GetFocus() const { return m_pFocus; }
    void SetFocus(CControlUI* pControl, bool bFocusWnd = true);
    void SetFocusNeeded(CControlUI* pControl);
    bool SetNextTabControl(bool bForward = true);
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return m_bMouseCapture; }

    // Control timers. Safe to call from any thread; the timer event is
    // delivered to the control on the UI thread. Re-arming an id replaces it.
    bool SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse);
    bool KillTimer(CControlUI* pControl, UINT nTimerID);
    void KillTimer(CControlUI* pControl);
    void RemoveAllTimers();

    // Notifications.
    bool AddNotifier(INotifyUI* pControl);
    bool RemoveNotifier(INotifyUI* pControl);
    void SendNotify(TNotifyUI& Msg, bool bAsync = false);
    void SendNotify(CControlUI* pControl, LPCTSTR pstrMessage, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool bAsync = false);

    // Message filters: pre filters see messages before translation in the
    // loop; filters see them before the paint manager handles them.
    bool AddPreMessageFilter(IMessageFilterUI* pFilter);
    bool RemovePreMessageFilter(IMessageFilterUI* pFilter);
    bool AddMessageFilter(IMessageFilterUI* pFilter);
    bool RemoveMessageFilter(IMessageFilterUI* pFilter);

    // Controls removed while an event is being handled are deleted later.
    bool AddDelayedCleanup(CControlUI* pControl);

    // Window messages of the paint window.
    bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    // Runs the UI thread's message loop until the quit message.
    static void MessageLoop();
    static void Term();

    // DPI.
    CDPI* GetDPIObj() { return &m_dpi; }
    void ResetDPIAssets();
    void SetDPI(int iDPI);
    static void SetAllDPI(int iDPI);
    static int GetAllDPI();

    // Frees what the menu command message carries (and other records the
    // UI hands out with new).
    static void DeletePtr(void* ptr);

    static std::vector<CPaintManagerUI*> GetPaintManagers();
    static CPaintManagerUI* GetPaintManager(LPCTSTR pstrName);

    // The tree changed: names are looked up afresh.
    void InvalidateNameMap() { m_bNameMapDirty = true; }
    // True when the control is part of this window's tree now.
    bool IsInTree(const CControlUI* pControl) const;

    // The tooltip window, when one was shown (tests read it).
    CToolTipWnd* GetToolTipWindow() const { return m_pToolTip.get(); }

    // Event dispatch used by the window and by tests.
    void DispatchEvent(CControlUI* pControl, TEventUI& event);

private:
    void ApplySizeLimits();
    struct TimerInfo {
        CControlUI* pSender;
        UINT nLocalID;
        UINT_PTR uWinTimer;
        bool bKilled;
    };
    friend class CControlUI;
    void OnControlDestroyed(CControlUI* pControl);
    void RebuildNameMap() const;
    void FlushDelayedCleanup();
    void DeliverNotify(TNotifyUI& Msg);
    void HandleMouse(UINT uMsg, WPARAM wParam, LPARAM lParam);
    void HandleKey(UINT uMsg, WPARAM wParam, LPARAM lParam);
    void UpdateHover(POINT pt, WPARAM wParam);
    void RebuildFonts();
    PangoFontDescription* MakeFontDescription(LPCTSTR name, int size, bool bold, bool italic) const;

    HWND m_hWndPaint = nullptr;
    CWindowWnd* m_pWindow = nullptr;
    CDuiString m_sName;
    CControlUI* m_pRoot = nullptr;
    CControlUI* m_pFocus = nullptr;
    CControlUI* m_pEventHover = nullptr;
    CControlUI* m_pEventClick = nullptr;
    CControlUI* m_pEventKey = nullptr;
    POINT m_ptLastMousePos{-1, -1};
    UINT m_uLastClickTime = 0;
    POINT m_ptLastClick{-100, -100};
    bool m_bLastClickDouble = false;
    bool m_bMouseCapture = false;
    bool m_bMouseTracking = false;
    bool m_bUpdateNeeded = true;
    bool m_bFirstLayout = true;
    bool m_bFocusNeeded = false;
    bool m_bScreenUpdate = true;
    bool m_bPaintPending = false;
    bool m_bInPaint = false;
    RECT m_rcDirty{};
    cairo_surface_t* m_picture = nullptr;

    SIZE m_szInitWindowSize{};
    SIZE m_szMinWindow{};
    SIZE m_szMaxWindow{};
    SIZE m_szRoundCorner{};
    RECT m_rcSizeBox{};
    RECT m_rcCaption{};

    std::vector<INotifyUI*> m_aNotifiers;
    std::vector<IMessageFilterUI*> m_aPreMessageFilters;
    std::vector<IMessageFilterUI*> m_aMessageFilters;
    std::vector<CControlUI*> m_aDelayedCleanup;
    std::vector<TNotifyUI> m_aAsyncNotify;
    std::mutex m_asyncLock;
    std::map<CDuiString, CControlUI*> m_mNameHash;
    std::set<const CControlUI*> m_sInTree;
    bool m_bNameMapDirty = true;
    std::map<CDuiString, CStdPtrArray> m_mOptionGroup;
    std::map<CDuiString, CDuiString> m_mDefaultAttrs;
    std::map<CDuiString, CDuiString> m_mStyles;
    std::map<int, TFontInfo> m_mFonts;
    TFontInfo m_DefaultFont;
    bool m_bDefaultFontSet = false;
    std::map<CDuiString, TImageInfo> m_mImages;

    std::mutex m_timerLock;
    std::vector<TimerInfo> m_aTimers;
    CDPI m_dpi;
    int m_nEventDepth = 0;
    std::unique_ptr<CToolTipWnd> m_pToolTip;
    CControlUI* m_pToolTipFor = nullptr;
    void UpdateToolTip(bool show);
};

}  // namespace DuiLib
