#pragma once

// The capture worker: connects a loopback source, records what the default
// playback device plays as 16-bit samples and hands every notice to the UI
// thread through the mailbox, waking the hidden window with a post. It
// waits on its stop event and the source's descriptor at once, and ends
// soon after the stop event is set.
//
// Every end other than the stop event (a failed step, a broken recording, a
// new default device) leaves an Ended notice last, which the UI thread
// answers with a delayed restart.

#include <memory>
#include <string>

#include "keyboard/audio/capture_mailbox.h"
#include "keyboard/audio/capture_settings.h"
#include "platform/audio/loopback_source.h"
#include "platform/files/win_types.h"

struct CaptureWorkerParam {
    win::HWND window = nullptr;
    win::HANDLE stopEvent = nullptr;
    std::unique_ptr<tavrik::audio::LoopbackSource> source;
    std::shared_ptr<CaptureMailbox> mailbox;
    CaptureTiming timing;
};

// Runs one capture to its end.
void CaptureThreadProc(CaptureWorkerParam& param);

// Case-blind comparison of device names (ASCII letters).
bool SameDeviceName(const std::string& a, const std::string& b);
