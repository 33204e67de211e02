// CPU share of a connected keyboard page's light and stream threads, each
// measured on its own thread's CPU clock over five seconds (the emulated
// keyboard's work on the other side of the bus is not counted). Goals: a mode
// the keyboard runs itself at most 2 % of one core, 0.2 % with the command
// channel closed; the music mode, which streams every 20 ms, at most 5 %.
#include <benchmark/benchmark.h>

#include "bench/keyboard/connected_keyboard.h"
#include "bench/keyboard/thread_cpu_ticks.h"
#include "platform/os/clock.h"

namespace {

using tavrik::devsim::ProductKind;

enum Scenario { kOwnEffect, kChannelClosed, kMusic };

void BM_LightThreadsCpu(benchmark::State& state) {
    const auto scenario = Scenario(state.range(0));
    tavrik::devsim::SimFixture sim;
    auto& device = sim.Plug(ProductKind::KeyboardCable);
    CCorvaneKeyboardDevice page;
    if (!kbbench::ConnectKeyboard(page, device, state)) return;
    LightSetting light{};
    light.mode = scenario == kMusic ? 21 : 3;
    light.speed = 4;
    light.brightness = 5;
    page.SetLightSetting(light);
    page.ApplyLightProfile();
    if (scenario == kChannelClosed) tavrik::test::CloseCommandChannel(page.CommandChannel());
    kbbench::ThreadCpuTicks lightTicks, streamTicks;
    page.SetTickSources(&lightTicks, &streamTicks);
    page.StartLightThreads();
    for (auto _ : state) win::Sleep(5000);
    page.StopLightThreads();
    tavrik::test::CloseCommandChannel(page.CommandChannel());
    state.counters["light_thread_percent"] = lightTicks.Percent();
    state.counters["stream_thread_percent"] = streamTicks.Percent();
    const char* labels[] = {"own effect (goal 2 %)", "channel closed (goal 0.2 %)", "music stream (goal 5 %)"};
    state.SetLabel(labels[scenario]);
}
BENCHMARK(BM_LightThreadsCpu)
    ->Arg(kOwnEffect)
    ->Arg(kChannelClosed)
    ->Arg(kMusic)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
