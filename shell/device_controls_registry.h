#pragma once

// Registers the device-picture and device-panel controls of this folder with
// the UI's control factory under their builder names ("CDeviceKeyButtonUI",
// "CSelectPanelUI", "CMpDevicePowerUI", "CDeviceOptionUI"), so that skins can
// use the tags "DeviceKeyButton", "SelectPanel", "MpDevicePower" and
// "DeviceOption". Called once at start-up, before the first skin is built.
void RegisterDeviceControls();
