#pragma once

// Input for tests without a display: while an InjectedInput lives, the hooks
// take their events from it instead of the X server.

#include <memory>
#include <mutex>
#include <vector>

#include "platform/hooks/input_event.h"
#include "platform/hooks/input_source.h"

namespace tavrik::hooks {

class InjectedInput {
public:
    // Makes the hooks use injected events from their next start on.
    InjectedInput();
    // Gives the hooks back to the X server's source.
    ~InjectedInput();
    InjectedInput(const InjectedInput&) = delete;
    InjectedInput& operator=(const InjectedInput&) = delete;

    // Delivers events that arrive together (auto-repeat pairs are folded as
    // the X source folds them); false when no hook is installed to watch.
    bool Inject(const std::vector<InputEvent>& batch);

    // A desktop that cannot report input (no RECORD), or whose keyboard
    // another client holds.
    void SetRecordingAvailable(bool available);
    void SetKeyboardGrabbable(bool grabbable);

    bool Running() const;
    bool KeyboardGrabbed() const;
    // Number of times a source was started (each installation after none).
    int Starts() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

// Events as a key or button would give them; `time` is the X server time.
InputEvent KeyEvent(bool press, unsigned keycode, unsigned long keysym, std::uint32_t time = 0, unsigned state = 0);
InputEvent ButtonEvent(bool press, unsigned button, int rootX, int rootY, std::uint32_t time = 0);

}  // namespace tavrik::hooks
