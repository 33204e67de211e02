#pragma once

// The UI probe's listing of one window: every visible named control with the
// part of its rectangle that the window shows, and its text. A test that
// drives the real program reads it to find controls without fixed
// coordinates (see platform/ui/x11/README.md).

#include <vector>

#include "platform/ui/display_backend.h"
#include "platform/ui/ui_types.h"

namespace DuiLib {

class CControlUI;

// Walks the tree under `root` within `client`. A slider's or progress bar's
// text is its value, minimum, maximum and "h" or "v" ("3 0 5 h"). A row of a list or combo that
// has no name of its own is listed as "<owner's name>/<row index>", so a drop
// list's rows can be found too; the rows of a closed combo are not shown and
// not listed. A control that an ancestor without a scroll bar cuts off (a
// part or all of it lies outside) is listed once more as "<name>#cut" with
// its whole rectangle. An option of a group is listed once more as
// "<name>#group" (text: the group's name), a chosen option or list row as
// "<name>#chosen", a combo as "<name>#list" (text: current row, number of
// rows, 1 when it can be opened, else 0). A control in sight whose text does not fit its room
// (drawn cut, or ended by an ellipsis; named or not, an edit's text aside) is
// listed once more as "<name>#textcut" ("#textcut" without a name).
std::vector<BackendProbeEntry> CollectProbeEntries(CControlUI* root, const RECT& client);

}  // namespace DuiLib
