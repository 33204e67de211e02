#pragma once

#include "platform/ui/container.h"

namespace DuiLib {

// Scrolls `container` (laid out again first: `item` may have been shown just
// now) so that `item`, one of its children, is whole in view, horizontally
// and vertically, moving as little as needed.
void ScrollIntoView(CContainerUI* container, CControlUI* item);

}  // namespace DuiLib
