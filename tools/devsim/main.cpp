// tavrik-devsim: serves emulated products to Tavrik over a Unix socket.
//
//   tavrik-devsim [--socket PATH] [--log] [--record FILE] PRODUCT...
//
// Products: keyboard, keyboard-receiver, mouse, mouse-receiver, mousepad.
// Run Tavrik with TAVRIK_HID_BACKEND=sim (and TAVRIK_DEVSIM_SOCKET=PATH when
// the socket is not the default one). Commands on standard input:
//   plug NAME | unplug NAME | event NAME CODE | link NAME on|off
//   fault NAME noreply|delay|other|duplicate|status|badsum|unplug|replug [COUNT [COMMAND [VALUE]]]
//   record NAME | clear NAME | quit
//   poke NAME SPACE OFFSET HEXBYTES | peek NAME SPACE OFFSET COUNT
//   (SPACE: info params layout keymap ledmap colors live macros shoot clock status screen)
//   keyboards also: press|release NAME KEY, profile NAME P, light NAME MODE BRIGHTNESS SPEEDCODE,
//   reset NAME, peek NAME block P|keymap|macros|clock P|colors PAGE|live|bracket
// The end of standard input does not stop it; quit, SIGINT or SIGTERM do.
// With --record FILE, every report the devices received is written to FILE
// at exit (one line each: ms since start, product, bytes in hex).
// NAME is a product name, optionally with #N for the N-th of that product.
// A product named on its cable and through its receiver is one device (the
// first of each share their memory), as when both are plugged in at once.

#include "platform/hid/sim_socket_backend.h"
#include "tools/devsim/devsim_server.h"
#include "tools/devsim/emulator.h"
#include "tools/devsim/hex_text.h"
#include "tools/devsim/keyboard_model.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace tavrik::devsim;

