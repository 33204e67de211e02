// One headset LED frame (SendLedFrame: twelve 17-byte LED reports) through
// the in-process bus to the emulated headset.
#include <benchmark/benchmark.h>

#include "devices/corvane_hs6533_device.h"
#include "tests/link/sim_channel.h"
#include "tools/devsim/lit_accessory_model.h"
#include "tools/devsim/sim_fixture.h"

namespace {

void BM_HeadsetSendLedFrame(benchmark::State& state) {
    tavrik::devsim::SimFixture sim;
    tavrik::devsim::Emulator& device = sim.Plug(tavrik::devsim::ProductKind::Headset);
    CCorvaneHS6533Device page;
    page.SetLedCount(CCorvaneHS6533Device::kHeadsetLeds);
    if (!tavrik::test::OpenCommandChannel(page.CommandChannel(), device)) {
        state.SkipWithError("the emulated headset could not be opened");
        return;
    }
    for (int i = 0; i < CCorvaneHS6533Device::kHeadsetLeds; ++i)
        page.SetLedColor(i, PackLedColor({uint8_t(20 * i), uint8_t(255 - 20 * i), 90, 230}));
    device.SetRecordLimit(64);
    for (auto _ : state) page.SendLedFrame();
    auto lock = device.Lock();
    const auto frame = tavrik::devsim::ViewLedFrame(device.Memory());
    if (frame.frames == 0 || frame.errors != 0) state.SkipWithError("no complete frame reached the headset");
    lock.unlock();
    tavrik::test::CloseCommandChannel(page.CommandChannel());
}
BENCHMARK(BM_HeadsetSendLedFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
