// The main window's work on one audio spectrum frame: differences, the
// keyboard and mouse band reduction and, every third frame, the hand-over to
// the pages. Two keyboard slots (one keyboard on cable and receiver) and a
// mouse, each page with its command channel open on the emulator. Goal: at
// most 20 us per frame.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "keyboard/corvane_keyboard_device.h"
#include "shell/main/main_wnd.h"
#include "tests/link/sim_channel.h"
#include "tools/devsim/sim_fixture.h"

namespace {

using tavrik::devsim::ProductKind;

class SpectrumMainWnd : public CMainWnd {
public:
    void Frame(const SpectrumValues& frame) {
        m_spectrumFrame = frame;
        OnSpectrumFrame();
    }
};

void BM_OnSpectrumFrame(benchmark::State& state) {
    tavrik::devsim::SimFixture sim;
    CCorvaneKeyboardDevice keyboard;
    CCorvaneUSBDevice mouse;
    if (!tavrik::test::OpenCommandChannel(keyboard.CommandChannel(), sim.Plug(ProductKind::KeyboardCable)) ||
        !tavrik::test::OpenCommandChannel(mouse.CommandChannel(), sim.Plug(ProductKind::MouseCable))) {
        state.SkipWithError("no emulated devices");
        return;
    }
    SpectrumMainWnd window;
    window.Keyboards().push_back(&keyboard);
    window.Mice().push_back(&mouse);
    for (uint16_t type :
         {HidDeviceSlot::kTypeKeyboardCable, HidDeviceSlot::kTypeKeyboardReceiver, HidDeviceSlot::kTypeMouseCable}) {
        HidDeviceSlot slot;
        slot.deviceType = type;
        slot.connected = 1;
        window.Slots().push_back(slot);
    }
    // Two frames that differ in every bin, in turn.
    SpectrumValues frames[2]{};
    for (size_t i = 0; i < kSpectrumValueCount; ++i) {
        frames[0][i] = int32_t(i * 37 % 4096);
        frames[1][i] = int32_t(i * 91 % 4096);
    }
    size_t n = 0;
    for (auto _ : state) window.Frame(frames[++n & 1]);
    window.Keyboards().clear();
    window.Mice().clear();
    tavrik::test::CloseCommandChannel(keyboard.CommandChannel());
    tavrik::test::CloseCommandChannel(mouse.CommandChannel());
    state.SetLabel("2 keyboard slots and a mouse (goal 20 us)");
}
BENCHMARK(BM_OnSpectrumFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
