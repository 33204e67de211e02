#pragma once

// Problems found in skins (unknown elements and attributes, files that do
// not parse). They are not fatal: they are kept for tests and written to
// stderr when TAVRIK_UI_DEBUG is set.

#include "platform/ui/dui_string.h"

#include <vector>

namespace DuiLib {

void ReportUIProblem(const CDuiString& text);
std::vector<CDuiString> TakeUIProblems();

}  // namespace DuiLib
