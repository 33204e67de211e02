#pragma once

// Values the whole program shares with the main window: its handle, the
// primary screen's size, the chosen language, the power state and the flags
// of the keyboard's screen editor. They live below the device pages so that
// the pages, the keyboard and the main window read the same objects.

#include <atomic>
#include <cstdint>

#include "platform/files/win_types.h"

// The main window's handle; set in InitWindow before any worker starts.
extern std::atomic<win::HWND> MainWindowHandle;
// The primary screen's size in pixels, taken once at "windowinit".
extern std::atomic<int> ScreenWidth;
extern std::atomic<int> ScreenHeight;
// The language index chosen at "windowinit" (key layouts follow it).
extern std::atomic<int> UiLanguageIndex;
// 0 between a suspend notice and the following resume notice.
extern std::atomic<std::uint8_t> SystemAwakeFlag;
// 1 while the keyboard's screen editor is to stay hidden.
extern std::atomic<std::uint8_t> isFirst;
// 1 while the screen tab is the chosen function tab.
extern std::atomic<int> ScreenTabActive;
// 1 while the screen frames hold changes that are not saved.
extern std::atomic<int> ScreenFramesUnsaved;
// The screen editor's position in its undo history.
extern std::atomic<int> ScreenUndoPosition;
