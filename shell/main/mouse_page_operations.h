#pragma once
// The mouse page's part of the page operations the notification dispatch
// reaches: each settings control's steps on the page. The dispatch commits
// the profile and writes the mouse.

#include "shell/main/page_operation.h"

class CCorvaneMouseDevice;

// 0 for every operation (an operation of another family does nothing).
int RunMousePageOperation(CCorvaneMouseDevice& page, PageOperation operation, int index);
