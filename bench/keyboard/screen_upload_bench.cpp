// A whole animation upload from the keyboard page: 10 painted frames of the
// 240 x 135 screen packed, sent behind the progress window to the emulated
// keyboard on the sim bus (with the transfer's 500 ms pause after its first
// packet) and saved. Goal: at least 50 KB/s of frame data over wall time.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/keyboard/connected_keyboard.h"
#include "link/json_file_util.h"
#include "platform/os/message_queue.h"
#include "platform/ui/UIlib.h"
#include "platform/ui/display_backend.h"
#include "platform/ui/headless_backend.h"
#include "tests/support/temp_home.h"

namespace {

using namespace DuiLib;

constexpr int kFrames = 10;

class PageWindow : public WindowImplBase {
public:
    CDuiString GetSkinFile() override {
        return L"<Window size=\"800,600\"><VerticalLayout><CorvaneKeyboardDevice name=\"page\">"
               L"<HorizontalLayout name=\"screen_view_tab\"/><Edit name=\"frame_interval_time_edit\" text=\"100\"/>"
               L"</CorvaneKeyboardDevice></VerticalLayout></Window>";
    }
    LPCTSTR GetWindowClassName() const override { return L"ScreenUploadBench"; }
    CCorvaneKeyboardDevice* Page() { return static_cast<CCorvaneKeyboardDevice*>(m_pm.FindControl(L"page")); }
};

void BM_UploadAnimation(benchmark::State& state) {
    tavrik::test::TempHome home;
    SetDisplayBackend(std::make_unique<HeadlessBackend>());
    RegisterCorvaneKeyboardDevice();
    tavrik::devsim::SimFixture sim;
    auto& device = sim.Plug(tavrik::devsim::ProductKind::KeyboardCable);
    auto* window = new PageWindow();
    window->Create(nullptr, L"bench", UI_WS_POPUP | UI_WS_VISIBLE, 0, 0, 0, 800, 600);
    CCorvaneKeyboardDevice* page = window->Page();
    if (page == nullptr) {
        state.SkipWithError("the page was not built");
    } else if (kbbench::ConnectKeyboard(*page, device, state)) {
        Json::Value empty;
        empty["Frame"] = Json::Value(Json::arrayValue);
        CJsonFileUtil::SaveJson(page->GetUserDataFolder() + L"ScreenFrame.json", empty);
        page->LoadFrames();
        for (int i = 1; i < kFrames; ++i) page->AddFrame();
        for (int f = 0; f < kFrames; ++f)
            if (CScreenViewControlUI* frame = page->GetFrame(f))
                for (ScreenCell& cell : frame->Cells()) cell = {uint8_t(f * 20), 0x80, 0x40, 1};
        if (page->GetFrameCount() != kFrames) state.SkipWithError("the frames were not made");
        for (auto _ : state) {
            if (state.error_occurred()) break;
            if (page->UploadAllFrames() != 1) {
                state.SkipWithError("the upload failed");
                break;
            }
        }
        state.SetBytesProcessed(int64_t(state.iterations()) * kFrames * page->ScreenColumns() * page->ScreenRows() * 2);
        tavrik::test::CloseCommandChannel(page->CommandChannel());
    }
    win::DestroyWindow(window->GetHWND());
    delete window;
    CPaintManagerUI::Term();
    SetDisplayBackend(nullptr);
}
BENCHMARK(BM_UploadAnimation)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
