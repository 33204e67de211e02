// The lighting commands of a device page: each reads its value from the
// current device's lighting page, keeps the page consistent, changes the
// device's LightSetting and has it stored, saved, applied and written.
// Device write results are not looked at and nothing is shown.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/corvane_mouse_device.h"
#include "devices/mouse_settings_steps.h"
#include "keyboard/corvane_keyboard_device.h"
#include "link/device/corvane_usb_device.h"
#include "link/data_folders.h"
#include "link/json_file_util.h"
#include "link/string_util.h"
#include "link/light_setting.h"
#include "link/sync_light_state.h"
#include "pages/light_control_ui.h"
#include "shell/controls/device_key_button_ui.h"
#include "shell/main/color_edit_value.h"
#include "shell/main/dispatch_rows.h"
#include "shell/main/main_wnd.h"
#include "shell/main/sync_light_modes.h"
#include "shell/controls/process_state.h"

namespace {

using DuiLib::CContainerUI;
using DuiLib::CControlUI;
using DuiLib::CDuiString;
using DuiLib::DWORD;

// The profile id a device page starts with, which names the key-light
// document of a full mouse selection.
constexpr const wchar_t* kFirstProfileId = L"";

std::uint8_t Byte(int value, int highest) { return static_cast<std::uint8_t>(std::clamp(value, 0, highest)); }

CDuiString Decimal(int value) { return CDuiString(std::to_wstring(value).c_str()); }

// The keyboard page of the current device, or null on any other kind.
CCorvaneKeyboardDevice* KeyboardOf(CCorvaneUSBDevice* page) {
    if (page == nullptr || page->GetDeviceType() != kKeyboardKind) return nullptr;
    return dynamic_cast<CCorvaneKeyboardDevice*>(page);
}

void PutColor(LightSetting& setting, DWORD argb) {
    setting.red = static_cast<std::uint8_t>((argb >> 16) & 0xFF);
    setting.green = static_cast<std::uint8_t>((argb >> 8) & 0xFF);
    setting.blue = static_cast<std::uint8_t>(argb & 0xFF);
    setting.colorful = 0;
}

DWORD OpaqueColorOf(const LightSetting& setting) {
    return 0xFF000000u | (static_cast<DWORD>(setting.red) << 16) | (static_cast<DWORD>(setting.green) << 8) |
           setting.blue;
}

}  // namespace

// One field of the LightSetting from a page value: leave the sync when the
// command does, change, apply.
void CMainWnd::OnLightModeSelected() {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    CLightControlUI* light = page != nullptr ? page->GetLightControl() : nullptr;
    if (light == nullptr) return;
    const int mode = light->GetLightMode();
    if (mode < 0) return;  // nothing selected
    light->SetLightMode(mode);
    LeaveLightingSync(page);
    LightSetting setting = page->CurrentLightSetting();
    setting.mode = static_cast<std::uint8_t>(mode & 0xFF);
    page->CommitLighting(setting);
}

void CMainWnd::OnCustomModeSelected() {
    CCorvaneKeyboardDevice* keyboard = KeyboardOf(GetCurrentDevice());
    CLightControlUI* light = keyboard != nullptr ? keyboard->GetLightControl() : nullptr;
    if (light == nullptr) return;
    const int group = light->GetCustomMode();
    if (group < 0) return;
    keyboard->SetCustomColorGroup(group);
    LightSetting setting = keyboard->CurrentLightSetting();
    setting.customGroup = static_cast<std::uint8_t>(group & 0xFF);
    // No ApplyLightProfile: the running effect keeps its state, and the
    // group's colours come back with the reload.
    keyboard->SetLightSetting(setting);
    keyboard->SaveAndWriteProfile();
    keyboard->ReloadCustomColors();
}

void CMainWnd::OnZZCCModeSelected() {
    CCorvaneKeyboardDevice* keyboard = KeyboardOf(GetCurrentDevice());
    CLightControlUI* light = keyboard != nullptr ? keyboard->GetLightControl() : nullptr;
    if (light == nullptr) return;
    const int subMode = light->GetZZCCMode();
    if (subMode < 0) return;
    light->SetZZCCMode(subMode);
    LightSetting setting = keyboard->CurrentLightSetting();
    setting.subMode = static_cast<std::uint8_t>(subMode & 0xFF);
    keyboard->CommitLighting(setting);
}

void CMainWnd::OnBrightnessChanged() {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    CLightControlUI* light = page != nullptr ? page->GetLightControl() : nullptr;
    if (light == nullptr) return;
    const int value = light->GetBrightness();
    light->SetBrightness(value);
    LeaveLightingSync(page);
    LightSetting setting = page->CurrentLightSetting();
    setting.brightness = Byte(value, kMaxBrightnessLevel);
    page->CommitLighting(setting);
}

