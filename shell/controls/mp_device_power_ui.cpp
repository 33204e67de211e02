#include "shell/controls/mp_device_power_ui.h"

#include <algorithm>
#include <cstring>

#include "platform/ui/paint_manager.h"
#include "platform/ui/progress.h"

using namespace DuiLib;

namespace {

constexpr int kKindKeyboard = 1;
constexpr int kKindMouse = 2;
constexpr int kKindMousePad = 3;

struct PhoneLook {
    const wchar_t* toolTip;
    const wchar_t* image;
};

PhoneLook PhoneLookFor(uint8_t type) {
    switch (type) {
        case 1:
            return {L"Phone_type_iphone", L"file='power/Phone_type_iphone.png'"};
        case 2:
            return {L"Phone_type_samsung", L"file='power/Phone_type_samsung.png'"};
        case 3:
            return {L"Phone_type_other", L"file='power/Phone_type_other.png'"};
        default:
            return {L"Phone_type_no_device", L"file='power/Phone_type_no_device.png'"};
    }
}

const wchar_t* ChargeImageFor(uint8_t state) {
    switch (state) {
        case 0:
            return L"file='power/powered.png'";
        case 1:
            return L"file='power/powering.png'";
        case 2:
            return L"file='power/power.png'";
        default:
            return nullptr;
    }
}

}  // namespace

CMpDevicePowerUI::CMpDevicePowerUI() = default;

CControlUI* CMpDevicePowerUI::CreateControl() { return new CMpDevicePowerUI(); }

LPCTSTR CMpDevicePowerUI::GetClass() const { return kClassName; }

LPVOID CMpDevicePowerUI::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, kClassName) == 0) return this;
    return CHorizontalLayoutUI::GetInterface(pstrName);
}

bool CMpDevicePowerUI::Activate() {
    if (!CHorizontalLayoutUI::Activate()) return false;
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_SELECTCHANGED);
    return true;
}

void CMpDevicePowerUI::DoEvent(TEventUI& event) { CHorizontalLayoutUI::DoEvent(event); }

void CMpDevicePowerUI::SetDeviceKind(int kind, int subKind) {
    m_nDeviceKind = kind;
    m_nDeviceSubKind = subKind;
    // Only a mouse pad has a phone lying on it.
    if (!m_pPhoneIcon) m_pPhoneIcon = FindSubControl(L"device_phone_type");
    if (m_pPhoneIcon) m_pPhoneIcon->SetVisible(kind == kKindMousePad);
}

void CMpDevicePowerUI::ShowPowerLayout(int flag) {
    if (!m_pPowerLayout) m_pPowerLayout = FindSubControl(L"device_power_Layout");
    if (m_pPowerLayout) m_pPowerLayout->SetVisible(flag != 0);
}

bool CMpDevicePowerUI::FindStatusControls() {
    if (!m_pValueLabel) m_pValueLabel = FindSubControl(L"device_power_value");
    if (!m_pWirelessLogo) m_pWirelessLogo = FindSubControl(L"device_wuxian_logo");
    if (!m_pLevelBar) {
        CControlUI* bar = FindSubControl(L"device_Power_progress");
        m_pLevelBar = bar ? static_cast<CProgressUI*>(bar->GetInterface(L"Progress")) : nullptr;
    }
    if (!m_pChargeIcon) m_pChargeIcon = FindSubControl(L"device_power_status");
    if (!m_pPhoneIcon) m_pPhoneIcon = FindSubControl(L"device_phone_type");
    return m_pValueLabel && m_pWirelessLogo && m_pLevelBar && m_pChargeIcon && m_pPhoneIcon;
}

void CMpDevicePowerUI::SetPowerInfo(const uint8_t* block, int length) {
    uint8_t bytes[64] = {};
    if (block && length > 0) std::memcpy(bytes, block, size_t(std::min(length, 64)));
    if (!FindStatusControls()) return;

    const int battery = bytes[0];
    m_pLevelBar->SetValue(100 - battery);
    m_pValueLabel->SetText(DuiFormat(L"%d%s", battery, L"%"));

    if (m_nDeviceKind == kKindKeyboard || m_nDeviceKind == kKindMouse) m_pWirelessLogo->SetVisible(bytes[3] != 0);

    if (const wchar_t* image = ChargeImageFor(bytes[1])) {
        m_pLevelBar->SetVisible(true);
        m_pChargeIcon->SetBkImage(image);
    }

    if (m_nDeviceKind == kKindMousePad) {
        const PhoneLook look = PhoneLookFor(bytes[5]);
        m_pPhoneIcon->SetToolTip(look.toolTip);
        m_pPhoneIcon->SetBkImage(look.image);
    }
}
