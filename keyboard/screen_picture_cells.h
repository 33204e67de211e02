#pragma once
// The cells of a screen frame into and out of a picture.

#include "keyboard/screen_picture.h"
#include "keyboard/screen_view_control_ui.h"

// Every pixel of the picture that falls in the grid becomes a set cell of the
// pixel's colour.
void CopyPictureToCells(const ScreenPicture& picture, CScreenViewControlUI::CellGrid& cells);

// A rows x columns picture of the cells, whatever their flags; empty for an
// empty size.
ScreenPicture CellsToPicture(const CScreenViewControlUI::CellGrid& cells, int columns, int rows);
