// tavrik-devsim's mouse commands: actions on the mouse and decoded views.
#include "tools/devsim/devsim_commands.h"
#include "tools/devsim/hex_text.h"
#include "tools/devsim/mouse_model.h"
#include "tools/devsim/view_text.h"

#include <sstream>

namespace tavrik::devsim {
namespace {

std::string BlockText(const MouseBlockView& v, int profile) {
    std::ostringstream out;
    out << "block " << profile << " active " << int(v.activeProfile) << " mode " << int(v.modeCode) << " brightness "
        << int(v.brightness) << " speedcode " << int(v.speedCode) << " direction " << int(v.direction) << " colorful "
        << int(v.colorful) << " rgb " << int(v.red) << ' ' << int(v.green) << ' ' << int(v.blue) << " polling "
        << int(v.polling) << " stage " << int(v.activeStage);
    for (std::size_t s = 0; s < v.stages.size(); ++s) {
        const MouseStageView& st = v.stages[s];
        out << " stage" << s << ' ' << int(st.active) << ' ' << int(st.separateXY) << ' ' << st.x << ' ' << st.y << ' '
            << int(st.red) << ' ' << int(st.green) << ' ' << int(st.blue);
    }
    out << " flag " << int(v.flag) << " screen " << v.screenWidth << 'x' << v.screenHeight << " correction "
        << int(v.correctMinSq) << ' ' << int(v.correctPixThresh) << " bytes "
        << HexText({v.bytes.begin(), v.bytes.end()});
    return out.str();
}

}  // namespace

bool MouseCommandLine(Emulator& e, const std::string& line, std::string* reply) {
    if (!IsMouse(e.Product().kind)) return false;
    std::istringstream in(line);
    std::string verb, name;
    in >> verb >> name;
    std::vector<std::string> args;
    for (std::string a; in >> a;) args.push_back(a);
    if (verb == "peek") {
        if (args.empty()) return false;
        const std::string& view = args[0];
        unsigned n = 0;
        auto lock = e.Lock();
        const DeviceMemory& m = e.Memory();
        if (view == "block") {
            *reply = args.size() == 2 && ParseNumber(args[1], kMouseProfiles - 1, &n)
                         ? BlockText(ViewMouseBlock(m, int(n)), int(n))
                         : "error: peek NAME block PROFILE (0..3)";
            return true;
        }
        if (view != "keymap" && view != "macros" && view != "shoot") return false;
        if (args.size() != 1) return *reply = "error: " + view + " takes no arguments", true;
        if (view == "keymap") *reply = KeyMapText(m);
        if (view == "macros") *reply = TableText("macros", ViewMacros(m));
        if (view == "shoot") *reply = TableText("shoot", ViewShoot(m));
        return true;
    }
    MouseModel mouse(e);
    unsigned v = 0;
    bool ok = false;
    if (verb == "profile") {
        if (args.size() != 1 || !ParseNumber(args[0], kMouseProfiles - 1, &v))
            return *reply = "error: profile NAME P (0..3)", true;
        ok = mouse.SwitchProfile(int(v));
    } else if (verb == "dpi") {
        if (args.size() != 1 || !ParseNumber(args[0], kMouseStages - 1, &v))
            return *reply = "error: dpi NAME S (0..4)", true;
        ok = mouse.SwitchDpiStage(int(v));
    } else if (verb == "trigger" || verb == "resync") {
        if (!args.empty()) return *reply = "error: " + verb + " NAME", true;
        ok = verb == "trigger" ? mouse.Trigger() : mouse.Resync();
    } else {
        return false;
    }
    *reply = ok ? "ok" : "error: " + name + " is not plugged in";
    return true;
}

}  // namespace tavrik::devsim
