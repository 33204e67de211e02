#pragma once

// The HID class interface and the device-installation calls as the program
// uses them: enumerating the paths of the present HID interfaces, opening
// one as a file handle, reading its attributes and preparsed data, and
// exchanging reports.
//
// Handles are kernel-object handles of platform/os: close them with
// win::CloseHandle, which also wakes a read or write that waits on them.
// Overlapped I/O is one call that issues the transfer and waits for it with
// a time-out and a cancel event; nothing is outstanding when it returns.

#include "platform/hid/hid_types.h"
#include "platform/hid/hidp.h"
#include "platform/os/handle.h"
#include "platform/files/win_types.h"

#include <cstdint>

namespace win {

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};
};

// ---- device installation: enumeration of the HID interface paths ----

using HDEVINFO = HANDLE;

inline constexpr DWORD DIGCF_PRESENT = 0x00000002;
inline constexpr DWORD DIGCF_DEVICEINTERFACE = 0x00000010;

struct SP_DEVICE_INTERFACE_DATA {
    DWORD cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
    GUID InterfaceClassGuid;
    DWORD Flags = 0;
    ULONG_PTR Reserved = 0;
};

// Variable-length: DevicePath runs on past the end of the fixed part.
struct SP_DEVICE_INTERFACE_DETAIL_DATA_W {
    DWORD cbSize;
    WCHAR DevicePath[1];
};

// The class identifier of HID interfaces ({4d1e55b2-f16f-11cf-88cb-001111000030}).
void HidD_GetHidGuid(GUID* guid);

// A snapshot of the present HID interfaces, in a stable order (by device node,
// then collection). INVALID_HANDLE_VALUE when the interfaces cannot be listed
// (the backend is unreachable); a system without HID interfaces gives an
// empty set. Only the HID class with DIGCF_PRESENT | DIGCF_DEVICEINTERFACE is known.
HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, LPCWSTR enumerator, HWND parent, DWORD flags);
// FALSE with ERROR_NO_MORE_ITEMS past the last member.
BOOL SetupDiEnumDeviceInterfaces(HDEVINFO set, void* deviceInfoData, const GUID* classGuid, DWORD memberIndex,
                                 SP_DEVICE_INTERFACE_DATA* data);
// With no detail buffer: FALSE, ERROR_INSUFFICIENT_BUFFER and the size needed
// in *requiredSize. With one: detail->cbSize must be
// sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W); the path is written zero-terminated.
BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* data,
                                      SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail, DWORD detailSize, DWORD* requiredSize,
                                      void* deviceInfoData);
BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set);

inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_DEVICE_NOT_CONNECTED = 1167;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;

// ---- opening an interface ----

inline constexpr DWORD GENERIC_READ = 0x80000000u;
inline constexpr DWORD GENERIC_WRITE = 0x40000000u;
inline constexpr DWORD FILE_SHARE_READ = 0x00000001u;
inline constexpr DWORD FILE_SHARE_WRITE = 0x00000002u;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000u;

// Opens a HID interface path (case-insensitive). Access 0 (query only),
// GENERIC_READ, GENERIC_READ | GENERIC_WRITE. Sharing follows the Windows
// rules: the open fails (ERROR_SHARING_VIOLATION) when it asks for access
// an existing open does not share, or does not share access an existing open
// holds. A zero-access open succeeds while the interface is present and
// conflicts with nobody. INVALID_HANDLE_VALUE on failure (ERROR_FILE_NOT_FOUND
// when no such interface is present). The handle receives its own copy of
// every input report of its collection that arrives after the open (a queue
// of 32 reports, the oldest dropped) when opened with GENERIC_READ.
HANDLE CreateFileW(LPCWSTR path, DWORD desiredAccess, DWORD shareMode, void* security, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);

// ---- attributes and capabilities ----

BOOLEAN HidD_GetAttributes(HANDLE device, HIDD_ATTRIBUTES* attributes);
BOOLEAN HidD_GetPreparsedData(HANDLE device, PHIDP_PREPARSED_DATA* preparsed);
BOOLEAN HidD_FreePreparsedData(PHIDP_PREPARSED_DATA preparsed);
// Discards the input reports queued on the handle.
BOOLEAN HidD_FlushQueue(HANDLE device);
// Sends one output report outside the read/write path (needs GENERIC_WRITE);
// the length must be the report's own length or the collection's output length.
BOOLEAN HidD_SetOutputReport(HANDLE device, void* report, ULONG length);

// ---- report I/O ----

enum class HidIoResult { Ok, TimedOut, Cancelled, Failed };

// Reads one input report: the buffer must hold InputReportByteLength bytes;
// *transferred gets the report length on Ok and 0 otherwise. timeoutMs may be
// INFINITE; cancelEvent (an auto-reset event, may be null) ends the wait with
// Cancelled, and a signal that arrived before the call ends it at once.
// So does the calling thread's I/O cancel event (platform/os/thread.h) while
// it is set. Closing the handle or unplugging the device ends it with Failed.
HidIoResult ReadReport(HANDLE device, void* buffer, DWORD length, DWORD* transferred, DWORD timeoutMs,
                       HANDLE cancelEvent);
// Writes one output report of exactly OutputReportByteLength bytes, byte 0
// being its report id (0 for a collection without ids).
HidIoResult WriteReport(HANDLE device, const void* buffer, DWORD length, DWORD* transferred, DWORD timeoutMs,
                        HANDLE cancelEvent);
// Ends every read and write that waits on the handle (from other threads)
// with Cancelled. TRUE for a valid handle.
BOOL CancelIo(HANDLE device);

}  // namespace win
