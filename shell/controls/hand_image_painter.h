#pragma once

// Draws an image description (a bare image name, or key='value' pairs: file
// or res, restype, dest, source, corner, mask, fade, hole, xtiled, ytiled,
// hsl) over a control, as the hand-image buttons show their pictures.

#include "platform/ui/control.h"

// "dest" places the picture inside rcItem (offsets at 96 DPI from its
// top-left corner, right and bottom kept inside the control); an all-zero
// "source" is the whole picture and a larger one is cut to it. A non-empty imageName stands
// in for the description's own name (a picture chosen on disk may carry
// characters the description cannot quote). False when no picture was
// loaded.
bool PaintHandImage(DuiLib::HDC hDC, DuiLib::CPaintManagerUI* pManager, const DuiLib::RECT& rcItem,
                    const DuiLib::RECT& rcPaint, const DuiLib::CDuiString& description,
                    const DuiLib::CDuiString& imageName = DuiLib::CDuiString());
