// The mouse page's settings controls: the five DPI stages (enable and select
// checks, slider, edit, colour), the report rate, the pointer, scroll and
// double-click controls and the option tabs.
#include <cwchar>
#include <string>

#include "devices/corvane_mouse_device.h"
#include "devices/mouse_dpi.h"
#include "platform/ui/controls.h"

using namespace DuiLib;

namespace {

constexpr int kStages = int(mouse_block::kStageCount);
constexpr int kPollingOptions = 5;

constexpr wchar_t kStageLayout[] = L"DPI_layout_";
constexpr wchar_t kEnableCheck[] = L"DPI_enable_check_";
constexpr wchar_t kSelectCheck[] = L"DPI_select_check_";
constexpr wchar_t kSlider[] = L"DPI_slider_";
constexpr wchar_t kEdit[] = L"DPI_edit_";
constexpr wchar_t kColorButton[] = L"DPI_color_option_";
constexpr wchar_t kPollingOption[] = L"polling_rate_option_";
constexpr wchar_t kPointerSpeed[] = L"pointer_speed_slider";
constexpr wchar_t kPointerPrecision[] = L"pointer_precision_check";
constexpr wchar_t kScrollByPage[] = L"scrolls_page_check";
constexpr wchar_t kScrollSpeed[] = L"scroll_speed_slider";
constexpr wchar_t kDoubleClick[] = L"double_click_slider";
constexpr wchar_t kOptionTabs[] = L"mouse_device_seting_layout";
constexpr wchar_t kOptionRow[] = L"mouse_option_layout";
constexpr wchar_t kOptionName[] = L"mouse_device_seting_option_";

constexpr wchar_t kSliderBack[] = L"Control/SliderBar_BK1.png";
constexpr wchar_t kActiveThumb[] = L"Control/SliderBar1_Thumb.png";
constexpr wchar_t kOtherThumb[] = L"Control/SliderBar2_Thumb.png";

std::wstring Numbered(const wchar_t* base, int n) { return base + std::to_wstring(n); }

bool IsStage(int stage) { return stage >= 0 && stage < kStages; }

template <class T>
T* As(CControlUI* c, const wchar_t* interfaceName) {
    return c ? static_cast<T*>(c->GetInterface(interfaceName)) : nullptr;
}

}  // namespace

CControlUI* CCorvaneMouseDevice::FindSettingsControl(const wchar_t* name) {
    const auto it = m_settingsControls.find(name);
    if (it != m_settingsControls.end()) return it->second;
    // Only what was found is kept: a control added later is still found.
    CControlUI* c = FindSubControl(name);
    if (c) m_settingsControls.emplace(name, c);
    return c;
}

// --- DPI conversions --------------------------------------------------------------------

int CCorvaneMouseDevice::PositionToDpi(int position) const {
    return MouseDpiFromPosition(position, MouseDpiScale::FromInfo(m_deviceInfo));
}

int CCorvaneMouseDevice::DpiToPosition(int dpi) const {
    return MouseDpiPositionFromValue(dpi, MouseDpiScale::FromInfo(m_deviceInfo));
}

// --- DPI stages ---------------------------------------------------------------------------

void CCorvaneMouseDevice::SetActiveDpiStage(int stage) {
    m_profile.SetActiveDpiStage(stage);
    for (int i = 0; i < kStages; ++i)
        if (auto* check = As<COptionUI>(FindSettingsControl(Numbered(kSelectCheck, i).c_str()), L"Option"))
            check->Selected(i == stage, false);
}

void CCorvaneMouseDevice::SetDpiStages(const std::vector<DpiStage>& stages) {
    m_dpiStages = stages;
    m_profile.SetDpiStages(stages);
}

uint32_t CCorvaneMouseDevice::GetDpiStageColor(int stage) {
    CControlUI* button = IsStage(stage) ? FindSettingsControl(Numbered(kColorButton, stage).c_str()) : nullptr;
    return button ? button->GetBkColor() : 0;
}

