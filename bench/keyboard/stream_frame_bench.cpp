// One live colour frame of a full 170-LED keyboard (StreamLedFrame in the
// music mode), through the in-process bus, by cable and through the receiver.
#include <benchmark/benchmark.h>

#include "bench/keyboard/connected_keyboard.h"

namespace {

using tavrik::devsim::Emulator;
using tavrik::devsim::ProductKind;

void BM_StreamLedFrame(benchmark::State& state) {
    tavrik::devsim::SimFixture sim;
    Emulator& device = sim.Plug(state.range(0) == 0 ? ProductKind::KeyboardCable : ProductKind::KeyboardReceiver);
    CCorvaneKeyboardDevice page;
    if (!kbbench::ConnectKeyboard(page, device, state)) return;
    LightSetting music{};
    music.mode = 21;
    page.SetLightSetting(music);
    for (int i = 0; i < 170; ++i) page.SetLedColor(i, PackLedColor({uint8_t(i), uint8_t(255 - i), 40, 200}));
    device.SetRecordLimit(64);
    const uint32_t before = device.Memory().livePackets;
    for (auto _ : state) page.StreamLedFrame();
    auto lock = device.Lock();
    if (device.Memory().livePackets == before) state.SkipWithError("no frame reached the keyboard");
    state.SetLabel(device.Product().receiver ? "receiver" : "cable");
    lock.unlock();
    tavrik::test::CloseCommandChannel(page.CommandChannel());
}
BENCHMARK(BM_StreamLedFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
