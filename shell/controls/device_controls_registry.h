#pragma once

// Registers the device-picture and power-tile controls of this library with
// the UI's control factory under their builder names ("CDeviceKeyButtonUI",
// "CSelectPanelUI", "CMpDevicePowerUI"), so that skins can use the tags
// "DeviceKeyButton", "SelectPanel" and "MpDevicePower" (the device list entry
// registers itself: RegisterDeviceOptionControl). Called once at start-up,
// before the first skin is built.
void RegisterDeviceControls();
