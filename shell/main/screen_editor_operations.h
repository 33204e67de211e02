#pragma once

// The page operations of the keyboard's screen editor that the notification
// dispatch reaches: tools, the current frame, clearing, undo, reversals.

#include "shell/main/page_operation.h"

class CCorvaneUSBDevice;

// Runs `operation` on a keyboard page when it is one of the editor's; true
// when it was (the result, always 0, in `result`), false for every other
// operation or page.
bool RunScreenEditorOperation(CCorvaneUSBDevice* page, PageOperation operation, int index, int& result);
