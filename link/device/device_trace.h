#pragma once

// One debug trace line of the device discovery and the device list (attach,
// detach, switch, show, hide, link checks): formatted like DuiFormat, ended by
// a line feed and written with OutputDebugStringW (shown with TAVRIK_DEBUG=1).

void DeviceTrace(const wchar_t* format, ...);
