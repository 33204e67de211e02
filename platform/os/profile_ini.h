#pragma once

// INI files ("main.ini"): sections of key=value lines, UTF-8 on disk.
// Section and key names compare without regard to ASCII case.

#include <string>

#include "platform/files/win_types.h"

namespace win {

// Sets key in section, creating the file (not its folder) and the section as
// needed. A null key removes the section, a null value removes the key.
// FALSE when the file cannot be written or section/file is null.
BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName);
// Copies the value (or def when missing) into buffer, cut to size-1
// characters; returns the number of characters copied.
DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR def, LPWSTR buffer, DWORD size, LPCWSTR fileName);
UINT GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, int def, LPCWSTR fileName);

}  // namespace win
