#include "platform/audio/wake_descriptor.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace tavrik::audio {

WakeDescriptor::WakeDescriptor() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

WakeDescriptor::~WakeDescriptor() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void WakeDescriptor::Signal() {
    std::uint64_t one = 1;
    // A full counter is still readable: nothing is lost when this fails.
    [[maybe_unused]] ssize_t n = write(fd_, &one, sizeof one);
}

void WakeDescriptor::Drain() {
    std::uint64_t count = 0;
    [[maybe_unused]] ssize_t n = read(fd_, &count, sizeof count);
}

}  // namespace tavrik::audio
