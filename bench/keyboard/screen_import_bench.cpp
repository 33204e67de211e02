// ImportAnimation of a 480 x 270 XVID file onto a 240 x 135 screen: 300
// frames (refused at the frame maximum after 80 decoded frames) and 79 frames
// (imported whole onto the first frame). Goal: at most 2 s each.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "keyboard/corvane_keyboard_device.h"
#include "platform/files/folders.h"
#include "platform/files/utf8.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/paint_manager.h"
#include "shell/controls/device_controls_registry.h"
#include "tests/support/temp_home.h"

namespace {

using namespace DuiLib;

constexpr const wchar_t* kPageSkin =
    LR"(<CorvaneKeyboardDevice name="page">
  <HorizontalLayout name="screen_view_tab"/>
  <Label name="frame_count_label"/>
</CorvaneKeyboardDevice>)";

bool WriteVideo(const std::filesystem::path& path, int frames) {
    cv::VideoWriter writer(path.string(), cv::CAP_FFMPEG, cv::VideoWriter::fourcc('X', 'V', 'I', 'D'), 10.0,
                           cv::Size(480, 270), true);
    if (!writer.isOpened()) return false;
    cv::Mat image(270, 480, CV_8UC3);
    for (int k = 0; k < frames; ++k) {
        image.setTo(cv::Scalar(k % 256, (k * 7) % 256, (k * 13) % 256));
        cv::rectangle(image, cv::Rect(k % 400, 50, 80, 80), cv::Scalar(255, 255, 255), cv::FILLED);
        writer.write(image);
    }
    writer.release();
    return true;
}

void BM_ImportVideo300(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    tavrik::test::TempHome home;
    CPaintManagerUI::SetResourcePath(win::FromUtf8(home.Root().string()).c_str());
    RegisterDeviceControls();
    RegisterCorvaneKeyboardDevice();
    const std::filesystem::path video = home.Root() / ("frames" + std::to_string(frames) + ".avi");
    if (!WriteVideo(video, frames)) {
        state.SkipWithError("no XVID writer");
        return;
    }
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(kPageSkin));
    auto* page =
        root ? static_cast<CCorvaneKeyboardDevice*>(root->GetInterface(CCorvaneKeyboardDevice::kClassName)) : nullptr;
    if (!page) {
        state.SkipWithError("the page did not build");
        return;
    }
    page->SetDeviceName(L"keyboard");
    page->SetScreenGeometry(240, 135, 0);
    const CDuiString path(win::FromUtf8(video.string()).c_str());
    int result = 0;
    for (auto _ : state) {
        state.PauseTiming();
        page->LoadFrames();
        state.ResumeTiming();
        result = page->ImportAnimation(path);
    }
    state.counters["result"] = result;
    state.counters["frames_after"] = page->GetFrameCount();
    state.SetLabel(frames > 79 ? "refused at the limit" : "imported whole");
}
BENCHMARK(BM_ImportVideo300)->Arg(300)->Arg(79)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
