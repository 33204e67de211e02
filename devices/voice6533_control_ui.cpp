#include "devices/voice6533_control_ui.h"

#include <string>

#include "platform/ui/button.h"
#include "platform/ui/combo.h"
#include "platform/ui/edit.h"
#include "platform/ui/list.h"
#include "platform/ui/progress.h"

using namespace DuiLib;

namespace {
constexpr wchar_t kComboName[] = L"custom_eq_name_combo";
constexpr wchar_t kEditName[] = L"custom_eq_name_edit";
const std::wstring kBandSlider = L"6533_eq_hz_slider_";
const std::wstring kEqOption = L"6533_eq_option_";
}  // namespace

CControlUI* CVoice6533ControlUI::CreateInstance() { return new CVoice6533ControlUI(); }

COptionUI* CVoice6533ControlUI::Option(const std::wstring& name) { return m_children.Find<COptionUI>(name, L"Option"); }
CSliderUI* CVoice6533ControlUI::Slider(const std::wstring& name) { return m_children.Find<CSliderUI>(name, L"Slider"); }
CComboUI* CVoice6533ControlUI::Combo() { return m_children.Find<CComboUI>(kComboName, L"Combo"); }

void CVoice6533ControlUI::EnableCustomEqLayout(bool on) {
    if (auto* layout = m_children.Find<CControlUI>(L"custom_eq_option_layout", L"Control")) layout->SetEnabled(on);
}

void CVoice6533ControlUI::SelectEqOption(int n) {
    for (int i = 1; i <= kEqOptions; ++i)
        if (COptionUI* option = Option(kEqOption + std::to_wstring(i))) option->Selected(false, false);
    m_nEqOption = 0;
    if (n < 1 || n > kEqOptions) return;
    if (COptionUI* option = Option(kEqOption + std::to_wstring(n))) option->Selected(true, false);
    m_nEqOption = n;
}

void CVoice6533ControlUI::SetEqBandValue(int band, int value) {
    // Looked up on every call: the bands are many and set often only at refresh.
    CControlUI* c = FindSubControl((kBandSlider + std::to_wstring(band)).c_str());
    if (auto* slider = c ? static_cast<CSliderUI*>(c->GetInterface(L"Slider")) : nullptr) slider->SetValue(value);
}

int CVoice6533ControlUI::GetEqBandValue(int band) {
    CControlUI* c = FindSubControl((kBandSlider + std::to_wstring(band)).c_str());
    auto* slider = c ? static_cast<CSliderUI*>(c->GetInterface(L"Slider")) : nullptr;
    return slider ? slider->GetValue() : -1;
}

void CVoice6533ControlUI::SetMicInOption(bool on) {
    if (COptionUI* option = Option(L"6533_MicIn_option")) option->Selected(on, false);
}

void CVoice6533ControlUI::SetMicMonitorOption(bool on) {
    if (COptionUI* option = Option(L"6533_MicMoniter_option")) option->Selected(on, false);
}

void CVoice6533ControlUI::SetMicInValue(int value) {
    if (CSliderUI* slider = Slider(L"6533_MicIn_slider")) slider->SetValue(value);
}

void CVoice6533ControlUI::SetMicMonitorValue(int value) {
    if (CSliderUI* slider = Slider(L"6533_MicMoniter_slider")) slider->SetValue(value);
}

int CVoice6533ControlUI::GetMicInValue() {
    CSliderUI* slider = Slider(L"6533_MicIn_slider");
    return slider ? slider->GetValue() : -1;
}

int CVoice6533ControlUI::GetMicMonitorValue() {
    CSliderUI* slider = Slider(L"6533_MicMoniter_slider");
    return slider ? slider->GetValue() : -1;
}

void CVoice6533ControlUI::SetCustomEqName(const CDuiString& text) {
    if (auto* edit = m_children.Find<CEditUI>(kEditName, L"Edit")) edit->SetText(text);
}

CDuiString CVoice6533ControlUI::GetCustomEqName() {
    auto* edit = m_children.Find<CEditUI>(kEditName, L"Edit");
    return edit ? edit->GetText() : CDuiString();
}

void CVoice6533ControlUI::AddCustomEqItem(const CDuiString& name) {
    CComboUI* combo = Combo();
    if (!combo) return;
    auto* row = new CListLabelElementUI();
    row->SetFixedHeight(kRowHeight);
    row->SetText(name);
    row->SetUserData(name);
    combo->Add(row);
}

int CVoice6533ControlUI::GetCustomEqSelection() {
    CComboUI* combo = Combo();
    return combo ? combo->GetCurSel() : -1;
}

int CVoice6533ControlUI::GetCustomEqCount() {
    CComboUI* combo = Combo();
    return combo ? combo->GetCount() : 0;
}

void CVoice6533ControlUI::SelectCustomEqItem(int n) {
    if (CComboUI* combo = Combo()) combo->SelectItem1(n, false, false);
    SetCustomEqName(L"");
}

void CVoice6533ControlUI::RemoveCustomEqItem(int n) {
    CComboUI* combo = Combo();
    if (combo && n >= 0 && n < combo->GetCount()) combo->RemoveAt(n);
}

void CVoice6533ControlUI::RemoveAllCustomEqItems() {
    if (CComboUI* combo = Combo()) combo->RemoveAll();
}

CDuiString CVoice6533ControlUI::GetCustomEqItemText(int n) {
    CComboUI* combo = Combo();
    if (!combo || n < 0 || n >= combo->GetCount()) return CDuiString();
    CControlUI* row = combo->GetItemAt(n);
    return row ? row->GetText() : CDuiString();
}
