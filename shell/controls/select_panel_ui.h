#pragma once

// The panel that holds a device picture's key and light buttons and selects
// several of them by dragging a rectangle over its empty area. A completed
// drag marks every key button whose rectangle overlaps the dragged one as
// selected (all others unselected) and sends "click_select_end"; a click
// without a drag changes nothing and sends nothing.

#include "platform/ui/container.h"

class CSelectPanelUI : public DuiLib::CVerticalLayoutUI {
public:
    static constexpr const wchar_t* kClassName = L"SelectPanel";

    CSelectPanelUI();
    static DuiLib::CControlUI* CreateControl();

    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;
    void DoEvent(DuiLib::TEventUI& event) override;
    bool DoPaint(DuiLib::HDC hDC, const DuiLib::RECT& rcPaint, DuiLib::CControlUI* pStopControl) override;

    // The normalized rectangle of the last drag (left <= right, top <= bottom).
    const DuiLib::RECT& GetSelectionRect() const { return m_rcSelection; }
    bool IsDragging() const { return m_bDragging; }

private:
    void SelectButtonsInRect();

    DuiLib::POINT m_ptStart{};
    DuiLib::POINT m_ptCurrent{};
    bool m_bDragging = false;
    int m_nButtonDown = 0;
    DuiLib::RECT m_rcSelection{};
};
