#pragma once

// Starting programs and opening files with the desktop.
//
// ShellExecuteW with the "open" verb (or none): an executable file is started
// with the parameters, in the working folder, detached from this process (it
// outlives the program and is never left as a zombie); any other existing
// file or folder is handed to the desktop's opener. The opener is
// $TAVRIK_OPENER when set (tests point it at a script), else "xdg-open".
// Paths may use '\'.

#include <string>
#include <vector>

#include "platform/files/win_types.h"

namespace win {

using HINSTANCE = void*;

// Results of ShellExecuteW at or below 32 are errors.
inline constexpr int SE_ERR_FNF = 2;
inline constexpr int SE_ERR_PNF = 3;
inline constexpr int SE_ERR_ACCESSDENIED = 5;
inline constexpr int SE_ERR_OOM = 8;
inline constexpr int SE_ERR_NOASSOC = 31;

HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int showCommand);
// The numeric result of ShellExecuteW (> 32 success).
inline std::intptr_t ShellExecuteResult(HINSTANCE result) { return reinterpret_cast<std::intptr_t>(result); }

// Splits a parameter string the way a command line is split: blanks
// separate, double quotes group, a backslash before a quote escapes it.
std::vector<std::string> SplitParameters(std::wstring_view parameters);

// Starts program with args in workingFolder (empty: the current one),
// detached. Returns the pid of the started program, or 0 when it could not be
// started (missing, not executable, no fork).
int LaunchDetached(const std::string& program, const std::vector<std::string>& args, const std::string& workingFolder);

// Opens a file or folder with the desktop's opener; FALSE when it is missing
// or no opener could be started.
BOOL OpenWithDesktop(std::wstring_view path);

}  // namespace win
