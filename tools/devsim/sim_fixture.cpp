#include "tools/devsim/sim_fixture.h"

namespace tavrik::devsim {

SimFixture::SimFixture() : bus_(std::make_shared<hid::SimBus>()) { hid::SetBackend(bus_); }

SimFixture::~SimFixture() {
    emulators_.clear();
    hid::SetBackend(nullptr);
}

Emulator& SimFixture::Create(ProductKind kind, std::shared_ptr<DeviceMemory> memory) {
    emulators_.push_back(std::make_unique<Emulator>(kind, std::move(memory)));
    return *emulators_.back();
}

Emulator& SimFixture::Plug(ProductKind kind, std::shared_ptr<DeviceMemory> memory) {
    Emulator& e = Create(kind, std::move(memory));
    e.Plug(*bus_);
    return e;
}

}  // namespace tavrik::devsim
