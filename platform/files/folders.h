#pragma once

// Known folders, path joining and simple file-system queries.
//
// The program writes its paths with '\' as the separator; every path that
// reaches the file system goes through JoinPath or NativePath, which turn
// '\' into '/'. Wide strings are converted to UTF-8 for the file system.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/files/utf8.h"
#include "platform/files/win_types.h"

namespace win {

// Directory of the running executable, ending in '/'.
std::wstring GetProgramFolder();
// Full path of the running executable.
std::wstring GetProgramPath();
// Per-user local application data: $XDG_DATA_HOME, else ~/.local/share. No
// trailing separator.
std::wstring GetLocalAppDataFolder();
// Per-user configuration: $XDG_CONFIG_HOME, else ~/.config.
std::wstring GetConfigFolder();
// Per-user runtime folder: $XDG_RUNTIME_DIR, else a private folder under the
// system temp folder.
std::wstring GetRuntimeFolder();
// Temp folder ($TMPDIR, else /tmp), ending in '/'.
std::wstring GetTempFolder();

// Joins two path parts with one '/' and maps every '\' to '/'. Either part
// may be empty; separators at the seam are not doubled.
std::wstring JoinPath(std::wstring_view base, std::wstring_view relative);
// Maps every '\' to '/'.
std::wstring NativePath(std::wstring_view path);
// A program path as a file-system path (UTF-8, '\' mapped to '/').
std::filesystem::path ToFsPath(std::wstring_view path);

// Creates one folder level; TRUE also when it already exists as a folder.
BOOL CreateDirectoryW(LPCWSTR path, void* security = nullptr);
// Creates a folder and every missing parent; TRUE when it exists afterwards.
BOOL CreateDirectoryTree(std::wstring_view path);
// TRUE when the path names an existing file or folder.
BOOL PathFileExistsW(LPCWSTR path);
BOOL FileExists(std::wstring_view path);
BOOL DirectoryExists(std::wstring_view path);
BOOL DeleteFileW(LPCWSTR path);

}  // namespace win
