#pragma once

// CControlUI: the base of every control. A control has a rectangle given by
// its parent's layout (or its own "pos" when floating), draws itself in
// layers (background colour, background image, status image, text, border)
// and receives events from its paint manager.

#include "platform/ui/ui_types.h"

#include <cairo.h>

#include <map>

namespace DuiLib {

using HDC = cairo_t*;
using LPVOID = void*;
using FINDCONTROLPROC = CControlUI* (*)(CControlUI*, LPVOID);

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual CDuiString GetName() const { return m_sName; }
    virtual void SetName(LPCTSTR pstrName);
    virtual LPCTSTR GetClass() const;
    virtual LPVOID GetInterface(LPCTSTR pstrName);
    virtual UINT GetControlFlags() const { return 0; }

    virtual bool Activate();
    virtual CPaintManagerUI* GetManager() const { return m_pManager; }
    virtual void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true);
    virtual CControlUI* GetParent() const { return m_pParent; }

    // Text. A control with "resourcetext" set takes its text from the
    // language table: its text is a key that GetText translates.
    virtual CDuiString GetText() const;
    virtual void SetText(LPCTSTR pstrText);
    bool IsResourceText() const { return m_bResourceText; }
    void SetResourceText(bool bResource);

    // Colours (ARGB).
    DWORD GetBkColor() const { return m_dwBackColor; }
    void SetBkColor(DWORD dwBackColor);
    DWORD GetBkColor2() const { return m_dwBackColor2; }
    void SetBkColor2(DWORD dwBackColor);
    DWORD GetBkColor3() const { return m_dwBackColor3; }
    void SetBkColor3(DWORD dwBackColor);
    LPCTSTR GetBkImage() const { return m_sBkImage; }
    void SetBkImage(LPCTSTR pStrImage);
    DWORD GetForeColor() const { return m_dwForeColor; }
    void SetForeColor(DWORD dwForeColor);
    LPCTSTR GetForeImage() const { return m_sForeImage; }
    void SetForeImage(LPCTSTR pStrImage);
    DWORD GetBorderColor() const { return m_dwBorderColor; }
    void SetBorderColor(DWORD dwBorderColor);
    DWORD GetFocusBorderColor() const { return m_dwFocusBorderColor; }
    void SetFocusBorderColor(DWORD dwBorderColor);
    int GetBorderSize() const { return m_nBorderSize; }
    void SetBorderSize(int nSize);
    SIZE GetBorderRound() const { return m_cxyBorderRound; }
    void SetBorderRound(SIZE cxyRound);
    // Colour adjustment hook (hue/saturation of a skin); identity here.
    DWORD GetAdjustColor(DWORD dwColor) const { return dwColor; }
    bool DrawImage(HDC hDC, LPCTSTR pStrImage, LPCTSTR pStrModify = nullptr);

    // Position and size.
    virtual const RECT& GetPos() const { return m_rcItem; }
    virtual RECT GetRelativePos() const;
    virtual void SetPos(RECT rc, bool bNeedInvalidate = true);
    virtual void Move(SIZE szOffset, bool bNeedInvalidate = true);
    virtual int GetWidth() const { return m_rcItem.right - m_rcItem.left; }
    virtual int GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }
    virtual int GetX() const { return m_rcItem.left; }
    virtual int GetY() const { return m_rcItem.top; }
    virtual RECT GetPadding() const;
    virtual void SetPadding(RECT rcPadding);
    virtual SIZE GetFixedXY() const;
    virtual void SetFixedXY(SIZE szXY);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int cy);
    virtual SIZE EstimateSize(SIZE szAvailable);
    bool IsFloat() const { return m_bFloat; }
    void SetFloat(bool bFloat = true);

    // Tooltip, cursor, menu, user data.
    virtual CDuiString GetToolTip() const;
    virtual void SetToolTip(LPCTSTR pstrText) { m_sToolTip = pstrText; }
    // A tooltip in two parts: a title line above the text. The text, when
    // set, is shown instead of the plain tooltip.
    void SetUserToolTitle(LPCTSTR pstrText) { m_sUserToolTitle = pstrText; }
    void SetUserToolText(LPCTSTR pstrText) { m_sUserToolText = pstrText; }
    const CDuiString& GetUserToolTitle() const { return m_sUserToolTitle; }
    const CDuiString& GetUserToolText() const { return m_sUserToolText; }
    // The body the tooltip window shows (the user text, else the tooltip).
    CDuiString GetToolTipBody() const { return m_sUserToolText.IsEmpty() ? GetToolTip() : m_sUserToolText; }
    bool HasToolTip() const { return !m_sUserToolTitle.IsEmpty() || !GetToolTipBody().IsEmpty(); }
    int GetCursor() const { return m_nCursor; }
    void SetCursor(int nCursor) { m_nCursor = nCursor; }
    bool IsContextMenuUsed() const { return m_bMenuUsed; }
    void SetContextMenuUsed(bool bMenuUsed) { m_bMenuUsed = bMenuUsed; }
    const CDuiString& GetUserData() const { return m_sUserData; }
    void SetUserData(LPCTSTR pstrText) { m_sUserData = pstrText; }
    UINT_PTR GetTag() const { return m_pTag; }
    void SetTag(UINT_PTR pTag) { m_pTag = pTag; }
    CDuiString GetVirtualWnd() const;
    void SetVirtualWnd(LPCTSTR pstrValue) { m_sVirtualWnd = pstrValue; }
    // Option groups stop at a scope: options of one group name select one
    // another away only under the same scope (a page, or a control that a
    // page holds several of), so that each page keeps its own choice
    // ("optionscope" attribute).
    bool IsOptionScope() const { return m_bOptionScope; }
    void SetOptionScope(bool bScope = true) { m_bOptionScope = bScope; }
    // The nearest scope above (or at) this control; the top of its tree when
    // none is marked.
    const CControlUI* OptionScope() const;

    // State.
    virtual bool IsVisible() const { return m_bVisible && m_bInternVisible; }
    // The control's own flag, whatever a hidden parent makes of it.
    bool IsVisibleFlag() const { return m_bVisible; }
    virtual void SetVisible(bool bVisible = true);
    virtual void SetInternVisible(bool bVisible = true);
    virtual bool IsEnabled() const { return m_bEnabled; }
    virtual void SetEnabled(bool bEnable = true);
    virtual bool IsMouseEnabled() const { return m_bMouseEnabled; }
    virtual void SetMouseEnabled(bool bEnable = true) { m_bMouseEnabled = bEnable; }
    virtual bool IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
    virtual void SetKeyboardEnabled(bool bEnable = true) { m_bKeyboardEnabled = bEnable; }
    virtual bool IsFocused() const { return m_bFocused; }
    virtual void SetFocus();

    virtual CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags);

    void Invalidate();
    bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
    void NeedUpdate();
    void NeedParentUpdate();

    virtual void Init();
    virtual void DoInit() {}
    virtual void Event(TEventUI& event);
    virtual void DoEvent(TEventUI& event);

    virtual void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue);
    CControlUI* ApplyAttributeList(LPCTSTR pstrList);

    // Painting. DoPaint returns false when it reached pStopControl.
    virtual bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl = nullptr);
    virtual void PaintBkColor(HDC hDC);
    virtual void PaintBkImage(HDC hDC);
    virtual void PaintStatusImage(HDC hDC);
    virtual void PaintForeColor(HDC hDC);
    virtual void PaintForeImage(HDC hDC);
    virtual void PaintText(HDC hDC);
    virtual void PaintBorder(HDC hDC);
    virtual void DoPostPaint(HDC /*hDC*/, const RECT& /*rcPaint*/) {}

