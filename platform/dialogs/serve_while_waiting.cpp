#include "platform/dialogs/serve_while_waiting.h"

#include <poll.h>

#include <cerrno>

#include "platform/os/message_queue.h"
#include "platform/os/messages.h"

namespace tavrik::dialogs {

bool ServeMessagesUntilReadable(int fd) {
    bool quit = false;
    win::WPARAM quit_code = 0;
    for (;;) {
        // Everything that is there now: posted and sent messages, due timers
        // and the display's events (served inside PeekMessageW).
        win::MSG msg{};
        while (!quit && win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
            if (msg.message == win::WM_QUIT) {
                quit = true;
                quit_code = msg.wParam;
                break;
            }
            win::TranslateMessage(&msg);
            win::DispatchMessageW(&msg);
        }
        // Then sleep until the dialog answers or the queue stirs; the short
        // bound keeps timers and display events going, which have no
        // descriptor of their own here.
        pollfd p[2] = {{fd, POLLIN, 0}, {quit ? -1 : win::GetQueueDescriptor(), POLLIN, 0}};
        const int n = poll(p, 2, quit ? -1 : 10);
        if (n < 0 && errno != EINTR) break;
        if (n > 0 && (p[0].revents & (POLLIN | POLLHUP | POLLERR))) break;
    }
    // A quit seen meanwhile is the program's: give it back to its loop.
    if (quit) win::PostQuitMessage(static_cast<int>(quit_code));
    return true;
}

}  // namespace tavrik::dialogs
