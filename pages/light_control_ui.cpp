#include "pages/light_control_ui.h"

#include <string>

#include "platform/os/debug_trace.h"
#include "platform/files/utf8.h"
#include "platform/ui/button.h"
#include "platform/ui/color_palette.h"
#include "platform/ui/combo.h"
#include "platform/ui/list.h"
#include "platform/ui/progress.h"

using namespace DuiLib;

namespace {

constexpr uint8_t kAudioStyleWithoutColour = 3;
constexpr int kModeItemHeight = 30;

DWORD OpaqueColor(uint8_t r, uint8_t g, uint8_t b) { return 0xFF000000u | DWORD(r) << 16 | DWORD(g) << 8 | DWORD(b); }

CDuiString Numbered(const wchar_t* prefix, int n) { return CDuiString(prefix) + std::to_wstring(n).c_str(); }

void Trace(const char* text) { win::OutputDebugStringA(text); }

}  // namespace

CLightControlUI::CLightControlUI() { SetOptionScope(); }
CLightControlUI::~CLightControlUI() = default;

CControlUI* CLightControlUI::CreateInstance() { return new CLightControlUI(); }

// --- Control look-up -------------------------------------------------------------

CControlUI* CLightControlUI::Find(const wchar_t* name) { return FindSubControl(name); }

COptionUI* CLightControlUI::FindOption(const wchar_t* name) {
    CControlUI* c = Find(name);
    return c ? static_cast<COptionUI*>(c->GetInterface(L"Option")) : nullptr;
}

CComboUI* CLightControlUI::Combo(CComboUI*& slot, const wchar_t* name) {
    if (!slot)
        if (CControlUI* c = Find(name)) slot = static_cast<CComboUI*>(c->GetInterface(L"Combo"));
    return slot;
}

CSliderUI* CLightControlUI::Slider(CSliderUI*& slot, const wchar_t* name) {
    if (!slot)
        if (CControlUI* c = Find(name)) slot = static_cast<CSliderUI*>(c->GetInterface(L"Slider"));
    return slot;
}

CControlUI* CLightControlUI::Control(CControlUI*& slot, const wchar_t* name) {
    if (!slot) slot = Find(name);
    return slot;
}

COptionUI* CLightControlUI::Option(COptionUI*& slot, const wchar_t* name) {
    if (!slot) slot = FindOption(name);
    return slot;
}

CColorPaletteUI* CLightControlUI::Palette() {
    if (!m_pPalette)
        if (CControlUI* c = Find(L"deng_Color_Pallet"))
            m_pPalette = static_cast<CColorPaletteUI*>(c->GetInterface(L"ColorPalette"));
    return m_pPalette;
}

// --- Mode, sub-mode and custom group ------------------------------------------------

void CLightControlUI::SetLightMode(int mode) {
    CComboUI* combo = Combo(m_pModeCombo, L"light_combo_modeSelect");
    if (!combo) return;
    combo->SelectItem1(mode, false, false);
    ApplyModeLayout(m_nDeviceKind, mode);
}

int CLightControlUI::GetLightMode() {
    CComboUI* combo = Combo(m_pModeCombo, L"light_combo_modeSelect");
    return combo ? combo->GetCurSel() : -1;
}

void CLightControlUI::SetCustomMode(int index) {
    if (CComboUI* combo = Combo(m_pCustomCombo, L"light_combo_custommodeSelect"))
        combo->SelectItem1(index, false, false);
}

int CLightControlUI::GetCustomMode() {
    CComboUI* combo = Combo(m_pCustomCombo, L"light_combo_custommodeSelect");
    return combo ? combo->GetCurSel() : -1;
}

void CLightControlUI::SetZZCCMode(int index) {
    if (CComboUI* combo = Combo(m_pZZCCCombo, L"light_combo_ZZCCmodeSelect")) combo->SelectItem1(index, false, false);
}

int CLightControlUI::GetZZCCMode() {
    CComboUI* combo = Combo(m_pZZCCCombo, L"light_combo_ZZCCmodeSelect");
    return combo ? combo->GetCurSel() : -1;
}

// --- Sliders and colour ------------------------------------------------------------------

void CLightControlUI::SetBrightness(int value) {
    if (CSliderUI* s = Slider(m_pBrightness, L"deng_light_slider")) s->SetValue(value);
}

int CLightControlUI::GetBrightness() {
    CSliderUI* s = Slider(m_pBrightness, L"deng_light_slider");
    return s ? s->GetValue() : 0;
}

void CLightControlUI::SetSpeed(int value) {
    if (CSliderUI* s = Slider(m_pSpeed, L"deng_speed_slider")) s->SetValue(value);
}

int CLightControlUI::GetSpeed() {
    CSliderUI* s = Slider(m_pSpeed, L"deng_speed_slider");
    return s ? s->GetValue() : 0;
}

void CLightControlUI::SetRedText(const CDuiString& text) {
    if (CControlUI* c = Control(m_pRedEdit, L"deng_edit_R")) c->SetText(text);
}

