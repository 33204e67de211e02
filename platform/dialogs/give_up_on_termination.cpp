#include "platform/dialogs/give_up_on_termination.h"

#include <poll.h>

#include <cerrno>

#include "platform/os/termination_signals.h"

namespace tavrik::dialogs {

bool WaitReadableUnlessTerminated(int fd) {
    pollfd p[2] = {{fd, POLLIN, 0}, {win::PendingTerminationDescriptor(), POLLIN, 0}};
    for (;;) {
        const int n = poll(p, 2, -1);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return true;  // let the read find what is wrong
        if (p[1].revents & POLLIN) return false;
        if (p[0].revents) return true;
    }
}

}  // namespace tavrik::dialogs