void CMainWnd::OnSpeedChanged() {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    CLightControlUI* light = page != nullptr ? page->GetLightControl() : nullptr;
    if (light == nullptr) return;
    const int value = light->GetSpeed();
    light->SetSpeed(value);
    LeaveLightingSync(page);
    LightSetting setting = page->CurrentLightSetting();
    setting.speed = Byte(value, kMaxProfileSpeedLevel);
    page->CommitLighting(setting);
}

void CMainWnd::OnSevenColorCheck() {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    CLightControlUI* light = page != nullptr ? page->GetLightControl() : nullptr;
    if (light == nullptr) return;
    const int flag = light->IsSevenColor() ? 1 : 0;
    light->SetSevenColor(flag);
    LeaveLightingSync(page);
    LightSetting setting = page->CurrentLightSetting();
    setting.colorful = static_cast<std::uint8_t>(flag);
    page->CommitLighting(setting);
}

void CMainWnd::OnDirectionCheck(int direction) {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    CLightControlUI* light = page != nullptr ? page->GetLightControl() : nullptr;
    if (light == nullptr) return;
    light->SetDirection(direction);
    LeaveLightingSync(page);
    LightSetting setting = page->CurrentLightSetting();
    setting.direction = static_cast<std::uint8_t>(direction & 0xFF);
    page->CommitLighting(setting);
}

// The colour commands: the page shows the new colour between the apply and
// the block write, and the seven-colour option goes off.
void CMainWnd::OnPaletteColorChanged() {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    CLightControlUI* light = page != nullptr ? page->GetLightControl() : nullptr;
    if (light == nullptr) return;
    const DWORD color = light->GetPaletteColor();
    LeaveLightingSync(page);
    ApplyPickedColor(page, color, false);
}

void CMainWnd::OnColorOptionClick(int swatch) {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    CLightControlUI* light = page != nullptr ? page->GetLightControl() : nullptr;
    if (light == nullptr) return;
    // The swatch's colour is its background, always opaque; 0 means the page
    // has no swatch of that number, which gives no colour to apply.
    const DWORD color = light->GetColorOption(swatch);
    if (color == 0) return;
    ApplyPickedColor(page, color, true);
}

void CMainWnd::ApplyPickedColor(CCorvaneUSBDevice* page, DWORD color, bool showOnPalette) {
    CLightControlUI* light = page->GetLightControl();
    LightSetting setting = page->CurrentLightSetting();
    PutColor(setting, color);
    page->CommitLighting(setting, [&] {
        light->SetRedText(Decimal(setting.red));
        light->SetGreenText(Decimal(setting.green));
        light->SetBlueText(Decimal(setting.blue));
        light->SetSevenColor(0);
        if (showOnPalette) {
            light->SetPaletteColor(color);
        } else {
            light->SetColorButtonColor(color);
        }
    });
}

void CMainWnd::OnRedEdit() { ApplyColorEdit(0); }
void CMainWnd::OnGreenEdit() { ApplyColorEdit(1); }
void CMainWnd::OnBlueEdit() { ApplyColorEdit(2); }

void CMainWnd::ApplyColorEdit(int component) {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    CLightControlUI* light = page != nullptr ? page->GetLightControl() : nullptr;
    if (light == nullptr) return;
    const CDuiString text = component == 0   ? light->GetRedText()
                            : component == 1 ? light->GetGreenText()
                                             : light->GetBlueText();
    const ColorEditValue read = ReadColorEdit(text.GetData());
    if (read.shown) {
        const CDuiString shown(read.shown->c_str());
        if (component == 0)
            light->SetRedText(shown);
        else if (component == 1)
            light->SetGreenText(shown);
        else
            light->SetBlueText(shown);
    }
    LeaveLightingSync(page);
    LightSetting setting = page->CurrentLightSetting();
    (component == 0 ? setting.red : component == 1 ? setting.green : setting.blue) = read.value;
    setting.colorful = 0;
    page->CommitLighting(setting, [&] {
        light->SetSevenColor(0);
        light->SetPaletteColor(OpaqueColorOf(setting));
    });
}

void CMainWnd::OnCustomColorButton(int fill) {
    if (CCorvaneKeyboardDevice* keyboard = KeyboardOf(GetCurrentDevice()))
        keyboard->FillCustomColors(fill != 0 ? 1 : 0);
}

