// The lighting page's edits of the current device's music-light setting:
// each reads the setting from the page, changes it, and stores, saves and
// applies it on the device.
#include <cwctype>
#include <cstdlib>

#include "link/device/corvane_usb_device.h"
#include "pages/light_control_ui.h"
#include "shell/main/main_wnd.h"

using namespace DuiLib;

namespace {

// The colour the page's colour controls edit: the foreground when the type
// flag is set, else the background.
struct ColorSlot {
    uint8_t* rgb[3];
    bool foreground;
};

ColorSlot SlotOf(AudioLightSetting& s) {
    if (s.colorType != 0) return {{&s.fgRed, &s.fgGreen, &s.fgBlue}, true};
    return {{&s.bkRed, &s.bkGreen, &s.bkBlue}, false};
}

// Writes 0xRRGGBB into the slot; a new foreground colour ends the seven
// colours.
void WriteColor(AudioLightSetting& s, DWORD color) {
    const ColorSlot slot = SlotOf(s);
    const uint8_t before[3] = {s.fgRed, s.fgGreen, s.fgBlue};
    *slot.rgb[0] = uint8_t(color >> 16);
    *slot.rgb[1] = uint8_t(color >> 8);
    *slot.rgb[2] = uint8_t(color);
    if (slot.foreground && (before[0] != s.fgRed || before[1] != s.fgGreen || before[2] != s.fgBlue)) s.sevenColor = 0;
}

// An edit's text as a colour component: its leading decimal number, held to
// 0..255 (empty, negative or not a number reads as 0).
uint8_t ComponentOf(const CDuiString& text) {
    const long value = std::wcstol(text.GetData(), nullptr, 10);
    return uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
}

}  // namespace

template <typename Change>
void CMainWnd::EditAudioLightSetting(int takeColor, Change change) {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    if (page == nullptr) return;
    AudioLightSetting setting = page->GetAudioLightInfo(takeColor);
    change(setting, page->GetLightControl());
    page->SetAudioLightInfo(setting);
    page->SaveProfile();
    page->ApplyLightProfile();
    // The page shows what is stored now: the colour of the slot chosen, and
    // a colour changed by a button rather than typed.
    if (CLightControlUI* light = page->GetLightControl()) light->SetAudioLightInfo(setting);
}

void CMainWnd::ApplyAudioLightSetting() {
    EditAudioLightSetting(1, [](AudioLightSetting&, CLightControlUI*) {});
}

void CMainWnd::ReapplyAudioLightSetting() {
    EditAudioLightSetting(0, [](AudioLightSetting&, CLightControlUI*) {});
}

void CMainWnd::OnAudioPaletteColor() {
    EditAudioLightSetting(1, [](AudioLightSetting& s, CLightControlUI* light) {
        if (light) WriteColor(s, light->GetAudioPaletteColor());
    });
}

void CMainWnd::OnAudioEditColor(int component) {
    if (component < 0 || component > 2) return;
    EditAudioLightSetting(0, [component](AudioLightSetting& s, CLightControlUI* light) {
        const ColorSlot slot = SlotOf(s);
        *slot.rgb[component] = light ? ComponentOf(light->GetAudioEditText(component)) : 0;
        if (slot.foreground) s.sevenColor = 0;
    });
}

void CMainWnd::OnAudioColorOption(int swatch) {
    EditAudioLightSetting(1, [swatch](AudioLightSetting& s, CLightControlUI* light) {
        WriteColor(s, light ? light->GetLightAudioColor(swatch) : 0);
        if (SlotOf(s).foreground) s.sevenColor = 0;
    });
}

void CMainWnd::ClearAudioBackground() {
    EditAudioLightSetting(1, [](AudioLightSetting& s, CLightControlUI*) { s.bkRed = s.bkGreen = s.bkBlue = 0; });
}
