#pragma once

#include "platform/files/win_types.h"

// The lighting-sync worker of the main window (slot 8): given the window's
// WorkerParam, it steps the window's lighting sync until the stop event is set.
win::DWORD SyncLightThreadProc(void* parameter);
