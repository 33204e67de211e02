#include "capture_test_support.h"

#include <chrono>

#include "platform/os/message_queue.h"
#include "platform/os/window.h"
#include "tests/support/wait_bound.h"

namespace audio_test {

void PumpPending() {
    win::MSG msg;
    while (win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
        win::DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    auto end = tavrik::test::Deadline(std::chrono::milliseconds(timeoutMs));
    while (!done()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        // Wakes for a message or a timer; the bound only lets done() be
        // looked at again when it depends on another thread alone.
        win::MsgWaitForMultipleObjects(0, nullptr, win::FALSE, std::min<long>(left.count(), 10), win::QS_ALLINPUT);
        PumpPending();
    }
    return true;
}

CaptureTiming FastTiming() {
    CaptureTiming timing;
    timing.connectTimeoutMs = 200;
    timing.backoffFirstMs = 20;
    timing.backoffMaxMs = 200;
    return timing;
}

CopyDataWindow::CopyDataWindow() { hwnd_ = win::CreateWindowHandle(&Proc, nullptr, win::HWND_MESSAGE, this); }

CopyDataWindow::~CopyDataWindow() { win::DestroyWindow(hwnd_); }

std::size_t CopyDataWindow::Spectra() const {
    std::size_t n = 0;
    for (auto& b : blocks) {
        n += b.code == COPYDATA_SPECTRUM ? 1 : 0;
    }
    return n;
}

const CopyDataWindow::Block* CopyDataWindow::LastSpectrum() const {
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) {
        if (it->code == COPYDATA_SPECTRUM) {
            return &*it;
        }
    }
    return nullptr;
}

win::LRESULT CopyDataWindow::Proc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
    if (message == win::WM_NCCREATE) {
        auto* create = reinterpret_cast<win::CREATESTRUCTW*>(lParam);
        win::SetWindowLongPtrW(hwnd, win::GWLP_USERDATA, reinterpret_cast<win::LONG_PTR>(create->lpCreateParams));
        return win::TRUE;
    }
    auto* self = reinterpret_cast<CopyDataWindow*>(win::GetWindowLongPtrW(hwnd, win::GWLP_USERDATA));
    if (message == win::WM_COPYDATA && self != nullptr) {
        auto* block = reinterpret_cast<const win::COPYDATASTRUCT*>(lParam);
        Block copy{block->dwData, wParam, {}};
        const auto* values = static_cast<const std::int32_t*>(block->lpData);
        copy.values.assign(values, values + block->cbData / sizeof(std::int32_t));
        self->blocks.push_back(std::move(copy));
        return 1;
    }
    return win::DefWindowProcW(hwnd, message, wParam, lParam);
}

SimCapture::SimCapture() : server(std::make_shared<tavrik::audio::SimulatedAudioServer>()) {
    tavrik::audio::SetLoopbackBackend(server);
    manager.SetTiming(FastTiming());
    manager.SetTargetWindow(target.Handle());
}

SimCapture::~SimCapture() {
    manager.Stop();
    tavrik::audio::SetLoopbackBackend(nullptr);
}

bool SimCapture::AwaitSpectra(std::size_t more) {
    std::size_t goal = target.Spectra() + more;
    return PumpUntil([&] { return target.Spectra() >= goal; });
}

}  // namespace audio_test
