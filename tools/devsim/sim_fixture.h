#pragma once

// In-process test fixture: a fresh sim bus installed as the HID backend, on
// which tests plug emulated products.
//
//   tavrik::devsim::SimFixture sim;
//   auto& kb = sim.Plug(tavrik::devsim::ProductKind::KeyboardCable);
//   HANDLE h = win::CreateFileW(kb.InterfacePath(4).c_str(), ...);
//   kb.Inject({tavrik::devsim::FaultKind::Status, 1, 0x06, 0, 0, 0xFE});
//   kb.SendEvent(0x1002);
//   kb.Record(); kb.Memory().params[64] ...

#include "platform/hid/sim_bus.h"
#include "tools/devsim/emulator.h"

#include <memory>
#include <vector>

namespace tavrik::devsim {

class SimFixture {
public:
    SimFixture();
    ~SimFixture();
    SimFixture(const SimFixture&) = delete;
    SimFixture& operator=(const SimFixture&) = delete;

    hid::SimBus& Bus() { return *bus_; }

    // A new emulated product, plugged in. Give the memory of another
    // emulator to model one device on its cable and its receiver at once.
    Emulator& Plug(ProductKind kind, std::shared_ptr<DeviceMemory> memory = nullptr);
    // A new emulated product, not plugged yet.
    Emulator& Create(ProductKind kind, std::shared_ptr<DeviceMemory> memory = nullptr);

private:
    std::shared_ptr<hid::SimBus> bus_;
    std::vector<std::unique_ptr<Emulator>> emulators_;
};

}  // namespace tavrik::devsim
