#pragma once

// Loopback capture of the default playback device: a worker thread records
// (capture_thread.h) and a hidden message-only window on the UI thread
// hands what it recorded to the sink.
//
// Start never waits for the worker: a capture that cannot start ends its
// worker, and the hidden window answers every such end by joining the
// worker and starting again after a delay (RestartBackoff). Stop sets the
// stop event and joins the worker, so nothing of the capture is in use once
// it returns. All operations belong to the thread that called Init.

#include <memory>
#include <thread>

#include "keyboard/audio/capture_mailbox.h"
#include "keyboard/audio/capture_settings.h"
#include "keyboard/audio/playback_capture_event.h"
#include "keyboard/audio/restart_backoff.h"
#include "platform/audio/loopback_source.h"
#include "platform/files/win_types.h"

class CLoopbackCapture {
public:
    CLoopbackCapture();
    ~CLoopbackCapture();
    CLoopbackCapture(const CLoopbackCapture&) = delete;
    CLoopbackCapture& operator=(const CLoopbackCapture&) = delete;

    // Timing of the captures started after.
    void SetTiming(const CaptureTiming& timing);

    // Creates the hidden window and the stop event and takes the process's
    // loopback backend. True when already initialised.
    bool Init(IPlaybackCaptureEvent* sink);
    // Starts a worker unless one is there. False when not initialised or the
    // thread cannot be made. Cancels a pending restart.
    bool Start();
    // Ends the worker, if any, and waits for it; cancels a pending restart.
    void Stop();
    // Stop, then destroys the window and the event.
    void Release();

    bool IsInitialised() const { return initialised_; }
    // A worker exists (it may be ending).
    bool IsRunning() const { return worker_.joinable(); }
    bool IsRestartPending() const { return restartPending_; }
    win::HWND Window() const { return window_; }

    static win::LRESULT CaptureMessageWndProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                                              win::LPARAM lParam);

private:
    static constexpr win::UINT_PTR kRestartTimer = 1;

    void DeliverNotices();
    void OnWorkerEnded();
    void JoinWorker();

    IPlaybackCaptureEvent* sink_ = nullptr;
    bool initialised_ = false;
    win::HANDLE stopEvent_ = nullptr;
    win::HWND window_ = nullptr;
    std::shared_ptr<tavrik::audio::LoopbackBackend> backend_;
    std::thread worker_;
    std::shared_ptr<CaptureMailbox> mailbox_;
    CaptureTiming timing_;
    RestartBackoff backoff_;
    bool restartPending_ = false;
};
