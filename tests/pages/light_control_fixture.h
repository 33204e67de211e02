#pragma once

// A lighting page built from the shipped template on a headless display.

#include <filesystem>
#include <string>

#include "pages/light_control_ui.h"
#include "tests/shell/device_ui_fixture.h"

namespace lighttest {

using namespace devtest;

class LightPageTest : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        CControlFactory::GetInstance()->RegistControl(CLightControlUI::kClassName, &CLightControlUI::CreateInstance);
        const std::filesystem::path target = dir_.Path() / "XML" / "CustomControlXML";
        std::filesystem::create_directories(target);
        std::filesystem::copy_file(
            std::filesystem::path(TAVRIK_SOURCE_DIR) / "skin" / "XML" / "CustomControlXML" / "LightControl.xml",
            target / "LightControl.xml", std::filesystem::copy_options::overwrite_existing);
    }

    // The page from its template, of the given device kind.
    CLightControlUI* OpenTemplate(int kind = 1) {
        window_ = Open(R"(<Window size="800,420"><VerticalLayout>
            <Include source="XML\CustomControlXML\LightControl.xml"/></VerticalLayout></Window>)",
                       800, 420);
        auto* page = window_->Find<CLightControlUI>(L"LightControlItem");
        if (page) page->SetDeviceKind(kind);
        return page;
    }
    // A page without any of its controls.
    CLightControlUI* OpenBare() {
        window_ = Open(R"(<Window size="200,40"><LightControl name="LightControlItem"/></Window>)", 200, 40);
        return window_->Find<CLightControlUI>(L"LightControlItem");
    }

    template <class T = CControlUI>
    T* Child(const wchar_t* name) {
        return window_->Find<T>(name);
    }
    bool Enabled(const wchar_t* name) { return Child(name)->IsEnabled(); }
    bool Visible(const wchar_t* name) { return Child(name)->IsVisible(); }

    SkinWindow* window_ = nullptr;
};

}  // namespace lighttest
