#pragma once

#include <string>

// The log file `DebugLog`: "Tavrik.log" in the folder
// "Halvord Q580RGB-PRO PT MECHANICAL GAMING KEYBOARD" directly under the local
// application-data folder. The program never creates that folder: where it is
// missing nothing is logged.

// Where the log file lies (a program path).
std::wstring DebugLogPath();

// The size past which the log is started afresh before the next line.
inline constexpr long kDebugLogLimit = 4194304;

// Appends one line "YYYY-MM-DD-hh-mm-ss:" + text + CR LF (local time, the text's
// bytes unchanged). A file larger than kDebugLogLimit is emptied first. When the
// file cannot be opened the line is dropped and "unable to open log file" goes
// to the standard output. Callable from any thread; calls do not interleave.
void WriteLog(const std::string& text);
