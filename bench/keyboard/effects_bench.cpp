// The keyboard's PC-side effect steps on a full 170-LED page, one benchmark
// per step, and a lighting-sync step with its broadcast to four keyboards.
// Goal: at most 50 us of CPU time per call each. BM_LightThreadLoad runs one
// connected page's light thread for 10 s at speed 4 (a step on every pass)
// with a full per-key effect list and reports the thread's CPU time over the
// wall time. Goal: at most 1 % of one core.
#include <benchmark/benchmark.h>

#include <time.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "bench/keyboard/connected_keyboard.h"
#include "bench/keyboard/thread_cpu_ticks.h"
#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/lighting_sync.h"
#include "platform/os/clock.h"

namespace {

class BenchPage : public CCorvaneKeyboardDevice {
public:
    using CCorvaneKeyboardDevice::EnterLightMode;
    BenchPage() {
        SetKeyCount(170);
        SetLedCount(170);
        uint32_t seed = 12345;
        SetRandomSource([seed]() mutable { return seed = seed * 1103515245u + 12345u; });
    }
    // Every key with an effect of its own, of every type.
    void FullKeyEffects() {
        std::vector<LightSetting> list(170);
        for (size_t i = 0; i < list.size(); ++i) {
            list[i].mode = uint8_t(i % 5);
            list[i].brightness = 5;
            list[i].speed = uint8_t(i % 5);
            list[i].colorful = uint8_t(i % 2);
            list[i].red = 200;
            list[i].present = 1;
        }
        std::lock_guard<win::CCriticalSection> guard(KeyEffectLock);
        m_keyEffects = list;
    }
    void Playlist() {
        std::vector<LedEffectStep> steps(6);
        for (size_t i = 0; i < steps.size(); ++i) {
            steps[i].setting.mode = uint8_t(i);
            steps[i].setting.brightness = 5;
            steps[i].setting.speed = 4;
            steps[i].setting.colorful = 1;
            steps[i].time = 5;
        }
        std::lock_guard<win::CCriticalSection> guard(EffectListLock);
        m_effectList = steps;
        m_nEffectListCount = int(steps.size());
    }
};

void Prepare(BenchPage& page, uint8_t mode, uint8_t colorful) {
    LightSetting s;
    s.mode = mode;
    s.brightness = 5;
    s.speed = 4;
    s.direction = 1;
    s.colorful = colorful;
    s.red = 200;
    s.green = 100;
    s.blue = 50;
    page.SetLightSetting(s);
    page.EnterLightMode(mode, false);
}

template <int (CCorvaneKeyboardDevice::*Step)(), uint8_t Mode>
void RunStep(benchmark::State& state) {
    BenchPage page;
    Prepare(page, Mode, 1);
    for (auto _ : state) {
        // The key-press modes get a key on every 8th call, as a fast typist would.
        if (Mode == 4 || Mode == 6 || Mode == 8 || Mode == 25) {
            static int n = 0;
            if (++n % 8 == 0) page.TriggerKeyEffect(48 + n % 5, 1 + (n / 8) % 2);
        }
        benchmark::DoNotOptimize((page.*Step)());
    }
}

using K = CCorvaneKeyboardDevice;

void BM_StepStatic(benchmark::State& s) { RunStep<&K::StepStatic, 1>(s); }
void BM_StepBreathing(benchmark::State& s) { RunStep<&K::StepBreathing, 2>(s); }
void BM_StepReactiveKeys(benchmark::State& s) { RunStep<&K::StepReactiveKeys, 4>(s); }
void BM_StepRandomBreathing(benchmark::State& s) { RunStep<&K::StepRandomBreathing, 5>(s); }
void BM_StepReactiveRipple(benchmark::State& s) { RunStep<&K::StepReactiveRipple, 6>(s); }
void BM_StepStarlight(benchmark::State& s) { RunStep<&K::StepStarlight, 7>(s); }
void BM_StepKeyPressFade(benchmark::State& s) { RunStep<&K::StepKeyPressFade, 25>(s); }
void BM_StepColumnSpectrum(benchmark::State& s) { RunStep<&K::StepColumnSpectrum, 9>(s); }
void BM_StepColumnWave(benchmark::State& s) { RunStep<&K::StepColumnWave, 10>(s); }
void BM_StepPairSequence(benchmark::State& s) { RunStep<&K::StepPairSequence, 11>(s); }
void BM_StepRippleFromCentre(benchmark::State& s) { RunStep<&K::StepRippleFromCentre, 12>(s); }
void BM_StepSequenceFlow(benchmark::State& s) { RunStep<&K::StepSequenceFlow, 13>(s); }
void BM_StepRowWave(benchmark::State& s) { RunStep<&K::StepRowWave, 14>(s); }
void BM_StepKeyColorCycle(benchmark::State& s) { RunStep<&K::StepKeyColorCycle, 15>(s); }
void BM_StepRippleFromLeft(benchmark::State& s) { RunStep<&K::StepRippleFromLeft, 16>(s); }
void BM_StepFxColor(benchmark::State& s) { RunStep<&K::StepFxColor, 17>(s); }
void BM_StepRings(benchmark::State& s) { RunStep<&K::StepRings, 18>(s); }
void BM_StepCustomColors(benchmark::State& s) { RunStep<&K::StepCustomColors, 19>(s); }
void BM_StepSweep(benchmark::State& s) { RunStep<&K::StepSweep, 24>(s); }
void BM_StepRunningKeys(benchmark::State& s) { RunStep<&K::StepRunningKeys, 29>(s); }
void BM_StepPhasedBreathing(benchmark::State& s) { RunStep<&K::StepPhasedBreathing, 30>(s); }

void BM_RunEffectPlaylist(benchmark::State& state) {
    BenchPage page;
    Prepare(page, 0, 1);
    page.Playlist();
    for (auto _ : state) page.RunEffectPlaylist();
}

void BM_ApplyKeyOverlays(benchmark::State& state) {
    BenchPage page;
    page.FullKeyEffects();
    for (auto _ : state) page.ApplyKeyOverlays();
}

void BM_SyncStep(benchmark::State& state) {
    std::vector<std::unique_ptr<BenchPage>> pages;
    std::vector<CCorvaneUSBDevice*> devices;
    for (int i = 0; i < 4; ++i) {
        pages.push_back(std::make_unique<BenchPage>());
        pages.back()->CommandChannel().SetSyncFlag(1);
        devices.push_back(pages.back().get());
    }
    LightingSync sync([&] { return devices; });
    SyncLightState::Values setting;
    setting.effect = SyncLightState::Breathing;
    setting.brightness = 5;
    setting.speed = 4;
    setting.direction = 1;
    setting.colorful = 1;
    for (auto _ : state) sync.Step(setting, devices);
    state.SetLabel("breathing, 4 keyboards");
}

BENCHMARK(BM_StepStatic);
BENCHMARK(BM_StepBreathing);
BENCHMARK(BM_StepReactiveKeys);
BENCHMARK(BM_StepRandomBreathing);
BENCHMARK(BM_StepReactiveRipple);
BENCHMARK(BM_StepStarlight);
BENCHMARK(BM_StepKeyPressFade);
BENCHMARK(BM_StepColumnSpectrum);
BENCHMARK(BM_StepColumnWave);
BENCHMARK(BM_StepPairSequence);
BENCHMARK(BM_StepRippleFromCentre);
BENCHMARK(BM_StepSequenceFlow);
BENCHMARK(BM_StepRowWave);
BENCHMARK(BM_StepKeyColorCycle);
BENCHMARK(BM_StepRippleFromLeft);
BENCHMARK(BM_StepFxColor);
BENCHMARK(BM_StepRings);
BENCHMARK(BM_StepCustomColors);
BENCHMARK(BM_StepSweep);
BENCHMARK(BM_StepRunningKeys);
BENCHMARK(BM_StepPhasedBreathing);
BENCHMARK(BM_RunEffectPlaylist);
BENCHMARK(BM_ApplyKeyOverlays);
BENCHMARK(BM_SyncStep);

void BM_LightThreadLoad(benchmark::State& state) {
    tavrik::devsim::SimFixture sim;
    auto& device = sim.Plug(tavrik::devsim::ProductKind::KeyboardCable);
    BenchPage page;
    if (!kbbench::ConnectKeyboard(page, device, state)) return;
    kbbench::ThreadCpuTicks ticks;
    page.SetTickSources(&ticks, nullptr);
    // Argument 1: the pass loop alone (lights off, no per-key effects), for comparison.
    const bool loopOnly = state.range(0) == 1;
    LightSetting light{};
    light.mode = loopOnly ? 20 : 6;
    light.speed = 4;
    light.brightness = 5;
    light.colorful = 1;
    page.SetLightSetting(light);
    page.ApplyLightProfile();
    if (!loopOnly) page.FullKeyEffects();
    double percent = 0;
    for (auto _ : state) {
        page.StartLightThreads();
        win::Sleep(10000);
        percent = ticks.Percent();
        page.StopLightThreads();
    }
    tavrik::test::CloseCommandChannel(page.CommandChannel());
    state.counters["thread_cpu_percent"] = percent;
    state.SetLabel(loopOnly ? "pass loop only: lights off, no per-key effects"
                            : "reactive ripple, speed 4, 170 per-key effects (goal 1 %)");
}
BENCHMARK(BM_LightThreadLoad)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
