// "osConfLib.so": the audio-chip configuration library the headset page loads
// at run time. With TAVRIK_HID_BACKEND=sim it talks to the emulator's chip,
// else to the PC's own sound devices.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "platform/conflib/chip_backend.h"
#include "platform/conflib/chip_server.h"
#include "platform/conflib/conf_lib_abi.h"

namespace {

using tavrik::conflib::ChipBackend;

constexpr size_t kTextChars = kConfLibBufferBytes / sizeof(char16_t);

std::mutex g_lock;
std::unique_ptr<ChipBackend> g_backend;

ChipBackend& Backend() {
    if (!g_backend) {
        const char* kind = std::getenv("TAVRIK_HID_BACKEND");
        if (kind && std::strcmp(kind, "sim") == 0)
            g_backend = tavrik::conflib::MakeSocketChipBackend(tavrik::conflib::DefaultChipSocketPath());
        else
            g_backend = tavrik::conflib::MakePulseChipBackend();
    }
    return *g_backend;
}

// Property names are ASCII; anything else names no property.
bool Narrow(const char16_t* name, std::string* out) {
    if (!name) return false;
    for (size_t i = 0; name[i]; ++i) {
        if (name[i] > 0x7E || name[i] < 0x21 || i > 128) return false;
        out->push_back(char(name[i]));
    }
    return !out->empty();
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int ConfLibInit() {
    std::lock_guard lock(g_lock);
    return Backend().Init();
}

__attribute__((visibility("default"))) int CreateDeviceList() {
    std::lock_guard lock(g_lock);
    Backend();
    return 0;
}

__attribute__((visibility("default"))) int GetDeviceCount(int flow, unsigned* count) {
    std::lock_guard lock(g_lock);
    if (!count) return -1;
    *count = unsigned(std::max(0, Backend().DeviceCount(flow)));
    return 0;
}

__attribute__((visibility("default"))) int GetDeviceById(int flow, unsigned index, AudioDeviceDesc* device) {
    std::lock_guard lock(g_lock);
    if (!device) return -1;
    const auto d = Backend().Device(flow, index);
    if (!d) return -1;
    *device = {d->id, d->type, d->id2, d->state};
    return 0;
}

__attribute__((visibility("default"))) int PropertyControl(AudioDeviceDesc device, const char16_t* name, void** value,
                                                           void** channel, int write) {
    std::lock_guard lock(g_lock);
    std::string property;
    if (!Narrow(name, &property) || !value || !*value) return -1;
    int32_t ch = 0;
    if (channel && *channel) std::memcpy(&ch, *channel, sizeof ch);
    if (write) {
        double v = 0;
        if (tavrik::conflib::IsScalarProperty(property)) {
            float f = 0;
            std::memcpy(&f, *value, sizeof f);
            v = f;
        } else {
            int32_t i = 0;
            std::memcpy(&i, *value, sizeof i);
            v = i;
        }
        return Backend().Write(device.id, property, ch, v) ? 0 : -1;
    }
    const auto text = Backend().Read(device.id, property, ch);
    if (!text) return -1;
    auto* out = static_cast<char16_t*>(*value);
    const size_t n = std::min(text->size(), kTextChars - 1);
    for (size_t i = 0; i < n; ++i) out[i] = char16_t((*text)[i]);
    out[n] = 0;
    return 0;
}

__attribute__((visibility("default"))) int RegisterCallbackFunction(void*) { return 0; }
__attribute__((visibility("default"))) int ConfLibUnInit() {
    std::lock_guard lock(g_lock);
    g_backend.reset();
    return 0;
}
// No ASIO panel and no test sounds on this system.
__attribute__((visibility("default"))) int ShowAsioPanel() { return -1; }
__attribute__((visibility("default"))) int PlayTestSound(const char16_t*) { return -1; }
__attribute__((visibility("default"))) int StopTestSound() { return 0; }
__attribute__((visibility("default"))) int CloseTestSound() { return 0; }

}  // extern "C"
