#include "platform/hid/hid_api.h"

#include "platform/hid/hid_backend.h"
#include "platform/hid/open_state.h"
#include "platform/hid/preparsed_data.h"

#include <cstddef>
#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

namespace win {
namespace {

using tavrik::hid::OpenState;

constexpr GUID kHidGuid{0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

bool SameGuid(const GUID& a, const GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

// The handle object: closing it (its destruction) closes the open state and
// wakes whoever waits on it.
class HidFileObject : public detail::KernelObject {
public:
    explicit HidFileObject(std::shared_ptr<OpenState> state) : state(std::move(state)) {}
    ~HidFileObject() override { state->Close(); }
    std::shared_ptr<OpenState> state;
};

class DevInfoSet : public detail::KernelObject {
public:
    std::vector<std::wstring> paths;
};

std::shared_ptr<OpenState> Lookup(HANDLE h) {
    auto object = detail::LookupAs<HidFileObject>(h);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return object->state;
}

bool SamePath(const std::wstring& a, LPCWSTR b) {
    std::size_t i = 0;
    for (; i < a.size(); ++i) {
        if (b[i] == 0 || std::towlower(a[i]) != std::towlower(b[i])) return false;
    }
    return b[i] == 0;
}

}  // namespace

void HidD_GetHidGuid(GUID* guid) {
    if (guid) *guid = kHidGuid;
}

HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, LPCWSTR, HWND, DWORD flags) {
    if ((classGuid && !SameGuid(*classGuid, kHidGuid)) || !(flags & DIGCF_DEVICEINTERFACE)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto backend = tavrik::hid::CurrentBackend();
    std::vector<std::shared_ptr<tavrik::hid::Node>> nodes;
    if (!backend || !backend->ListNodes(&nodes)) {
        SetLastError(ERROR_DEVICE_NOT_CONNECTED);
        return INVALID_HANDLE_VALUE;
    }
    auto set = std::make_shared<DevInfoSet>();
    for (const auto& node : nodes) {
        if (!node->Present()) continue;
        for (std::size_t i = 0; i < node->CollectionCount(); ++i) set->paths.push_back(node->Path(i));
    }
    return detail::RegisterObject(set);
}

BOOL SetupDiEnumDeviceInterfaces(HDEVINFO set, void*, const GUID*, DWORD memberIndex, SP_DEVICE_INTERFACE_DATA* data) {
    auto info = detail::LookupAs<DevInfoSet>(set);
    if (!info || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (memberIndex >= info->paths.size()) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    data->InterfaceClassGuid = kHidGuid;
    data->Flags = 1;
    data->Reserved = memberIndex + 1;
    return TRUE;
}

BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* data,
                                      SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail, DWORD detailSize, DWORD* requiredSize,
                                      void*) {
    auto info = detail::LookupAs<DevInfoSet>(set);
    if (!info || !data || data->Reserved == 0 || data->Reserved > info->paths.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::wstring& path = info->paths[data->Reserved - 1];
    const DWORD need =
        static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) + (path.size() + 1) * sizeof(WCHAR));
    if (requiredSize) *requiredSize = need;
    if (!detail) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (detailSize < need) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    WCHAR* out = reinterpret_cast<WCHAR*>(reinterpret_cast<unsigned char*>(detail) +
                                          offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath));
    std::memcpy(out, path.c_str(), (path.size() + 1) * sizeof(WCHAR));
    return TRUE;
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) {
    if (!detail::LookupAs<DevInfoSet>(set)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(set);
}

HANDLE CreateFileW(LPCWSTR path, DWORD desiredAccess, DWORD shareMode, void*, DWORD creationDisposition, DWORD,
                   HANDLE) {
    if (!path || creationDisposition != OPEN_EXISTING || (desiredAccess & ~(GENERIC_READ | GENERIC_WRITE)) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto backend = tavrik::hid::CurrentBackend();
    std::vector<std::shared_ptr<tavrik::hid::Node>> nodes;
    if (!backend || !backend->ListNodes(&nodes)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    for (const auto& node : nodes) {
        if (!node->Present()) continue;
        for (std::size_t i = 0; i < node->CollectionCount(); ++i) {
            if (!SamePath(node->Path(i), path)) continue;
            if (desiredAccess != 0 && !node->Accessible(desiredAccess)) {
                SetLastError(ERROR_ACCESS_DENIED);
                return INVALID_HANDLE_VALUE;
            }
            auto state = std::make_shared<OpenState>(node, i, desiredAccess, shareMode);
            DWORD error = 0;
            if (!node->AddOpen(state, &error)) {
                SetLastError(error);
                return INVALID_HANDLE_VALUE;
            }
            HANDLE h = detail::RegisterObject(std::make_shared<HidFileObject>(state));
            SetLastError(ERROR_SUCCESS);
            return h;
        }
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

BOOLEAN HidD_GetAttributes(HANDLE device, HIDD_ATTRIBUTES* attributes) {
    auto state = Lookup(device);
    if (!state || !attributes) return FALSE;
    const auto& info = state->GetNode().Info();
    attributes->Size = sizeof(HIDD_ATTRIBUTES);
    attributes->VendorID = info.vendorId;
    attributes->ProductID = info.productId;
    attributes->VersionNumber = info.version;
    return TRUE;
}

BOOLEAN HidD_GetPreparsedData(HANDLE device, PHIDP_PREPARSED_DATA* preparsed) {
    auto state = Lookup(device);
    if (!state || !preparsed) return FALSE;
    *preparsed = tavrik::hid::MakePreparsedData(state->SharedCollection());
    return TRUE;
}

BOOLEAN HidD_FreePreparsedData(PHIDP_PREPARSED_DATA preparsed) {
    if (!preparsed || preparsed->magic != HIDP_PREPARSED_DATA::kMagic) return FALSE;
    preparsed->magic = 0;
    delete preparsed;
    return TRUE;
}

BOOLEAN HidD_FlushQueue(HANDLE device) {
    auto state = Lookup(device);
    if (!state) return FALSE;
    state->Flush();
    return TRUE;
}

BOOLEAN HidD_SetOutputReport(HANDLE device, void* report, ULONG length) {
    auto state = Lookup(device);
    if (!state) return FALSE;
    return state->Write(HidP_Output, report, length, 5000, nullptr) == HidIoResult::Ok ? TRUE : FALSE;
}

HidIoResult ReadReport(HANDLE device, void* buffer, DWORD length, DWORD* transferred, DWORD timeoutMs,
                       HANDLE cancelEvent) {
    if (transferred) *transferred = 0;
    auto state = Lookup(device);
    if (!state) return HidIoResult::Failed;
    return state->Read(buffer, length, transferred, timeoutMs, cancelEvent);
}

HidIoResult WriteReport(HANDLE device, const void* buffer, DWORD length, DWORD* transferred, DWORD timeoutMs,
                        HANDLE cancelEvent) {
    if (transferred) *transferred = 0;
    auto state = Lookup(device);
    if (!state) return HidIoResult::Failed;
    if (length != state->Collection().reportLength[HidP_Output]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return HidIoResult::Failed;
    }
    HidIoResult r = state->Write(HidP_Output, buffer, length, timeoutMs, cancelEvent);
    if (r == HidIoResult::Ok && transferred) *transferred = length;
    return r;
}

BOOL CancelIo(HANDLE device) {
    auto state = Lookup(device);
    if (!state) return FALSE;
    state->CancelWaits();
    return TRUE;
}

}  // namespace win
