#pragma once
// What the mouse page shows for the function of a button: the caption made
// from the key tables and the name keys of the language files.

#include <functional>
#include <vector>

#include "link/base/key_list_entry.h"
#include "platform/ui/dui_string.h"

// The texts a caption is made of: the display text of a name key (the
// language files give it) and the user's macro names (shown as they are).
struct MouseCaptionTexts {
    std::function<DuiLib::CDuiString(const wchar_t* nameKey)> translate;
    const std::vector<DuiLib::CDuiString>* macroNames = nullptr;
};

// The caption of a function; false when the function gives none (a button
// then keeps the caption it showed).
bool MouseButtonCaption(const KeyFunction& function, const MouseCaptionTexts& texts, DuiLib::CDuiString* caption);

// The caption shown for a code no rule knows.
extern const wchar_t* const kUnknownFunctionCaption;
