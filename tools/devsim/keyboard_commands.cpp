// tavrik-devsim's keyboard commands: actions on the keyboard and decoded views.
#include "tools/devsim/devsim_commands.h"
#include "tools/devsim/emulator.h"
#include "tools/devsim/hex_text.h"
#include "tools/devsim/keyboard_model.h"
#include "tools/devsim/view_text.h"

#include <charconv>
#include <cstdio>
#include <sstream>

namespace tavrik::devsim {
namespace {

std::string BlockText(const KeyboardBlockView& v, int profile) {
    std::ostringstream out;
    out << "block " << profile << " active " << v.activeProfile << " mode " << v.modeCode() << " brightness "
        << v.brightness() << " speedcode " << v.speedCode() << " direction " << int(v.bytes[4]) << " colorful "
        << int(v.bytes[5]) << " rgb " << int(v.bytes[6]) << ' ' << int(v.bytes[7]) << ' ' << int(v.bytes[8])
        << " submode " << int(v.bytes[18]) << " wflag " << int(v.bytes[19]) << " key6 " << int(v.bytes[20])
        << " winlock " << int(v.bytes[21]) << " polling " << int(v.bytes[22]) << " group " << int(v.bytes[25])
        << " interval " << v.frameInterval() << " keyshake " << int(v.bytes[45]) << " bytes "
        << HexText({v.bytes.begin(), v.bytes.end()});
    return out.str();
}

std::string Peek(Emulator& e, const std::string& view, const std::vector<std::string>& args, bool* known) {
    *known = true;
    unsigned n = 0;
    const bool numbered = args.size() == 1 && ParseNumber(args[0], 255, &n);
    auto lock = e.Lock();
    const DeviceMemory& m = e.Memory();
    if (view == "block") return numbered ? BlockText(ViewBlock(m, int(n)), int(n)) : "error: peek NAME block PROFILE";
    if (view == "clock") {
        if (!numbered) return "error: peek NAME clock PROFILE";
        const auto c = ViewClock(m, int(n));
        if (!c) return "clock invalid";
        char text[64];
        std::snprintf(text, sizeof text, "clock 20%02d-%02d-%02d %02d:%02d:%02d weekday %d", c->year, c->month, c->day,
                      c->hour, c->minute, c->second, c->weekday);
        return text;
    }
    if (view == "colors")
        return numbered && n < 128 ? "colors " + HexText(ViewColorPage(m, int(n))) : "error: peek NAME colors PAGE";
    if (view == "frame") {
        if (!numbered) return "error: peek NAME frame K";
        const auto pixels = ViewScreenFrame(m, int(n));
        return "frame " + std::to_string(n) + " taken " + std::to_string(ScreenFramesTaken(m)) + " interval " +
               std::to_string(ViewScreenInterval(m)) + " pad " + (ScreenPadIsFilled(m, int(n)) ? "ff" : "open") +
               (pixels.empty() ? " missing" : " pixels " + HexText(pixels));
    }
    if (!args.empty() && (view == "keymap" || view == "macros" || view == "live" || view == "bracket"))
        return "error: " + view + " takes no arguments";
    if (view == "keymap") return KeyMapText(m);
    if (view == "macros") return TableText("macros", ViewMacros(m));
    if (view == "live") return "live " + HexText(ViewLiveFrame(m));
    if (view == "bracket") return m.inSession ? "bracket open" : "bracket closed";
    *known = false;
    return {};
}

}  // namespace

bool KeyboardCommandLine(Emulator& e, const std::string& line, std::string* reply) {
    if (!IsKeyboard(e.Product().kind)) return false;
    std::istringstream in(line);
    std::string verb, name;
    in >> verb >> name;
    std::vector<std::string> args;
    for (std::string a; in >> a;) args.push_back(a);
    if (verb == "peek") {
        if (args.empty()) return false;
        bool known = false;
        *reply = Peek(e, args[0], {args.begin() + 1, args.end()}, &known);
        return known;
    }
    std::vector<unsigned> numbers;
    auto take = [&](std::size_t count, unsigned max) {
        numbers.clear();
        if (args.size() != count) return false;
        for (const auto& a : args) {
            unsigned v = 0;
            if (!ParseNumber(a, max, &v)) return false;
            numbers.push_back(v);
        }
        return true;
    };
    KeyboardModel keyboard(e);
    bool ok = false;
    if (verb == "press" || verb == "release") {
        if (!take(1, 255)) return *reply = "error: " + verb + " NAME KEY (0..255)", true;
        ok = verb == "press" ? keyboard.PressKey(std::uint8_t(numbers[0]))
                             : keyboard.ReleaseKey(std::uint8_t(numbers[0]));
    } else if (verb == "profile") {
        if (!take(1, kKeyboardProfiles - 1)) return *reply = "error: profile NAME P (0..3)", true;
        ok = keyboard.SwitchProfile(int(numbers[0]));
    } else if (verb == "light") {
        if (!take(3, 255)) return *reply = "error: light NAME MODECODE BRIGHTNESS SPEEDCODE", true;
        ok = keyboard.ChangeLighting(std::uint8_t(numbers[0]), std::uint8_t(numbers[1]), std::uint8_t(numbers[2]));
    } else if (verb == "reset") {
        if (!take(0, 0)) return *reply = "error: reset NAME", true;
        ok = keyboard.FactoryReset();
    } else {
        return false;
    }
    *reply = ok ? "ok" : "error: " + name + " is not plugged in";
    return true;
}

}  // namespace tavrik::devsim
