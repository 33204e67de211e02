#pragma once

// The lighting page of a device page. For now it carries the music-lighting
// part that the device base class drives (show and read back an
// AudioLightSetting); the mode, brightness, speed and colour accessors follow.

#include <stdexcept>

#include "link/light_setting.h"
#include "platform/ui/container.h"

namespace DuiLib {
class CComboUI;
class COptionUI;
}

// Raised by the music-lighting operations when the skin lacks a control they
// cannot work without; what() is the text naming the operation.
class LightControlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CLightControlUI : public DuiLib::CHorizontalLayoutUI {
public:
    static constexpr const wchar_t* kSkinFile = L"XML\\CustomControlXML\\LightControl.xml";

    CLightControlUI();
    ~CLightControlUI() override;
    static DuiLib::CControlUI* CreateInstance();

    // The device type of the page (1, 9 keyboard, 2, 6 mouse, 3 mouse pad, 7 headset).
    void SetDeviceKind(int kind) { m_nDeviceKind = kind; }
    int GetDeviceKind() const { return m_nDeviceKind; }

    // Shows a music-lighting setting and keeps a copy of it. Throws
    // LightControlError when the style combo or the colour button is missing.
    void SetAudioLightInfo(const AudioLightSetting& setting);
    // Reads the music-lighting setting back, starting from the kept copy; with
    // takeColor the colour button's colour becomes the edited colour (foreground
    // or background by the colour type). Throws LightControlError when the
    // style combo, the colour button, the seven-colour option or either
    // colour-type option is missing.
    AudioLightSetting GetAudioLightInfo(int takeColor);

    const AudioLightSetting& GetAudioLightCopy() const { return m_audioCopy; }

    // Whether more than one device is shown (the main window sets it on every
    // page when the device list changes); the page's mode layout follows it.
    void SetMultiDeviceFlag(int flag) { m_nMultiDevice = flag; }
    int GetMultiDeviceFlag() const { return m_nMultiDevice; }

private:
    DuiLib::CControlUI* Find(const wchar_t* name);
    DuiLib::COptionUI* FindOption(const wchar_t* name);

    int m_nDeviceKind = 0;
    int m_nMultiDevice = 0;
    AudioLightSetting m_audioCopy{};
    DuiLib::CComboUI* m_pAudioModeCombo = nullptr;
    DuiLib::CControlUI* m_pAudioColorButton = nullptr;
};
