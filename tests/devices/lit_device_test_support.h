#pragma once
// Shared set-up of the device tests: a headset or mouse-pad page bound to its
// emulated device as the main window binds it, and what the device received.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "devices/corvane_hs6533_device.h"
#include "devices/corvane_mouse_pad_device.h"
#include "link/device_tables.h"
#include "tests/link/sim_channel.h"
#include "tools/devsim/emulator.h"
#include "tools/devsim/lit_accessory_model.h"
#include "tools/devsim/sim_fixture.h"

namespace devicestest {

using tavrik::devsim::Emulator;
using tavrik::devsim::ProductKind;

inline std::unique_ptr<CCorvaneLitDevice> MakePage(ProductKind kind) {
    std::unique_ptr<CCorvaneLitDevice> page;
    const int row = kind == ProductKind::Headset ? kDeviceKindHeadset : kDeviceKindMousePad;
    if (kind == ProductKind::Headset)
        page = std::make_unique<CCorvaneHS6533Device>();
    else
        page = std::make_unique<CCorvaneMousePadDevice>();
    page->SetDeviceName(DeviceOptionTable[row].kindName.c_str());
    page->SetProfileId(L"profile_1");
    page->SetLightListName(DeviceModelTable[row].lightListName.c_str());
    page->SetDeviceIndex(DeviceOptionTable[row].lightNameIndex);
    page->SetLedCount(DeviceModelTable[row].ledCount);
    page->LoadNameLists();
    return page;
}

// The command bytes of the accepted command reports, in order.
inline std::vector<uint8_t> Commands(const Emulator& device) {
    std::vector<uint8_t> out;
    for (const auto& r : device.Record())
        if (r.kind == win::HidP_Output && r.verdict == tavrik::devsim::Verdict::Ok) out.push_back(r.Command());
    return out;
}

// A page bound to its emulated device.
struct BoundPage {
    explicit BoundPage(ProductKind kind) : device(sim.Plug(kind)), page(MakePage(kind)) {
        page->CommandChannel().m_timeouts = tavrik::test::FastTimeouts();
        EXPECT_TRUE(tavrik::test::OpenCommandChannel(page->CommandChannel(), device));
    }
    ~BoundPage() {
        page->StopLightThread();
        page->CloseEventChannel();
        tavrik::test::CloseCommandChannel(page->CommandChannel());
    }

    tavrik::devsim::SimFixture sim;
    Emulator& device;
    std::unique_ptr<CCorvaneLitDevice> page;
};

inline const char* KindName(ProductKind kind) { return kind == ProductKind::Headset ? "Headset" : "MousePad"; }

}  // namespace devicestest
