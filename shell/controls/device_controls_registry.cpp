#include "shell/controls/device_controls_registry.h"

#include "platform/ui/dialog_builder.h"
#include "shell/controls/device_key_button_ui.h"
#include "shell/controls/mp_device_power_ui.h"
#include "shell/controls/select_panel_ui.h"

void RegisterDeviceControls() {
    DuiLib::CControlFactory* factory = DuiLib::CControlFactory::GetInstance();
    factory->RegistControl(L"CDeviceKeyButtonUI", &CDeviceKeyButtonUI::CreateControl);
    factory->RegistControl(L"CSelectPanelUI", &CSelectPanelUI::CreateControl);
    factory->RegistControl(L"CMpDevicePowerUI", &CMpDevicePowerUI::CreateControl);
}
