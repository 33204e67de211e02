#pragma once

namespace DuiLib {

class CPaintManagerUI;

// Lays out and paints the manager's window now even though it is hidden (a
// hidden window is otherwise painted when shown): drawn before it is shown,
// the window appears with its picture instead of blank. The first call lays
// the window out for the first time ("windowinit").
void PaintWhileHidden(CPaintManagerUI& manager);

}  // namespace DuiLib
