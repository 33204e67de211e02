#include "platform/os/termination_signals.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <map>
#include <mutex>

#include "platform/os/message_queue.h"

namespace win {

namespace {

sigset_t TerminationSet() {
    sigset_t set;
    ::sigemptyset(&set);
    ::sigaddset(&set, SIGTERM);
    ::sigaddset(&set, SIGINT);
    ::sigaddset(&set, SIGHUP);
    return set;
}

std::mutex g_lock;
std::map<int, int> g_descriptors;  // source id -> signalfd

}  // namespace

int ServeTerminationSignals(std::function<void(int signal)> onSignal) {
    const sigset_t set = TerminationSet();
    sigset_t previous;
    if (::pthread_sigmask(SIG_BLOCK, &set, &previous) != 0) return 0;
    const int fd = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd < 0) {
        ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        return 0;
    }
    const int id = AddMessageSource(fd, [fd, onSignal = std::move(onSignal)] {
        signalfd_siginfo info;
        while (::read(fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
            if (onSignal) onSignal(static_cast<int>(info.ssi_signo));
        }
    });
    if (id == 0) {
        ::close(fd);
        ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        return 0;
    }
    std::lock_guard<std::mutex> lock(g_lock);
    g_descriptors[id] = fd;
    return id;
}

void StopServingTerminationSignals(int id) {
    int fd = -1;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        auto it = g_descriptors.find(id);
        if (it == g_descriptors.end()) return;
        fd = it->second;
        g_descriptors.erase(it);
    }
    RemoveMessageSource(id);
    ::close(fd);
    // The signals stay blocked: one that comes this late is left pending and
    // ends nothing while the program finishes its own way out.
}

int PendingTerminationDescriptor() {
    std::lock_guard<std::mutex> lock(g_lock);
    return g_descriptors.empty() ? -1 : g_descriptors.begin()->second;
}

}  // namespace win
