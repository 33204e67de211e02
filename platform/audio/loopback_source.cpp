#include "platform/audio/loopback_source.h"

#include <mutex>

namespace tavrik::audio {
namespace {

std::mutex& BackendMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<LoopbackBackend>& InstalledBackend() {
    static std::shared_ptr<LoopbackBackend> backend;
    return backend;
}

}  // namespace

std::shared_ptr<LoopbackBackend> CurrentLoopbackBackend() {
    std::lock_guard lock(BackendMutex());
    auto& backend = InstalledBackend();
    if (!backend) {
        backend = MakePulseBackend();
    }
    return backend;
}

void SetLoopbackBackend(std::shared_ptr<LoopbackBackend> backend) {
    std::lock_guard lock(BackendMutex());
    InstalledBackend() = std::move(backend);
}

}  // namespace tavrik::audio
