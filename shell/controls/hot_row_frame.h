#pragma once

// The one-pixel frame a list row draws around itself while the pointer is
// over it and it is not picked, when its list has a hot picture: the row
// looks picked out without being picked.

#include "platform/ui/list.h"

void DrawHotRowFrame(DuiLib::HDC hDC, const DuiLib::RECT& rcItem, bool picked, DuiLib::UINT buttonState,
                     DuiLib::IListOwnerUI* owner);
