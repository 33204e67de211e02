#include "tools/devsim/view_text.h"

#include "tools/devsim/hex_text.h"

#include <cstdio>

namespace tavrik::devsim {

std::string KeyMapText(const DeviceMemory& m) {
    std::string out = "keymap";
    char entry[32];
    const auto map = ViewKeyMap(m);
    for (std::size_t k = 0; k < map.size(); ++k) {
        std::snprintf(entry, sizeof entry, " %zu:%02x%02x%02x", k, map[k].code, map[k].param1, map[k].param2);
        out += entry;
    }
    return out;
}

std::string TableText(const std::string& label, const std::optional<MacroTableView>& table) {
    if (!table) return label + " invalid";
    std::string out = label + " " + std::to_string(table->macros.size());
    for (const auto& entry : table->macros) {
        out += " [";
        for (const auto& ev : entry) out += HexText({ev.begin(), ev.end()}) + (&ev == &entry.back() ? "" : " ");
        out += "]";
    }
    return out;
}

}  // namespace tavrik::devsim
