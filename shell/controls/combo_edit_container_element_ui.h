#pragma once

// A list row whose content is built from its own skin
// ("XML\CustomControlXML\ComboEditElementItem.xml"): two texts ("text1",
// "text2") and a delay field ("delay_edit"). A press selects the row (Ctrl
// adds it to or takes it from a multiple selection) and the release sends
// "itemclick".

#include "platform/ui/list.h"

class CComboEditContainerElementUI : public DuiLib::CListContainerElementUI, public DuiLib::INotifyUI {
public:
    static constexpr const wchar_t* kClassName = L"ComboEditContainerElement";
    static constexpr const wchar_t* kSkin = L"XML\\CustomControlXML\\ComboEditElementItem.xml";

    static DuiLib::CControlUI* CreateInstance();

    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;
    void DoInit() override;
    void DoEvent(DuiLib::TEventUI& event) override;
    // "normalimage", "hotimage" and "selectedimage" are ignored; the rest is
    // the container's.
    void SetAttribute(DuiLib::LPCTSTR pstrName, DuiLib::LPCTSTR pstrValue) override;
    void PaintStatusImage(DuiLib::HDC) override {}
    // "selectchanged", or "return" from this row's delay field, marks the row modified.
    void Notify(DuiLib::TNotifyUI& msg) override;

    // This row's own controls (null until built, or when its skin lacks them).
    DuiLib::CControlUI* GetText1() const { return m_pText1; }
    DuiLib::CControlUI* GetText2() const { return m_pText2; }
    DuiLib::CControlUI* GetDelayEdit() const { return m_pDelayEdit; }
    bool IsModified() const { return m_bModified; }

private:
    DuiLib::CControlUI* m_pText1 = nullptr;
    DuiLib::CControlUI* m_pText2 = nullptr;
    DuiLib::CControlUI* m_pDelayEdit = nullptr;
    bool m_bModified = false;
};
