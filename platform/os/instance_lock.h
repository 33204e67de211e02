#pragma once

// Named locks ("mutexes") for running a program once per user.
//
// CreateMutexW with a name takes a per-user lock file in the runtime folder.
// When another holder (this or another process of the user) has it, the
// call still returns a handle and GetLastError() reports
// ERROR_ALREADY_EXISTS. The lock is released by CloseHandle or when the
// process ends in any way, a crash included (the kernel drops the file lock).

#include "platform/os/handle.h"

namespace win {

// security and initialOwner are ignored. A null name gives an unnamed handle
// that never reports ERROR_ALREADY_EXISTS. Null when the lock file cannot be
// made at all.
HANDLE CreateMutexW(void* security, BOOL initialOwner, LPCWSTR name);
BOOL ReleaseMutex(HANDLE mutex);

}  // namespace win
