// The list of device paths of every present HID interface.
#include <cstddef>
#include <cwchar>
#include <memory>

#include "link/hid_device.h"
#include "platform/hid/hid_api.h"

namespace {

// A set that keeps failing with errors other than "no more items" must not
// keep the scan walking forever.
constexpr win::DWORD kMaxMemberIndex = 4096;

bool ReadInterfacePath(win::HDEVINFO set, win::SP_DEVICE_INTERFACE_DATA* data, std::wstring* path) {
    win::DWORD required = 0;
    win::SetupDiGetDeviceInterfaceDetailW(set, data, nullptr, 0, &required, nullptr);
    constexpr size_t kPathStart = offsetof(win::SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
    if (required <= kPathStart || required > (1u << 20)) return false;
    // Words keep the detail's size field aligned.
    const size_t words = (required + sizeof(win::DWORD) - 1) / sizeof(win::DWORD);
    std::unique_ptr<win::DWORD[]> storage(new win::DWORD[words]());
    auto* detail = reinterpret_cast<win::SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.get());
    detail->cbSize = sizeof(win::SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!win::SetupDiGetDeviceInterfaceDetailW(set, data, detail, required, nullptr, nullptr)) return false;
    const size_t room = (required - kPathStart) / sizeof(win::WCHAR);
    path->assign(detail->DevicePath, wcsnlen(detail->DevicePath, room));
    return !path->empty();
}

}  // namespace

bool CHidDevice::BeginEnumeration() {
    m_pathCursor = 0;
    win::GUID guid;
    win::HidD_GetHidGuid(&guid);
    m_paths.clear();
    m_paths.reserve(8);
    win::HDEVINFO set =
        win::SetupDiGetClassDevsW(&guid, nullptr, nullptr, win::DIGCF_PRESENT | win::DIGCF_DEVICEINTERFACE);
    if (set == win::INVALID_HANDLE_VALUE || set == nullptr) return false;
    for (win::DWORD index = 0; index < kMaxMemberIndex; ++index) {
        win::SP_DEVICE_INTERFACE_DATA data;
        if (!win::SetupDiEnumDeviceInterfaces(set, nullptr, &guid, index, &data)) {
            if (win::GetLastError() == win::ERROR_NO_MORE_ITEMS) break;
            continue;
        }
        // An interface whose detail cannot be read (it may have just gone)
        // is left out; the others are still listed.
        std::wstring path;
        if (ReadInterfacePath(set, &data, &path)) m_paths.push_back(std::move(path));
    }
    win::SetupDiDestroyDeviceInfoList(set);
    return true;
}

const wchar_t* CHidDevice::NextPath() {
    if (m_pathCursor >= m_paths.size()) return nullptr;
    return m_paths[m_pathCursor++].c_str();
}

void CHidDevice::FreePathList() {
    m_paths.clear();
    m_paths.shrink_to_fit();
    m_pathCursor = 0;
}
