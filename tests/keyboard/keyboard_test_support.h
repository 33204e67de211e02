#pragma once
// Shared set-up of the keyboard tests: a keyboard page connected to an
// emulated keyboard (cable or receiver), and the records of what it sent.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "keyboard/corvane_keyboard_device.h"
#include "link/device_packet.h"
#include "platform/files/folders.h"
#include "tests/link/sim_channel.h"
#include "tools/devsim/emulator.h"
#include "tools/devsim/keyboard_model.h"
#include "tools/devsim/sim_fixture.h"

namespace kbtest {

using tavrik::devsim::Emulator;
using tavrik::devsim::ProductKind;

using tavrik::test::FastTimeouts;

// Sets the page up as the main window does for a keyboard.
inline void SetUpPage(CCorvaneKeyboardDevice& page) {
    page.SetDeviceName(L"keyboard");
    page.SetProfileId(L"profile_1");
    page.SetLightListName(L"plenta_light");
    page.SetKeyCount(170);
    page.SetLedCount(170);
}

// The commands of the accepted command reports, one per packet.
inline std::vector<uint8_t> Commands(const Emulator& device) {
    std::vector<uint8_t> out;
    for (const auto& r : device.Record())
        if (r.kind == win::HidP_Output && r.interfaceNumber == tavrik::devsim::kCommandInterface)
            out.push_back(r.Command());
    return out;
}

// `command` repeated once per packet of a `bytes`-long transfer.
inline void Packets(std::vector<uint8_t>& out, uint8_t command, size_t bytes, size_t chunk) {
    const size_t n = bytes == 0 ? 1 : (bytes + chunk - 1) / chunk;
    out.insert(out.end(), n, command);
}

inline std::filesystem::path UserFolder(CCorvaneKeyboardDevice& page) {
    return win::ToFsPath(page.GetUserDataFolder().str());
}

// A page bound to an emulated keyboard of the given connection.
struct ConnectedKeyboard {
    explicit ConnectedKeyboard(ProductKind kind) : device(sim.Plug(kind)) {
        SetUpPage(page);
        page.CommandChannel().m_timeouts = FastTimeouts();
        EXPECT_TRUE(tavrik::test::OpenCommandChannel(page.CommandChannel(), device));
    }
    ~ConnectedKeyboard() { tavrik::test::CloseCommandChannel(page.CommandChannel()); }
    size_t Chunk() const { return device.Product().receiver ? kReceiverChunkSize : kWiredChunkSize; }

    tavrik::devsim::SimFixture sim;
    Emulator& device;
    CCorvaneKeyboardDevice page;
};

}  // namespace kbtest
