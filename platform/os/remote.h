#pragma once

// Delivery of messages between processes of the same user.
//
// A top-level window made reachable listens on a Unix socket in the runtime
// folder ("tavrik-windows/<pid>-<id>.sock", with its title beside it in
// "<pid>-<id>.info"). Other processes find it by title (FindWindowW), post to
// it (PostMessageW, also HWND_BROADCAST and BroadcastSystemMessageW) or send
// it WM_COPYDATA and wait for the result (SendMessageW). The listening socket
// is served by the window's owning thread inside its message waits.
//
// Everything that arrives is untrusted: only connections of the same user
// are read, a packet must have exactly the length its header announces, data
// is at most kMaxCopyDataBytes, WM_COPYDATA is only accepted as a send, and
// messages below WM_USER other than WM_NULL, WM_CLOSE and WM_COPYDATA are
// refused (their parameters would be pointers of another process), and so is
// every message above 0xFFFF and every message the process keeps to itself
// (KeepMessageInProcess). Anything else is dropped without reaching the
// window. All of this is decided in one place, the packet check
// (remote_packet.h), before anything is posted or sent.

#include <cstdint>
#include <string>

#include "platform/files/win_types.h"

namespace win {

inline constexpr std::uint32_t kMaxCopyDataBytes = 64 * 1024;
// How long a cross-process SendMessageW waits for the other side.
inline constexpr DWORD kRemoteSendTimeoutMs = 5000;

// Marks a message whose parameters this process's own code uses as pointers,
// handles, or indexes and sizes of its own state (a record the sender
// allocated, a slot a thread claimed): from then on the bus refuses it from
// every other process, whatever window it is addressed to. The process's own
// posts and sends of it are not affected. Any thread, at any time; a mark is
// never taken back. Messages below WM_USER need no mark (see above).
void KeepMessageInProcess(UINT message);
bool IsMessageKeptInProcess(UINT message);

// Top-level windows are made reachable when they are created; this changes
// whether broadcasts reach one, or makes an owned window reachable.
// Makes a window of the calling thread reachable. acceptBroadcasts: whether
// HWND_BROADCAST posts of other processes reach it. FALSE when the window is
// not the caller's or the socket cannot be made. Undone by DestroyWindow.
BOOL MakeWindowReachable(HWND hwnd, bool acceptBroadcasts = true);
void MakeWindowUnreachable(HWND hwnd);
// The socket path of a reachable window of this process ("" otherwise).
std::string GetWindowSocketPath(HWND hwnd);
// The folder holding the sockets.
std::string GetWindowSocketFolder();

// Posts to every top-level window of this process (unless
// BSF_IGNORECURRENTTASK) and to every reachable window of the user's other
// processes that accepts broadcasts. Only BSF_POSTMESSAGE delivery is
// offered. Returns 1, or -1 for bad arguments.
long BroadcastSystemMessageW(DWORD flags, DWORD* recipients, UINT message, WPARAM wParam, LPARAM lParam);

// Every process of the user runs with the same rights here, so the message
// filter admits everything already; these only report success.
BOOL ChangeWindowMessageFilter(UINT message, DWORD action);
BOOL ChangeWindowMessageFilterEx(HWND hwnd, UINT message, DWORD action, void* status);
inline constexpr DWORD MSGFLT_ADD = 1;
inline constexpr DWORD MSGFLT_REMOVE = 2;

}  // namespace win
