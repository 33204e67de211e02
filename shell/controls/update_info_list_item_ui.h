#pragma once

// CUpdateInfoListItemUI: one row of the settings window's update list. It
// shows a check box with the device's or the program's name, the old and the
// new version, a status text, a progress indicator with its percentage and a
// done mark, and carries one of nine states (0 to 8) that decide what of it
// is shown. Built from "XML\CustomControlXML\device_Update_list_item.xml";
// every child it drives may be missing from the skin, and then that part of
// an operation does nothing.

#include <array>

#include "platform/ui/button.h"
#include "platform/ui/list.h"

class CUpdateInfoListItemUI : public DuiLib::CListContainerElementUI {
public:
    static constexpr const wchar_t* kClassName = L"UpdateInfoListItemUI";
    static constexpr int kStateCount = 9;

    static DuiLib::CControlUI* CreateInstance();

    DuiLib::LPCTSTR GetClass() const override;
    void DrawItemBk(DuiLib::HDC hDC, const DuiLib::RECT& rcItem) override;

    // An unchanged state does nothing; a new one is stored and, when it is
    // 0 to 8, shown (status text, progress, done mark, check box and its
    // colours) with the percentage back at 0%.
    void SetState(int state);
    int GetState() const { return m_nState; }

    void SetName(DuiLib::LPCTSTR text);
    void SetOldVersion(DuiLib::LPCTSTR text);
    // The new version's label is hidden while the text is empty.
    void SetNewVersion(DuiLib::LPCTSTR text);
    DuiLib::CDuiString GetNewVersion();
    void SetProgress(int percent);
    int GetProgress() const { return m_nProgress; }
    bool IsChecked();
    void SetChecked(bool checked);
    void SetCheckEnabled(bool enabled);
    void SetCheckTextColor(DuiLib::DWORD color);
    void SetCheckDisabledTextColor(DuiLib::DWORD color);
    void SetCheckSelectedTextColor(DuiLib::DWORD color);

private:
    enum Child { kCheck, kOldRev, kNewRev, kStatusText, kDoneMark, kProgressRing, kProgressValue, kChildCount };
    DuiLib::CControlUI* ChildControl(Child child);
    DuiLib::CCheckBoxUI* CheckBox();
    void SetShownOf(Child child, bool shown);

    int m_nState = 0;
    int m_nProgress = 0;
    std::array<DuiLib::CControlUI*, kChildCount> m_children{};
};
