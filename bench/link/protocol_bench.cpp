// Cost of the command channel's common traffic through the in-process bus:
// the 49-byte profile block write (begin, write, end) and one 510-byte frame
// of the live colour stream, on the cable and through the receiver.
#include <benchmark/benchmark.h>

#include <vector>

#include "link/device_protocol.h"
#include "platform/os/critical_section.h"
#include "tools/devsim/sim_fixture.h"

namespace {

using tavrik::devsim::Emulator;
using tavrik::devsim::ProductKind;

bool Open(CDeviceProtocol& channel, const Emulator& device) {
    const bool receiver = device.Product().receiver;
    win::CriticalSectionGuard io(channel.m_ioLock);
    CHidDevice& handle = receiver ? channel.m_receiver : channel.m_wired;
    if (!handle.Open(device.InterfacePath().c_str(), 1, 1, 1, 0)) return false;
    channel.SetOpen(true);
    channel.SetConnectMode(receiver ? CDeviceProtocol::kConnectReceiver : CDeviceProtocol::kConnectWired);
    return true;
}

ProductKind Kind(const benchmark::State& state) {
    return state.range(0) == 0 ? ProductKind::KeyboardCable : ProductKind::KeyboardReceiver;
}

void BM_ProfileBlockWrite(benchmark::State& state) {
    tavrik::devsim::SimFixture sim;
    Emulator& device = sim.Plug(Kind(state));
    CDeviceProtocol channel;
    if (!Open(channel, device)) {
        state.SkipWithError("cannot open the command channel");
        return;
    }
    std::vector<uint8_t> block(49, 0x21);
    for (auto _ : state) {
        int32_t r = channel.BeginSession();
        r += channel.WriteParamBlock(block.data(), 49, 64);
        r += channel.EndSession();
        if (r != 3) state.SkipWithError("write failed");
        benchmark::DoNotOptimize(r);
        device.ClearRecord();
    }
    state.SetLabel(device.Product().receiver ? "receiver" : "cable");
}
BENCHMARK(BM_ProfileBlockWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ColourStreamFrame(benchmark::State& state) {
    tavrik::devsim::SimFixture sim;
    Emulator& device = sim.Plug(Kind(state));
    CDeviceProtocol channel;
    if (!Open(channel, device)) {
        state.SkipWithError("cannot open the command channel");
        return;
    }
    std::vector<uint8_t> frame(510);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i);
    for (auto _ : state) {
        const int32_t r = channel.StreamColors(frame.data(), 510);
        if (r != 1) state.SkipWithError("stream failed");
        benchmark::DoNotOptimize(r);
        device.ClearRecord();
    }
    state.SetLabel(device.Product().receiver ? "receiver" : "cable");
}
BENCHMARK(BM_ColourStreamFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
