// WM_DEVICE_BOUND of a wired keyboard on the sim bus, from the message to its
// entry shown (channel opened, mode set, entry shown and selected, connect
// timer armed). Goal: at most 10 ms, so that with the scan's 40 ms pace a
// device shows at most 100 ms after its interface appears.

#include <benchmark/benchmark.h>

#include <memory>

#include "link/device/corvane_usb_device.h"
#include "link/registered_messages.h"
#include "platform/files/folders.h"
#include "platform/os/message_queue.h"
#include "platform/os/window.h"
#include "platform/ui/UIlib.h"
#include "platform/ui/headless_backend.h"
#include "link/device/device_option_ui.h"
#include "shell/main/control_tables.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/process_state.h"
#include "tools/devsim/sim_fixture.h"

namespace {

using namespace DuiLib;

// The main window without its scan thread: the benchmark binds the slot itself.
class BenchWnd : public CMainWnd {
public:
    void OnWindowInit() override {
        MainWindowHandle = GetHWND();
        m_slots.assign(std::begin(SupportedDeviceTable), std::end(SupportedDeviceTable));
        CreateDefaultDevicePanels();
    }
    void RaiseWindow(int) override {}
    CDeviceOptionUI* KeyboardEntry() { return Keyboards().front()->GetDeviceOption(); }
};

void Pump() {
    win::MSG msg;
    for (int i = 0; i < 10000 && win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE); ++i) {
        if (msg.message == win::WM_QUIT) continue;
        if (CPaintManagerUI::TranslateMessage(&msg)) continue;
        win::DispatchMessageW(&msg);
    }
}

void BM_DeviceBoundToEntryShown(benchmark::State& state) {
    SetDisplayBackend(std::make_unique<HeadlessBackend>());
    CPaintManagerUI::SetResourcePath(win::FromUtf8(TAVRIK_BIN_DIR "/skin/").c_str());
    CResourceManager::GetInstance()->LoadResource(L"res.xml", nullptr);
    RegisterCustomControls();
    RegisterActivationMessage();
    RegisterGuidMessages();
    {
        tavrik::devsim::SimFixture sim;
        auto& keyboard = sim.Plug(tavrik::devsim::ProductKind::KeyboardCable);
        auto* window = new BenchWnd;
        window->Create(nullptr, kProductString, win::WS_POPUP | win::WS_VISIBLE, 0, 0, 0, 800, 572);
        Pump();
        window->GetPaintManager()->Paint();
        Pump();
        HidDeviceSlot& slot = window->Slots()[0];
        for (auto _ : state) {
            slot.connected = 1;
            slot.devicePath = keyboard.InterfacePath(4);
            win::SendMessageW(window->GetHWND(), WM_DEVICE_BOUND, 0, 0);
            if (!window->KeyboardEntry()->IsShown()) {
                state.SkipWithError("the keyboard's entry was not shown");
                break;
            }
            state.PauseTiming();
            slot.connected = 0;
            slot.devicePath.clear();
            window->OnDeviceSlotDetached(0);
            window->KeyboardEntry()->KillOwnTimer(TIMER_OPTION_CONNECT);
            Pump();
            state.ResumeTiming();
        }
        win::DestroyWindow(window->GetHWND());
        Pump();
        delete window;
        MainWindowHandle = nullptr;
    }
    CResourceManager::GetInstance()->Release();
    CPaintManagerUI::Term();
    SetDisplayBackend(nullptr);
}
BENCHMARK(BM_DeviceBoundToEntryShown)->Unit(benchmark::kMillisecond);

}  // namespace
