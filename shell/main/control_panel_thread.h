#pragma once

// Opens the desktop's keyboard (parameter 0) or mouse (parameter 1) settings:
// GNOME's control centre, else KDE's system settings; with neither a log line
// says so. A short-lived worker: the starter keeps no handle of it.

#include "platform/files/win_types.h"

win::DWORD ControlPanelThread(void* parameter);

// Starts ControlPanelThread with the page (0 keyboard, 1 mouse); other values
// start nothing.
void StartControlPanelThread(int page);
