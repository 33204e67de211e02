#pragma once

// The lighting page of a device page: the controls with which the user picks
// a lighting mode and tunes it, and on the keyboard the music-lighting style.
// The page is a view: it shows the LightSetting or AudioLightSetting a device
// hands it, offers one accessor per control, and lays its control groups out
// to fit the mode and the device kind. It keeps only the device kind, the
// multi-device flag and a copy of the last music-lighting setting.
//
// Every accessor tolerates a skin that lacks its control: setters do nothing
// and getters return a neutral value (-1 for a list index, 0, an empty
// string, opaque black for a colour). Nothing here throws.

#include <cstdint>
#include <vector>

#include "link/light_setting.h"
#include "platform/ui/container.h"
#include "platform/ui/dui_string.h"

namespace DuiLib {
class CComboUI;
class COptionUI;
class CSliderUI;
class CColorPaletteUI;
}  // namespace DuiLib

class CLightControlUI : public DuiLib::CHorizontalLayoutUI {
public:
    static constexpr const wchar_t* kSkinFile = L"XML\\CustomControlXML\\LightControl.xml";
    static constexpr const wchar_t* kClassName = L"CLightControlUI";

    CLightControlUI();
    ~CLightControlUI() override;
    static DuiLib::CControlUI* CreateInstance();

    // The device type of the page (1, 9 keyboard, 2, 6 mouse, 3 mouse pad,
    // 4, 7 headset, 5 hub).
    void SetDeviceKind(int kind) { m_nDeviceKind = kind; }
    int GetDeviceKind() const { return m_nDeviceKind; }

    // Mode combo: item i is mode i. Setting selects without notification and
    // lays the page out for the mode.
    void SetLightMode(int mode);
    int GetLightMode();
    void SetCustomMode(int index);
    int GetCustomMode();
    void SetZZCCMode(int index);
    int GetZZCCMode();

    void SetBrightness(int value);
    int GetBrightness();
    void SetSpeed(int value);
    int GetSpeed();

    void SetRedText(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetRedText();
    void SetGreenText(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetGreenText();
    void SetBlueText(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetBlueText();

    // Colours are ARGB words 0xAARRGGBB.
    void SetPaletteColor(DuiLib::DWORD argb);
    DuiLib::DWORD GetPaletteColor();
    void SetColorButtonColor(DuiLib::DWORD argb);
    // The background colour of the swatch "color_option_<n>".
    DuiLib::DWORD GetColorOption(int n);

    void SetSevenColor(int flag);
    bool IsSevenColor();
    // Flag non-zero selects "deng_FXL_check", zero "deng_FXR_check".
    void SetDirection(int flag);

    // The sync button is visible only when asked for and several devices are shown.
    void ShowSameModeOption(bool show);
    void SetMultiDeviceFlag(int flag);
    int GetMultiDeviceFlag() const { return m_nMultiDevice; }

    // Enables, disables, shows and hides the control groups for the mode of
    // a device of the given kind.
    void ApplyModeLayout(int kind, int mode);

    // Fills the mode combo (hidden items keep the numbering) and sets the
    // slider maxima.
    void InitModeList(const std::vector<DuiLib::CDuiString>& names, const std::vector<int32_t>& visible,
                      int brightnessMax, int speedMax);

    void SetLightInfo(LightSetting setting);

    // Shows a music-lighting setting and keeps a copy of it; the controls
    // the skin lacks are left out.
    void SetAudioLightInfo(const AudioLightSetting& setting);
    // Reads the music-lighting setting back, starting from the kept copy; with
    // takeColor the colour button's colour becomes the edited colour
    // (foreground or background by the colour type). Without its controls
    // the kept copy is returned unchanged.
    AudioLightSetting GetAudioLightInfo(int takeColor);
    const AudioLightSetting& GetAudioLightCopy() const { return m_audioCopy; }
    // The background colour of "audiocolor_option_<n>".
    DuiLib::DWORD GetLightAudioColor(int n);
    DuiLib::DWORD GetAudioPaletteColor();
    // Text of the red (0), green (1) or blue (2) music edit; empty for any
    // other component or when an edit is missing.
    DuiLib::CDuiString GetAudioEditText(int component);

private:
    DuiLib::CControlUI* Find(const wchar_t* name);
    DuiLib::COptionUI* FindOption(const wchar_t* name);
    DuiLib::CComboUI* Combo(DuiLib::CComboUI*& slot, const wchar_t* name);
    DuiLib::CSliderUI* Slider(DuiLib::CSliderUI*& slot, const wchar_t* name);
    DuiLib::CControlUI* Control(DuiLib::CControlUI*& slot, const wchar_t* name);
    DuiLib::COptionUI* Option(DuiLib::COptionUI*& slot, const wchar_t* name);
    DuiLib::CColorPaletteUI* Palette();

    void LayoutKeyboard(int mode);
    void LayoutMouse(int mode);
    void LayoutMousePad(int mode);
    void LayoutHub(int mode);
    void SetGroupEnabled(const wchar_t* name, bool enabled);
    void SetGroupVisible(const wchar_t* name, bool visible);

    int m_nDeviceKind = 0;
    int m_nMultiDevice = 0;
    AudioLightSetting m_audioCopy{};
    DuiLib::CComboUI* m_pModeCombo = nullptr;
    DuiLib::CComboUI* m_pCustomCombo = nullptr;
    DuiLib::CComboUI* m_pZZCCCombo = nullptr;
    DuiLib::CComboUI* m_pAudioModeCombo = nullptr;
    DuiLib::CSliderUI* m_pBrightness = nullptr;
    DuiLib::CSliderUI* m_pSpeed = nullptr;
    DuiLib::CControlUI* m_pRedEdit = nullptr;
    DuiLib::CControlUI* m_pGreenEdit = nullptr;
    DuiLib::CControlUI* m_pBlueEdit = nullptr;
    DuiLib::CColorPaletteUI* m_pPalette = nullptr;
    DuiLib::CControlUI* m_pColorButton = nullptr;
    DuiLib::COptionUI* m_pSevenColor = nullptr;
    DuiLib::COptionUI* m_pLeftDirection = nullptr;
    DuiLib::COptionUI* m_pRightDirection = nullptr;
    DuiLib::CControlUI* m_pSameMode = nullptr;
    DuiLib::CControlUI* m_pAudioColorButton = nullptr;
};
