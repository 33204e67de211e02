#include "devices/audio_chip_library.h"

#include "platform/files/folders.h"
#include "platform/os/library.h"

namespace {

template <class F>
bool Resolve(win::HMODULE module, const char* name, F* out) {
    *out = reinterpret_cast<F>(win::GetProcAddress(module, name));
    return *out != nullptr;
}

}  // namespace

std::wstring AudioChipLibrary::DefaultPath() { return win::GetProgramFolder() + L"SDK/osConfLib.so"; }

bool AudioChipLibrary::Load(const std::wstring& path) {
    *this = AudioChipLibrary();
    win::HMODULE module = win::LoadLibraryExW(path.c_str(), nullptr, win::LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) return false;
    AudioChipLibrary loaded;
    // All eleven must be there, though only five are called.
    void* unused = nullptr;
    bool ok = Resolve(module, "ConfLibInit", &loaded.m_init) &&
              Resolve(module, "GetDeviceById", &loaded.m_getDeviceById) &&
              Resolve(module, "PropertyControl", &loaded.m_propertyControl) &&
              Resolve(module, "GetDeviceCount", &loaded.m_getDeviceCount) &&
              Resolve(module, "CreateDeviceList", &loaded.m_createDeviceList);
    for (const char* name : {"RegisterCallbackFunction", "ConfLibUnInit", "ShowAsioPanel", "PlayTestSound",
                             "StopTestSound", "CloseTestSound"})
        ok = ok && Resolve(module, name, &unused);
    if (ok) *this = loaded;
    return ok;
}

unsigned AudioChipLibrary::DeviceCount(int flow) const {
    unsigned count = 0;
    return m_getDeviceCount(flow, &count) == 0 ? count : 0;
}

bool AudioChipLibrary::DeviceById(int flow, unsigned index, AudioDeviceDesc* device) const {
    return m_getDeviceById(flow, index, device) == 0;
}

int AudioChipLibrary::Property(const AudioDeviceDesc& device, const char16_t* name, void* value, void* channel,
                               int write) const {
    return m_propertyControl(device, name, &value, channel ? &channel : nullptr, write);
}

AudioDeviceRecord& AudioChipLibrary::Render() {
    static AudioDeviceRecord record;
    return record;
}

AudioDeviceRecord& AudioChipLibrary::Capture() {
    static AudioDeviceRecord record;
    return record;
}