CDuiString CLightControlUI::GetRedText() {
    CControlUI* c = Control(m_pRedEdit, L"deng_edit_R");
    return c ? c->GetText() : CDuiString();
}

void CLightControlUI::SetGreenText(const CDuiString& text) {
    if (CControlUI* c = Control(m_pGreenEdit, L"deng_edit_G")) c->SetText(text);
}

CDuiString CLightControlUI::GetGreenText() {
    CControlUI* c = Control(m_pGreenEdit, L"deng_edit_G");
    return c ? c->GetText() : CDuiString();
}

void CLightControlUI::SetBlueText(const CDuiString& text) {
    if (CControlUI* c = Control(m_pBlueEdit, L"deng_edit_B")) c->SetText(text);
}

CDuiString CLightControlUI::GetBlueText() {
    CControlUI* c = Control(m_pBlueEdit, L"deng_edit_B");
    return c ? c->GetText() : CDuiString();
}

void CLightControlUI::SetPaletteColor(DWORD argb) {
    CColorPaletteUI* palette = Palette();
    if (!palette) return;
    palette->SetSelectColor(argb);
    SetColorButtonColor(argb);
}

DWORD CLightControlUI::GetPaletteColor() {
    CColorPaletteUI* palette = Palette();
    return palette ? palette->GetSelectColor() : 0xFF000000u;
}

void CLightControlUI::SetColorButtonColor(DWORD argb) {
    if (CControlUI* c = Control(m_pColorButton, L"deng_colordp_btn")) c->SetBkColor(argb);
}

DWORD CLightControlUI::GetColorOption(int n) {
    CControlUI* c = Find(Numbered(L"color_option_", n));
    return c ? c->GetBkColor() : 0;
}

void CLightControlUI::SetSevenColor(int flag) {
    if (COptionUI* o = Option(m_pSevenColor, L"deng_7color_check")) o->Selected(flag != 0, false);
}

bool CLightControlUI::IsSevenColor() {
    COptionUI* o = Option(m_pSevenColor, L"deng_7color_check");
    return o && o->IsSelected();
}

void CLightControlUI::SetDirection(int flag) {
    COptionUI* left = Option(m_pLeftDirection, L"deng_FXL_check");
    COptionUI* right = Option(m_pRightDirection, L"deng_FXR_check");
    if (!left || !right) return;
    left->Selected(flag != 0, false);
    right->Selected(flag == 0, false);
}

void CLightControlUI::ShowSameModeOption(bool show) {
    if (CControlUI* c = Control(m_pSameMode, L"deng_same_mode")) c->SetVisible(show && m_nMultiDevice == 1);
}

void CLightControlUI::SetMultiDeviceFlag(int flag) {
    m_nMultiDevice = flag;
    const int mode = GetLightMode();
    if (mode >= 0) ApplyModeLayout(m_nDeviceKind, mode);
}

// --- Whole settings --------------------------------------------------------------

void CLightControlUI::InitModeList(const std::vector<CDuiString>& names, const std::vector<int32_t>& visible,
                                   int brightnessMax, int speedMax) {
    CComboUI* combo = Combo(m_pModeCombo, L"light_combo_modeSelect");
    if (!combo) return;
    combo->RemoveAll();
    for (size_t i = 0; i < names.size(); ++i) {
        auto* item = new CListLabelElementUI();
        item->SetFixedHeight(kModeItemHeight);
        item->SetResourceText(true);
        item->SetText(names[i]);
        item->SetUserData(names[i]);
        // A name without a flag of its own is offered.
        item->SetVisible(i >= visible.size() || visible[i] != 0);
        combo->Add(item);
    }
    CSliderUI* brightness = Slider(m_pBrightness, L"deng_light_slider");
    if (!brightness) return;
    brightness->SetMaxValue(brightnessMax);
    if (CSliderUI* speed = Slider(m_pSpeed, L"deng_speed_slider")) speed->SetMaxValue(speedMax);
}

void CLightControlUI::SetLightInfo(LightSetting setting) {
    SetLightMode(setting.mode);
    SetBrightness(setting.brightness);
    SetSpeed(setting.speed);
    SetRedText(CDuiString(std::to_wstring(setting.red).c_str()));
    SetGreenText(CDuiString(std::to_wstring(setting.green).c_str()));
    SetBlueText(CDuiString(std::to_wstring(setting.blue).c_str()));
    const DWORD color = OpaqueColor(setting.red, setting.green, setting.blue);
    // Both, so the button is painted also when the palette is missing.
    SetPaletteColor(color);
    SetColorButtonColor(color);
    SetSevenColor(setting.colorful);
    SetZZCCMode(setting.subMode);
    SetDirection(setting.direction);
    ApplyModeLayout(m_nDeviceKind, setting.mode);
}

// --- Music lighting -----------------------------------------------------------------

