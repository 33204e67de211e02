// From sound to light: the time from the moment a simulated sound server
// starts playing a tone (5 ms packets, silence before) to the emulated
// keyboard's first live colour frame (0x12) with a lit key. The way runs
// through the real capture worker, the analysis on the UI thread, the main
// window's band reduction, the keyboard's light thread (music style 0) and its
// stream thread. Goal: p95 at most 40 ms; the pacing of the parts (bands on
// every third spectrum, a music step every second tick, a stream frame every
// 20 ms) accounts for about 34 ms of it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "bench/keyboard/connected_keyboard.h"
#include "keyboard/audio/audio_manager.h"
#include "platform/audio/simulated_audio_server.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/ui/headless_backend.h"
#include "shell/main/main_wnd.h"

namespace {

using Clock = std::chrono::steady_clock;
using tavrik::devsim::ProductKind;

constexpr uint8_t kStreamFrameCommand = 0x12;
constexpr int kSamples = 40;
// A mono tone of 515.625 Hz at 48 kHz lies on bin 11 (band 2, the keys of
// column 2).
constexpr double kToneHz = 11 * 48000.0 / 1024;
// Reaches the magnitude cap (16 x 512 = 8192) only once the whole window of
// 1024 values holds the tone, so the change spreads over the four or five
// spectra the window takes to fill and one of the bands handed over on every
// third spectrum is sure to carry it. A louder tone changes the bin within
// one spectrum, and the hand-over may come after the smoothed level has
// fallen back.
constexpr double kToneAmplitude = 512;

// The main window with a one-control skin: its message handling, copied-data
// check and band reduction as the program has them.
class BenchMainWnd : public CMainWnd {
public:
    BenchMainWnd() { m_skinFile = L"<Window size=\"10,10\"><VerticalLayout/></Window>"; }
};

// When the emulated keyboard received a live frame with a lit key last.
class LitFrameWatch {
public:
    void Attach(tavrik::devsim::Emulator& device) {
        device.SetCommandHook([this](tavrik::devsim::Emulator&, const uint8_t* request, uint8_t*) {
            if (request[3] != kStreamFrameCommand) return false;
            const uint8_t length = request[4];
            const bool lit =
                std::any_of(request + 8, request + 8 + std::min<int>(length, 56), [](uint8_t b) { return b != 0; });
            if (lit) lastLit_.store(Clock::now().time_since_epoch().count());
            return false;
        });
    }
    Clock::time_point LastLit() const { return Clock::time_point(Clock::duration(lastLit_.load())); }

private:
    std::atomic<Clock::rep> lastLit_{0};
};

// Serves the UI thread's messages until `done` or the limit.
template <class Done>
bool PumpUntil(Done done, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end) return false;
        win::MsgWaitForMultipleObjects(0, nullptr, 0, 1, win::QS_ALLINPUT);
        win::MSG msg;
        while (win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
            win::TranslateMessage(&msg);
            win::DispatchMessageW(&msg);
        }
    }
    return true;
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const size_t i = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[i];
}

void BM_AudioToHid(benchmark::State& state) {
    DuiLib::SetDisplayBackend(std::make_unique<DuiLib::HeadlessBackend>());
    auto server = std::make_shared<tavrik::audio::SimulatedAudioServer>();
    server->SetDeviceFormat(48000, 1);
    server->SetPeriodMs(5);
    server->PlaySilence();
    tavrik::audio::SetLoopbackBackend(server);

    tavrik::devsim::SimFixture sim;
    auto& device = sim.Plug(ProductKind::KeyboardCable);
    LitFrameWatch watch;
    watch.Attach(device);
    device.SetRecordLimit(1000);

    CCorvaneKeyboardDevice page;
    if (!kbbench::ConnectKeyboard(page, device, state)) return;
    LightSetting light{};
    light.mode = 21;
    light.brightness = 5;
    light.direction = 1;
    page.SetLightSetting(light);
    AudioLightSetting audio{};
    audio.mode = 0;
    audio.fgRed = audio.fgGreen = audio.fgBlue = 255;
    page.SetAudioLightInfo(audio);
    page.ApplyLightProfile();

    auto main = std::make_unique<BenchMainWnd>();
    main->Create(nullptr, L"bench", DuiLib::UI_WS_POPUP, 0, 0, 0, 10, 10);
    HidDeviceSlot slot;
    slot.deviceType = HidDeviceSlot::kTypeKeyboardCable;
    slot.connected = 1;
    main->Slots().push_back(slot);
    main->Keyboards().push_back(&page);

    CAudioManager analyser;
    analyser.SetTargetWindow(main->GetHWND());
    page.StartLightThreads();
    std::vector<double> samples;
    const char* failure = nullptr;
    int missed = 0;
    if (!analyser.Start() || !PumpUntil([&] { return analyser.IsRunning(); }, std::chrono::seconds(10))) {
        failure = "the capture did not start";
    } else {
        for (auto _ : state) {
            samples.clear();
            for (int i = 0; i < kSamples; ++i) {
                server->PlaySilence();
                // Silence analysed (the whole window of values silent), then
                // dark: no lit frame for 200 ms (ten stream frames).
                const auto silent = [&] {
                    const auto& f = main->GetSpectrumFrame();
                    return std::all_of(f.begin(), f.end(), [](int32_t v) { return v == 0; });
                };
                if (!PumpUntil(silent, std::chrono::seconds(10))) {
                    failure = "the capture did not hear the silence";
                    break;
                }
                const auto quietFrom = Clock::now();
                if (!PumpUntil(
                        [&] {
                            return Clock::now() - std::max(watch.LastLit(), quietFrom) > std::chrono::milliseconds(200);
                        },
                        std::chrono::seconds(10))) {
                    failure = "the keys did not go dark in silence";
                    break;
                }
                const auto start = Clock::now();
                server->PlaySine(kToneHz, kToneAmplitude);
                // A tone whose onset the sparse hand-over or the stream did
                // not carry within a second counts as missed.
                if (!PumpUntil([&] { return watch.LastLit() > start; }, std::chrono::seconds(1))) {
                    ++missed;
                    continue;
                }
                samples.push_back(std::chrono::duration<double, std::milli>(watch.LastLit() - start).count());
            }
        }
    }
    page.StopLightThreads();
    analyser.Stop();
    main->Keyboards().clear();
    if (main->GetHWND()) win::DestroyWindow(main->GetHWND());
    main.reset();
    tavrik::test::CloseCommandChannel(page.CommandChannel());
    tavrik::audio::SetLoopbackBackend(nullptr);
    DuiLib::SetDisplayBackend(nullptr);
    if (failure || samples.empty()) {
        state.SkipWithError(failure ? failure : "no tone lit the keyboard");
        return;
    }
    state.counters["p50_ms"] = Percentile(samples, 0.50);
    state.counters["p95_ms"] = Percentile(samples, 0.95);
    state.counters["max_ms"] = Percentile(samples, 1.0);
    state.counters["missed"] = missed;
    state.SetLabel("tone to lit 0x12 frame (goal p95 40 ms)");
}
BENCHMARK(BM_AudioToHid)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
