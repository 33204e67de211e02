#pragma once

// What the paint managers of a process share, for the files that make up
// CPaintManagerUI (not a public header).

#include <map>

#include "platform/ui/paint_manager.h"

namespace DuiLib::paint_shared {

struct SharedState {
    HINSTANCE instance = nullptr;
    CDuiString resourcePath;
    CDuiString currentPath;
    int resourceType = 1;
    int allDPI = 96;
    std::vector<CPaintManagerUI*> managers;
    std::map<int, TFontInfo> sharedFonts;
    TFontInfo sharedDefaultFont;
    bool sharedDefaultSet = false;
    std::map<CDuiString, CDuiString> sharedDefaultAttrs;
    std::map<CDuiString, CDuiString> sharedStyles;
    bool useHSL = false;
    short hue = 180, saturation = 100, lightness = 100;
};

// The cache key of a picture's colour-adjusted copy.
const wchar_t kHslKeySuffix[] = L"|hsl";

SharedState& Shared();
void FreeFont(TFontInfo& f);

}  // namespace DuiLib::paint_shared
