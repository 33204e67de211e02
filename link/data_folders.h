#pragma once

#include "link/base/product_ids.h"
#include "platform/ui/dui_string.h"

// The folders in which all settings live. Every path returned ends in a
// separator, so callers append file names directly ("...\keyboard\" + id +
// ".Json"). Paths are program paths: '\' joins the parts the program adds.

// `DefaultData`: the defaults installed beside the program (program folder +
// "DefaultData\"). Never created.
DuiLib::CDuiString GetDefaultDataPath();

// `UserDataFolder`: the local application-data folder + "\" + the product
// string + "\". The application-data folder is created (with its parents) when
// missing, the product folder with one level when missing; a failure to create
// is not reported, the later file operations in it fail instead.
DuiLib::CDuiString GetUserDataPath();

// `DeviceDataFolder`: GetUserDataPath() + kindName + "\", created the same
// way; kindName is a kind name of the device-option table ("keyboard",
// "mouse", "MousePad", "HD").
DuiLib::CDuiString GetDeviceDataPath(const wchar_t* kindName);
