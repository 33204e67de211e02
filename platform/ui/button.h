#pragma once

#include "platform/ui/label.h"

namespace DuiLib {

// A label that takes clicks: "click" on release inside, images and colours
// for the normal, hot, pushed, focused and disabled states. It can select
// a page of a tab layout (bindtablayoutname, bindtabindex).
class CButtonUI : public CLabelUI {
public:
    CButtonUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    bool Activate() override;
    void SetEnabled(bool bEnable = true) override;
    void DoEvent(TEventUI& event) override;

    LPCTSTR GetNormalImage() const { return m_sNormalImage; }
    void SetNormalImage(LPCTSTR s) {
        m_sNormalImage = s;
        Invalidate();
    }
    LPCTSTR GetHotImage() const { return m_sHotImage; }
    void SetHotImage(LPCTSTR s) {
        m_sHotImage = s;
        Invalidate();
    }
    LPCTSTR GetPushedImage() const { return m_sPushedImage; }
    void SetPushedImage(LPCTSTR s) {
        m_sPushedImage = s;
        Invalidate();
    }
    LPCTSTR GetFocusedImage() const { return m_sFocusedImage; }
    void SetFocusedImage(LPCTSTR s) {
        m_sFocusedImage = s;
        Invalidate();
    }
    LPCTSTR GetDisabledImage() const { return m_sDisabledImage; }
    void SetDisabledImage(LPCTSTR s) {
        m_sDisabledImage = s;
        Invalidate();
    }
    void SetHotBkColor(DWORD c) {
        m_dwHotBkColor = c;
        Invalidate();
    }
    DWORD GetHotBkColor() const { return m_dwHotBkColor; }
    void SetPushedBkColor(DWORD c) {
        m_dwPushedBkColor = c;
        Invalidate();
    }
    void SetHotTextColor(DWORD c) {
        m_dwHotTextColor = c;
        Invalidate();
    }
    DWORD GetHotTextColor() const { return m_dwHotTextColor; }
    void SetPushedTextColor(DWORD c) {
        m_dwPushedTextColor = c;
        Invalidate();
    }
    void SetFocusedTextColor(DWORD c) {
        m_dwFocusedTextColor = c;
        Invalidate();
    }

    void BindTabIndex(int index) { m_iBindTabIndex = index; }
    void BindTabLayoutName(LPCTSTR name) { m_sBindTabLayoutName = name; }
    void BindTriggerTabSel(int iSetSelectIndex = -1);
    int GetBindTabLayoutIndex() const { return m_iBindTabIndex; }
    LPCTSTR GetBindTabLayoutName() const { return m_sBindTabLayoutName; }

    UINT GetButtonState() const { return m_uButtonState; }
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintText(HDC hDC) override;
    void PaintBkColor(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;

protected:
    UINT m_uButtonState = 0;
    CDuiString m_sNormalImage, m_sHotImage, m_sPushedImage, m_sFocusedImage, m_sDisabledImage;
    CDuiString m_sHotForeImage, m_sPushedForeImage;
    DWORD m_dwHotBkColor = 0, m_dwPushedBkColor = 0, m_dwDisabledBkColor = 0;
    DWORD m_dwHotTextColor = 0, m_dwPushedTextColor = 0, m_dwFocusedTextColor = 0;
    int m_iBindTabIndex = -1;
    CDuiString m_sBindTabLayoutName;
};

// A button with a selected state; options of one group select one another
// away. An option without a group is a check box.
class COptionUI : public CButtonUI {
public:
    ~COptionUI() override;
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;

    bool Activate() override;
    void SetEnabled(bool bEnable = true) override;

    LPCTSTR GetGroup() const { return m_sGroupName; }
    void SetGroup(LPCTSTR pStrGroupName = nullptr);
    // What the group is limited to: the nearest option scope above (see
    // CControlUI::IsOptionScope).
    const CControlUI* GroupScope() const;
    bool IsSelected() const { return m_bSelected; }
    // Changes the state; "selectchanged" goes out when bTriggerEvent is set
    // (in a group only for the option that becomes selected).
    virtual void Selected(bool bSelected, bool bTriggerEvent = true);

    LPCTSTR GetSelectedImage() const { return m_sSelectedImage; }
    void SetSelectedImage(LPCTSTR s) {
        m_sSelectedImage = s;
        Invalidate();
    }
    void SetSelectedTextColor(DWORD c) {
        m_dwSelectedTextColor = c;
        Invalidate();
    }
    DWORD GetSelectedTextColor() const { return m_dwSelectedTextColor; }
    void SetSelectedBkColor(DWORD c) {
        m_dwSelectedBkColor = c;
        Invalidate();
    }
    DWORD GetSelectBkColor() const { return m_dwSelectedBkColor; }
    // A frame drawn around the option while it is selected: the mark of a
    // swatch or picture whose colours stay as they are.
    void SetSelectedBorderColor(DWORD c) {
        m_dwSelectedBorderColor = c;
        Invalidate();
    }

    // How the state shows: by the colours and images alone, or by a drawn
    // indicator left of the text ("indicator" attribute "radio": a ring
    // with a dot when selected; "check": a box with a tick when selected).
    // With an indicator the selected background colour is the indicator's
    // colour and the background stays as it is.
    enum class Indicator { None, Radio, Check };
    Indicator GetIndicator() const { return m_indicator; }
    void SetIndicator(Indicator indicator);

    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintBkColor(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;
    void PaintBorder(HDC hDC) override;
    RECT GetTextArea() const override;

protected:
    // The indicator's square (empty without one).
    RECT IndicatorRect() const;
    void PaintIndicator(HDC hDC);

    Indicator m_indicator = Indicator::None;
    bool m_bSelected = false;
    CDuiString m_sGroupName;
    CDuiString m_sSelectedImage, m_sSelectedHotImage, m_sSelectedPushedImage, m_sSelectedDisabledImage;
    CDuiString m_sSelectedForeImage;
    DWORD m_dwSelectedTextColor = 0;
    DWORD m_dwSelectedBkColor = 0;
    DWORD m_dwSelectedBorderColor = 0;
};

class CCheckBoxUI : public COptionUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetCheck(bool bCheck, bool bTriggerEvent = true) { Selected(bCheck, bTriggerEvent); }
    bool GetCheck() const { return IsSelected(); }
};

}  // namespace DuiLib
