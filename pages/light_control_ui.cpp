#include "pages/light_control_ui.h"

#include "platform/ui/button.h"
#include "platform/ui/color_palette.h"
#include "platform/ui/combo.h"

using namespace DuiLib;

namespace {

constexpr uint8_t kAudioStyleWithoutColour = 3;

DWORD OpaqueColor(uint8_t r, uint8_t g, uint8_t b) {
    return 0xFF000000u | DWORD(r) << 16 | DWORD(g) << 8 | DWORD(b);
}

}  // namespace

CLightControlUI::CLightControlUI() = default;
CLightControlUI::~CLightControlUI() = default;

CControlUI* CLightControlUI::CreateInstance() { return new CLightControlUI(); }

CControlUI* CLightControlUI::Find(const wchar_t* name) { return FindSubControl(name); }

COptionUI* CLightControlUI::FindOption(const wchar_t* name) {
    CControlUI* c = Find(name);
    return c ? static_cast<COptionUI*>(c->GetInterface(L"Option")) : nullptr;
}

void CLightControlUI::SetAudioLightInfo(const AudioLightSetting& setting) {
    m_audioCopy = setting;

    if (!m_pAudioModeCombo) {
        CControlUI* c = Find(L"light_combo_audiomodeSelect");
        m_pAudioModeCombo = c ? static_cast<CComboUI*>(c->GetInterface(L"Combo")) : nullptr;
    }
    if (!m_pAudioModeCombo) throw LightControlError(" SetAudioLightInfo control is NULL");
    m_pAudioModeCombo->SelectItem1(setting.mode, false, false);

    if (!m_pAudioColorButton) m_pAudioColorButton = Find(L"deng_audiocolordp_btn");
    if (!m_pAudioColorButton) throw LightControlError("GetAudioLightInfo control is NULL");

    // The remaining music controls are looked up on every call; a skin that
    // lacks one simply does not show that part.
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
        if (CControlUI* edit = Find(edits[i])) edit->SetText(DuiFormat(L"%d", parts[i]));

    const DWORD color = OpaqueColor(r, g, b);
    if (CControlUI* c = Find(L"deng_audioColor_Pallet"))
        if (auto* palette = static_cast<CColorPaletteUI*>(c->GetInterface(L"ColorPalette")))
            palette->SetSelectColor(color);
    m_pAudioColorButton->SetBkColor(color);

    const bool colourGroups = setting.mode != kAudioStyleWithoutColour;
    for (const wchar_t* group : {L"light_audiocolor_layout", L"audiocolorpallet_layout"})
        if (CControlUI* c = Find(group)) c->SetEnabled(colourGroups);
}

AudioLightSetting CLightControlUI::GetAudioLightInfo(int takeColor) {
    if (!m_pAudioModeCombo) {
        CControlUI* c = Find(L"light_combo_audiomodeSelect");
        m_pAudioModeCombo = c ? static_cast<CComboUI*>(c->GetInterface(L"Combo")) : nullptr;
    }
    if (!m_pAudioColorButton) m_pAudioColorButton = Find(L"deng_audiocolordp_btn");
    COptionUI* sevenColor = FindOption(L"deng_7audiocolor_check");
    COptionUI* background = FindOption(L"audio_BkColor_check");
    COptionUI* foreground = FindOption(L"audio_FgColor_check");
    if (!m_pAudioModeCombo || !m_pAudioColorButton || !sevenColor || !background || !foreground)
        throw LightControlError("GetAudioLightInfo control is NULL");

    // A combo without a selection leaves the style as it was rather than
    // storing -1 as style 255.
    if (m_pAudioModeCombo->GetCurSel() >= 0) m_audioCopy.mode = uint8_t(m_pAudioModeCombo->GetCurSel());
    m_audioCopy.sevenColor = sevenColor->IsSelected() ? 1 : 0;
    const bool backgroundEdited =
        background->IsSelected() && (m_audioCopy.colorType != 0 || !foreground->IsSelected());
    m_audioCopy.colorType = backgroundEdited ? 0 : 1;

    if (takeColor) {
        const DWORD color = m_pAudioColorButton->GetBkColor();
        const uint8_t r = uint8_t(color >> 16), g = uint8_t(color >> 8), b = uint8_t(color);
        if (m_audioCopy.colorType == 1) {
            m_audioCopy.fgRed = r, m_audioCopy.fgGreen = g, m_audioCopy.fgBlue = b;
        } else {
            m_audioCopy.bkRed = r, m_audioCopy.bkGreen = g, m_audioCopy.bkBlue = b;
        }
    }
    return m_audioCopy;
}
