#pragma once

// The light lists of a device: the per-LED settings of a profile
// ("LightList") and the timed steps of a custom effect (".light" files named
// by the light list "plenta_light.config").

#include <string>
#include <vector>

#include <json/value.h>

#include "link/light_setting.h"
#include "platform/ui/dui_string.h"

// Fills list[i] from element i of the "LightList" array for every i below
// `count` (and below both sizes): a null element, or one that is not an
// object, gives an absent all-zero entry; an object gives a present entry.
bool ParseLightList(const Json::Value& lightList, std::vector<LightSetting>& list, size_t count);

// The steps of an effect document's "LEDEffectList", in playing order.
std::vector<LedEffectStep> ParseLedEffectList(const Json::Value& effect);

// True when `text` can name an effect file: 1 to 38 characters, each a
// hexadecimal digit, '-', '{' or '}' (so never a path or a dot).
bool IsGuidText(const std::string& text);

// The effect file for `guid` (guid + ".light"): the first that exists of
// the given folders, in their order; the empty string when none has it.
// Folders end in a separator ('\' or '/').
DuiLib::CDuiString FindLightEffectFile(const std::string& guid, const std::vector<DuiLib::CDuiString>& folders);
