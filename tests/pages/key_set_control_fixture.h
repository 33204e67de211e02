#pragma once

// A key-assignment page built from the shipped template on a headless
// display, with the shipped English texts.

#include <filesystem>
#include <string>
#include <vector>

#include "pages/key_set_control_ui.h"
#include "platform/files/utf8.h"
#include "tests/shell/device_ui_fixture.h"

namespace keysettest {

using namespace devtest;

class KeySetPageTest : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        CControlFactory::GetInstance()->RegistControl(CKeySetControlUI::kClassName, &CKeySetControlUI::CreateInstance);
        const std::filesystem::path skin = std::filesystem::path(TAVRIK_SOURCE_DIR) / "skin";
        const std::filesystem::path target = dir_.Path() / "XML" / "CustomControlXML";
        std::filesystem::create_directories(target);
        std::filesystem::copy_file(skin / "XML" / "CustomControlXML" / "KeySetControl.xml",
                                   target / "KeySetControl.xml", std::filesystem::copy_options::overwrite_existing);
        ASSERT_TRUE(
            CResourceManager::GetInstance()->LoadLanguage(win::FromUtf8((skin / "lan_en.xml").string()).c_str()));
    }

    // The page from its template, set up as a device page sets it up.
    CKeySetControlUI* OpenPage(int kind = 1, const std::vector<CDuiString>& macros = {}) {
        window_ = Open(R"(<Window size="800,420"><VerticalLayout>
            <Include source="XML\CustomControlXML\KeySetControl.xml"/></VerticalLayout></Window>)",
                       800, 420);
        auto* page = window_->Find<CKeySetControlUI>(L"KeySetControlItem");
        if (!page) return nullptr;
        page->InitControls();
        page->SetDeviceKind(kind);
        page->ShowKeySetLayout(false);
        page->SetMacroNames(macros);
        return page;
    }

    template <class T = CControlUI>
    T* Child(const wchar_t* name) {
        return window_->Find<T>(name);
    }
    std::wstring Text(const wchar_t* name) { return std::wstring(Child(name)->GetText()); }
    int Selected(const wchar_t* combo) { return Child<CComboUI>(combo)->GetCurSel(); }

    SkinWindow* window_ = nullptr;
};

}  // namespace keysettest
