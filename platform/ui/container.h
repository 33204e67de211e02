#pragma once

// CContainerUI owns its children (removal destroys them unless told not
// to), lays them out in its inset rectangle, scrolls when its content
// overflows and scroll bars are enabled.

#include "platform/ui/control.h"

#include <vector>

namespace DuiLib {

class CScrollBarUI;

class IContainerUI {
public:
    virtual CControlUI* GetItemAt(int iIndex) const = 0;
    virtual int GetItemIndex(CControlUI* pControl) const = 0;
    virtual bool SetItemIndex(CControlUI* pControl, int iIndex) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* pControl) = 0;
    virtual bool AddAt(CControlUI* pControl, int iIndex) = 0;
    virtual bool Remove(CControlUI* pControl, bool bDoNotDestroy = false) = 0;
    virtual bool RemoveAt(int iIndex, bool bDoNotDestroy = false) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() = default;
};

class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    CControlUI* GetItemAt(int iIndex) const override;
    int GetItemIndex(CControlUI* pControl) const override;
    bool SetItemIndex(CControlUI* pControl, int iIndex) override;
    int GetCount() const override { return static_cast<int>(m_items.size()); }
    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl, bool bDoNotDestroy = false) override;
    bool RemoveAt(int iIndex, bool bDoNotDestroy = false) override;
    void RemoveAll() override;

    void DoEvent(TEventUI& event) override;
    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;
    void SetEnabled(bool bEnable = true) override;
    void SetMouseEnabled(bool bEnable = true) override { CControlUI::SetMouseEnabled(bEnable); }

    virtual RECT GetInset() const;
    virtual void SetInset(RECT rcInset);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int iPadding);
    virtual UINT GetChildAlign() const { return m_iChildAlign; }
    virtual void SetChildAlign(UINT iAlign) {
        m_iChildAlign = iAlign;
        NeedUpdate();
    }
    virtual UINT GetChildVAlign() const { return m_iChildVAlign; }
    virtual void SetChildVAlign(UINT iVAlign) {
        m_iChildVAlign = iVAlign;
        NeedUpdate();
    }
    virtual bool IsAutoDestroy() const { return m_bAutoDestroy; }
    virtual void SetAutoDestroy(bool bAuto) { m_bAutoDestroy = bAuto; }
    virtual bool IsDelayedDestroy() const { return m_bDelayedDestroy; }
    virtual void SetDelayedDestroy(bool bDelayed) { m_bDelayedDestroy = bDelayed; }
    virtual bool IsMouseChildEnabled() const { return m_bMouseChildEnabled; }
    virtual void SetMouseChildEnabled(bool bEnable = true) { m_bMouseChildEnabled = bEnable; }

    virtual int FindSelectable(int iIndex, bool bForward = true) const;

    RECT GetClientPos() const;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void Move(SIZE szOffset, bool bNeedInvalidate = true) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;

    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) override;

    // The first control in the subtree with the name (this one included).
    CControlUI* FindSubControl(LPCTSTR pstrSubControlName);

    // Scrolling.
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE szPos, bool bMsg = true);
    virtual void SetScrollStepSize(int nSize) { m_nScrollStepSize = nSize; }
    virtual int GetScrollStepSize() const { return m_nScrollStepSize > 0 ? m_nScrollStepSize : 8; }
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void EnableScrollBar(bool bEnableVertical = true, bool bEnableHorizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const { return m_pVerticalScrollBar; }
    virtual CScrollBarUI* GetHorizontalScrollBar() const { return m_pHorizontalScrollBar; }

protected:
    // Lays out a floating child by its "pos" within this container.
    virtual void SetFloatPos(int iIndex);
    // Shows or hides the scroll bars for content of the given size.
    virtual void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired);
    void DestroyChild(CControlUI* pControl);

    std::vector<CControlUI*> m_items;
    RECT m_rcInset{};
    // Room a layout leaves empty inside its inset (in pixels, scaled).
    RECT m_rcTrim{};
    int m_iChildPadding = 0;
    UINT m_iChildAlign = 0;
    UINT m_iChildVAlign = 0;
    bool m_bAutoDestroy = true;
    bool m_bDelayedDestroy = true;
    bool m_bMouseChildEnabled = true;
    int m_nScrollStepSize = 0;
    CScrollBarUI* m_pVerticalScrollBar = nullptr;
    CScrollBarUI* m_pHorizontalScrollBar = nullptr;
    CDuiString m_sVerticalScrollBarStyle;
    CDuiString m_sHorizontalScrollBarStyle;
};

class CVerticalLayoutUI : public CContainerUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
};

class CHorizontalLayoutUI : public CContainerUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    // "wholeitems": a row of equally wide children that scrolls shows only
    // whole children; the room that is left stands empty on both sides.
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;

private:
    bool m_bWholeItems = false;
};

// Shows one child at a time.
class CTabLayoutUI : public CContainerUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl, bool bDoNotDestroy = false) override;
    void RemoveAll() override;
    int GetCurSel() const { return m_iCurSel; }
    virtual bool SelectItem(int iIndex, bool bTriggerEvent = true);
    virtual bool SelectItem(CControlUI* pControl, bool bTriggerEvent = true);
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;

protected:
    int m_iCurSel = -1;
};

// A simple scroll bar: a track with a thumb that can be dragged.
class CScrollBarUI : public CControlUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetOwner(CContainerUI* pOwner) { m_pOwner = pOwner; }
    bool IsHorizontal() const { return m_bHorizontal; }
    void SetHorizontal(bool bHorizontal = true) { m_bHorizontal = bHorizontal; }
    int GetScrollRange() const { return m_nRange; }
    void SetScrollRange(int nRange);
    int GetScrollPos() const { return m_nScrollPos; }
    void SetScrollPos(int nPos);
    int GetLineSize() const { return m_nLineSize; }
    void SetLineSize(int nSize) { m_nLineSize = nSize; }
    int GetThickness() const;
    RECT GetThumbRect() const;
    void DoEvent(TEventUI& event) override;
    void PaintBkColor(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;

private:
    CContainerUI* m_pOwner = nullptr;
    bool m_bHorizontal = false;
    int m_nRange = 100;
    int m_nScrollPos = 0;
    int m_nLineSize = 8;
    int m_nThickness = 8;
    DWORD m_dwThumbColor = 0xFFB0B0B0;
    bool m_bDragging = false;
    POINT m_ptDrag{};
    int m_nDragPos = 0;
};

}  // namespace DuiLib
