#include "platform/ui/input_state.h"

#include "platform/ui/display_backend.h"

#include <bitset>

namespace DuiLib {

namespace {
thread_local std::bitset<256> g_keys;
constexpr UINT kVkLButton = 0x01, kVkRButton = 0x02, kVkMButton = 0x04, kVkShift = 0x10, kVkControl = 0x11,
               kVkMenu = 0x12;
}  // namespace

bool IsKeyDownUI(UINT vk) { return vk < 256 && g_keys[vk]; }

void SetKeyDownUI(UINT vk, bool down) {
    if (vk < 256) g_keys[vk] = down;
}

void SetModifiersUI(uint32_t m) {
    g_keys[kVkShift] = (m & kBackendShift) != 0;
    g_keys[kVkControl] = (m & kBackendControl) != 0;
    g_keys[kVkMenu] = (m & kBackendAlt) != 0;
    g_keys[kVkLButton] = (m & kBackendLeftButton) != 0;
    g_keys[kVkRButton] = (m & kBackendRightButton) != 0;
    g_keys[kVkMButton] = (m & kBackendMiddleButton) != 0;
}

WORD MouseKeyStateUI() {
    WORD w = 0;
    if (g_keys[kVkLButton]) w |= UIKEY_LBUTTON;
    if (g_keys[kVkRButton]) w |= UIKEY_RBUTTON;
    if (g_keys[kVkShift]) w |= UIKEY_SHIFT;
    if (g_keys[kVkControl]) w |= UIKEY_CONTROL;
    if (g_keys[kVkMButton]) w |= UIKEY_MBUTTON;
    return w;
}

}  // namespace DuiLib
