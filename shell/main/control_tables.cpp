#include "shell/main/control_tables.h"

#include <array>

#include "devices/corvane_hs6533_device.h"
#include "devices/corvane_mouse_device.h"
#include "devices/corvane_mouse_pad_device.h"
#include "devices/magic_control_ui.h"
#include "devices/voice6533_control_ui.h"
#include "keyboard/corvane_keyboard_device.h"
#include "link/device/corvane_usb_device.h"
#include "pages/device_profile_ui.h"
#include "pages/key_set_control_ui.h"
#include "pages/light_control_ui.h"
#include "pages/macro_control_ui.h"
#include "pages/shoot_control_ui.h"
#include "platform/ui/dui_string.h"
#include "shell/controls/audio_record_ui.h"
#include "shell/controls/chart_view_ui.h"
#include "shell/controls/circle_progress_ui.h"
#include "shell/controls/cloud_share_list_item_ui.h"
#include "shell/controls/combo_edit_container_element_ui.h"
#include "shell/controls/device_key_button_ui.h"
#include "link/device/device_option_ui.h"
#include "shell/controls/hand_img_button_ui.h"
#include "shell/controls/hand_img_select_button_ui.h"
#include "shell/controls/mp_device_power_ui.h"
#include "shell/controls/redio_macro_button_ui.h"
#include "shell/controls/select_panel_ui.h"
#include "shell/controls/update_info_list_item_ui.h"
#include "shell/controls/wnd_ui.h"

namespace {

constexpr ControlClassRow kMainWindowClasses[] = {
    {L"CircleProgress", &CCircleProgressUI::CreateInstance},
    {L"SelectPanel", &CSelectPanelUI::CreateControl},
    {L"DeviceKeyButton", &CDeviceKeyButtonUI::CreateControl},
    {L"HandImgButton", &CHandImgButtonUI::CreateInstance},
    {L"AudioRecord", &CAudioRecordUI::CreateInstance},
    {L"HandImgSelectButton", &CHandImgSelectButtonUI::CreateInstance},
    {L"RedioMacroButton", &CRedioMacroButtonUI::CreateInstance},
    {L"ComboEditContainerElement", &CComboEditContainerElementUI::CreateInstance},
    {L"CorvaneMousePadDevice", &CCorvaneMousePadDevice::CreateControl},
    {L"CorvaneHS6533Device", &CCorvaneHS6533Device::CreateControl},
    {L"CorvaneMouseDevice", &CCorvaneMouseDevice::CreateControl},
    {L"CorvaneKeyboardDevice", &CCorvaneKeyboardDevice::CreateControl},
    {L"DeviceProfile", &CDeviceProfileUI::CreateInstance},
    {L"LightControl", &CLightControlUI::CreateInstance},
    {L"MagicControl", &CMagicControlUI::CreateInstance},
    {L"Voice6533Control", &CVoice6533ControlUI::CreateInstance},
    {L"KeySetControl", &CKeySetControlUI::CreateInstance},
    {L"ShootControl", &CShootControlUI::CreateInstance},
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
    {L"CCircleProgressUI", &CCircleProgressUI::CreateInstance},
    {L"CChartViewUI", &CChartViewUI::CreateInstance},
    {L"CWndUI", &CWndUI::CreateInstance},
    {L"CSelectPanelUI", &CSelectPanelUI::CreateControl},
    {L"CDeviceKeyButtonUI", &CDeviceKeyButtonUI::CreateControl},
    {L"CCloudShareListItemUI", &CCloudShareListItemUI::CreateInstance},
    {L"CUpdateInfoListItemUI", &CUpdateInfoListItemUI::CreateInstance},
    {L"CDeviceOptionUI", &CDeviceOptionUI::CreateControl},
    {L"CMpDevicePowerUI", &CMpDevicePowerUI::CreateControl},
    {L"CComboEditContainerElementUI", &CComboEditContainerElementUI::CreateInstance},
    {L"CHandImgButtonUI", &CHandImgButtonUI::CreateInstance},
    {L"CHandImgSelectButtonUI", &CHandImgSelectButtonUI::CreateInstance},
    {L"CRedioMacroButtonUI", &CRedioMacroButtonUI::CreateInstance},
    {L"CAudioRecordUI", &CAudioRecordUI::CreateInstance},
    {L"CLightControlUI", &CLightControlUI::CreateInstance},
    {L"CMacroControlUI", &CMacroControlUI::CreateInstance},
    {L"CKeySetControlUI", &CKeySetControlUI::CreateInstance},
    {L"CDeviceProfileUI", &CDeviceProfileUI::CreateInstance},
    {L"CShootControlUI", &CShootControlUI::CreateInstance},
    {L"CMagicControlUI", &CMagicControlUI::CreateInstance},
    {L"CVoice6533ControlUI", &CVoice6533ControlUI::CreateInstance},
    {L"CCorvaneUSBDevice", &CCorvaneUSBDevice::CreateControl},
    {L"CCorvaneMousePadDevice", &CCorvaneMousePadDevice::CreateControl},
    {L"CCorvaneHS6533Device", &CCorvaneHS6533Device::CreateControl},
};

// Every name above that creates nothing yet: classes not written and
// templates whose file is not in the skin folder.
// None at the moment; the list stays for the next class or template.
constexpr std::array<const wchar_t*, 0> kPendingNames{};

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

DuiLib::CControlUI* CreateSkinControl(DuiLib::LPCTSTR pstrClass, DuiLib::CPaintManagerUI* pm) {
    if (pstrClass == nullptr) return nullptr;
    for (const ControlClassRow& row : kMainWindowClasses) {
        if (DuiLib::DuiCompareNoCase(row.name, pstrClass) == 0) return row.create != nullptr ? row.create() : nullptr;
    }
    for (const ControlTemplateRow& row : kMainWindowTemplates) {
        if (DuiLib::DuiCompareNoCase(row.name, pstrClass) == 0) {
            DuiLib::CDialogBuilder builder;
            return builder.Create(row.file, nullptr, nullptr, pm, nullptr);
        }
    }
    return nullptr;
}
