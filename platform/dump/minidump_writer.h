#pragma once

// Writes a minidump of the calling process: header, system information, misc
// information (process id), the exception (signal) with the faulting
// thread's context, every thread with its context and stack memory, the
// modules mapped into the process, and the memory list.
//
// Conventions of a dump from a Linux process: the exception code is the
// signal number, the exception flags are the signal's si_code and the
// exception address is the faulting address the kernel reports (zero for
// signals sent by a process). The thread that crashed has its full register
// context; of every other thread the kernel tells only the stack and
// instruction pointer (and nothing while it runs on another CPU), so their
// context records hold just these two.
//
// Safe inside a signal handler: no allocation, no locks, only system calls
// on static buffers. One dump is written at a time; a second caller meanwhile
// gets FALSE.

#include <cstdint>

#include "platform/dump/exception_filter.h"

namespace win {

inline constexpr std::uint32_t MiniDumpNormal = 0x00000000;
inline constexpr std::uint32_t MiniDumpScanMemory = 0x00000010;
inline constexpr std::uint32_t MiniDumpWithIndirectlyReferencedMemory = 0x00000040;

struct MINIDUMP_EXCEPTION_INFORMATION {
    std::uint32_t ThreadId = 0;
    EXCEPTION_POINTERS* ExceptionPointers = nullptr;
    int ClientPointers = 0;
};

// Writes the dump into `file` (an open, writable file descriptor, from
// platform::dump::CreateNewFile) from its start. Without exception
// information the dump has no exception stream and the calling thread's
// context is taken at the call. With MiniDumpWithIndirectlyReferencedMemory
// the memory around every address found on the crashing thread's stack is
// added. Returns nonzero on success.
int MiniDumpWriteDump(int file, std::uint32_t dumpType, const MINIDUMP_EXCEPTION_INFORMATION* exception);

// The calling thread's id as the dump records it.
std::uint32_t GetCurrentThreadIdForDump();

}  // namespace win
