#pragma once

// One key or button event of the desktop as an input source reports it, in
// the X server's terms. No X header is needed to read or make one.

#include <cstdint>

namespace tavrik::hooks {

enum class InputKind { KeyDown, KeyUp, ButtonDown, ButtonUp };

struct InputEvent {
    InputKind kind = InputKind::KeyDown;
    unsigned detail = 0;           // X key code (8..255) or pointer button (1..)
    unsigned long keysym = 0;      // key events: the key's symbol without modifiers (group 0, level 0)
    unsigned state = 0;            // X modifier and button mask just before the event
    std::uint32_t serverTime = 0;  // X server time (ms); equal for the two halves of an auto-repeat
    int rootX = 0, rootY = 0;      // the pointer on the screen
};

// X modifier bit of Alt (Mod1).
inline constexpr unsigned kAltModifierMask = 1u << 3;

inline bool IsKey(const InputEvent& e) { return e.kind == InputKind::KeyDown || e.kind == InputKind::KeyUp; }
inline bool IsPress(const InputEvent& e) { return e.kind == InputKind::KeyDown || e.kind == InputKind::ButtonDown; }

}  // namespace tavrik::hooks