protected:
    // A length written for 96 DPI, at the window's DPI.
    int Scaled(int value) const;
    RECT Scaled(RECT value) const;

protected:
    CPaintManagerUI* m_pManager = nullptr;
    CControlUI* m_pParent = nullptr;
    CDuiString m_sName;
    CDuiString m_sVirtualWnd;
    bool m_bUpdateNeeded = true;
    bool m_bMenuUsed = false;
    bool m_bResourceText = false;
    bool m_bOptionScope = false;
    RECT m_rcItem{};
    RECT m_rcPadding{};
    SIZE m_cXY{};
    SIZE m_cxyFixed{};
    SIZE m_cxyMin{};
    SIZE m_cxyMax{9999, 9999};
    bool m_bVisible = true;
    bool m_bInternVisible = true;
    bool m_bEnabled = true;
    bool m_bMouseEnabled = true;
    bool m_bKeyboardEnabled = true;
    bool m_bFocused = false;
    bool m_bFloat = false;
    bool m_bSetPos = false;
    RECT m_rcPaint{};

    CDuiString m_sText;
    CDuiString m_sToolTip;
    CDuiString m_sUserToolTitle;
    CDuiString m_sUserToolText;
    CDuiString m_sUserData;
    UINT_PTR m_pTag = 0;
    int m_nCursor = 0;

    DWORD m_dwBackColor = 0;
    DWORD m_dwBackColor2 = 0;
    DWORD m_dwBackColor3 = 0;
    bool m_bGradientVertical = true;
    CDuiString m_sBkImage;
    CDuiString m_sForeImage;
    DWORD m_dwForeColor = 0;
    DWORD m_dwBorderColor = 0;
    DWORD m_dwFocusBorderColor = 0;
    int m_nBorderSize = 0;
    int m_nBorderStyle = 0;
    SIZE m_cxyBorderRound{};
    RECT m_rcBorderSize{};
};

// Attribute value parsing shared by the controls and the builder.
DWORD ParseColorUI(LPCTSTR pstrValue);
RECT ParseRectUI(LPCTSTR pstrValue);
SIZE ParseSizeUI(LPCTSTR pstrValue);
bool ParseBoolUI(LPCTSTR pstrValue);
int ParseIntUI(LPCTSTR pstrValue);

// Cursor ids of the "cursor" attribute (the usual IDC_ numbers).
enum : int {
    UICURSOR_ARROW = 32512,
    UICURSOR_IBEAM = 32513,
    UICURSOR_WAIT = 32514,
    UICURSOR_CROSS = 32515,
    UICURSOR_UPARROW = 32516,
    UICURSOR_SIZE = 32640,
    UICURSOR_ICON = 32641,
    UICURSOR_SIZENWSE = 32642,
    UICURSOR_SIZENESW = 32643,
    UICURSOR_SIZEWE = 32644,
    UICURSOR_SIZENS = 32645,
    UICURSOR_SIZEALL = 32646,
    UICURSOR_NO = 32648,
    UICURSOR_HAND = 32649,
    UICURSOR_APPSTARTING = 32650,
    UICURSOR_HELP = 32651,
};
int ParseCursorUI(LPCTSTR pstrValue);

}  // namespace DuiLib
