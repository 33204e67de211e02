#pragma once

#include "platform/ui/ui_types.h"

// The rectangle of the monitor that holds the window rectangle: the one with
// the window's centre, else the nearest one (the primary screen when the
// display reports no monitors).
DuiLib::RECT MonitorRectOfWindow(const DuiLib::RECT& window);
