#include "shell/main/tray_menu_position.h"

#include "platform/ui/menu.h"

using namespace DuiLib;

void PlaceTrayMenuBesideTaskbar(const RECT& bar, POINT& anchor, DWORD& alignment) {
    const int width = bar.right - bar.left;
    const int height = bar.bottom - bar.top;
    if (bar.left == 0 && bar.top == 0) {
        if (height < width) {  // along the top
            anchor.y = height + 1;
            alignment = eMenuAlignment_Top | eMenuAlignment_Right;
        } else if (height > width) {  // along the left
            anchor.x = width + 1;
            alignment = eMenuAlignment_Left | eMenuAlignment_Bottom;
        }
    } else if (bar.left == 0 && bar.top > 0) {  // along the bottom
        anchor.y = bar.top - 20;
        alignment = eMenuAlignment_Right | eMenuAlignment_Bottom;
    } else if (bar.left > 0 && bar.top == 0) {  // along the right
        anchor.x = bar.left - 1;
        alignment = eMenuAlignment_Right | eMenuAlignment_Bottom;
    }
}
