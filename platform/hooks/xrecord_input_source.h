#pragma once

// The desktop's key and button events from the X server's RECORD extension.
//
// Start opens two connections of its own to DISPLAY: a control connection
// that creates the recording context (keys and buttons of every client) and
// holds the keyboard grab when the UI does not run on X11, and a data
// connection on which the source's thread receives the recorded events.
// Stop disables the context, ends and joins the thread and closes both.

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/hooks/input_source.h"
#include "platform/hooks/input_vocabulary.h"

namespace tavrik::hooks {

class XRecordInputSource : public InputSource {
public:
    XRecordInputSource();
    ~XRecordInputSource() override;

    bool Start(InputSink sink, std::string& error) override;
    void Stop() override;
    bool GrabKeyboard(std::string& error) override;
    void ReleaseKeyboard() override;

    struct Connection;  // X types stay in the source file

private:
    bool WaitForRecording();
    void Run();  // the source's thread
    void Deliver(const InputEvent& event);
    void Close();

    std::unique_ptr<Connection> x_;
    InputSink sink_;
    RepeatFolder folder_;
    std::vector<InputEvent> early_;  // recorded before the thread ran
    bool threaded_ = false;          // the thread delivers (set before it starts)
    std::thread thread_;
    int stop_fd_ = -1;
    bool ui_grab_ = false;
    bool own_grab_ = false;
};

}  // namespace tavrik::hooks
