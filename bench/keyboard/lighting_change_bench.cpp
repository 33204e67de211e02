// One lighting change as the main window's lighting commands make it: the
// changed setting stored on the keyboard page, the profile saved (in a
// temporary home), the setting applied to the running lighting and the
// profile block written (begin, block, end with its 10 ms pause) to the
// emulated keyboard on the sim bus. Goal: at most 50 ms.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/keyboard/connected_keyboard.h"
#include "platform/files/folders.h"
#include "tests/support/temp_home.h"

namespace {

void BM_LightingChange(benchmark::State& state) {
    tavrik::test::TempHome home;
    tavrik::devsim::SimFixture sim;
    auto& device = sim.Plug(tavrik::devsim::ProductKind::KeyboardCable);
    CCorvaneKeyboardDevice page;
    if (!kbbench::ConnectKeyboard(page, device, state)) return;
    page.SetProfileId(L"profile_1");
    page.SetLightListName(L"plenta_light");
    std::filesystem::copy_file(std::filesystem::path(TAVRIK_SOURCE_DIR) / "DefaultData" / "keyboard.Json",
                               win::ToFsPath((page.GetUserDataFolder() + L"profile_1.Json").str()),
                               std::filesystem::copy_options::overwrite_existing);
    page.LoadProfile(1);
    int profile = 0;
    if (page.ReadProfileBlock(&profile) != 1) {
        state.SkipWithError("the keyboard's block could not be read");
        return;
    }
    uint8_t mode = 1;
    for (auto _ : state) {
        LightSetting setting = page.CurrentLightSetting();
        setting.mode = mode;
        mode = mode == 1 ? 2 : 1;
        page.SetLightSetting(setting);
        page.SaveProfile();
        page.ApplyLightProfile();
        if (page.WriteProfileBlock(0, 0, 1, 1280, 1024) != 1) {
            state.SkipWithError("the block write failed");
            break;
        }
    }
    state.SetLabel("store, save, apply, write");
}
BENCHMARK(BM_LightingChange)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
