// A profile switch on a full keyboard page built from the shipped skin (its
// lighting page included), without a window: LoadProfile (1) and
// RefreshPage (1). Goal: at most 10 ms.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "keyboard/corvane_keyboard_device.h"
#include "pages/light_control_ui.h"
#include "platform/files/folders.h"
#include "platform/files/utf8.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/paint_manager.h"
#include "shell/controls/device_controls_registry.h"
#include "tests/support/temp_home.h"

namespace {

using namespace DuiLib;

// The main window's part in building a device page: the lighting page's template.
class TemplateBuilder : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(LPCTSTR pstrClass) override {
        if (DuiCompareNoCase(pstrClass, L"LightSetControlUI") != 0) return nullptr;
        CDialogBuilder builder;
        return builder.Create(CLightControlUI::kSkinFile, nullptr, nullptr, nullptr, nullptr);
    }
};

void BM_ProfileSwitch(benchmark::State& state) {
    tavrik::test::TempHome home;
    const std::filesystem::path skin = std::filesystem::path(TAVRIK_SOURCE_DIR) / "skin";
    CPaintManagerUI::SetResourcePath(win::FromUtf8(skin.string()).c_str());
    RegisterDeviceControls();
    RegisterCorvaneKeyboardDevice();
    CControlFactory::GetInstance()->RegistControl(CLightControlUI::kClassName, &CLightControlUI::CreateInstance);

    TemplateBuilder callback;
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(
        builder.Create(L"XML\\DeviceXml\\keyboarddevice.xml", nullptr, &callback, nullptr, nullptr));
    auto* page =
        root ? static_cast<CCorvaneKeyboardDevice*>(root->GetInterface(CCorvaneKeyboardDevice::kClassName)) : nullptr;
    if (!page) {
        state.SkipWithError("the keyboard skin did not build");
        return;
    }
    page->SetDeviceName(L"keyboard");
    page->SetProfileId(L"profile_1");
    page->SetLightListName(L"plenta_light");
    page->SetKeyCount(170);
    page->SetLedCount(170);
    page->SetPageXml(L"XML\\DeviceXml\\keyboarddevice.xml");
    page->InitPage();
    // The profile to switch to: the shipped default document.
    std::filesystem::copy_file(std::filesystem::path(TAVRIK_SOURCE_DIR) / "DefaultData" / "keyboard.Json",
                               win::ToFsPath((page->GetUserDataFolder() + L"profile_1.Json").str()),
                               std::filesystem::copy_options::overwrite_existing);
    if (!page->GetLightControl()) {
        state.SkipWithError("the keyboard page has no lighting page");
        return;
    }
    for (auto _ : state) {
        page->LoadProfile(1);
        page->RefreshPage(1);
    }
    state.SetLabel("LoadProfile + RefreshPage");
}
BENCHMARK(BM_ProfileSwitch)->Unit(benchmark::kMillisecond);

}  // namespace
