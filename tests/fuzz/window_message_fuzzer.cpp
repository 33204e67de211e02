// Feeds arbitrary bytes as one packet another process sent to the main
// window, through the bus's own entry (DeliverIncomingPacket) into a window of
// this thread, with the main window's messages kept in the process as the
// main window keeps them. Whatever arrives at the window must be something
// another process may deliver: never a kept message (the menu's record, a
// scan slot, a hook's record), never a pointer-carrying system message, and
// copied data only inside the received bytes.

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/os/remote.h"
#include "platform/os/remote_listener.h"
#include "platform/os/window.h"
#include "shell/main/main_window_messages.h"

namespace {

const std::uint8_t* g_input = nullptr;
std::size_t g_inputSize = 0;

bool InsideInput(const void* pointer, std::size_t bytes) {
    const auto* p = static_cast<const std::uint8_t*>(pointer);
    return p >= g_input && bytes <= g_inputSize && p - g_input <= static_cast<std::ptrdiff_t>(g_inputSize - bytes);
}

win::LRESULT Proc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
    if (message == win::WM_NCCREATE || message == win::WM_CREATE || message == win::WM_DESTROY ||
        message == win::WM_NCDESTROY) {
        return win::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (win::IsMessageKeptInProcess(message)) std::abort();
    if (message == win::WM_COPYDATA) {
        const auto* data = reinterpret_cast<const win::COPYDATASTRUCT*>(lParam);
        if (data == nullptr || data->cbData > win::kMaxCopyDataBytes) std::abort();
        if (data->cbData > 0) {
            if (!InsideInput(data->lpData, data->cbData)) std::abort();
            volatile std::uint8_t last = static_cast<const std::uint8_t*>(data->lpData)[data->cbData - 1];
            (void)last;
        }
        return 1;
    }
    if (message != win::WM_NULL && message != win::WM_CLOSE && (message < win::WM_USER || message > 0xFFFF)) {
        std::abort();
    }
    return 0;  // WM_CLOSE included: the window stays for the next input
}

win::HWND Window() {
    static const win::HWND hwnd = [] {
        // The registered-message table lives in the runtime folder.
        static std::string folder = "/tmp/tavrik-window-fuzz-" + std::to_string(::getpid());
        ::mkdir(folder.c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        KeepMainWindowMessagesInProcess();
        return win::CreateWindowHandle(&Proc, L"window-message-fuzz", win::HWND_MESSAGE);
    }();
    return hwnd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const win::HWND hwnd = Window();
    if (hwnd == nullptr) std::abort();
    g_input = data;
    g_inputSize = size;
    // No peer: a send's reply goes nowhere.
    win::detail::DeliverIncomingPacket(hwnd, -1, data, size);
    win::MSG msg;
    while (win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) win::DispatchMessageW(&msg);
    return 0;
}
