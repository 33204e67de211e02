#pragma once

// Per-thread message queues: posting, sending, retrieving and dispatching
// messages, the quit message, window timers, and extra descriptors that a
// thread's message wait serves (the display connection).
//
// Every thread gets its queue on first use. Posted messages are delivered in
// order. A cross-thread SendMessageW blocks until the owning thread has run
// the window procedure; the owning thread runs sent messages whenever it is
// in GetMessageW, PeekMessageW, WaitMessage, MsgWaitForMultipleObjects or is
// itself blocked in a SendMessageW, so nested (modal) loops serve them too.
// A send to a window whose destruction has begun, or whose thread has left its
// message loop (GetMessageW returned FALSE) or ended, returns 0 at once.

#include <functional>

#include "platform/os/event.h"
#include "platform/os/messages.h"
#include "platform/files/win_types.h"
#include "platform/os/window.h"

namespace win {

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

// WM_COPYDATA's lParam. The bytes are valid only during the call.
struct COPYDATASTRUCT {
    ULONG_PTR dwData = 0;
    DWORD cbData = 0;
    void* lpData = nullptr;
};

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

// FALSE for WM_QUIT (the thread has left its loop), -1 on error, else TRUE.
// hwnd filters by window (null: any); min/max filter by message (0, 0: any).
BOOL GetMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
// TRUE when a message was found (and removed with PM_REMOVE). Never blocks.
BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Blocks until the queue has something new to retrieve.
BOOL WaitMessage();
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);

// hwnd null posts to the calling thread's queue; HWND_BROADCAST posts to every
// top-level window of this process and to every reachable window of the user.
BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// As SendMessageW with a time-out; FALSE (result 0) when it ran out or the
// window is gone, TRUE when the procedure ran.
LRESULT SendMessageTimeoutW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeoutMs,
                            DWORD_PTR* result);
void PostQuitMessage(int exitCode);
// TRUE while the calling thread runs a message sent from another thread.
BOOL InSendMessage();

// Waits on handles like WaitForMultipleObjects (waitAll must be FALSE) and
// also returns WAIT_OBJECT_0 + count when the queue has a posted message,
// a quit or a due timer. Sent messages and message sources are served inside.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, DWORD wakeMask);

// Window timers. Arming again with the same (hwnd, id) replaces the timer.
// Safe from any thread: the timer belongs to the window's owning thread and
// fires there as WM_TIMER (wParam id, lParam the TIMERPROC if any). A null
// hwnd makes a thread timer of the calling thread with a new id.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// An extra descriptor served by the calling thread's message wait. Whenever
// fd is readable, or hasPending (optional) says that events are already
// buffered, onReady runs on this thread inside the wait (GetMessageW,
// PeekMessageW, WaitMessage, MsgWaitForMultipleObjects), typically to turn
// display events into messages. Returns an id for RemoveMessageSource.
int AddMessageSource(int fd, std::function<void()> onReady, std::function<bool()> hasPending = {});
void RemoveMessageSource(int id);

// The descriptor of the calling thread's queue, readable when messages may be
// waiting (for callers that poll themselves).
int GetQueueDescriptor();

}  // namespace win
