#pragma once

// Keyboard and mouse-button state as the UI thread last saw it (from the
// display's input events), for GetKeyState-style questions.

#include "platform/ui/ui_types.h"

namespace DuiLib {

bool IsKeyDownUI(UINT vk);
void SetKeyDownUI(UINT vk, bool down);
// Sets the modifier keys and buttons from an event's modifier bits.
void SetModifiersUI(uint32_t backendModifiers);
// The MK_ word (buttons, Shift, Control) of the current state.
WORD MouseKeyStateUI();

}  // namespace DuiLib
