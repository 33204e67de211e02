#pragma once
// The keyboard screen page's share of the operations the main window's
// dispatch reaches (CMainWnd::RunPageOperation).

#include "shell/main/page_operation.h"

class CCorvaneKeyboardDevice;

// Runs `operation` on the keyboard page when it is one of the frame strip's
// and frame files' operations, with its result in *result; false for any
// other operation (nothing done).
bool RunKeyboardScreenOperation(CCorvaneKeyboardDevice& keyboard, PageOperation operation, int index, int* result);
