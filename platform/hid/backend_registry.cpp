#include "platform/hid/hid_backend.h"
#include "platform/hid/hidraw_backend.h"
#include "platform/hid/sim_socket_backend.h"

#include <cstdlib>
#include <mutex>
#include <string>

namespace tavrik::hid {
namespace {

struct Registry {
    std::mutex mutex;
    std::shared_ptr<Backend> installed;
    std::shared_ptr<Backend> fromEnvironment;
};

Registry& TheRegistry() {
    static auto* r = new Registry;  // outlives static destructors that close handles
    return *r;
}

std::shared_ptr<Backend> FromEnvironment() {
    const char* kind = std::getenv("TAVRIK_HID_BACKEND");
    if (kind && std::string(kind) == "sim") return MakeSimSocketBackend(DefaultDevsimSocketPath());
    return MakeHidrawBackend("/sys", "/dev");
}

}  // namespace

void SetBackend(std::shared_ptr<Backend> backend) {
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.installed = std::move(backend);
}

std::shared_ptr<Backend> CurrentBackend() {
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (r.installed) return r.installed;
    if (!r.fromEnvironment) r.fromEnvironment = FromEnvironment();
    return r.fromEnvironment;
}

}  // namespace tavrik::hid
