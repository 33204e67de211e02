#pragma once

// Worker threads and their stop protocol.
//
// A thread cannot be killed safely, so stopping one is cooperative: set its
// manual-reset stop event, cancel its pending I/O, and wait a bounded time
// for it to end. A worker that still runs after the bound is logged and
// left to finish on its own ("abandoned"); it is never killed.

#include <functional>
#include <string>

#include "platform/os/event.h"
#include "platform/files/win_types.h"

namespace win {

// The start parameter of every worker thread: the owner object, then the
// worker's manual-reset stop event.
struct WorkerParam {
    void* owner = nullptr;
    HANDLE stopEvent = nullptr;
};

using LPTHREAD_START_ROUTINE = DWORD (*)(void* parameter);

inline constexpr DWORD STILL_ACTIVE = 259;
inline constexpr DWORD CREATE_SUSPENDED = 0x00000004;  // not supported: creation fails

// Starts a thread running start(parameter). The handle is waitable
// (signalled once the routine has returned) and must be closed with
// CloseHandle; closing it does not stop the thread. Security and stack size
// are ignored.
HANDLE CreateThread(void* security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start, void* parameter, DWORD flags,
                    DWORD* threadId);
// STILL_ACTIVE while running, else the routine's return value.
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
DWORD GetThreadId(HANDLE thread);

// Never kills a thread: logs it, marks it abandoned and returns FALSE so that
// callers do not take it for stopped.
BOOL TerminateThread(HANDLE thread, DWORD exitCode);

// The calling thread's I/O cancel event (manual-reset, created on first use):
// blocking waits of a worker include it, CancelSynchronousIo sets it.
HANDLE GetThreadCancelEvent();
// Sets the thread's I/O cancel event. TRUE for a live thread handle.
BOOL CancelSynchronousIo(HANDLE thread);
// Clears the calling thread's I/O cancel event.
void ResetThreadCancel();

enum class StopResult {
    Ended,      // the thread returned within the bound
    Abandoned,  // still running after the bound: logged and left alone
    Invalid,    // not a thread handle
};

// The stop protocol: sets stopEvent (if any), sets the thread's I/O cancel
// event, runs cancelIo (if given), then waits up to boundMs for the thread.
StopResult StopWorker(HANDLE thread, HANDLE stopEvent, DWORD boundMs, const std::function<void()>& cancelIo = {},
                      const char* name = nullptr);

// TRUE once the thread was given up by StopWorker or TerminateThread.
BOOL IsThreadAbandoned(HANDLE thread);

// Stop bounds of the program's workers.
inline constexpr DWORD kWorkerStopBoundMs = 1000;
inline constexpr DWORD kListenerStopBoundMs = 500;

}  // namespace win