void CCorvaneMouseDevice::SetDpiStageColor(int stage, uint32_t color) {
    if (CControlUI* button = IsStage(stage) ? FindSettingsControl(Numbered(kColorButton, stage).c_str()) : nullptr)
        button->SetBkColor(color);
}

void CCorvaneMouseDevice::EnableDpiStage(int stage, bool enabled) {
    if (!IsStage(stage)) return;
    if (CControlUI* row = FindSettingsControl(Numbered(kStageLayout, stage).c_str())) row->SetEnabled(enabled);
    if (auto* check = As<COptionUI>(FindSettingsControl(Numbered(kEnableCheck, stage).c_str()), L"Option"))
        check->Selected(enabled, false);

    COptionUI* checks[kStages] = {};
    int inUse = 0;
    for (int i = 0; i < kStages; ++i) {
        checks[i] = As<COptionUI>(FindSettingsControl(Numbered(kEnableCheck, i).c_str()), L"Option");
        if (checks[i] && checks[i]->IsSelected()) ++inUse;
    }
    if (!enabled) {
        // The last stage in use cannot be switched off.
        if (inUse == 1)
            for (COptionUI* c : checks)
                if (c && c->IsSelected()) c->SetEnabled(false);
        return;
    }
    // A second stage in use frees a check locked as the last one; the active
    // stage's check stays locked.
    if (inUse > 1) {
        const int active = m_profile.GetActiveDpiStage();
        for (int i = 0; i < kStages; ++i)
            if (checks[i] && i != active) checks[i]->SetEnabled(true);
    }
}

bool CCorvaneMouseDevice::IsDpiStageEnabled(int stage) {
    auto* check =
        IsStage(stage) ? As<COptionUI>(FindSettingsControl(Numbered(kEnableCheck, stage).c_str()), L"Option") : nullptr;
    return check && check->IsSelected();
}

void CCorvaneMouseDevice::SetDpiSliderValue(int stage, int position) {
    if (!IsStage(stage)) return;
    auto* slider = As<CSliderUI>(FindSettingsControl(Numbered(kSlider, stage).c_str()), L"Slider");
    if (slider) slider->SetValue(position);
    if (CControlUI* edit = FindSettingsControl(Numbered(kEdit, stage).c_str())) {
        wchar_t text[16];
        std::swprintf(text, 16, L"%d", PositionToDpi(position));
        edit->SetText(text);
    }
    // The active stage's row looks different and cannot be switched off.
    const bool active = stage == m_profile.GetActiveDpiStage();
    if (slider) {
        const wchar_t* thumb = active ? kActiveThumb : kOtherThumb;
        slider->SetForeImage(kSliderBack);
        slider->SetThumbImage(thumb);
        slider->SetAttribute(L"thumbhotimage", thumb);
        slider->SetAttribute(L"thumbpushedimage", thumb);
    }
    if (auto* check = As<COptionUI>(FindSettingsControl(Numbered(kEnableCheck, stage).c_str()), L"Option"))
        check->SetEnabled(!active);
    if (auto* check = As<COptionUI>(FindSettingsControl(Numbered(kSelectCheck, stage).c_str()), L"Option"))
        check->Selected(active, false);
}

int CCorvaneMouseDevice::GetDpiSliderValue(int stage) {
    auto* slider =
        IsStage(stage) ? As<CSliderUI>(FindSettingsControl(Numbered(kSlider, stage).c_str()), L"Slider") : nullptr;
    return slider ? slider->GetValue() : 0;
}

int CCorvaneMouseDevice::GetDpiEditValue(int stage) {
    CControlUI* edit = IsStage(stage) ? FindSettingsControl(Numbered(kEdit, stage).c_str()) : nullptr;
    return edit ? MouseDpiPositionFromText(edit->GetText().GetData(), MouseDpiScale::FromInfo(m_deviceInfo)) : 0;
}

// --- Report rate, pointer, scrolling, double click ------------------------------------------

