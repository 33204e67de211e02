#include "tests/pages/macro_page_fixture.h"

#include <fstream>
#include <sstream>

#include "link/json_file_util.h"
#include "pages/macro_action_row.h"
#include "platform/files/utf8.h"

namespace macrotest {

namespace {

// The main window's "macro_label_*" styles, as the shipped skin declares them.
std::string StepStyles() {
    std::ifstream in(std::filesystem::path(TAVRIK_SOURCE_DIR) / "skin" / "XML" / "main.xml");
    std::string line;
    std::string styles;
    while (std::getline(in, line))
        if (line.find("<Style name=\"macro_label_") != std::string::npos) styles += line + "\n";
    return styles;
}

}  // namespace

std::vector<std::wstring>& ObservedMacroPage::Messages() {
    static std::vector<std::wstring> messages;
    return messages;
}

void MacroPageTest::SetUp() {
    DeviceUiTest::SetUp();
    Messages().clear();
    CControlFactory::GetInstance()->RegistControl(CMacroControlUI::kClassName, &ObservedMacroPage::Create);
    const std::filesystem::path target = dir_.Path() / "XML" / "CustomControlXML";
    std::filesystem::create_directories(target);
    std::filesystem::copy_file(
        std::filesystem::path(TAVRIK_SOURCE_DIR) / "skin" / "XML" / "CustomControlXML" / "MacroControl.xml",
        target / "MacroControl.xml", std::filesystem::copy_options::overwrite_existing);
    folder_ = dir_.Path() / "keyboard";
    std::filesystem::create_directories(folder_);
}

void MacroPageTest::TearDown() {
    SetMacroClock(nullptr);
    DeviceUiTest::TearDown();
}

CMacroControlUI* MacroPageTest::OpenPage(bool load) {
    window_ = Open(
        "<Window size=\"900,600\">\n" + StepStyles() +
            R"(<VerticalLayout><Include source="XML\CustomControlXML\MacroControl.xml"/></VerticalLayout></Window>)",
        900, 600);
    page_ = window_->Find<CMacroControlUI>(L"MacroControlItem");
    if (page_) {
        page_->SetMacroFolder(win::FromUtf8(folder_.string() + "/").c_str());
        if (load) page_->LoadMacroList();
    }
    return page_;
}

void MacroPageTest::WriteList(const std::vector<std::pair<std::string, std::string>>& entries) {
    Json::Value root(Json::objectValue);
    Json::Value& info = root["MacroInfo"] = Json::Value(Json::arrayValue);
    for (const auto& [name, guid] : entries) {
        Json::Value e;
        e["MacroName"] = name;
        e["Guid"] = guid;
        info.append(e);
    }
    ASSERT_TRUE(CJsonFileUtil::SaveJson(win::FromUtf8((folder_ / "macro.config").string()).c_str(), root));
}

void MacroPageTest::WriteMacro(const std::string& guid, const Json::Value& events) {
    Json::Value root(Json::objectValue);
    root["Events"] = events;
    root["Guid"] = guid;
    root["MacroName"] = guid;
    root["Version"] = 64;
    ASSERT_TRUE(CJsonFileUtil::SaveJson(win::FromUtf8((folder_ / (guid + ".mac")).string()).c_str(), root));
}

Json::Value MacroPageTest::Steps(int count, const std::string& delay) {
    Json::Value events(Json::arrayValue);
    for (int i = 0; i < count; ++i) events.append(MakeStepEvent(i % 2 == 0, 1, 1, 0));
    for (Json::Value& e : events) e["Delay"] = delay;
    return events;
}

Json::Value MacroPageTest::ReadJson(const std::filesystem::path& path) const {
    return CJsonFileUtil::LoadJson(win::FromUtf8(path.string()).c_str());
}

Json::Value MacroPageTest::Step(int i) { return MacroRowEvent(Actions()->GetItemAt(i)); }

std::wstring MacroPageTest::DelayText(int i) {
    CEditUI* edit = StepDelayEdit(Actions()->GetItemAt(i));
    return edit ? edit->GetText().str() : L"<none>";
}

}  // namespace macrotest
