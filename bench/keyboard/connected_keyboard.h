#pragma once
// A full 170-LED keyboard page connected to an emulated keyboard with its
// tables read, as the keyboard benchmarks start from.
#include <benchmark/benchmark.h>

#include "keyboard/corvane_keyboard_device.h"
#include "tests/link/sim_channel.h"
#include "tools/devsim/sim_fixture.h"

namespace kbbench {

// False (and the benchmark skipped) when the keyboard cannot be reached.
inline bool ConnectKeyboard(CCorvaneKeyboardDevice& page, tavrik::devsim::Emulator& device, benchmark::State& state) {
    page.SetDeviceName(L"keyboard");
    page.SetKeyCount(170);
    page.SetLedCount(170);
    if (tavrik::test::OpenCommandChannel(page.CommandChannel(), device) && page.ReadDeviceTables() == 1) return true;
    state.SkipWithError("cannot reach the emulated keyboard");
    return false;
}

}  // namespace kbbench
