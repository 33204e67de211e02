#pragma once
// The mouse page built from the shipped page skin on a headless display, with
// a test language in which every name reads "T:" + its key. The function
// pages the skin holds are stood in for by empty containers.

#include <filesystem>
#include <fstream>
#include <string>

#include "devices/corvane_mouse_device.h"
#include "link/device_tables.h"
#include "pages/key_search.h"
#include "link/base/key_tables.h"
#include "platform/files/utf8.h"
#include "platform/ui/controls.h"
#include "shell/controls/device_key_button_ui.h"
#include "tests/shell/device_ui_fixture.h"

namespace mousepage {

using namespace devtest;
namespace fs = std::filesystem;

// The page with its protected state opened to the tests.
class TestMouse : public CCorvaneMouseDevice {
public:
    using CCorvaneMouseDevice::SetLightingCopy;
    DeviceInfoBlock& Info() { return m_deviceInfo; }
};

class MouseWindow : public SkinWindow {
public:
    using SkinWindow::SkinWindow;
    CControlUI* CreateControl(LPCTSTR pstrClass) override {
        if (DuiCompareNoCase(pstrClass, CCorvaneMouseDevice::kClassName) == 0) return new TestMouse();
        for (const wchar_t* stand : {L"LightSetControlUI", L"KeySetControlUI", L"MacroSetControlUI",
                                     L"ShootKeySetControlUI", L"DeviceProfileUI"})
            if (DuiCompareNoCase(pstrClass, stand) == 0) return new CContainerUI();
        return SkinWindow::CreateControl(pstrClass);
    }
};

// The test language: every key reads "T:" + its key.
inline std::wstring Tr(const wchar_t* key) { return std::wstring(L"T:") + key; }

class MousePage : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        WriteLanguage();
        const fs::path target = dir_.Path() / "XML" / "DeviceXml";
        fs::create_directories(target);
        fs::copy_file(fs::path(TAVRIK_SOURCE_DIR) / "skin" / "XML" / "DeviceXml" / "mousedevice.xml",
                      target / "mousedevice.xml", fs::copy_options::overwrite_existing);
        window_ = new MouseWindow(
            LR"(<Window size="900,700"><VerticalLayout>
            <Include source="XML\DeviceXml\mousedevice.xml"/></VerticalLayout></Window>)");
        windows_.push_back(window_);
        window_->Create(nullptr, L"mouse test", UI_WS_POPUP | UI_WS_VISIBLE, 0, 0, 0, 900, 700);
        Pump();
        page_ = window_->Find<TestMouse>(L"mouse_device_page");
        ASSERT_NE(page_, nullptr);
        const auto& option = DeviceOptionTable[kDeviceKindMouse];
        const auto& model = DeviceModelTable[kDeviceKindMouse];
        page_->SetDeviceName(option.kindName.c_str());
        fs::remove_all(win::ToFsPath(page_->GetUserDataFolder().GetData()));
        page_->SetProfileId(L"profile_1");
        page_->SetLightListName(model.lightListName.c_str());
        page_->SetDeviceIndex(option.lightNameIndex);
        page_->SetKeyCount(kMouseButtonCount);
        page_->SetLedCount(model.ledCount);
        page_->SetPageXml(DeviceModelTable[kDeviceKindMouse].pageSkin.c_str());
        page_->InitPage();
    }
    void TearDown() override {
        CResourceManager::GetInstance()->ResetTextMap();
        DeviceUiTest::TearDown();
    }

    void WriteLanguage() {
        std::ofstream lang(dir_.Path() / "lang_test.xml");
        lang << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Language>\n";
        auto add = [&](const wchar_t* key) {
            lang << "<Text id=\"" << win::ToUtf8(key) << "\" value=\"T:" << win::ToUtf8(key) << "\"/>\n";
        };
        for (size_t i = 0; i < kKeyNameTableCount; ++i) add(KeyNameAt(i));
        for (const wchar_t* key : MouseButtonNameTable) add(key);
        for (const wchar_t* key : {L"Light_Set", L"Overall_Light_Set", L"lamp_mode_wave", L"lamp_mode_running"})
            add(key);
        lang << "</Language>\n";
        lang.close();
        ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(L"lang_test.xml"));
    }

    template <class T>
    T* Control(const std::wstring& name) {
        return static_cast<T*>(page_->FindSubControl(name.c_str()));
    }
    COptionUI* Option(const std::wstring& name) { return Control<COptionUI>(name); }
    static std::wstring N(const wchar_t* base, int n) { return base + std::to_wstring(n); }

    MouseWindow* window_ = nullptr;
    TestMouse* page_ = nullptr;
};

}  // namespace mousepage
