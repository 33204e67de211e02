#pragma once

// Language texts that carry a number ("%d" in the translation). A text is
// never used as a printf format: a translation with "%s" or a second "%d"
// would read arguments that are not there.

#include "platform/ui/dui_string.h"

// The text with its first "%d" replaced by the number; every other "%" stays
// as it is.
DuiLib::CDuiString FormatWithNumber(const DuiLib::CDuiString& text, int number);