void CCorvaneMouseDevice::SetSystemStages(const MouseSystemStages& stages) {
    m_systemStages = stages;
    const auto words = stages.ToWords();
    m_profile.SetSystemStages(words[0], words[1], words[2]);
}

void CCorvaneMouseDevice::SetPollingRateOption(int index) {
    if (index < 0 || index >= kPollingOptions) index = 0;
    for (int i = 0; i < kPollingOptions; ++i)
        if (auto* option = As<COptionUI>(FindSettingsControl(Numbered(kPollingOption, i).c_str()), L"Option"))
            option->Selected(i == index, false);
}

void CCorvaneMouseDevice::ShowSystemStages() {
    const MouseSystemStages& s = m_systemStages;
    SetPollingRateOption(s.reportRate);
    // The sliders keep a stored value outside their range at its nearer end.
    if (auto* pointer = As<CSliderUI>(FindSettingsControl(kPointerSpeed), L"Slider")) pointer->SetValue(s.mouseSpeed);
    if (auto* precision = As<COptionUI>(FindSettingsControl(kPointerPrecision), L"Option"))
        precision->Selected(s.pointerPrecision != 0, false);
    SetScrollSettings(s.scrollPage != 0, s.wheelScrollLines);
    if (auto* doubleClick = As<CSliderUI>(FindSettingsControl(kDoubleClick), L"Slider"))
        doubleClick->SetValue(s.doubleClickTime);
}

int CCorvaneMouseDevice::GetPointerSpeed() {
    auto* slider = As<CSliderUI>(FindSettingsControl(kPointerSpeed), L"Slider");
    return slider ? slider->GetValue() : 0;
}

bool CCorvaneMouseDevice::GetPointerPrecision() {
    auto* check = As<COptionUI>(FindSettingsControl(kPointerPrecision), L"Option");
    return check && check->IsSelected();
}

void CCorvaneMouseDevice::SetScrollSettings(bool byPage, int speed) {
    auto* check = As<COptionUI>(FindSettingsControl(kScrollByPage), L"Option");
    auto* slider = As<CSliderUI>(FindSettingsControl(kScrollSpeed), L"Slider");
    if (!check || !slider) return;
    check->Selected(byPage, false);
    slider->SetValue(speed);
}

bool CCorvaneMouseDevice::GetScrollByPage() {
    auto* check = As<COptionUI>(FindSettingsControl(kScrollByPage), L"Option");
    return check && check->IsSelected();
}

int CCorvaneMouseDevice::GetScrollSpeed() {
    auto* slider = As<CSliderUI>(FindSettingsControl(kScrollSpeed), L"Slider");
    return slider ? slider->GetValue() : 0;
}

int CCorvaneMouseDevice::GetDoubleClickSpeed() {
    auto* slider = As<CSliderUI>(FindSettingsControl(kDoubleClick), L"Slider");
    return slider ? slider->GetValue() : 0;
}

int CCorvaneMouseDevice::GetDoubleClickSpeedMax() {
    auto* slider = As<CSliderUI>(FindSettingsControl(kDoubleClick), L"Slider");
    return slider ? slider->GetMaxValue() : 0;
}

// --- Option tabs ------------------------------------------------------------------------------

void CCorvaneMouseDevice::SelectOptionTab(int n) {
    auto* tabs = As<CTabLayoutUI>(FindSettingsControl(kOptionTabs), L"TabLayout");
    if (!tabs) return;
    if (n < 0 || n >= tabs->GetCount()) n = 0;
    tabs->SelectItem(n);
    auto* row = As<CContainerUI>(FindSettingsControl(kOptionRow), L"Container");
    if (!row) return;
    const CDuiString wanted = Numbered(kOptionName, n).c_str();
    for (int i = 0; i < row->GetCount(); ++i) {
        CControlUI* child = row->GetItemAt(i);
        if (!child || CDuiString(child->GetClass()) != L"OptionUI") continue;
        if (auto* option = As<COptionUI>(child, L"Option"))
            option->Selected(wanted.CompareNoCase(child->GetName().GetData()) == 0, false);
    }
}
