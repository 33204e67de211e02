// Building the main window's skin and its first paint, headless: the window
// must be up within 300 ms of the start, so this part has 100 ms.

#include <benchmark/benchmark.h>

#include <memory>

#include "link/base/product_ids.h"
#include "platform/files/folders.h"
#include "platform/os/message_queue.h"
#include "platform/ui/UIlib.h"
#include "platform/ui/headless_backend.h"
#include "shell/main/control_tables.h"
#include "shell/main/main_wnd.h"

namespace {

using namespace DuiLib;

// The window without its workers and start-up: only the skin and the paint.
class SkinOnlyMainWnd : public CMainWnd {
public:
    void OnWindowInit() override {}
};

void Drain() {
    win::MSG msg;
    while (win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
        if (msg.message == win::WM_QUIT) continue;
        win::DispatchMessageW(&msg);
    }
}

void BM_BuildMainSkinAndFirstPaint(benchmark::State& state) {
    SetDisplayBackend(std::make_unique<HeadlessBackend>());
    CPaintManagerUI::SetResourcePath((win::FromUtf8(TAVRIK_BIN_DIR) + L"/skin/").c_str());
    CResourceManager::GetInstance()->LoadResource(L"res.xml", nullptr);
    RegisterCustomControls();
    for (auto _ : state) {
        auto window = std::make_unique<SkinOnlyMainWnd>();
        window->Create(nullptr, kProductString, win::WS_POPUP | win::WS_VISIBLE, 0, 0, 0, 800, 572);
        window->GetPaintManager()->Paint();
        benchmark::DoNotOptimize(window->GetPaintManager()->GetRoot());
        win::DestroyWindow(window->GetHWND());
        Drain();
    }
    CResourceManager::GetInstance()->Release();
    CPaintManagerUI::Term();
    SetDisplayBackend(nullptr);
}
BENCHMARK(BM_BuildMainSkinAndFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace
