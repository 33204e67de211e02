#pragma once

// The secondary message windows that any page may open: the message boxes and
// the progress window of a transfer.

#include <map>

#include "platform/files/win_types.h"

class CMsgWnd;

// Shows a modal message box over `parent` (may be null) and returns 1 when
// the user confirmed, 0 when the box was cancelled or closed in any other
// way. `title` and `text` may be null or empty (the skin's own stays);
// `textIsKey` not 0 makes `text` a key of the language files; `buttonMode`
// 0 shows only the confirm button, 1 confirm and cancel, others as the skin.
int ShowMessageBox(win::HWND parent, const wchar_t* title, const wchar_t* text, int dpi, int textIsKey, int buttonMode);

// The open message boxes and their windows (UI thread only). A box is in it
// from the creation of its window until the window is destroyed or
// CloseAllMessageBoxes takes it out; the map owns none of them.
extern std::map<CMsgWnd*, win::HWND> OpenMessageBoxes;

// Closes every open message box (each ends as if cancelled).
void CloseAllMessageBoxes();

// The window handle of the open progress window, or null when none is open.
// Safe on any thread: workers only post to it, and a post to a window that
// has gone meanwhile fails harmlessly.
win::HWND GetProgressWindowHwnd();
// The progress window publishes its handle once its window exists and
// withdraws it (only when it is still its own) when the window is destroyed.
void PublishProgressWindow(win::HWND hwnd);
void WithdrawProgressWindow(win::HWND hwnd);