// Every open device follows one software effect: the current device's
// lighting, in each kind's mode for that effect.
void CMainWnd::OnSameModeClick() {
    CCorvaneUSBDevice* current = GetCurrentDevice();
    if (current == nullptr) return;
    const LightSetting setting = current->CurrentLightSetting();
    const std::optional<std::uint8_t> effect = SyncEffectOfMode(current->GetDeviceType(), setting.mode);
    if (!effect) return;
    GetSyncLightState().Store({*effect, setting.brightness, setting.speed, setting.direction, setting.colorful,
                               setting.red, setting.green, setting.blue});
    const std::pair<const DeviceList*, int> kinds[] = {{&m_keyboards, kKeyboardKind},
                                                       {&m_mice, kMouseKind},
                                                       {&m_mousePads, kMousePadKind},
                                                       {&m_headsets, kHeadsetKind}};
    for (const auto& [list, kind] : kinds) {
        const std::optional<std::uint8_t> mode = ModeOfSyncEffect(kind, *effect);
        if (!mode) continue;
        LightSetting copy = setting;
        copy.mode = *mode;
        for (CCorvaneUSBDevice* page : CopyDeviceLists({list})) {
            if (page == nullptr || !page->CommandChannel().IsOpen()) continue;
            page->CommandChannel().SetSyncFlag(1);
            if (CLightControlUI* light = page->GetLightControl()) light->SetLightInfo(copy);
            page->CommitLighting(copy);
        }
    }
}

namespace {

CCorvaneMouseDevice* AsMouse(CCorvaneUSBDevice* page) {
    return page ? static_cast<CCorvaneMouseDevice*>(page->GetInterface(CCorvaneMouseDevice::kClassName)) : nullptr;
}

}  // namespace

void CMainWnd::OnMouseSettingOption(int option) {
    if (CCorvaneMouseDevice* mouse = AsMouse(GetCurrentDevice())) mouse->SelectOptionTab(option);
}

void CMainWnd::PickDpiColor(int stage) {
    CCorvaneMouseDevice* mouse = AsMouse(GetCurrentDevice());
    if (!mouse) return;
    DWORD color = mouse->GetDpiStageColor(stage);
    if (!PickColor(color)) return;
    mouse_settings::StageColorChosen(*mouse, stage, color);
    mouse->SaveAndWriteProfile();
}
// The keyboard's selection stays on its buttons, where the lighting commands
// read it; a selection alone changes nothing.
void CMainWnd::ApplyKeySelectionLight(DuiLib::CControlUI*) {}

// A mouse selection that covers every LED (selected, or hidden and so not
// selectable) reloads the page from the key-light document and writes it.
// The document is "<profile id>.json" in the settings folder, and the id a
// page starts with is empty: the file is ".json", which nothing writes, so
// only a user who puts one there sees the reload (see shell/README.md).
void CMainWnd::ApplyMouseKeySelectionLight(DuiLib::CControlUI* panelControl) {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    auto* panel = panelControl ? static_cast<CContainerUI*>(panelControl->GetInterface(L"Container")) : nullptr;
    if (page == nullptr || panel == nullptr) return;
    std::vector<int> flags(size_t(std::max(0, page->GetLedCount())), 0);
    bool selected = false;
    for (int i = 0; i < panel->GetCount(); ++i) {
        CControlUI* item = panel->GetItemAt(i);
        if (item == nullptr || std::wstring(item->GetClass()) != L"DeviceKeyButton") continue;
        auto* button = static_cast<CDeviceKeyButtonUI*>(item);
        for (const CDuiString& text : {item->GetName(), item->GetUserData()}) {
            CDuiString prefix;
            int led = 0;
            if (!SplitControlName(text, prefix, led) || prefix.CompareNoCase(L"light_") != 0) continue;
            int state = button->IsSelected() ? 1 : 0;
            if (state != 0) selected = true;
            if (!item->IsVisible()) state = 1;
            if (led >= 0 && size_t(led) < flags.size()) flags[size_t(led)] = state;
        }
    }
    if (!selected || std::any_of(flags.begin(), flags.end(), [](int f) { return f != 1; })) return;
    const Json::Value document = CJsonFileUtil::LoadJson(GetUserDataPath() + kFirstProfileId + L".json");
    if (document.isNull()) return;
    page->LoadProfile(1);
    page->RefreshPage(1);
    page->WriteCurrentProfileBlock();
    page->ApplyLightProfile();
}
void CMainWnd::LeaveLightingSync(CCorvaneUSBDevice* page) {
    if (page != nullptr) page->CommandChannel().SetSyncFlag(0);
}

void CMainWnd::ShowLightMode(CCorvaneUSBDevice* page, int mode) {
    if (CLightControlUI* light = page != nullptr ? page->GetLightControl() : nullptr) light->SetLightMode(mode);
}
