#include "shell/main/device_scan_thread.h"

win::DWORD DeviceScanThreadProc(void*) { return 0; }
