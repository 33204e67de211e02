#pragma once

// The entry of one device in the main window's device list. For now it holds
// only what the device page needs of it (its class and identity as the page's
// owner entry); its icons, options and the timers that drive the page follow.

#include "platform/ui/container.h"

class CDeviceOptionUI : public DuiLib::CHorizontalLayoutUI {
public:
    static constexpr const wchar_t* kClassName = L"DeviceOption";
    static constexpr const wchar_t* kSkinFile = L"XML\\CustomControlXML\\DeviceOption.xml";

    CDeviceOptionUI();
    static DuiLib::CControlUI* CreateControl();

    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;
};