void CLightControlUI::SetAudioLightInfo(const AudioLightSetting& setting) {
    m_audioCopy = setting;

    if (CComboUI* combo = Combo(m_pAudioModeCombo, L"light_combo_audiomodeSelect"))
        combo->SelectItem1(setting.mode, false, false);
    else
        Trace(" SetAudioLightInfo control is NULL");
    CControlUI* button = Control(m_pAudioColorButton, L"deng_audiocolordp_btn");
    if (!button) Trace("SetAudioLightInfo colour button is NULL");

    COptionUI* background = FindOption(L"audio_BkColor_check");
    COptionUI* foreground = FindOption(L"audio_FgColor_check");
    COptionUI* sevenColor = FindOption(L"deng_7audiocolor_check");

    uint8_t r, g, b;
    if (setting.colorType != 0) {
        r = setting.fgRed, g = setting.fgGreen, b = setting.fgBlue;
        if (background) background->Selected(false, false);
        if (foreground) foreground->Selected(true, false);
        if (sevenColor) {
            sevenColor->SetEnabled(true);
            sevenColor->Selected(setting.sevenColor != 0, false);
        }
    } else {
        r = setting.bkRed, g = setting.bkGreen, b = setting.bkBlue;
        if (background) background->Selected(true, false);
        if (foreground) foreground->Selected(false, false);
        if (sevenColor) sevenColor->SetEnabled(false);
    }

    const wchar_t* edits[3] = {L"deng_audioedit_R", L"deng_audioedit_G", L"deng_audioedit_B"};
    const uint8_t parts[3] = {r, g, b};
    for (int i = 0; i < 3; ++i)
        if (CControlUI* edit = Find(edits[i])) edit->SetText(CDuiString(std::to_wstring(parts[i]).c_str()));

    const DWORD color = OpaqueColor(r, g, b);
    if (CControlUI* c = Find(L"deng_audioColor_Pallet"))
        if (auto* palette = static_cast<CColorPaletteUI*>(c->GetInterface(L"ColorPalette")))
            palette->SetSelectColor(color);
    if (button) button->SetBkColor(color);

    const bool colourGroups = setting.mode != kAudioStyleWithoutColour;
    for (const wchar_t* group : {L"light_audiocolor_layout", L"audiocolorpallet_layout"})
        if (CControlUI* c = Find(group)) c->SetEnabled(colourGroups);
}

AudioLightSetting CLightControlUI::GetAudioLightInfo(int takeColor) {
    CComboUI* combo = Combo(m_pAudioModeCombo, L"light_combo_audiomodeSelect");
    CControlUI* button = Control(m_pAudioColorButton, L"deng_audiocolordp_btn");
    COptionUI* sevenColor = FindOption(L"deng_7audiocolor_check");
    COptionUI* background = FindOption(L"audio_BkColor_check");
    COptionUI* foreground = FindOption(L"audio_FgColor_check");
    if (!combo || !button || !sevenColor || !background || !foreground) {
        Trace("GetAudioLightInfo control is NULL");
        return m_audioCopy;
    }

    // A combo without a selection leaves the style as it was rather than
    // storing -1 as style 255.
    if (combo->GetCurSel() >= 0) m_audioCopy.mode = uint8_t(combo->GetCurSel());
    m_audioCopy.sevenColor = sevenColor->IsSelected() ? 1 : 0;
    const bool backgroundEdited = background->IsSelected() && (m_audioCopy.colorType != 0 || !foreground->IsSelected());
    m_audioCopy.colorType = backgroundEdited ? 0 : 1;

    if (takeColor) {
        const DWORD color = button->GetBkColor();
        const uint8_t r = uint8_t(color >> 16), g = uint8_t(color >> 8), b = uint8_t(color);
        if (m_audioCopy.colorType == 1) {
            m_audioCopy.fgRed = r, m_audioCopy.fgGreen = g, m_audioCopy.fgBlue = b;
        } else {
            m_audioCopy.bkRed = r, m_audioCopy.bkGreen = g, m_audioCopy.bkBlue = b;
        }
    }
    return m_audioCopy;
}

DWORD CLightControlUI::GetLightAudioColor(int n) {
    const CDuiString name = Numbered(L"audiocolor_option_", n);
    win::OutputDebugStringA((win::ToUtf8(name.str()) + " GetLightAudioColor").c_str());
    CControlUI* c = Find(name);
    return c ? c->GetBkColor() : 0;
}

DWORD CLightControlUI::GetAudioPaletteColor() {
    CControlUI* c = Find(L"deng_audioColor_Pallet");
    auto* palette = c ? static_cast<CColorPaletteUI*>(c->GetInterface(L"ColorPalette")) : nullptr;
    return palette ? palette->GetSelectColor() : 0xFF000000u;
}

CDuiString CLightControlUI::GetAudioEditText(int component) {
    const wchar_t* names[3] = {L"deng_audioedit_R", L"deng_audioedit_G", L"deng_audioedit_B"};
    CControlUI* edits[3];
    for (int i = 0; i < 3; ++i) {
        edits[i] = Find(names[i]);
        if (!edits[i]) {
            Trace("GetLightAudioColor control is NULL");
            return CDuiString();
        }
    }
    if (component < 0 || component > 2) return CDuiString();
    return edits[component]->GetText();
}
