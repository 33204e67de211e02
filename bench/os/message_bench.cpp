// Cross-thread message latency: a UI thread runs its message loop; the
// benchmark thread posts (and waits for the handler to signal) or sends.

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "platform/os/event.h"
#include "platform/os/message_queue.h"

namespace {

using namespace win;

constexpr UINT kPing = WM_USER + 1;
constexpr UINT kQuit = WM_USER + 2;

HANDLE handled_event = nullptr;

LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPing) {
        if (lParam != 0) {
            SetEvent(handled_event);
        }
        return static_cast<LRESULT>(wParam + 1);
    }
    if (message == kQuit) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A UI thread with one window, for the life of the object.
class UiThread {
public:
    UiThread() {
        thread_ = std::thread([this] {
            HWND hwnd = CreateWindowHandle(&Proc, L"bench");
            hwnd_ = hwnd;
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                DispatchMessageW(&msg);
            }
            DestroyWindow(hwnd);
        });
        while (hwnd_.load() == nullptr) {
            std::this_thread::yield();
        }
    }
    ~UiThread() {
        PostMessageW(hwnd_, kQuit, 0, 0);
        thread_.join();
    }
    HWND Window() const { return hwnd_; }

private:
    std::atomic<HWND> hwnd_{nullptr};
    std::thread thread_;
};

void BM_PostToHandled(benchmark::State& state) {
    handled_event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    UiThread ui;
    for (auto _ : state) {
        PostMessageW(ui.Window(), kPing, 0, 1);
        WaitForSingleObject(handled_event, INFINITE);
    }
    CloseHandle(handled_event);
}
BENCHMARK(BM_PostToHandled)->UseRealTime();

void BM_SendRoundTrip(benchmark::State& state) {
    UiThread ui;
    WPARAM i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SendMessageW(ui.Window(), kPing, i++, 0));
    }
}
BENCHMARK(BM_SendRoundTrip)->UseRealTime();

void BM_SendToOwnThread(benchmark::State& state) {
    HWND hwnd = CreateWindowHandle(&Proc, L"direct");
    WPARAM i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SendMessageW(hwnd, kPing, i++, 0));
    }
    DestroyWindow(hwnd);
}
BENCHMARK(BM_SendToOwnThread);

}  // namespace
