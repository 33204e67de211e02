#pragma once
// CVoice6533ControlUI: the headset's equaliser and microphone panel. A
// passive view: the headset page sets what it shows and reads its values;
// the user's actions reach the page through the main window.

#include "devices/panel_children.h"
#include "platform/ui/container.h"
#include "platform/ui/dui_string.h"

namespace DuiLib {
class CComboUI;
class COptionUI;
class CSliderUI;
class CEditUI;
}  // namespace DuiLib

class CVoice6533ControlUI : public DuiLib::CHorizontalLayoutUI {
public:
    static constexpr int kEqOptions = 13;
    static constexpr int kBands = 10;
    static constexpr int kRowHeight = 30;

    CVoice6533ControlUI() : m_children(*this) { SetOptionScope(); }
    static DuiLib::CControlUI* CreateInstance();

    void SetDeviceKind(int kind) { m_nDeviceKind = kind; }
    int GetDeviceKind() const { return m_nDeviceKind; }
    void EnableCustomEqLayout(bool on);
    // Deselects options 1..13, then selects option n (1..13) and remembers it; else remembers 0.
    void SelectEqOption(int n);
    int GetSelectedEqOption() const { return m_nEqOption; }
    void SetEqBandValue(int band, int value);
    int GetEqBandValue(int band);
    void SetMicInOption(bool on);
    void SetMicMonitorOption(bool on);
    void SetMicInValue(int value);
    void SetMicMonitorValue(int value);
    int GetMicInValue();
    int GetMicMonitorValue();
    void SetCustomEqName(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetCustomEqName();
    void AddCustomEqItem(const DuiLib::CDuiString& name);
    int GetCustomEqSelection();
    int GetCustomEqCount();
    // Selects row n (-1: none) without a notification, then empties the name edit.
    void SelectCustomEqItem(int n);
    void RemoveCustomEqItem(int n);
    void RemoveAllCustomEqItems();
    DuiLib::CDuiString GetCustomEqItemText(int n);

private:
    DuiLib::COptionUI* Option(const std::wstring& name);
    DuiLib::CSliderUI* Slider(const std::wstring& name);
    DuiLib::CComboUI* Combo();

    PanelChildren m_children;
    int m_nDeviceKind = 0;
    int m_nEqOption = 0;
};
