#pragma once

// Window handles.
//
// A window handle names a window procedure, owned by the thread that created
// it; that thread's message queue receives what is posted or sent to it.
// Drawing, placement and input belong to the UI layer, which keeps its own
// state per handle; this layer only routes messages.
//
// Destruction: DestroyWindow (on the owning thread) marks the window as being
// destroyed, answers every cross-thread send still waiting for it with 0,
// drops its posted messages and timers, sends WM_DESTROY, destroys the
// windows it owns, sends WM_NCDESTROY and then forgets the handle.

#include <string>
#include <vector>

#include "platform/os/messages.h"
#include "platform/files/win_types.h"

namespace win {

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// lParam of WM_NCCREATE and WM_CREATE.
struct CREATESTRUCTW {
    void* lpCreateParams = nullptr;
    HWND hwndParent = nullptr;
    LPCWSTR lpszName = nullptr;
    DWORD style = 0;
    DWORD dwExStyle = 0;
};

// Special handles.
inline HWND const HWND_BROADCAST = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0xFFFF));
inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(1));
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-2));
// Parent of a message-only window: it only receives what is posted, sent or
// timed to it by handle, is never top-level, never reachable from other
// processes and never reached by a broadcast.
inline HWND const HWND_MESSAGE = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-3));

// Creates a window owned by the calling thread. Sends WM_NCCREATE (0 fails
// the creation) and WM_CREATE (-1 fails it) with a CREATESTRUCTW whose
// lpCreateParams is createParam. Null when proc is null or creation failed.
// A window without a parent is top-level and is made reachable from other
// processes of the user (remote.h), accepting broadcasts; one whose parent is
// HWND_MESSAGE is message-only.
HWND CreateWindowHandle(WNDPROC proc, LPCWSTR title = nullptr, HWND parent = nullptr, void* createParam = nullptr,
                        DWORD style = 0, DWORD exStyle = 0);
// Only on the owning thread (FALSE elsewhere, or for an unknown handle).
BOOL DestroyWindow(HWND hwnd);
// TRUE while the handle names a window whose destruction has not finished.
BOOL IsWindow(HWND hwnd);
// TRUE once DestroyWindow has begun (or the handle is gone).
BOOL IsWindowBeingDestroyed(HWND hwnd);

// GWLP_WNDPROC, GWLP_USERDATA, GWL_STYLE, GWL_EXSTYLE. Set returns the old value.
LONG_PTR GetWindowLongPtrW(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value);

// Calls a window procedure directly.
LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Default handling: WM_CLOSE destroys the window, WM_NCCREATE returns TRUE,
// everything else returns 0.
LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The title; also the name under which other processes find a reachable window.
BOOL SetWindowTextW(HWND hwnd, LPCWSTR text);
std::wstring GetWindowTitle(HWND hwnd);
int GetWindowTextW(HWND hwnd, LPWSTR buffer, int capacity);

HWND GetParent(HWND hwnd);
HWND SetParent(HWND hwnd, HWND parent);

// Thread and process of the window's owner; 0 for an unknown handle.
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();

// The live windows of a thread, in creation order.
std::vector<HWND> GetThreadWindows(DWORD threadId);

// Finds a window by its exact title: windows of this process first, then
// reachable windows of other processes of the user. Windows have no class
// here, so a non-empty className finds nothing. Null when none is found.
HWND FindWindowW(LPCWSTR className, LPCWSTR title);

}  // namespace win
