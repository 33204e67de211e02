#pragma once

// Where the hooks' events come from: the X server's RECORD extension on the
// desktop, or events that tests inject. One source at a time serves every
// hook of the process; it exists only while a hook is installed.

#include <functional>
#include <memory>
#include <string>

#include "platform/hooks/input_event.h"

namespace tavrik::hooks {

using InputSink = std::function<void(const InputEvent&)>;

class InputSource {
public:
    virtual ~InputSource() = default;

    // Starts reporting key and button events to `sink`, from a thread of the
    // source. False, with the reason, when the desktop cannot report them.
    virtual bool Start(InputSink sink, std::string& error) = 0;
    // Stops reporting; when it returns, `sink` is not called any more. Never
    // waits for another thread's message loop.
    virtual void Stop() = 0;

    // Takes the keyboard from every other client (and keeps from this
    // program's windows all keys but the three lock keys); false when another
    // client holds it. Called on the thread that installs the keyboard hook.
    virtual bool GrabKeyboard(std::string& error) = 0;
    virtual void ReleaseKeyboard() = 0;
};

using InputSourceFactory = std::function<std::unique_ptr<InputSource>()>;

// The source the hooks use from their next start on: the RECORD source
// unless a factory is set. An empty factory restores the RECORD source.
void SetInputSourceFactory(InputSourceFactory factory);
std::unique_ptr<InputSource> CreateInputSource();

}  // namespace tavrik::hooks
