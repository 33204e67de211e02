#pragma once

// Shared libraries loaded at run time: LoadLibraryExW opens a library by its
// full path (a missing or unloadable file gives null), GetProcAddress finds an
// exported function by name, FreeLibrary closes it.

#include <string>

#include "platform/files/win_types.h"

namespace win {

using HMODULE = void*;
using FARPROC = void*;

inline constexpr DWORD LOAD_WITH_ALTERED_SEARCH_PATH = 0x00000008;

HMODULE LoadLibraryExW(const wchar_t* path, HANDLE reserved, DWORD flags);
FARPROC GetProcAddress(HMODULE module, const char* name);
BOOL FreeLibrary(HMODULE module);

}  // namespace win
