#pragma once

#include "platform/ui/ui_types.h"

// Moves the tray menu's anchor next to the desktop's taskbar, given the
// taskbar's rectangle, and tells on which sides of the anchor the menu opens
// (the menu's alignment flags). An empty rectangle (no taskbar) keeps both.
void PlaceTrayMenuBesideTaskbar(const DuiLib::RECT& taskbar, DuiLib::POINT& anchor, DuiLib::DWORD& alignment);
