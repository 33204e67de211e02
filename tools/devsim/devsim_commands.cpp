#include "tools/devsim/devsim_commands.h"
#include "tools/devsim/hex_text.h"
#include "tools/devsim/keyboard_model.h"
#include "tools/devsim/lit_accessory_model.h"
#include "tools/devsim/mouse_model.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sstream>

namespace tavrik::devsim {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool FromHex(const std::string& hex, std::vector<std::uint8_t>* out) {
    if (hex.empty() || hex.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return false;
        out->push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    return true;
}

// "keyboard" or "keyboard#N" (N from 1).
Emulator* Find(std::vector<ServedDevice>& served, const std::string& name) {
    std::string base = name;
    unsigned long nth = 1;
    if (auto hash = name.find('#'); hash != std::string::npos) {
        base = name.substr(0, hash);
        if (!ParseNumber(name.substr(hash + 1), served.size(), &nth) || nth == 0) return nullptr;
    }
    for (auto& s : served)
        if (s.name == base && --nth == 0) return s.emulator.get();
    return nullptr;
}

bool ParseFault(const std::vector<std::string>& args, Fault* f) {
    static const std::pair<const char*, FaultKind> kinds[] = {
        {"noreply", FaultKind::NoReply},     {"delay", FaultKind::Delay},   {"other", FaultKind::OtherCommand},
        {"duplicate", FaultKind::Duplicate}, {"status", FaultKind::Status}, {"badsum", FaultKind::BadChecksum},
        {"unplug", FaultKind::Unplug},       {"replug", FaultKind::Replug}};
    if (args.empty() || args.size() > 4) return false;
    const auto kind =
        std::find_if(std::begin(kinds), std::end(kinds), [&](const auto& k) { return args[0] == k.first; });
    if (kind == std::end(kinds)) return false;
    f->kind = kind->second;
    unsigned long v = 0;
    if (args.size() > 1) {
        if (!ParseNumber(args[1], 1000000, &v)) return false;
        f->count = static_cast<int>(v);
    }
    if (args.size() > 2) {
        if (!ParseNumber(args[2], 0xFF, &v)) return false;
        f->command = static_cast<std::uint8_t>(v);
    }
    if (args.size() > 3) {
        if (!ParseNumber(args[3], f->kind == FaultKind::Delay ? 3600000 : 0xFF, &v)) return false;
        if (f->kind == FaultKind::Delay)
            f->delayMs = static_cast<std::uint32_t>(v);
        else
            f->value = static_cast<std::uint8_t>(v);
    }
    if (f->kind == FaultKind::Delay && f->delayMs == 0) f->delayMs = 1000;
    return true;
}

// A memory space of a device by name; null for an unknown name.
std::uint8_t* Space(DeviceMemory& m, const std::string& name, std::size_t* size) {
    if (name == "info") {
        *size = m.info.size();
        return m.info.data();
    }
    const std::pair<const char*, std::vector<std::uint8_t>*> spaces[] = {
        {"params", &m.params}, {"layout", &m.layout},   {"keymap", &m.keyMap}, {"ledmap", &m.ledMap},
        {"colors", &m.colors}, {"live", &m.liveColors}, {"macros", &m.macros}, {"shoot", &m.shoot},
        {"clock", &m.clock},   {"status", &m.status},   {"screen", &m.screen}};
    for (const auto& [n, v] : spaces) {
        if (name == n) {
            *size = v->size();
            return v->data();
        }
    }
    return nullptr;
}

}  // namespace

bool ParseNumber(const std::string& text, unsigned long max, unsigned long* value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    if (first == last) return false;
    unsigned long v = 0;
    const auto [end, ec] = std::from_chars(first, last, v, hex ? 16 : 10);
    if (ec != std::errc() || end != last || v > max) return false;
    *value = v;
    return true;
}

bool ParseNumber(const std::string& text, unsigned max, unsigned* value) {
    unsigned long wide = 0;
    if (!ParseNumber(text, static_cast<unsigned long>(max), &wide)) return false;
    *value = static_cast<unsigned>(wide);
    return true;
}

std::vector<std::string> DevsimCommands::Run(const std::string& line, bool* quit) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    if (words.empty()) return {};
    const std::string& verb = words[0];
    if (verb == "quit") {
        if (words.size() != 1) return {"error: quit takes no arguments"};
        *quit = true;
        return {};
    }
    if (verb == "chip") {
        if (words.size() < 3) return {"error: chip NAME get|set|fail|log|clear ..."};
        for (auto& s : served_)
            if (s.name == words[1] && s.chip)
                return {s.chip->Command(line.substr(line.find(words[1]) + words[1].size()))};
        return {"error: no audio chip on " + words[1]};
    }
    // A keyboard's own actions and decoded views come first; they check their
    // arguments as strictly as the commands below.
    if (words.size() >= 2) {
        if (Emulator* keyboard = Find(served_, words[1])) {
            if (std::string reply; KeyboardCommandLine(*keyboard, line, &reply)) return {reply};
            if (std::string reply; LitAccessoryCommandLine(*keyboard, line, &reply)) return {reply};
            if (std::string reply; MouseCommandLine(*keyboard, line, &reply)) return {reply};
        }
    }
    static const std::pair<const char*, std::size_t> arities[] = {
        {"plug", 2}, {"unplug", 2}, {"event", 3}, {"link", 3}, {"record", 2},
        {"take", 2}, {"clear", 2},  {"poke", 5},  {"peek", 5}, {"fault", 0}};
    const auto known =
        std::find_if(std::begin(arities), std::end(arities), [&](const auto& a) { return verb == a.first; });
    if (known == std::end(arities)) return {"error: unknown command " + verb};
    if (words.size() < 2) return {"error: " + verb + " needs a device name"};
    const std::size_t arity = known->second;
    if (arity != 0 && words.size() != arity) return {"error: wrong number of arguments for " + verb};
    const std::string& name = words[1];
    Emulator* e = Find(served_, name);
    if (!e) return {"error: no device " + name};

