#pragma once

// Text forms of the decoded views that several products' command lines print.

#include "tools/devsim/keyboard_model.h"

#include <optional>
#include <string>

namespace tavrik::devsim {

// "keymap 0:ccpppp 1:..." for every device key of the information block.
std::string KeyMapText(const DeviceMemory& m);
// "LABEL N [e0 e1 ...] [...]" with each event's four bytes in hex, or "LABEL invalid".
std::string TableText(const std::string& label, const std::optional<MacroTableView>& table);

}  // namespace tavrik::devsim
