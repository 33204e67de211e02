// The keyboard's system tab: polling rate, the Win-lock, W and 6 switches,
// key repeat rate and delay with a box to try them in, and the key debounce.
// Every operation does nothing (or reads 0 or false) when its control is
// missing from the skin. UI thread only.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cwchar>

#include "keyboard/corvane_keyboard_device.h"
#include "platform/ui/controls.h"
#include "platform/ui/resource_manager.h"

using namespace DuiLib;

namespace {

constexpr int kChoices = 4;
constexpr const wchar_t* kPollingRatePrefix = L"polling_rate_option_";
constexpr const wchar_t* kRepeatDelayPrefix = L"repeat_delay_check_";
constexpr const wchar_t* kWinLockOption = L"winlockflag_option";
constexpr const wchar_t* kWFlagOption = L"wflag_option";
constexpr const wchar_t* kKey6FlagOption = L"6flag_option";
constexpr const wchar_t* kRepeatRateSlider = L"repeat_rate_slider";
constexpr const wchar_t* kRepeatDelayLabel = L"repeat_delay_time_label1";
constexpr const wchar_t* kRepeatTestBox = L"repeat_input_richedit";
constexpr const wchar_t* kKeyShakeSlider = L"key_shake_slider";
constexpr const wchar_t* kKeyShakeEdit = L"key_shake_edit";
constexpr const wchar_t* kKeyShakeText = L"key_shake_text";

int ChoiceOf(int n) { return n < 0 || n >= kChoices ? 0 : n; }

template <class T>
T* As(CControlUI* control, const wchar_t* interfaceName) {
    return control ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
}

}  // namespace

CControlUI* CCorvaneKeyboardDevice::FindSystemControl(const wchar_t* name) {
    if (auto kept = m_systemControls.find(name); kept != m_systemControls.end()) return kept->second;
    CControlUI* found = FindSubControl(name);
    if (found) m_systemControls.emplace(name, found);
    return found;
}

CDuiString CCorvaneKeyboardDevice::PageText(const wchar_t* key) {
    CControlUI* label = FindSystemControl(L"text_test");
    if (!label) return CResourceManager::GetInstance()->GetText(key);
    label->SetResourceText(true);
    label->SetText(key);
    return label->GetText();
}

void CCorvaneKeyboardDevice::SetSystemStages(const KeyboardSystemStages& stages) {
    m_systemStages = stages;
    const auto words = stages.ToWords();
    m_profile.SetSystemStages(words[0], words[1], words[2], words[3]);
}

// --- Options ------------------------------------------------------------------------

void CCorvaneKeyboardDevice::SelectOptionGroup(const wchar_t* prefix, int n) {
    n = ChoiceOf(n);
    for (int i = 0; i < kChoices; ++i) {
        wchar_t name[64];
        std::swprintf(name, 64, L"%ls%d", prefix, i);
        SetOptionSelected(name, i == n);
    }
}

void CCorvaneKeyboardDevice::SetOptionSelected(const wchar_t* name, bool selected) {
    if (auto* option = As<COptionUI>(FindSystemControl(name), L"Option")) option->Selected(selected, false);
}

bool CCorvaneKeyboardDevice::IsOptionSelected(const wchar_t* name) {
    auto* option = As<COptionUI>(FindSystemControl(name), L"Option");
    return option && option->IsSelected();
}

void CCorvaneKeyboardDevice::SetPollingRateOption(int n) { SelectOptionGroup(kPollingRatePrefix, n); }

void CCorvaneKeyboardDevice::SetRepeatDelayOption(int n) {
    SelectOptionGroup(kRepeatDelayPrefix, n);
    UpdateRepeatDelayLabel(n);
}

void CCorvaneKeyboardDevice::SetWinLockOption(bool selected) { SetOptionSelected(kWinLockOption, selected); }
void CCorvaneKeyboardDevice::SetWFlagOption(bool selected) { SetOptionSelected(kWFlagOption, selected); }
void CCorvaneKeyboardDevice::SetKey6FlagOption(bool selected) { SetOptionSelected(kKey6FlagOption, selected); }
bool CCorvaneKeyboardDevice::GetWinLockOption() { return IsOptionSelected(kWinLockOption); }
bool CCorvaneKeyboardDevice::GetWFlagOption() { return IsOptionSelected(kWFlagOption); }
bool CCorvaneKeyboardDevice::GetKey6FlagOption() { return IsOptionSelected(kKey6FlagOption); }

