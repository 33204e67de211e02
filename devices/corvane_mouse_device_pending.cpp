// Placeholder bodies of what the mouse page still lacks. Each moves into its
// own file as it is written; until then it does nothing, and this file
// shrinks to nothing.
#include "devices/corvane_mouse_device.h"

using namespace DuiLib;

// --- Recoil page binding (needs the recoil page's class) ------------------------
void CCorvaneMouseDevice::BindShootControl() {}
