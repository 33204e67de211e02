// tavrik-devsim: serves emulated products to Tavrik over a Unix socket.
//
//   tavrik-devsim [--socket PATH] [--log] [--record FILE] PRODUCT...
//
// Products: keyboard, keyboard-receiver, mouse, mouse-receiver, mousepad, headset.
// Run Tavrik with TAVRIK_HID_BACKEND=sim (and TAVRIK_DEVSIM_SOCKET=PATH when
// the socket is not the default one). Commands on standard input:
//   plug NAME | unplug NAME | event NAME CODE | link NAME on|off
//   fault NAME noreply|delay|other|duplicate|status|badsum|unplug|replug [COUNT [COMMAND [VALUE]]]
//   record NAME | clear NAME | quit
//   poke NAME SPACE OFFSET HEXBYTES | peek NAME SPACE OFFSET COUNT
//   (SPACE: info params layout keymap ledmap colors live macros shoot clock status screen)
// The end of standard input does not stop it; quit, SIGINT or SIGTERM do.
// With --record FILE, the record of the reports the devices received (the
// newest 100,000 per device, emptied by clear) is appended to FILE at exit
// (one line each: ms since start, product, bytes in hex). Without a product
// it prints its usage and exits with status 2.
// NAME is a product name, optionally with #N for the N-th of that product.
// A product named on its cable and through its receiver is one device (the
// first of each share their memory), as when both are plugged in at once.

#include "platform/hid/sim_socket_backend.h"
#include "platform/conflib/chip_server.h"
#include "tools/devsim/devsim_commands.h"
#include "tools/devsim/hex_text.h"
#include "tools/devsim/devsim_server.h"
#include "tools/devsim/emulator.h"

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

std::mutex outputMutex;

void Say(const std::string& line) {
    std::lock_guard lock(outputMutex);
    std::cout << line << std::endl;
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

void Usage() {
    std::cerr << "usage: tavrik-devsim [--socket PATH] [--log] [--record FILE] PRODUCT...\n"
                 "products:";
    for (const auto& p : Products()) std::cerr << ' ' << p.name;
    std::cerr << '\n';
}

void CommandLoop(DevsimServer& server, std::vector<ServedDevice>& served) {
    DevsimCommands commands(server, served);
    std::string line;
    while (std::getline(std::cin, line)) {
        bool quit = false;
        for (const auto& answer : commands.Run(line, &quit)) Say(answer);
        if (quit) {
            ::kill(::getpid(), SIGTERM);
            return;
        }
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

    if (products.empty()) {
        Usage();
        return 2;
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
            case ProductKind::KeyboardReceiver:
                return 0;
            case ProductKind::MouseCable:
            case ProductKind::MouseReceiver:
                return 1;
            default:
                return 2;
        }
    };
    std::map<int, std::shared_ptr<DeviceMemory>> shared;
    std::map<ProductKind, int> seen;
    std::vector<ServedDevice> served;
    for (const ProductInfo* p : products) {
        std::shared_ptr<DeviceMemory> memory;
        if (family(p->kind) < 2 && seen[p->kind]++ == 0) {
            auto& m = shared[family(p->kind)];
            if (!m) m = std::make_shared<DeviceMemory>(DefaultMemory(p->kind));
            memory = m;
        }
        ServedDevice s{std::make_unique<Emulator>(p->kind, memory), p->name};
        if (p->kind == ProductKind::Headset) s.chip = std::make_shared<tavrik::conflib::SimulatedChip>();
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
    // A headset brings its audio chip, served beside the emulator's socket.
    std::unique_ptr<tavrik::conflib::ChipServer> chipServer;
    for (auto& s : served) {
        if (!s.chip) continue;
        chipServer = std::make_unique<tavrik::conflib::ChipServer>(*s.chip, server.SocketPath() + ".chip");
        if (!chipServer->Start(&error)) {
            std::cerr << "tavrik-devsim: cannot serve the audio chip: " << error << '\n';
            return 1;
        }
        Say("chip " + chipServer->Path());
        break;
    }

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
    if (chipServer) chipServer->Stop();
    server.Stop();
    std::_Exit(0);  // the command thread may still wait on standard input
}
