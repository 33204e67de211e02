#pragma once

// Kernel-object handles and the per-thread last-error code.
//
// Every handle (event, thread, named lock) is created by a Create* function
// and released with CloseHandle. Handles are checked against a table of live
// objects, so a stale or foreign handle makes a call fail instead of crashing.

#include <memory>

#include "platform/files/win_types.h"

namespace win {

// Error codes the program looks at.
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_MORE_DATA = 234;
inline constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
inline constexpr DWORD ERROR_OPERATION_ABORTED = 995;
inline constexpr DWORD ERROR_IO_PENDING = 997;
inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr DWORD ERROR_TIMEOUT = 1460;

DWORD GetLastError();
void SetLastError(DWORD code);

// Closes a handle from any Create*/Open* function. FALSE for an unknown handle.
BOOL CloseHandle(HANDLE handle);

namespace detail {

// Base of every object a HANDLE names.
class KernelObject {
public:
    virtual ~KernelObject() = default;
};

// Registers a new object and returns its handle.
HANDLE RegisterObject(std::shared_ptr<KernelObject> object);
// Looks a handle up; empty for closed or unknown handles.
std::shared_ptr<KernelObject> LookupObject(HANDLE handle);

template <class T>
std::shared_ptr<T> LookupAs(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(LookupObject(handle));
}

}  // namespace detail
}  // namespace win
