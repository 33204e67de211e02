#include "platform/os/handle.h"

#include <mutex>
#include <unordered_map>

namespace win {
namespace {

thread_local DWORD last_error = ERROR_SUCCESS;

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<HANDLE, std::shared_ptr<detail::KernelObject>> objects;
};

HandleTable& Table() {
    // Never destroyed: handles may still be closed from static destructors.
    static auto* table = new HandleTable;
    return *table;
}

}  // namespace

DWORD GetLastError() { return last_error; }
void SetLastError(DWORD code) { last_error = code; }

BOOL CloseHandle(HANDLE handle) {
    std::shared_ptr<detail::KernelObject> object;
    {
        auto& table = Table();
        std::lock_guard lock(table.mutex);
        auto it = table.objects.find(handle);
        if (it == table.objects.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        object = std::move(it->second);
        table.objects.erase(it);
    }
    // The object goes away here, outside the table lock, or later when the
    // last wait that still holds it returns.
    object.reset();
    return TRUE;
}

namespace detail {

HANDLE RegisterObject(std::shared_ptr<KernelObject> object) {
    if (!object) {
        return nullptr;
    }
    HANDLE handle = object.get();
    auto& table = Table();
    std::lock_guard lock(table.mutex);
    table.objects[handle] = std::move(object);
    return handle;
}

std::shared_ptr<KernelObject> LookupObject(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    auto& table = Table();
    std::lock_guard lock(table.mutex);
    auto it = table.objects.find(handle);
    return it == table.objects.end() ? nullptr : it->second;
}

}  // namespace detail
}  // namespace win
