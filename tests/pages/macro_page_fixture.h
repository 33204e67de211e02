#pragma once

// A macro page built from the shipped template (with the main window's step
// styles) on a headless display, its macro folder a temporary folder, and the
// messages it shows recorded instead of opened.

#include <filesystem>
#include <string>
#include <vector>

#include <json/value.h>

#include "pages/macro_control_ui.h"
#include "platform/ui/edit.h"
#include "platform/ui/list.h"
#include "tests/shell/device_ui_fixture.h"

namespace macrotest {

using namespace devtest;

// The page with its messages recorded.
class ObservedMacroPage : public CMacroControlUI {
public:
    static std::vector<std::wstring>& Messages();
    static DuiLib::CControlUI* Create() { return new ObservedMacroPage(); }

protected:
    void ShowPageMessage(const wchar_t* key) override { Messages().push_back(key); }
};

class MacroPageTest : public DeviceUiTest {
protected:
    void SetUp() override;
    void TearDown() override;

public:
    // Builds the page and points it at the folder; `load` reads its list.
    CMacroControlUI* OpenPage(bool load = true);

    // "macro.config" with these names and ids.
    void WriteList(const std::vector<std::pair<std::string, std::string>>& entries);
    // A macro file with `count` left-button steps, or the given steps.
    void WriteMacro(const std::string& guid, const Json::Value& events);
    static Json::Value Steps(int count, const std::string& delay = "20");
    Json::Value ReadJson(const std::filesystem::path& path) const;
    Json::Value ReadList() const { return ReadJson(folder_ / "macro.config"); }
    Json::Value ReadMacro(const std::string& guid) const { return ReadJson(folder_ / (guid + ".mac")); }

    DuiLib::CListUI* Macros() { return window_->Find<DuiLib::CListUI>(L"macro_name_list"); }
    DuiLib::CListUI* Actions() { return window_->Find<DuiLib::CListUI>(L"macro_action_list"); }
    DuiLib::CEditUI* Edit(const wchar_t* name) { return window_->Find<DuiLib::CEditUI>(name); }
    // The stored step of action row i, and the text of its delay edit.
    Json::Value Step(int i);
    std::wstring DelayText(int i);
    std::vector<std::wstring>& Messages() { return ObservedMacroPage::Messages(); }

    // A folder outside the macro folder.
    std::filesystem::path Outside() const { return dir_.Path(); }
    std::filesystem::path folder_;
    SkinWindow* window_ = nullptr;
    CMacroControlUI* page_ = nullptr;
};

}  // namespace macrotest
