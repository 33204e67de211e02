#pragma once

// Turns the desktop's X events into what the Windows-style hooks report:
// keyboard messages with a KBDLLHOOKSTRUCT, mouse messages with a
// MouseHookRecord. Pure functions of the event, plus the auto-repeat folder.

#include <optional>
#include <vector>

#include "platform/hooks/hook_api.h"
#include "platform/hooks/input_event.h"
#include "platform/hooks/key_trap.h"

namespace tavrik::hooks {

struct KeyHookEvent {
    win::WPARAM message = 0;  // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP
    win::KBDLLHOOKSTRUCT record;
};

struct MouseHookEvent {
    win::WPARAM message = 0;  // WM_LBUTTONDOWN .. WM_MOUSEHWHEEL
    MouseHookRecord record;
};

// A key event seen at `tick` (GetTickCount). The scan code and
// extended flag follow the low-level hook's conventions: Num Lock and Right
// Shift carry the extended flag, Pause is 0x45 without it.
KeyHookEvent ToKeyHookEvent(const InputEvent& event, std::uint32_t tick);

// A button event; nothing for the release of a wheel "button" (4..7) and for
// buttons without a Windows message.
std::optional<MouseHookEvent> ToMouseHookEvent(const InputEvent& event);

// An X server without detectable auto-repeat reports a held key as a release
// and a press with equal times. The folder holds a key release back until the
// next event shows whether it was such a pair; the pair then comes out as the
// press alone (one more key-down, as a held key gives on Windows). Not
// thread-safe; one per source.
class RepeatFolder {
public:
    // The events that are due after `event`, in order.
    std::vector<InputEvent> Feed(const InputEvent& event);
    // The held release, if any: call when no event followed it in time.
    std::vector<InputEvent> Flush();
    bool Holding() const { return held_.has_value(); }

private:
    std::optional<InputEvent> held_;
};

}  // namespace tavrik::hooks
