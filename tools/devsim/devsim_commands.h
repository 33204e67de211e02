#pragma once

// The emulator's command line: one command per line of standard input,
// answered with "ok", "error: ..." or the asked-for lines. Every argument is
// checked in full before anything changes: a bad number, an unknown word or
// a word too many is an error and leaves the devices as they were.

#include "platform/conflib/simulated_chip.h"
#include "platform/hid/sim_bus.h"
#include "tools/devsim/emulator.h"

#include <memory>
#include <string>
#include <vector>

namespace tavrik::devsim {

struct ServedDevice {
    std::unique_ptr<Emulator> emulator;
    std::string name;                                        // product name
    std::shared_ptr<conflib::SimulatedChip> chip = nullptr;  // the headset's audio chip
};

class DevsimCommands {
public:
    DevsimCommands(hid::SimHost& host, std::vector<ServedDevice>& served) : host_(host), served_(served) {}

    // Runs one line; the answer lines in order (none for an empty line).
    // `quit` is set by the quit command.
    std::vector<std::string> Run(const std::string& line, bool* quit);

private:
    hid::SimHost& host_;
    std::vector<ServedDevice>& served_;
};

// A whole-word number: decimal, or hexadecimal after "0x"; false for
// anything else (sign, junk, empty) or a value above `max`.
bool ParseNumber(const std::string& text, unsigned long max, unsigned long* value);
// The same into an unsigned.
bool ParseNumber(const std::string& text, unsigned max, unsigned* value);

}  // namespace tavrik::devsim