namespace {

struct Served {
    std::unique_ptr<Emulator> emulator;
    std::string name;
};

std::mutex outputMutex;

void Say(const std::string& line) {
    std::lock_guard lock(outputMutex);
    std::cout << line << std::endl;
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

Emulator* Find(std::vector<Served>& served, const std::string& name) {
    std::string base = name;
    int nth = 1;
    if (auto hash = name.find('#'); hash != std::string::npos) {
        base = name.substr(0, hash);
        nth = std::atoi(name.c_str() + hash + 1);
    }
    for (auto& s : served)
        if (s.name == base && --nth == 0) return s.emulator.get();
    return nullptr;
}

void Usage() {
    std::cerr << "usage: tavrik-devsim [--socket PATH] [--log] [--record FILE] PRODUCT...\n"
                 "products:";
    for (const auto& p : Products()) std::cerr << ' ' << p.name;
    std::cerr << '\n';
}

bool ParseFault(std::istringstream& in, Fault* f) {
    std::string kind;
    in >> kind;
    static const std::pair<const char*, FaultKind> kinds[] = {
        {"noreply", FaultKind::NoReply}, {"delay", FaultKind::Delay},         {"other", FaultKind::OtherCommand},
        {"duplicate", FaultKind::Duplicate}, {"status", FaultKind::Status}, {"badsum", FaultKind::BadChecksum},
        {"unplug", FaultKind::Unplug}, {"replug", FaultKind::Replug}};
    bool known = false;
    for (auto& [n, k] : kinds)
        if (kind == n) {
            f->kind = k;
            known = true;
        }
    if (!known) return false;
    std::string count, command, value;
    in >> count >> command >> value;
    if (!count.empty()) f->count = std::atoi(count.c_str());
    if (!command.empty()) f->command = static_cast<std::uint8_t>(std::strtoul(command.c_str(), nullptr, 0));
    if (!value.empty()) {
        const unsigned long v = std::strtoul(value.c_str(), nullptr, 0);
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
    std::vector<std::uint8_t>* v = nullptr;
    if (name == "info") {
        *size = m.info.size();
        return m.info.data();
    }
    if (name == "params") v = &m.params;
    if (name == "layout") v = &m.layout;
    if (name == "keymap") v = &m.keyMap;
    if (name == "ledmap") v = &m.ledMap;
    if (name == "colors") v = &m.colors;
    if (name == "live") v = &m.liveColors;
    if (name == "macros") v = &m.macros;
    if (name == "shoot") v = &m.shoot;
    if (name == "clock") v = &m.clock;
    if (name == "status") v = &m.status;
    if (name == "screen") v = &m.screen;
    if (!v) return nullptr;
    *size = v->size();
    return v->data();
}

std::vector<std::uint8_t> FromHex(const std::string& hex, bool* ok) {
    std::vector<std::uint8_t> out;
    *ok = hex.size() % 2 == 0;
    for (std::size_t i = 0; *ok && i < hex.size(); i += 2) {
        char* end = nullptr;
        const std::string pair = hex.substr(i, 2);
        const unsigned long v = std::strtoul(pair.c_str(), &end, 16);
        *ok = end && *end == 0;
        out.push_back(static_cast<std::uint8_t>(v));
    }
    return out;
}

void CommandLoop(DevsimServer& server, std::vector<Served>& served) {
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        std::string verb, name;
        in >> verb >> name;
        if (verb.empty()) continue;
        if (verb == "quit") {
            ::kill(::getpid(), SIGTERM);
            return;
        }
        Emulator* e = Find(served, name);
        if (!e) {
            Say("error: no device " + name);
            continue;
        }
        if (std::string reply; KeyboardCommandLine(*e, line, &reply)) {
            Say(reply);
            continue;
        }
        if (verb == "plug") {
            e->Plug(server);
        } else if (verb == "unplug") {
            e->Unplug();
        } else if (verb == "event") {
            std::string code;
            in >> code;
            e->SendEvent(static_cast<std::uint16_t>(std::strtoul(code.c_str(), nullptr, 0)));
        } else if (verb == "link") {
            std::string state;
            in >> state;
            e->SetLinked(state != "off");
        } else if (verb == "fault") {
            Fault f;
            if (!ParseFault(in, &f)) {
                Say("error: bad fault");
                continue;
            }
            e->Inject(f);
        } else if (verb == "record") {
            for (const auto& r : e->Record()) Say("record " + name + " " + HexText(r.bytes));
        } else if (verb == "poke" || verb == "peek") {
            std::string space, offsetText, arg;
            in >> space >> offsetText >> arg;
            const std::size_t offset = std::strtoul(offsetText.c_str(), nullptr, 0);
            auto lock = e->Lock();
            std::size_t size = 0;
            std::uint8_t* base = Space(e->Memory(), space, &size);
            bool ok = base != nullptr;
            std::vector<std::uint8_t> bytes;
            if (ok && verb == "poke") bytes = FromHex(arg, &ok);
            const std::size_t count = verb == "poke" ? bytes.size() : std::strtoul(arg.c_str(), nullptr, 0);
            if (!ok || offset > size || count > size - offset) {
                Say("error: bad space, offset or bytes");
                continue;
            }
            if (verb == "poke") {
                std::copy(bytes.begin(), bytes.end(), base + offset);
            } else {
                Say("peek " + name + " " + space + " " + HexText(std::vector<std::uint8_t>(base + offset, base + offset + count)));
            }
        } else if (verb == "clear") {
            e->ClearRecord();
        } else {
            Say("error: unknown command " + verb);
            continue;
        }
        Say("ok");
    }
    // End of input (e.g. started with /dev/null as input): keep serving until a signal.
}

}  // namespace

int main(int argc, char** argv) {
    std::string socketPath = tavrik::hid::DefaultDevsimSocketPath();
    bool log = false;
    std::string recordPath;
    std::vector<const ProductInfo*> products;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--socket" && i + 1 < argc) {
            socketPath = argv[++i];
        } else if (a == "--log") {
            log = true;
        } else if (a == "--record" && i + 1 < argc) {
            recordPath = argv[++i];
        } else if (a == "--help" || a == "-h") {
            Usage();
            return 0;
        } else if (const ProductInfo* p = FindProduct(a)) {
            products.push_back(p);
        } else {
            std::cerr << "tavrik-devsim: unknown argument " << a << '\n';
            Usage();
            return 2;
        }
    }

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    DevsimServer server(socketPath);
    std::shared_ptr<std::ofstream> record;
    if (!recordPath.empty()) record = std::make_shared<std::ofstream>(recordPath, std::ios::app);
    const auto start = std::chrono::steady_clock::now();

    // A product given on its cable and through its receiver is one device:
    // the first of each share their memory.
    auto family = [](ProductKind k) {
        switch (k) {
        case ProductKind::KeyboardCable:
        case ProductKind::KeyboardReceiver: return 0;
        case ProductKind::MouseCable:
        case ProductKind::MouseReceiver: return 1;
        default: return 2;
        }
    };
    std::map<int, std::shared_ptr<DeviceMemory>> shared;
    std::map<ProductKind, int> seen;
    std::vector<Served> served;
    for (const ProductInfo* p : products) {
        std::shared_ptr<DeviceMemory> memory;
        if (family(p->kind) < 2 && seen[p->kind]++ == 0) {
            auto& m = shared[family(p->kind)];
            if (!m) m = std::make_shared<DeviceMemory>(DefaultMemory(p->kind));
            memory = m;
        }
        Served s{std::make_unique<Emulator>(p->kind, memory), p->name};
        if (log) s.emulator->SetLogger([](const std::string& line) { Say(line); });
        s.emulator->Plug(server);
        char head[96];
        std::snprintf(head, sizeof head, "serving %s vid %04x pid %04x", p->name, p->vendorId, p->productId);
        Say(std::string(head) + " command " + Narrow(s.emulator->InterfacePath(kCommandCollection)) + " events " +
            Narrow(s.emulator->InterfacePath(kConsumerCollection)));
        served.push_back(std::move(s));
    }
    // Devices are plugged before the socket opens, so the first program
    // that connects sees all of them at once.
    std::string error;
    if (!server.Start(&error)) {
        std::cerr << "tavrik-devsim: cannot serve: " << error << '\n';
        return 1;
    }
    Say("socket " + server.SocketPath());

    std::thread commands([&] { CommandLoop(server, served); });
    commands.detach();

    int sig = 0;
    sigwait(&signals, &sig);
    if (record) {
        for (auto& s : served) {
            for (const auto& r : s.emulator->Record()) {
                const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(r.time - start).count();
                *record << ms << ' ' << s.name << ' ' << HexText(r.bytes) << '\n';
            }
        }
        record->flush();
    }
    server.Stop();
    std::_Exit(0);  // the command thread may still wait on standard input
}
