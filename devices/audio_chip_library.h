#pragma once
// The headset's binding to the audio-chip configuration library
// ("osConfLib.so" in the program folder's "SDK"): loading, the functions it
// resolves, and the render and capture devices the headset pages use.

#include <array>
#include <cstdint>
#include <string>

#include "platform/conflib/conf_lib_abi.h"

// A device the headset pages found, with three values of its feature list.
struct AudioDeviceRecord {
    AudioDeviceDesc desc{};
    std::array<int32_t, 3> features{};  // parts 0, 4 and 6 of "GetSupportFeature"
};

class AudioChipLibrary {
public:
    // Program folder + "SDK/osConfLib.so".
    static std::wstring DefaultPath();

    // Loads the library and resolves its functions; false (nothing usable)
    // when the file is missing, cannot be loaded or lacks a function. The
    // library stays loaded for the life of the process.
    bool Load(const std::wstring& path);
    bool Loaded() const { return m_init != nullptr; }

    int Init() const { return m_init(); }
    void CreateDeviceList() const { m_createDeviceList(); }
    unsigned DeviceCount(int flow) const;
    bool DeviceById(int flow, unsigned index, AudioDeviceDesc* device) const;
    // 0 on success, as the library answers.
    int Property(const AudioDeviceDesc& device, const char16_t* name, void* value, void* channel, int write) const;

    // The render and capture devices, shared by every headset page.
    static AudioDeviceRecord& Render();
    static AudioDeviceRecord& Capture();

private:
    ConfLibInitFn m_init = nullptr;
    CreateDeviceListFn m_createDeviceList = nullptr;
    GetDeviceCountFn m_getDeviceCount = nullptr;
    GetDeviceByIdFn m_getDeviceById = nullptr;
    PropertyControlFn m_propertyControl = nullptr;
};
