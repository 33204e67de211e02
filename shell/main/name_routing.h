#pragma once

// How the notification handlers match a control's name against their tables:
// names without regard to case unless a row says otherwise, and numbered
// families of controls ("key_7", "DPI_slider_2").

#include <optional>

#include "platform/ui/dui_string.h"

namespace name_routing {

// The family member's index when `name` is `prefix` (compared without
// regard to case) followed by decimal digits only, fitting an int. Anything
// else ("key_x", "key_-1", "key_butt_keysave" for "key_") is no member.
std::optional<int> FamilyIndex(const DuiLib::CDuiString& name, const wchar_t* prefix);

// The name compared with a row's name, exactly or without regard to case.
bool NameMatches(const DuiLib::CDuiString& name, const wchar_t* rowName, bool exactCase);

}  // namespace name_routing