// --- Key repeat ---------------------------------------------------------------------

void CCorvaneKeyboardDevice::SetRepeatRate(int value) {
    if (auto* slider = As<CSliderUI>(FindSystemControl(kRepeatRateSlider), L"Slider")) slider->SetValue(value);
}

int CCorvaneKeyboardDevice::GetRepeatRate() {
    auto* slider = As<CSliderUI>(FindSystemControl(kRepeatRateSlider), L"Slider");
    return slider ? slider->GetValue() : 0;
}

void CCorvaneKeyboardDevice::UpdateRepeatDelayLabel(int n) {
    CControlUI* label = FindSystemControl(kRepeatDelayLabel);
    if (!label) return;
    CDuiString text = PageText(L"Repeat_Delay_Time");
    wchar_t number[16];
    std::swprintf(number, 16, L"%d", 250 * ChoiceOf(n) + 250);
    text += number;
    text += L"ms";
    label->SetText(text);
}

void CCorvaneKeyboardDevice::ClearRepeatTestBox() {
    if (CControlUI* box = FindSystemControl(kRepeatTestBox)) box->SetText(L"");
}

void CCorvaneKeyboardDevice::SetRepeatTestTip() {
    if (auto* box = As<CRichEditUI>(FindSystemControl(kRepeatTestBox), L"RichEdit"))
        box->SetTipValue(PageText(L"Repeat_input_text"));
}

void CCorvaneKeyboardDevice::RetranslateSystemTexts() {
    int shown = 0;
    for (int i = 0; i < kChoices; ++i) {
        wchar_t name[64];
        std::swprintf(name, 64, L"%ls%d", kRepeatDelayPrefix, i);
        if (IsOptionSelected(name)) shown = i;
    }
    UpdateRepeatDelayLabel(shown);
    SetRepeatTestTip();
}

// --- Debounce -----------------------------------------------------------------------

void CCorvaneKeyboardDevice::SetKeyShake(int n) {
    auto* slider = As<CSliderUI>(FindSystemControl(kKeyShakeSlider), L"Slider");
    if (!slider) return;
    slider->SetValue(n);
    SetKeyShakeLabel(n);
    if (CControlUI* edit = FindSystemControl(kKeyShakeEdit)) {
        wchar_t number[16];
        std::swprintf(number, 16, L"%d", n);
        edit->SetText(number);
    }
}

void CCorvaneKeyboardDevice::SetKeyShakeLabel(int n) {
    CControlUI* label = FindSystemControl(kKeyShakeText);
    if (!label) return;
    wchar_t text[32];
    std::swprintf(text, 32, L"%d%ls", 3 * n + 3, L" ms");
    label->SetText(text);
}

int CCorvaneKeyboardDevice::GetKeyShakeSlider() {
    auto* slider = As<CSliderUI>(FindSystemControl(kKeyShakeSlider), L"Slider");
    return slider ? slider->GetValue() : 0;
}

// The value goes into one byte of the keyboard's block: it is held to the
// keyboard's range whatever was typed.
int CCorvaneKeyboardDevice::GetKeyShakeEdit() {
    CControlUI* edit = FindSystemControl(kKeyShakeEdit);
    if (!edit) return 0;
    const CDuiString text = edit->GetText();
    errno = 0;
    const long value = std::wcstol(text.GetData(), nullptr, 10);
    if (errno == ERANGE) return value < 0 ? 0 : kKeyDebounceMax;
    return int(std::clamp<long>(value, 0, kKeyDebounceMax));
}

void CCorvaneKeyboardDevice::ShowSystemStages() {
    const KeyboardSystemStages& s = m_systemStages;
    SetWinLockOption(s.winFlag != 0);
    SetWFlagOption(s.wFlag != 0);
    SetKey6FlagOption(s.key6Flag != 0);
    SetRepeatRate(s.repeat);
    SetRepeatDelayOption(s.repeatDelay);
    ClearRepeatTestBox();
    SetRepeatTestTip();
    SetPollingRateOption(s.pollingRate);
    SetKeyShake(s.keyShake);
}
