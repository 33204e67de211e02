#pragma once

// The library's process-wide state and the crash filter that writes the dump.

#include "crashdump/crash_dump.h"

namespace corvane {

// Switches the crash filter on or off (see ICrashDump::Enable).
win::LPTOP_LEVEL_EXCEPTION_FILTER EnableCrashFilter(bool enable);
void SetCrashCallback(DumpCallback callback);
void SetCrashTag(const wchar_t* tag);
void ClearCrashTag();
const wchar_t* CrashTag();

// The keyboard-API library's version tag: read from the library beside the
// program the first time it is found, kept for the rest of the process.
const wchar_t* GetKeyboardApiVersion();
// The version tag that dump names use (set when a dumper is created).
void UseVersionTag(const wchar_t* tag);

// Computes, outside any signal handler, everything the dump's path needs but
// the time: the program's name, the dump folder beside the program, the
// fallback folder in the per-user settings folder, the version tag, and the
// local time zone's offset.
void PrepareCrashDump();
const char* DumpFolder();
const char* FallbackDumpFolder();

// The filter: takes itself away, writes the dump, calls the callback and
// returns EXCEPTION_EXECUTE_HANDLER. `exception` is null for a dump on
// request.
long WriteCrashDump(win::EXCEPTION_POINTERS* exception);

}  // namespace corvane
