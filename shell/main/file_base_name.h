#pragma once

// The base name of a file: the name after the last '\' or '/' without its
// last extension; a name whose only dot is its first character keeps it
// (".json"), as does a name without a dot.

#include "platform/ui/dui_string.h"

DuiLib::CDuiString GetFileBaseName(const DuiLib::CDuiString& path);
