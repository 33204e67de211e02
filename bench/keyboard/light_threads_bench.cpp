// CPU share of a connected keyboard page's light and stream threads, measured
// as the process's CPU time over one second of wall time (an upper bound: the
// emulated keyboard's own work is counted too). Goals: a mode the keyboard
// runs itself at most 2 % of one core, 0.2 % with the command channel
// closed; the music mode, which streams every 20 ms, at most 5 %.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

#include "bench/keyboard/connected_keyboard.h"
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
    page.StartLightThreads();
    double percent = 0;
    for (auto _ : state) {
        const std::clock_t cpu = std::clock();
        const auto wall = std::chrono::steady_clock::now();
        win::Sleep(1000);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
        percent = 100.0 * double(std::clock() - cpu) / CLOCKS_PER_SEC / seconds;
    }
    page.StopLightThreads();
    tavrik::test::CloseCommandChannel(page.CommandChannel());
    state.counters["cpu_percent"] = percent;
    const char* labels[] = {"own effect (goal 2 %)", "channel closed (goal 0.2 %)", "music stream (goal 5 %)"};
    state.SetLabel(labels[scenario]);
}
BENCHMARK(BM_LightThreadsCpu)->Arg(kOwnEffect)->Arg(kChannelClosed)->Arg(kMusic)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
