#pragma once
// The headset page's picture and audio panels, built in code with every
// control the panels look for (or without some, to test their absence).

#include <set>
#include <string>

#include "devices/corvane_hs6533_device.h"
#include "devices/magic_control_ui.h"
#include "devices/voice6533_control_ui.h"
#include "platform/ui/button.h"
#include "platform/ui/combo.h"
#include "platform/ui/edit.h"
#include "platform/ui/progress.h"

namespace devicestest {

template <class T>
T* AddNamed(DuiLib::CContainerUI& parent, const std::wstring& name, const std::set<std::wstring>& skip) {
    if (skip.count(name)) return nullptr;
    auto* c = new T();
    c->SetName(name.c_str());
    parent.Add(c);
    return c;
}

inline CVoice6533ControlUI* MakeVoicePanel(const std::set<std::wstring>& skip = {}) {
    auto* panel = new CVoice6533ControlUI();
    panel->SetName(L"Voice6533ControlItem");
    for (int i = 1; i <= 13; ++i) AddNamed<DuiLib::COptionUI>(*panel, L"6533_eq_option_" + std::to_wstring(i), skip);
    for (int k = 0; k < 10; ++k) {
        if (auto* s = AddNamed<DuiLib::CSliderUI>(*panel, L"6533_eq_hz_slider_" + std::to_wstring(k), skip)) {
            s->SetMinValue(-20);
            s->SetMaxValue(20);
        }
    }
    auto* layout = AddNamed<DuiLib::CVerticalLayoutUI>(*panel, L"custom_eq_option_layout", skip);
    DuiLib::CContainerUI& inner = layout ? static_cast<DuiLib::CContainerUI&>(*layout) : *panel;
    AddNamed<DuiLib::CComboUI>(inner, L"custom_eq_name_combo", skip);
    AddNamed<DuiLib::CEditUI>(inner, L"custom_eq_name_edit", skip);
    AddNamed<DuiLib::COptionUI>(*panel, L"6533_MicIn_option", skip);
    AddNamed<DuiLib::CSliderUI>(*panel, L"6533_MicIn_slider", skip);
    AddNamed<DuiLib::COptionUI>(*panel, L"6533_MicMoniter_option", skip);
    AddNamed<DuiLib::CSliderUI>(*panel, L"6533_MicMoniter_slider", skip);
    return panel;
}

inline CMagicControlUI* MakeMagicPanel(const std::set<std::wstring>& skip = {}) {
    auto* panel = new CMagicControlUI();
    panel->SetName(L"MagicControlItem");
    AddNamed<DuiLib::COptionUI>(*panel, L"magic_enable_option", skip);
    auto* layout = AddNamed<DuiLib::CHorizontalLayoutUI>(*panel, L"magic_option_layout", skip);
    DuiLib::CContainerUI& inner = layout ? static_cast<DuiLib::CContainerUI&>(*layout) : *panel;
    for (int i = 1; i <= 4; ++i) AddNamed<DuiLib::COptionUI>(inner, L"magic_option_" + std::to_wstring(i), skip);
    return panel;
}

// The virtual 7.1 panel: its surround switch.
inline DuiLib::CVerticalLayoutUI* MakeVirtualPanel() {
    auto* panel = new DuiLib::CVerticalLayoutUI();
    panel->SetName(L"VirtualSetControlItem");
    AddNamed<DuiLib::COptionUI>(*panel, L"virtual_surround_option", {});
    return panel;
}

// Gives the page its picture and its three audio panels, as its skin would.
inline void AddHeadsetControls(CCorvaneHS6533Device& page) {
    auto* picture = new DuiLib::CContainerUI();
    picture->SetName(L"hs6533_device_key_light");
    page.Add(picture);
    page.Add(MakeVoicePanel());
    page.Add(MakeMagicPanel());
    page.Add(MakeVirtualPanel());
    page.SetPageXml(L"XML\\DeviceXml\\hs6533device.xml");
}

}  // namespace devicestest
