#include "shell/main/control_tables.h"

#include "link/corvane_usb_device.h"
#include "pages/light_control_ui.h"
#include "shell/device_key_button_ui.h"
#include "shell/device_option_ui.h"
#include "shell/mp_device_power_ui.h"
#include "shell/select_panel_ui.h"

namespace {

constexpr ControlClassRow kMainWindowClasses[] = {
    {L"CircleProgress", nullptr},
    {L"SelectPanel", &CSelectPanelUI::CreateControl},
    {L"DeviceKeyButton", &CDeviceKeyButtonUI::CreateControl},
    {L"HandImgButton", nullptr},
    {L"AudioRecord", nullptr},
    {L"HandImgSelectButton", nullptr},
    {L"RedioMacroButton", nullptr},
    {L"ComboEditContainerElement", nullptr},
    {L"CorvaneMousePadDevice", nullptr},
    {L"CorvaneHS6533Device", nullptr},
    {L"CorvaneMouseDevice", nullptr},
    {L"CorvaneKeyboardDevice", nullptr},
    {L"DeviceProfile", nullptr},
    {L"LightControl", &CLightControlUI::CreateInstance},
    {L"MagicControl", nullptr},
    {L"Voice6533Control", nullptr},
    {L"KeySetControl", nullptr},
    {L"ShootControl", nullptr},
};

constexpr ControlTemplateRow kMainWindowTemplates[] = {
    {L"DeviceProfileUI", L"XML\\CustomControlXML\\DeviceProfile.xml"},
    {L"LightSetControlUI", L"XML\\CustomControlXML\\LightControl.xml"},
    {L"Voice6533SetControlUI", L"XML\\CustomControlXML\\Voice6533Control.xml"},
    {L"MagicSetControlUI", L"XML\\CustomControlXML\\MagicControl.xml"},
    {L"KeySetControlUI", L"XML\\CustomControlXML\\KeySetControl.xml"},
    {L"MacroSetControlUI", L"XML\\CustomControlXML\\MacroControl.xml"},
    {L"ShootKeySetControlUI", L"XML\\CustomControlXML\\ShootControl.xml"},
    {L"VirtualSetControlUI", L"XML\\CustomControlXML\\VirtualSet.xml"},
};

constexpr ControlClassRow kFactoryClasses[] = {
    {L"CCircleProgressUI", nullptr},
    {L"CChartViewUI", nullptr},
    {L"CWndUI", nullptr},
    {L"CSelectPanelUI", &CSelectPanelUI::CreateControl},
    {L"CDeviceKeyButtonUI", &CDeviceKeyButtonUI::CreateControl},
    {L"CCloudShareListItemUI", nullptr},
    {L"CUpdateInfoListItemUI", nullptr},
    {L"CDeviceOptionUI", &CDeviceOptionUI::CreateControl},
    {L"CMpDevicePowerUI", &CMpDevicePowerUI::CreateControl},
    {L"CComboEditContainerElementUI", nullptr},
    {L"CHandImgButtonUI", nullptr},
    {L"CHandImgSelectButtonUI", nullptr},
    {L"CRedioMacroButtonUI", nullptr},
    {L"CAudioRecordUI", nullptr},
    {L"CLightControlUI", &CLightControlUI::CreateInstance},
    {L"CMacroControlUI", nullptr},
    {L"CKeySetControlUI", nullptr},
    {L"CDeviceProfileUI", nullptr},
    {L"CShootControlUI", nullptr},
    {L"CMagicControlUI", nullptr},
    {L"CVoice6533ControlUI", nullptr},
    {L"CCorvaneUSBDevice", &CCorvaneUSBDevice::CreateControl},
    {L"CCorvaneMousePadDevice", nullptr},
    {L"CCorvaneHS6533Device", nullptr},
};

// Every name above that creates nothing yet: classes not written and
// templates whose file is not in the skin folder.
constexpr const wchar_t* kPendingNames[] = {
    // Drawing and other custom controls, image buttons.
    L"CircleProgress", L"CCircleProgressUI", L"CChartViewUI", L"CWndUI", L"CCloudShareListItemUI",
    L"HandImgButton", L"CHandImgButtonUI", L"HandImgSelectButton", L"CHandImgSelectButtonUI",
    L"AudioRecord", L"CAudioRecordUI", L"RedioMacroButton", L"CRedioMacroButtonUI",
    L"ComboEditContainerElement", L"CComboEditContainerElementUI",
    // The update list row.
    L"CUpdateInfoListItemUI",
    // Device families.
    L"CorvaneMousePadDevice", L"CCorvaneMousePadDevice", L"CorvaneHS6533Device", L"CCorvaneHS6533Device",
    L"CorvaneMouseDevice", L"CorvaneKeyboardDevice",
    // Settings pages and their templates.
    L"DeviceProfile", L"CDeviceProfileUI", L"DeviceProfileUI", L"LightSetControlUI", L"CMacroControlUI",
    L"MacroSetControlUI", L"KeySetControl", L"CKeySetControlUI", L"KeySetControlUI", L"ShootControl",
    L"CShootControlUI", L"ShootKeySetControlUI",
    // Other devices' pages and their templates.
    L"MagicControl", L"CMagicControlUI", L"MagicSetControlUI", L"Voice6533Control", L"CVoice6533ControlUI",
    L"Voice6533SetControlUI",
};

}  // namespace

std::span<const ControlClassRow> MainWindowControlClasses() { return kMainWindowClasses; }
std::span<const ControlTemplateRow> MainWindowControlTemplates() { return kMainWindowTemplates; }
std::span<const ControlClassRow> FactoryControlClasses() { return kFactoryClasses; }
std::span<const wchar_t* const> PendingControlNames() { return kPendingNames; }

void RegisterCustomControls() {
    DuiLib::CControlFactory* factory = DuiLib::CControlFactory::GetInstance();
    for (const ControlClassRow& row : kFactoryClasses) {
        if (row.create != nullptr) factory->RegistControl(row.name, row.create);
    }
}
