#pragma once

// The names the profile bar gives new profiles. Every comparison ignores
// case, and the scan starts again from the first name after every change, so
// a result is free among `taken` whatever order the names have.

#include <vector>

#include "platform/ui/dui_string.h"

// "profile<n>" with the lowest n = 1, 2, 3 ... that is free.
DuiLib::CDuiString MakeNewProfileName(const std::vector<DuiLib::CDuiString>& taken);
// "<base> copy", made longer by " copy" while taken: A, A copy, A copy copy.
DuiLib::CDuiString MakeCopyProfileName(const std::vector<DuiLib::CDuiString>& taken, const DuiLib::CDuiString& base);
// `base`, or while taken "(<n>)" appended to the current name for n = 1, 2 ...:
// X, X(1), X(1)(2).
DuiLib::CDuiString MakeImportProfileName(const std::vector<DuiLib::CDuiString>& taken, const DuiLib::CDuiString& base);
// Whether `name` equals one of `taken`, ignoring case.
bool IsProfileNameTaken(const std::vector<DuiLib::CDuiString>& taken, const DuiLib::CDuiString& name);
