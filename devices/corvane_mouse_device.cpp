// The mouse page: construction, page binding, connection and re-sync, and
// the profile document's plumbing.
#include "devices/corvane_mouse_device.h"

#include "link/device/keyboard_messages.h"
#include "link/json_read.h"
#include "link/profile_file.h"
#include "link/string_util.h"
#include "link/text_encoding.h"
#include "pages/device_profile_ui.h"
#include "pages/key_set_control_ui.h"
#include "pages/light_control_ui.h"
#include "pages/macro_control_ui.h"
#include "pages/macro_files.h"
#include "pages/shoot_control_ui.h"
#include "platform/os/message_queue.h"
#include "platform/ui/controls.h"
#include "platform/ui/paint_manager.h"
#include "shell/controls/device_key_button_ui.h"
#include "shell/controls/mp_device_power_ui.h"

using namespace DuiLib;

const KeyFunction MouseReferenceFunctionTable[kMouseButtonCount] = {
    {0x10, 0x01, 0}, {0x10, 0x02, 0}, {0x10, 0x04, 0}, {0x10, 0x10, 0}, {0x10, 0x08, 0}, {0x13, 1, 0},
    {0x13, 2, 0},    {0x13, 3, 0},    {0xA0, 0x1B, 0}, {0x16, 0x90, 1}, {0x14, 0x78, 2},
};

const wchar_t* const MouseButtonNameTable[kMouseButtonCount] = {
    L"mouse_key_left",  L"mouse_key_right",   L"mouse_key_middle",   L"mouse_key_forward",
    L"mouse_key_back",  L"mouse_key_DPI_add", L"mouse_key_DPI_sub",  L"mouse_key_DPI_loop",
    L"keyboard_key_GM", L"mouse_key_M8_key",  L"mouse_key_fire_key",
};

const int MouseLedGroupTable[kMouseLedGroups][3] = {
    {0, -1, 13}, {1, -1, 12}, {2, -1, 11}, {3, -1, 10}, {4, -1, 9}, {5, -1, 8}, {6, 14, 7},
};

namespace {

constexpr wchar_t kSettingLayout[] = L"mouse_device_seting_layout";
constexpr wchar_t kSelectPanelClass[] = L"SelectPanel";
constexpr wchar_t kKeyButtonClass[] = L"DeviceKeyButton";
constexpr DWORD kWhite = 0xFFFFFF;
constexpr int kFullLevel = 255;
// The mouse page's brightness and speed sliders reach 4.
constexpr int kLightLevelMax = 4;

CContainerUI* AsContainer(CControlUI* c) {
    return c ? static_cast<CContainerUI*>(c->GetInterface(L"Container")) : nullptr;
}

}  // namespace

CCorvaneMouseDevice::CCorvaneMouseDevice() {
    m_nDeviceType = kTypeMouse;
    m_nEffectListCount = 0;
    ClearFadeState();
    m_leds.m_ring[0] = 1;
    m_logoLedIndex = -1;
    PointProfileDocument(m_profile);
    m_profile.SetDefaultProfilePath(GetDefaultProfilePath());
    m_eventListener.SetHandlers([this](int type, uint16_t code) { HandleEventCode(type, code); },
                                [this](uint16_t code) { OnProfileSwitchEvent(code); }, {});
}

// The threads use the page: they end before any of it goes.
CCorvaneMouseDevice::~CCorvaneMouseDevice() {
    m_light0Buttons.clear();
    StopLightThread();
    StopEventListener(kEventWired);
    StopEventListener(kEventReceiver);
}

CControlUI* CCorvaneMouseDevice::CreateControl() { return CreatePage<CCorvaneMouseDevice>(); }

LPVOID CCorvaneMouseDevice::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, kClassName) == 0) return this;
    return CCorvaneUSBDevice::GetInterface(pstrName);
}

// --- Page ----------------------------------------------------------------------

void CCorvaneMouseDevice::BuildDevicePage() {
    if (ClearWithoutLayout()) {
        m_light0Buttons.clear();
        return;
    }
    CContainerUI* layout = AsContainer(FindSubControl(kSettingLayout));
    if (!layout) return;
    for (int i = 0; i < layout->GetCount(); ++i) {
        CContainerUI* panel = AsContainer(layout->GetItemAt(i));
        if (!panel || CDuiString(panel->GetClass()) != kSelectPanelClass) continue;
        for (int j = 0; j < panel->GetCount(); ++j) {
            CControlUI* child = panel->GetItemAt(j);
            if (!child || CDuiString(child->GetClass()) != kKeyButtonClass) continue;
            auto* button = static_cast<CDeviceKeyButtonUI*>(child->GetInterface(kKeyButtonClass));
            if (!button) continue;
            BindMouseButton(button, panel);
        }
        if (!m_pSelectPanel) m_pSelectPanel = panel;
    }
    if (!m_pSelectPanel) return;

    BindProfileBar(m_nDeviceType);
    BindLightControl(m_nDeviceType, kLightLevelMax);
    m_pMacroControl = BindMacroControl();
    m_pKeySetControl = BindKeySetControl(m_nDeviceType, m_pMacroControl);
    BindShootControl();
    SelectOptionTab(0);
}

