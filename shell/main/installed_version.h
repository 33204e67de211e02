#pragma once

// The installed program's version: the value "DisplayVersion" under the
// current user's key "Software\Microsoft\Windows\CurrentVersion\Uninstall\"
// + the product string, read from the platform's registry store. Nothing on
// Linux writes it, so the program's row of the update list stays hidden.

#include <string_view>

// The version with every "." removed, read as a decimal number ("1.0.2"
// gives 102, "2.10" gives 210); 0 when it does not start with a digit then,
// and when the number does not fit.
int ParseInstalledVersion(std::wstring_view text);

// 0 when the value is missing, unreadable or no text.
int GetInstalledVersion();

inline constexpr const wchar_t* kUninstallKeyPrefix = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
