#include "platform/ui/scroll_into_view.h"

namespace DuiLib {

namespace {

// How far a span [low, high) moves to lie inside [viewLow, viewHigh).
long Shift(long low, long high, long viewLow, long viewHigh) {
    if (low < viewLow) return low - viewLow;
    if (high > viewHigh) return high - viewHigh;
    return 0;
}

}  // namespace

void ScrollIntoView(CContainerUI* container, CControlUI* item) {
    if (!container || !item) return;
    container->SetPos(container->GetPos(), false);
    const RECT view = container->GetClientPos();
    const RECT at = item->GetPos();
    const long dx = Shift(at.left, at.right, view.left, view.right);
    const long dy = Shift(at.top, at.bottom, view.top, view.bottom);
    if (dx == 0 && dy == 0) return;
    SIZE scroll = container->GetScrollPos();
    scroll.cx += dx;
    scroll.cy += dy;
    container->SetScrollPos(scroll);
}

}  // namespace DuiLib
