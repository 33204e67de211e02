#pragma once

#include <X11/X.h>

#include <cstdint>

namespace tavrik::x11 {

// The Windows virtual-key code the program's key handling expects for an
// X key symbol; 0 when the key has none.
std::uint32_t VirtualKeyFromKeysym(KeySym keysym);

// The PC (set 1) scan code of an X key code of the evdev driver; 0 when the
// key has none.  Extended keys carry 0xE000.
std::uint32_t ScanCodeFromKeycode(unsigned keycode);

}  // namespace tavrik::x11
