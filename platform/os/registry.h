#pragma once

// A per-user stand-in for the registry: keys and values (DWORD, string,
// binary) of the current user, kept in one text file,
// $XDG_CONFIG_HOME/tavrik/registry (same layout as a .reg export:
// "[key\path]" lines, then "\"name\"=dword:0000002a" or "\"name\"=\"text\""
// or "\"name\"=hex:01,02"). Key and value names compare without regard to
// ASCII case. Only HKEY_CURRENT_USER exists; RegOpenKeyExW opens existing keys
// only, RegCreateKeyExW creates them. Writes replace the file atomically under
// a file lock, so several processes may use it.

#include "platform/files/win_types.h"

namespace win {

struct RegistryKeyTag;
using HKEY = RegistryKeyTag*;
using REGSAM = DWORD;
using LSTATUS = LONG;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// RegGetValueW type restrictions.
inline constexpr DWORD RRF_RT_REG_SZ = 0x00000002;
inline constexpr DWORD RRF_RT_REG_BINARY = 0x00000008;
inline constexpr DWORD RRF_RT_REG_DWORD = 0x00000010;
inline constexpr DWORD RRF_RT_ANY = 0x0000FFFF;

// All return ERROR_SUCCESS or an error code (ERROR_FILE_NOT_FOUND for a
// missing key or value, ERROR_MORE_DATA when the buffer is too small,
// ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER, ERROR_ACCESS_DENIED).
LSTATUS RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, HKEY* result);
LSTATUS RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR className, DWORD options, REGSAM access,
                        void* security, HKEY* result, DWORD* disposition);
LSTATUS RegCloseKey(HKEY key);
// Strings come back as wide characters with a terminating zero; *size is in
// bytes. A null data pointer asks for the size only.
LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LSTATUS RegGetValueW(HKEY key, LPCWSTR subKey, LPCWSTR valueName, DWORD flags, DWORD* type, void* data, DWORD* size);
LSTATUS RegDeleteValueW(HKEY key, LPCWSTR valueName);

}  // namespace win