void CCorvaneMouseDevice::BindMouseButton(CDeviceKeyButtonUI* button, CContainerUI* panel) {
    CDuiString prefix;
    int n = -1;
    if (SplitControlName(button->GetName(), prefix, n) && n >= 0) {
        prefix.MakeLower();
        if (prefix == L"key_" && size_t(n) < m_keyButtons.size()) m_keyButtons[size_t(n)] = button;
        if (prefix == L"light_" && size_t(n) < m_lightButtons.size()) {
            m_lightButtons[size_t(n)] = button;
            button->SetLightColor(kWhite, kFullLevel, true);
        }
        if (prefix == L"light_0_") {
            if (size_t(n) < m_light0Buttons.size())
                m_light0Buttons[size_t(n)] = button;
            else
                m_light0Buttons.push_back(button);
            button->SetLightColor(kWhite, kFullLevel, true);
            if (!m_pLight0Panel) m_pLight0Panel = panel;
        }
    }
    prefix.Empty();
    n = -1;
    if (SplitControlName(button->GetUserData(), prefix, n) && n >= 0) {
        prefix.MakeLower();
        if (prefix == L"light_" && size_t(n) < m_lightButtons.size()) {
            m_lightButtons[size_t(n)] = button;
            button->SetLightColor(kWhite, kFullLevel, true);
        }
    }
    CDuiString tip = button->GetToolTip();
    tip.MakeLower();
    if (tip == L"logo") m_pLogoButton = button;
}

void CCorvaneMouseDevice::BindShootControl() {
    m_pShootControl = FindAs<CShootControlUI>(L"ShootControlItem", CShootControlUI::kClassName);
    if (!m_pShootControl) return;
    m_pShootControl->SetDataFolder(GetUserDataFolder());
    m_pShootControl->SetDefaultFolder(GetDefaultDataFolder());
    // Guns whose working file is missing or unreadable start from their defaults.
    m_pShootControl->Init();
    m_pShootControl->SelectGun(0);
    m_pShootControl->SelectBullet(0);
}

void CCorvaneMouseDevice::SelectFunctionTab(int code) {
    CCorvaneUSBDevice::SelectFunctionTab(code);
    // The page has one row of tabs: the function tab also chooses what the
    // picture above shows (the LEDs for lighting, the buttons otherwise); the
    // tab's own settings stand under it. The macro editor takes the whole
    // page.
    if (!m_pTopPanel) m_pTopPanel = FindSubControl(L"mouse_top_panel");
    if (m_pTopPanel) m_pTopPanel->SetVisible(code != kFunctionTabMacros);
    SelectOptionTab(code == kFunctionTabLighting ? kOptionLighting : kOptionKeys);
    if (!m_pHintControl) m_pHintControl = FindSubControl(L"device_tishi_info");
    if (m_pHintControl) m_pHintControl->SetVisible(false);
}

// --- Connection ------------------------------------------------------------------

void CCorvaneMouseDevice::OnConnected() {
    ReadDeviceInfo();
    LoadProfile(1);
    RefreshPage(1);
    StartLightThread();
}

void CCorvaneMouseDevice::ReadActiveProfile() {
    int profile = 0;
    ReadParamBlock(&profile);
    RefreshPage(1);
}

void CCorvaneMouseDevice::PollStatus() {
    if (!m_commandChannel.IsOpen() || GetWindowHidden()) return;
    if (!m_commandChannel.QueryLink()) return;
    DeviceStatusBlock status;
    if (m_commandChannel.ReadStatus(status.bytes, DeviceStatusBlock::kSize, 0) != 1) return;
    status.SetWirelessLink(m_commandChannel.IsReceiverMode() ? 1 : 0);
    if (m_pPowerPanel) m_pPowerPanel->SetPowerInfo(status.bytes, int(DeviceStatusBlock::kSize));
    if (m_hMainWnd) win::SendMessageW(m_hMainWnd, WM_DEVICE_STATUS, status.StatusCode(), 0);
}

int CCorvaneMouseDevice::CheckDongleLink() {
    return m_commandChannel.IsOpen() && m_commandChannel.IsReceiverMode() && m_commandChannel.QueryLink() ? 1 : 0;
}

// --- Profile -------------------------------------------------------------------

void CCorvaneMouseDevice::TakeProfileSettings() {
    m_keyList = m_profile.GetKeyList();
    ApplyLightProfile();
    m_dpiStages = m_profile.GetDpiStages();
    m_systemStages = m_profile.GetSystemStages();
}

int CCorvaneMouseDevice::LoadProfile(int) {
    UpdateProfilePaths();
    m_profile.LoadProfile(GetProfilePath());
    TakeProfileSettings();
    return 1;
}

void CCorvaneMouseDevice::RestoreDefaultProfile() {
    const CDuiString defaults = GetDefaultProfilePath();
    // Without a readable default entry the user's profile stays as it is.
    const ProfileFileContent file = ReadProfileFile(defaults, 0);
    if (file.state != ProfileFileState::kReadable || DeviceEntryOf(file.root, 0).isNull()) return;
    m_profile.LoadProfile(defaults);
    TakeProfileSettings();
    SaveProfile();
    RefreshPage(1);
}

void CCorvaneMouseDevice::LoadNameLists() { LoadLightAndMacroNames(false); }

void CCorvaneMouseDevice::RefreshPage(int) {
    LoadNameLists();
    RefreshKeyInfoList();
    if (m_pLightControl) m_pLightControl->SetLightInfo(CurrentLightSetting());
    for (size_t i = 0; i < m_dpiStages.size() && i < mouse_block::kStageCount; ++i) {
        const DpiStage& s = m_dpiStages[i];
        EnableDpiStage(int(i), s.active != 0);
        SetDpiSliderValue(int(i), s.x);
        SetDpiStageColor(int(i), 0xFF000000u | uint32_t(s.red) << 16 | uint32_t(s.green) << 8 | s.blue);
    }
    ShowSystemStages();
}