    unsigned long v = 0;
    if (verb == "plug") {
        e->Plug(host_);
    } else if (verb == "unplug") {
        e->Unplug();
    } else if (verb == "event") {
        if (!ParseNumber(words[2], 0xFFFF, &v)) return {"error: bad event code " + words[2]};
        e->SendEvent(static_cast<std::uint16_t>(v));
    } else if (verb == "link") {
        if (words[2] != "on" && words[2] != "off") return {"error: link takes on or off"};
        e->SetLinked(words[2] == "on");
    } else if (verb == "fault") {
        Fault f;
        if (!ParseFault(std::vector<std::string>(words.begin() + 2, words.end()), &f)) return {"error: bad fault"};
        e->Inject(f);
    } else if (verb == "record" || verb == "take") {
        std::vector<std::string> out;
        for (const auto& r : verb == "take" ? e->TakeRecord() : e->Record())
            out.push_back("record " + name + " " + HexText(r.bytes));
        out.push_back("ok");
        return out;
    } else if (verb == "clear") {
        e->ClearRecord();
    } else {  // poke, peek
        auto lock = e->Lock();
        std::size_t size = 0;
        std::uint8_t* base = Space(e->Memory(), words[2], &size);
        if (!base) return {"error: no memory space " + words[2]};
        unsigned long offset = 0;
        if (!ParseNumber(words[3], size, &offset)) return {"error: bad offset " + words[3]};
        std::vector<std::uint8_t> bytes;
        unsigned long count = 0;
        if (verb == "poke") {
            if (!FromHex(words[4], &bytes)) return {"error: bad bytes " + words[4]};
            count = bytes.size();
        } else if (!ParseNumber(words[4], size, &count)) {
            return {"error: bad count " + words[4]};
        }
        if (count > size - offset) return {"error: beyond the end of " + words[2]};
        if (verb == "poke") {
            std::copy(bytes.begin(), bytes.end(), base + offset);
        } else {
            return {"peek " + name + " " + words[2] + " " +
                        HexText(std::vector<std::uint8_t>(base + offset, base + offset + count)),
                    "ok"};
        }
    }
    return {"ok"};
}

}  // namespace tavrik::devsim
