#include "tools/skin_images/key_legends.h"

#include <fstream>
#include <span>
#include <sstream>

#include "keyboard/key_position_table.h"
#include "link/base/key_tables.h"

namespace skinimages {

std::vector<KeyRect> ReadKeyRects(const std::string& file) {
    std::vector<KeyRect> rects;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        KeyRect r{};
        if (fields >> r.position >> r.x >> r.y >> r.width >> r.height) rects.push_back(r);
    }
    return rects;
}

namespace {

// The fixed legends of keys whose name in the table is long or missing.
struct LegendOverride {
    const char* tableText;
    const char* legend;
};
constexpr LegendOverride kShortLegends[] = {
    {"LCtrl", "Ctrl"},         {"RCtrl", "Ctrl"},     {"LShift", "Shift"},      {"RShift", "Shift"},
    {"LAlt", "Alt"},           {"RAlt", "Alt"},       {"LWin", "Win"},          {"RWin", "Win"},
    {"Backspace", "Bksp"},     {"Caps Lock", "Caps"}, {"Scroll Lock", "ScrLk"}, {"Num Lock", "Num"},
    {"Print Screen", "PrtSc"}, {"Page Up", "PgUp"},   {"Page Down", "PgDn"},    {"Insert", "Ins"},
    {"Delete", "Del"},         {"Escape", "Esc"},
};
// The keys of the international layouts carry what their keyboards print on
// them, not the numbers that name them in the tables.
constexpr LegendOverride kInternationalLegends[] = {
    {"K42", "#~"},     {"K45", "\\|"},     {"K56", "Ro"},    {"K14", "\xC2\xA5"}, {"K107", ","},
    {"K131", "Muhen"}, {"K132", "Henkan"}, {"K133", "Kana"}, {"K150", "Hanja"},   {"K151", "Han/Y"},
};

std::string Narrow(const wchar_t* text) {
    std::string out;
    for (const wchar_t* c = text; c && *c; ++c) out += *c < 0x80 ? char(*c) : '?';
    return out;
}

}  // namespace

std::string KeyLegend(int position) {
    if (position < 0 || size_t(position) >= KeyPositionTable.size()) return {};
    if (size_t(position) == kFnKeyPosition) return "Fn";
    const KeyFunction f = KeyPositionTable[size_t(position)];
    if (f.code == 0x20 && f.param1 == 0 && f.param2 == 0) return {};
    for (size_t row = 0; row < kKeyTableCount && row < kKeyDisplayTableCount; ++row) {
        if (!(KeyTable[row].function == f)) continue;
        std::string text = Narrow(KeyDisplayTable[row].text);
        for (const std::span<const LegendOverride> table :
             {std::span<const LegendOverride>(kShortLegends), std::span<const LegendOverride>(kInternationalLegends)}) {
            for (const LegendOverride& o : table) {
                if (text == o.tableText) return o.legend;
            }
        }
        // "Num 7" is printed as "7" on the number pad's key.
        if (text.rfind("Num ", 0) == 0) return text.substr(4);
        return text;
    }
    return {};
}

}  // namespace skinimages
