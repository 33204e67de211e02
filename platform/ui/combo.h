#pragma once

// CComboUI: shows the selected row's text; a click opens a drop-down window
// with the rows (it closes when it loses the focus or a row is chosen).
// Selecting sends "itemselect" (wParam new, lParam old index) unless told
// not to.

#include "platform/ui/container.h"
#include "platform/ui/list.h"

namespace DuiLib {

class CComboWnd;

class CComboUI : public CContainerUI, public IListOwnerUI {
public:
    CComboUI();
    ~CComboUI() override;
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override { return UIFLAG_TABSTOP; }

    CDuiString GetText() const override;
    void SetEnabled(bool bEnable = true) override;
    // The rows live in the drop-down, not on the combo's page: hiding the
    // page (or the combo) must not hide them, or a combo on a page that is
    // not shown could take no selection.
    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;

    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl, bool bDoNotDestroy = false) override;
    bool RemoveAt(int iIndex, bool bDoNotDestroy = false) override;
    void RemoveAll() override;

    bool Activate() override;
    int GetCurSel() const override { return m_iCurSel; }
    bool SelectItem(int iIndex, bool bTakeFocus = false, bool bTriggerEvent = true) override;
    // As SelectItem; the notification goes out only when bNotify is set.
    bool SelectItem1(int iIndex, bool bTakeFocus, bool bNotify);
    // Selects the next choosable row above (step < 0) or below the current
    // one, keeping an open list open.
    void SelectNeighbour(int step);
    TListInfoUI* GetListInfo() override { return &m_ListInfo; }
    SIZE GetDropBoxSize() const { return m_szDropBox; }
    void SetDropBoxSize(SIZE sz) { m_szDropBox = sz; }
    bool IsDropped() const { return m_pWindow != nullptr; }
    CComboWnd* GetDropWindow() const { return m_pWindow; }
    void CloseDropWindow();

    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

private:
    friend class CComboWnd;
    void Reindex();

    CComboWnd* m_pWindow = nullptr;
    int m_iCurSel = -1;
    RECT m_rcTextPadding{};
    SIZE m_szDropBox{0, 150};
    UINT m_uButtonState = 0;
    int m_iFont = -1;
    DWORD m_dwTextColor = 0;
    CDuiString m_sNormalImage, m_sHotImage, m_sPushedImage, m_sFocusedImage, m_sDisabledImage;
    TListInfoUI m_ListInfo;
};

}  // namespace DuiLib
