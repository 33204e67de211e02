#pragma once

// The device scan thread: worker slot 0 of the main window. Every pass it
// looks for devices that came and went (DeviceScanPass) and paces itself by
// its stop event; after its first pass it posts WM_ACTIVATE_INSTANCE, which
// shows the main window.

#include "platform/files/win_types.h"

class CMainWnd;

// The thread's start routine; parameter: the slot's win::WorkerParam. Returns 0.
win::DWORD DeviceScanThreadProc(void* parameter);

// One pass of presence check, enumeration and claim (runs on the scan thread).
void DeviceScanPass(CMainWnd& window);
