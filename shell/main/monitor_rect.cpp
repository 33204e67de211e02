#include "shell/main/monitor_rect.h"

#include <climits>
#include <cstdlib>

#include "platform/ui/display_backend.h"
#include "platform/ui/x11/x11_backend.h"

DuiLib::RECT MonitorRectOfWindow(const DuiLib::RECT& window) {
    const long cx = (static_cast<long>(window.left) + window.right) / 2;
    const long cy = (static_cast<long>(window.top) + window.bottom) / 2;
    std::vector<DuiLib::BackendRect> monitors = tavrik::x11::GetMonitorRects();
    if (monitors.empty()) monitors.push_back(DuiLib::GetDisplayBackend().GetScreenRect());
    const DuiLib::BackendRect* best = &monitors.front();
    long bestDistance = LONG_MAX;
    for (const DuiLib::BackendRect& m : monitors) {
        const long dx = cx < m.left ? m.left - cx : (cx >= m.right ? cx - m.right + 1 : 0);
        const long dy = cy < m.top ? m.top - cy : (cy >= m.bottom ? cy - m.bottom + 1 : 0);
        const long distance = dx + dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &m;
        }
    }
    return {best->left, best->top, best->right, best->bottom};
}
