#include "keyboard/audio/loopback_capture.h"

#include <system_error>

#include "keyboard/audio/capture_thread.h"
#include "platform/os/event.h"
#include "platform/os/handle.h"
#include "platform/os/message_queue.h"
#include "platform/os/window.h"

CLoopbackCapture::CLoopbackCapture() : backoff_(timing_.backoffFirstMs, timing_.backoffMaxMs) {}

CLoopbackCapture::~CLoopbackCapture() { Release(); }

void CLoopbackCapture::SetTiming(const CaptureTiming& timing) {
    timing_ = timing;
    backoff_ = RestartBackoff(timing.backoffFirstMs, timing.backoffMaxMs);
}

bool CLoopbackCapture::Init(IPlaybackCaptureEvent* sink) {
    if (initialised_) {
        return true;
    }
    sink_ = sink;
    window_ = win::CreateWindowHandle(&CaptureMessageWndProc, nullptr, win::HWND_MESSAGE, this);
    stopEvent_ = win::CreateEventW(nullptr, win::TRUE, win::FALSE, nullptr);
    backend_ = tavrik::audio::CurrentLoopbackBackend();
    initialised_ = sink_ != nullptr && window_ != nullptr && stopEvent_ != nullptr && backend_ != nullptr;
    if (!initialised_) {
        Release();
    }
    return initialised_;
}

bool CLoopbackCapture::Start() {
    if (!initialised_) {
        return false;
    }
    if (restartPending_) {
        win::KillTimer(window_, kRestartTimer);
        restartPending_ = false;
    }
    if (worker_.joinable()) {
        return true;
    }
    win::ResetEvent(stopEvent_);
    auto param = std::make_unique<CaptureWorkerParam>();
    param->window = window_;
    param->stopEvent = stopEvent_;
    param->source = backend_->CreateSource();
    param->mailbox = std::make_shared<CaptureMailbox>(timing_.queuedPackets);
    param->timing = timing_;
    if (!param->source) {
        return false;
    }
    mailbox_ = param->mailbox;
    try {
        worker_ = std::thread([p = std::move(param)] { CaptureThreadProc(*p); });
    } catch (const std::system_error&) {
        mailbox_.reset();
        return false;
    }
    return true;
}

void CLoopbackCapture::Stop() {
    if (restartPending_) {
        win::KillTimer(window_, kRestartTimer);
        restartPending_ = false;
    }
    if (worker_.joinable()) {
        win::SetEvent(stopEvent_);
        JoinWorker();
    }
    // What the worker left unread belongs to a capture that is over.
    mailbox_.reset();
}

void CLoopbackCapture::Release() {
    Stop();
    if (window_ != nullptr) {
        win::DestroyWindow(window_);
        window_ = nullptr;
    }
    if (stopEvent_ != nullptr) {
        win::CloseHandle(stopEvent_);
        stopEvent_ = nullptr;
    }
    backend_.reset();
    initialised_ = false;
}

void CLoopbackCapture::JoinWorker() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

void CLoopbackCapture::DeliverNotices() {
    auto mailbox = mailbox_;
    if (!mailbox) {
        return;
    }
    for (CaptureNotice& notice : mailbox->TakeAll()) {
        // A sink that stopped or restarted the capture ends this delivery.
        if (mailbox_ != mailbox) {
            return;
        }
        switch (notice.kind) {
            case CaptureNotice::Kind::Started:
                sink_->OnCaptureStarted(notice.value);
                break;
            case CaptureNotice::Kind::Stopped:
                sink_->OnCaptureStopped();
                break;
            case CaptureNotice::Kind::Format:
                sink_->OnCaptureFormat(notice.format);
                break;
            case CaptureNotice::Kind::Data:
                backoff_.Reset();
                sink_->OnCaptureData(notice.data.data(), notice.data.size());
                break;
            case CaptureNotice::Kind::Ended:
                OnWorkerEnded();
                break;
        }
    }
}

void CLoopbackCapture::OnWorkerEnded() {
    // The worker's last act was to leave this notice: the join is short.
    JoinWorker();
    mailbox_.reset();
    restartPending_ = true;
    win::SetTimer(window_, kRestartTimer, backoff_.Next(), nullptr);
}

win::LRESULT CLoopbackCapture::CaptureMessageWndProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                                                     win::LPARAM lParam) {
    if (message == win::WM_NCCREATE) {
        auto* create = reinterpret_cast<win::CREATESTRUCTW*>(lParam);
        win::SetWindowLongPtrW(hwnd, win::GWLP_USERDATA, reinterpret_cast<win::LONG_PTR>(create->lpCreateParams));
        return win::TRUE;
    }
    auto* self = reinterpret_cast<CLoopbackCapture*>(win::GetWindowLongPtrW(hwnd, win::GWLP_USERDATA));
    if (self != nullptr && self->window_ == hwnd) {
        if (message == WM_CAPTURE_EVENT) {
            self->DeliverNotices();
            return 0;
        }
        if (message == win::WM_TIMER && wParam == kRestartTimer) {
            win::KillTimer(hwnd, kRestartTimer);
            self->restartPending_ = false;
            self->sink_->OnCaptureRestart();
            return 0;
        }
    }
    return win::DefWindowProcW(hwnd, message, wParam, lParam);
}
