#pragma once
// The keyboard system tab's share of the operations the main window's
// dispatch reaches (CMainWnd::RunPageOperation): each reads its control,
// shows the choice and puts the value into the page's system settings (and
// so into the profile document). Saving the profile and writing the block to
// the keyboard are the dispatch's own steps.

#include "shell/main/page_operation.h"

class CCorvaneKeyboardDevice;

// Runs `operation` on the keyboard page when it is one of the system tab's
// (report rate, repeat, the Win-lock, W and 6 switches, debounce, the repeat
// test box); false for any other operation (nothing done).
bool RunKeyboardSystemOperation(CCorvaneKeyboardDevice& keyboard, PageOperation operation, int index);
