#include "shell/device_controls_registry.h"

#include "platform/ui/dialog_builder.h"
#include "shell/device_key_button_ui.h"
#include "shell/mp_device_power_ui.h"
#include "shell/select_panel_ui.h"

void RegisterDeviceControls() {
    DuiLib::CControlFactory* factory = DuiLib::CControlFactory::GetInstance();
    factory->RegistControl(L"CDeviceKeyButtonUI", &CDeviceKeyButtonUI::CreateControl);
    factory->RegistControl(L"CSelectPanelUI", &CSelectPanelUI::CreateControl);
    factory->RegistControl(L"CMpDevicePowerUI", &CMpDevicePowerUI::CreateControl);
}
