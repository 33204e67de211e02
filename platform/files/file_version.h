#pragma once

// Version numbers of a file beside the program.
//
// Linux files carry no version resource, so a file's version is kept in a
// sidecar: a UTF-8 text file named like the file with ".version" appended,
// in the same folder. For "CorvaneKeyboardAPI.dll" that is
// "CorvaneKeyboardAPI.dll.version":
//
//     # comment lines start with '#'
//     FileVersion=1.2.3.4
//     ProductVersion=1.2.3.45
//
// Each version is one to four decimal numbers 0..65535 joined by '.'; numbers
// left out are 0. Blanks around keys and values are ignored; other keys and
// malformed lines are ignored; a key that is absent reads as 0.0.0.0. A file
// has version information when the file itself exists and its sidecar holds
// at least one valid FileVersion or ProductVersion line.
//
// The functions follow the shape the program's code uses: ask for the size
// of the version information, read it into a buffer of that size, and query
// the fixed part ("\") from the buffer.

#include "platform/files/win_types.h"

namespace win {

struct VS_FIXEDFILEINFO {
    DWORD dwSignature = 0;  // 0xFEEF04BD
    DWORD dwStrucVersion = 0;
    DWORD dwFileVersionMS = 0;  // first number << 16 | second
    DWORD dwFileVersionLS = 0;  // third number << 16 | fourth
    DWORD dwProductVersionMS = 0;
    DWORD dwProductVersionLS = 0;
    DWORD dwFileFlagsMask = 0;
    DWORD dwFileFlags = 0;
    DWORD dwFileOS = 0;
    DWORD dwFileType = 0;
    DWORD dwFileSubtype = 0;
    DWORD dwFileDateMS = 0;
    DWORD dwFileDateLS = 0;
};

inline constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;

// Size of the version information of `file`, or 0 when it has none. *handle
// (may be null) is set to 0.
DWORD GetFileVersionInfoSizeW(LPCWSTR file, DWORD* handle);

// Reads the version information into `data` (`length` bytes, at least the
// size reported above). FALSE when the file has none or the buffer is short.
BOOL GetFileVersionInfoW(LPCWSTR file, DWORD handle, DWORD length, void* data);

// Finds a part of the version information read above. Only "\" (the fixed
// part, a VS_FIXEDFILEINFO) exists.
BOOL VerQueryValueW(const void* block, LPCWSTR subBlock, void** buffer, UINT* length);

}  // namespace win
