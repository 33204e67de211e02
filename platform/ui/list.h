#pragma once

// CListUI and its rows. A row sends "itemclick" when pressed and
// "itemactivate" when double-clicked; the list (or combo) that owns it
// selects it and sends "itemselect" with wParam the new and lParam the old
// index. Ctrl+click adds to or removes from the selection of a
// multi-select list.

#include "platform/ui/container.h"
#include "platform/ui/label.h"

#include <vector>

namespace DuiLib {

// How rows are drawn; kept by the list or combo that owns them.
struct TListInfoUI {
    int nFont = -1;
    UINT uTextStyle = 0x0004 | 0x0020;  // DT_VCENTER | DT_SINGLELINE
    RECT rcTextPadding{};
    DWORD dwTextColor = 0xFF000000;
    DWORD dwBkColor = 0;
    CDuiString sBkImage;
    DWORD dwSelectedTextColor = 0xFF000000;
    DWORD dwSelectedBkColor = 0xFFC1E3FF;
    CDuiString sSelectedImage;
    DWORD dwHotTextColor = 0xFF000000;
    DWORD dwHotBkColor = 0xFFE9F5FF;
    CDuiString sHotImage;
    DWORD dwDisabledTextColor = 0xFFCCCCCC;
    DWORD dwDisabledBkColor = 0;
    DWORD dwLineColor = 0;
    bool bShowHtml = false;
    // Applies an "item..." attribute; false when the name is not one.
    bool SetAttribute(LPCTSTR name, LPCTSTR value);
};

class IListItemUI {
public:
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int iIndex) = 0;
    virtual IListOwnerUI* GetOwner() = 0;
    virtual void SetOwner(CControlUI* pOwner) = 0;
    virtual bool IsSelected() const = 0;
    virtual bool Select(bool bSelect = true, bool bTriggerEvent = true) = 0;
    virtual bool SelectMulti(bool bSelect = true) = 0;

protected:
    ~IListItemUI() = default;
};

// Shared behaviour of rows: selection, hot state, click and activation.
class CListElementUI : public CControlUI, public IListItemUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override { return UIFLAG_WANTRETURN; }

    int GetIndex() const override { return m_iIndex; }
    void SetIndex(int iIndex) override { m_iIndex = iIndex; }
    IListOwnerUI* GetOwner() override { return m_pOwner; }
    void SetOwner(CControlUI* pOwner) override;
    bool IsSelected() const override { return m_bSelected; }
    bool Select(bool bSelect = true, bool bTriggerEvent = true) override;
    bool SelectMulti(bool bSelect = true) override;
    bool Activate() override;
    void SetVisible(bool bVisible = true) override;

    void DoEvent(TEventUI& event) override;
    void PaintBkColor(HDC hDC) override;
    // The row's background by its state (selected, hot, disabled).
    virtual void DrawItemBk(HDC hDC, const RECT& rcItem);

protected:
    TListInfoUI* ListInfo() const;
    void DrawRowBackground(HDC hDC);
    DWORD RowTextColor() const;

    int m_iIndex = -1;
    bool m_bSelected = false;
    UINT m_uButtonState = 0;
    IListOwnerUI* m_pOwner = nullptr;
    CControlUI* m_pOwnerControl = nullptr;
};

class CListLabelElementUI : public CListElementUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    SIZE EstimateSize(SIZE szAvailable) override;
    void PaintText(HDC hDC) override;
};

// A row of several columns of text.
class CListTextElementUI : public CListLabelElementUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    CDuiString GetText(int iIndex) const;
    void SetText(int iIndex, LPCTSTR pstrText);
    using CControlUI::GetText;
    using CControlUI::SetText;
    void PaintText(HDC hDC) override;

private:
    std::vector<CDuiString> m_aTexts;
};

// A row that holds other controls, laid out horizontally.
class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override { return UIFLAG_WANTRETURN; }

    int GetIndex() const override { return m_iIndex; }
    void SetIndex(int iIndex) override { m_iIndex = iIndex; }
    IListOwnerUI* GetOwner() override { return m_pOwner; }
    void SetOwner(CControlUI* pOwner) override;
    bool IsSelected() const override { return m_bSelected; }
    bool Select(bool bSelect = true, bool bTriggerEvent = true) override;
    bool SelectMulti(bool bSelect = true) override;
    bool Activate() override;
    void SetVisible(bool bVisible = true) override;

    void DoEvent(TEventUI& event) override;
    void PaintBkColor(HDC hDC) override;
    // The row's background by its state (selected, hot, disabled).
    virtual void DrawItemBk(HDC hDC, const RECT& rcItem);

protected:
    int m_iIndex = -1;
    bool m_bSelected = false;
    UINT m_uButtonState = 0;
    IListOwnerUI* m_pOwner = nullptr;
    CControlUI* m_pOwnerControl = nullptr;
};

class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
public:
    CListUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override { return UIFLAG_TABSTOP; }

    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl, bool bDoNotDestroy = false) override;
    bool RemoveAt(int iIndex, bool bDoNotDestroy = false) override;
    void RemoveAll() override;
    bool SetItemIndex(CControlUI* pControl, int iIndex) override;

    int GetCurSel() const override { return m_iCurSel; }
    bool SelectItem(int iIndex, bool bTakeFocus = false, bool bTriggerEvent = true) override;
    bool IsMultiSelect() const override { return m_bMultiSel; }
    void SetMultiSelect(bool bMultiSel);
    bool SelectMultiItem(int iIndex, bool bTakeFocus = false) override;
    bool UnSelectItem(int iIndex, bool bOthers = false) override;
    std::vector<int> GetSelectItems() const { return m_aSelItems; }
    int GetSelectItemCount() const { return static_cast<int>(m_aSelItems.size()); }
    void SelectAllItems();
    void UnSelectAllItems();

    // Scrolls so that the row is inside the visible part.
    void EnsureVisible(int iIndex);
    void Scroll(int dx, int dy);
    // Resets the list's transient state before it is refilled: the hot
    // row and the scroll position (the selection stays).
    void InitListCtrl();

    TListInfoUI* GetListInfo() override { return &m_ListInfo; }
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;

private:
    void Reindex(int from);

    int m_iCurSel = -1;
    bool m_bMultiSel = false;
    std::vector<int> m_aSelItems;
    TListInfoUI m_ListInfo;
};

}  // namespace DuiLib
