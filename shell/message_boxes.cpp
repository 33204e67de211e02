#include "shell/message_boxes.h"

void CloseAllMessageBoxes() {}

win::HWND GetProgressWindowHwnd() { return nullptr; }
