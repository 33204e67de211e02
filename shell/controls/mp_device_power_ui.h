#pragma once

// The status tile of one device: battery level as a number and a bar, charge
// state as an icon, whether the device is reached through the 2.4 GHz
// receiver, and for a mouse pad the kind of phone lying on it. It turns a
// status block (DeviceStatusBlock) into these controls and has no other logic.

#include <cstdint>

#include "platform/ui/container.h"

namespace DuiLib {
class CProgressUI;
}

class CMpDevicePowerUI : public DuiLib::CHorizontalLayoutUI {
public:
    static constexpr const wchar_t* kClassName = L"MpDevicePower";
    static constexpr const wchar_t* kSkinFile = L"XML\\CustomControlXML\\MpDevicePower.xml";

    CMpDevicePowerUI();
    static DuiLib::CControlUI* CreateControl();

    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;
    bool Activate() override;
    void DoEvent(DuiLib::TEventUI& event) override;

    // 1 keyboard, 2 mouse, 3 mouse pad, 7 headset; sub-kind as the panel builder gives it.
    // The phone icon shows on a mouse pad's tile only.
    void SetDeviceKind(int kind, int subKind);
    int GetDeviceKind() const { return m_nDeviceKind; }
    int GetDeviceSubKind() const { return m_nDeviceSubKind; }

    // Shows the power part of the tile ("device_power_Layout") when flag is nonzero.
    void ShowPowerLayout(int flag);

    // Shows a status block: byte 0 battery percent, 1 charge state, 3 link,
    // 5 phone type. At most 64 bytes are read; bytes past `length` read as 0.
    // A tile that lacks any of its five status children ignores the block.
    void SetPowerInfo(const uint8_t* block, int length);

private:
    bool FindStatusControls();

    DuiLib::CControlUI* m_pPowerLayout = nullptr;
    DuiLib::CControlUI* m_pValueLabel = nullptr;
    DuiLib::CControlUI* m_pWirelessLogo = nullptr;
    DuiLib::CControlUI* m_pChargeIcon = nullptr;
    DuiLib::CProgressUI* m_pLevelBar = nullptr;
    DuiLib::CControlUI* m_pPhoneIcon = nullptr;
    int m_nDeviceKind = 0;
    int m_nDeviceSubKind = 0;
};
