#pragma once

// The secondary message windows that any page may open: the message boxes and
// the progress window of a transfer.

#include "platform/os/win_types.h"

// Closes every open message box (each ends as if cancelled).
void CloseAllMessageBoxes();
// The window handle of the open progress window, or null when none is open.
// Safe on any thread.
win::HWND GetProgressWindowHwnd();
