#pragma once

// Basic types of the UI model: geometry, events, notifications, state bits
// and the small interfaces controls and windows implement.

#include "platform/files/win_types.h"
#include "platform/ui/dui_string.h"

#include <cstdint>

namespace DuiLib {

using win::BOOL;
using win::BYTE;
using win::DWORD;
using win::HWND;
using win::LPARAM;
using win::LRESULT;
using win::POINT;
using win::RECT;
using win::SIZE;
using win::UINT;
using win::UINT_PTR;
using win::WORD;
using win::WPARAM;
using LPCTSTR = const wchar_t*;
using LPTSTR = wchar_t*;
using TCHAR = wchar_t;
using HINSTANCE = void*;

class CControlUI;
class CPaintManagerUI;
struct TListInfoUI;

inline bool IsRectEmptyUI(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
inline bool PtInRectUI(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
bool IntersectRectUI(RECT& out, const RECT& a, const RECT& b);
void UnionRectUI(RECT& out, const RECT& a, const RECT& b);

class CDuiRect : public RECT {
public:
    CDuiRect() = default;
    CDuiRect(const RECT& r) : RECT(r) {}
    CDuiRect(int l, int t, int r, int b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    int GetWidth() const { return right - left; }
    int GetHeight() const { return bottom - top; }
    bool IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    void Empty() { left = top = right = bottom = 0; }
    void Offset(int cx, int cy) {
        left += cx;
        right += cx;
        top += cy;
        bottom += cy;
    }
    void Deflate(int l, int t, int r, int b) {
        left += l;
        top += t;
        right -= r;
        bottom -= b;
    }
};

class CDuiPoint : public POINT {
public:
    CDuiPoint() = default;
    CDuiPoint(int px, int py) {
        x = px;
        y = py;
    }
    CDuiPoint(const POINT& p) : POINT(p) {}
};

class CDuiSize : public SIZE {
public:
    CDuiSize() = default;
    CDuiSize(int w, int h) {
        cx = w;
        cy = h;
    }
    CDuiSize(const SIZE& s) : SIZE(s) {}
};

// Events delivered to CControlUI::DoEvent.
enum UIEVENT {
    UIEVENT__FIRST = 1,
    UIEVENT__KEYBEGIN,
    UIEVENT_KEYDOWN,
    UIEVENT_KEYUP,
    UIEVENT_CHAR,
    UIEVENT_SYSKEY,
    UIEVENT__KEYEND,
    UIEVENT__MOUSEBEGIN,
    UIEVENT_MOUSEMOVE,
    UIEVENT_MOUSELEAVE,
    UIEVENT_MOUSEENTER,
    UIEVENT_MOUSEHOVER,
    UIEVENT_BUTTONDOWN,
    UIEVENT_BUTTONUP,
    UIEVENT_RBUTTONDOWN,
    UIEVENT_RBUTTONUP,
    UIEVENT_DBLCLICK,
    UIEVENT_CONTEXTMENU,
    UIEVENT_SCROLLWHEEL,
    UIEVENT__MOUSEEND,
    UIEVENT_KILLFOCUS,
    UIEVENT_SETFOCUS,
    UIEVENT_WINDOWSIZE,
    UIEVENT_SETCURSOR,
    UIEVENT_TIMER,
    UIEVENT_NOTIFY,
    UIEVENT_COMMAND,
    UIEVENT__LAST,
};

// Control state bits.
inline constexpr UINT UISTATE_FOCUSED = 0x00000001;
inline constexpr UINT UISTATE_SELECTED = 0x00000002;
inline constexpr UINT UISTATE_DISABLED = 0x00000004;
inline constexpr UINT UISTATE_HOT = 0x00000008;
inline constexpr UINT UISTATE_PUSHED = 0x00000010;
inline constexpr UINT UISTATE_READONLY = 0x00000020;
inline constexpr UINT UISTATE_CAPTURED = 0x00000040;

// What a control takes part in (GetControlFlags).
inline constexpr UINT UIFLAG_TABSTOP = 0x00000001;
inline constexpr UINT UIFLAG_SETCURSOR = 0x00000002;
inline constexpr UINT UIFLAG_WANTRETURN = 0x00000004;

// FindControl flags.
inline constexpr UINT UIFIND_ALL = 0x00000000;
inline constexpr UINT UIFIND_VISIBLE = 0x00000001;
inline constexpr UINT UIFIND_ENABLED = 0x00000002;
inline constexpr UINT UIFIND_HITTEST = 0x00000004;
inline constexpr UINT UIFIND_UPDATETEST = 0x00000008;
inline constexpr UINT UIFIND_TOP_FIRST = 0x00000010;
inline constexpr UINT UIFIND_ME_FIRST = 0x80000000;

// Modifier bits of TEventUI::wKeyState (the usual MK_ values).
inline constexpr WORD UIKEY_LBUTTON = 0x0001;
inline constexpr WORD UIKEY_RBUTTON = 0x0002;
inline constexpr WORD UIKEY_SHIFT = 0x0004;
inline constexpr WORD UIKEY_CONTROL = 0x0008;
inline constexpr WORD UIKEY_MBUTTON = 0x0010;
inline constexpr WORD UIKEY_ALT = 0x0020;

struct TEventUI {
    int Type = 0;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse{};
    TCHAR chKey = 0;
    WORD wKeyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct TNotifyUI {
    CDuiString sType;
    CDuiString sVirtualWnd;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse{};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Notification types.
#define DUI_MSGTYPE_WINDOWINIT L"windowinit"
#define DUI_MSGTYPE_WINDOWSIZE L"windowsize"
#define DUI_MSGTYPE_CLICK L"click"
#define DUI_MSGTYPE_SELECTCHANGED L"selectchanged"
#define DUI_MSGTYPE_ITEMSELECT L"itemselect"
#define DUI_MSGTYPE_ITEMCLICK L"itemclick"
#define DUI_MSGTYPE_ITEMACTIVATE L"itemactivate"
#define DUI_MSGTYPE_VALUECHANGED L"valuechanged"
#define DUI_MSGTYPE_MOVEVALUECHANGED L"movevaluechanged"
#define DUI_MSGTYPE_SETFOCUS L"setfocus"
#define DUI_MSGTYPE_KILLFOCUS L"killfocus"
#define DUI_MSGTYPE_TEXTCHANGED L"textchanged"
#define DUI_MSGTYPE_RETURN L"return"
#define DUI_MSGTYPE_COLORCHANGED L"colorchanged"
#define DUI_MSGTYPE_CHECKCLICK L"checkclick"
#define DUI_MSGTYPE_MENU L"menu"
#define DUI_MSGTYPE_TIMER L"timer"
#define DUI_MSGTYPE_DROPDOWN L"dropdown"
#define DUI_MSGTYPE_SCROLL L"scroll"
#define DUI_MSGTYPE_HEADERCLICK L"headerclick"
#define DUI_MSGTYPE_ITEMEXPAND L"itemexpand"
#define DUI_MSGTYPE_ITEMCOLLAPSE L"itemcollapse"
#define DUI_MSGTYPE_LINK L"link"

class INotifyUI {
public:
    virtual void Notify(TNotifyUI& msg) = 0;

protected:
    ~INotifyUI() = default;
};

class IMessageFilterUI {
public:
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

class IDialogBuilderCallback {
public:
    virtual CControlUI* CreateControl(LPCTSTR pstrClass) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

class IQueryControlText {
public:
    virtual LPCTSTR QueryControlText(LPCTSTR lpstrId, LPCTSTR lpstrType) = 0;

protected:
    ~IQueryControlText() = default;
};

class IListOwnerUI {
public:
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int iIndex, bool bTakeFocus = false, bool bTriggerEvent = true) = 0;
    virtual void DoEvent(TEventUI& event) = 0;
    virtual bool IsMultiSelect() const { return false; }
    virtual bool SelectMultiItem(int iIndex, bool /*bTakeFocus*/ = false) { return SelectItem(iIndex); }
    virtual bool UnSelectItem(int /*iIndex*/, bool /*bOthers*/ = false) { return false; }
    virtual TListInfoUI* GetListInfo() { return nullptr; }

protected:
    ~IListOwnerUI() = default;
};

}  // namespace DuiLib
