// The control factory: the main window's builder callback and the
// process-wide registrations.

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <set>

#include "platform/files/folders.h"
#include "platform/ui/dialog_builder.h"
#include "shell/main/control_tables.h"
#include "shell/controls/select_panel_ui.h"
#include "tests/shell/main_wnd_fixture.h"

namespace mainwndtest {
namespace {

class ControlFactory : public MainWndTest {
protected:
    void SetUp() override {
        MainWndTest::SetUp();
        OpenMainWindow();
    }
    // Creates by the callback and frees the result; the class it has.
    std::wstring ClassOf(const wchar_t* name) {
        std::unique_ptr<CControlUI> control(window_->CreateControl(name));
        return control ? std::wstring(control->GetClass()) : L"";
    }
    static bool IsPending(const std::wstring& name) {
        const auto pending = PendingControlNames();
        return std::find_if(pending.begin(), pending.end(), [&](const wchar_t* p) { return name == p; }) !=
               pending.end();
    }
    static bool TemplateFileExists(const ControlTemplateRow& row) {
        std::wstring file = row.file;
        std::replace(file.begin(), file.end(), L'\\', L'/');
        return std::filesystem::exists(win::ToFsPath(BuiltProgramFolder() + L"skin/" + file));
    }
};

TEST_F(ControlFactory, ClassNamesIgnoreCase) {
    for (const wchar_t* name : {L"SelectPanel", L"selectpanel", L"SELECTPANEL", L"sElEcTpAnEl"}) {
        EXPECT_EQ(ClassOf(name), CSelectPanelUI::kClassName) << name;
    }
    EXPECT_EQ(ClassOf(L"devicekeybutton"), ClassOf(L"DeviceKeyButton"));
    EXPECT_FALSE(ClassOf(L"LIGHTCONTROL").empty());
    EXPECT_EQ(ClassOf(L"NoSuchControl"), L"");
    EXPECT_EQ(ClassOf(L""), L"");
    EXPECT_EQ(window_->CreateControl(nullptr), nullptr);
}

TEST_F(ControlFactory, TheTemplateSuffixBuildsTheFileNotTheClass) {
    // "VirtualSetControlUI" names a template; without the suffix nothing.
    std::unique_ptr<CControlUI> first(window_->CreateControl(L"VirtualSetControlUI"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetName(), L"virtual_set_layout");
    EXPECT_EQ(window_->CreateControl(L"VirtualSetControl"), nullptr);
    EXPECT_NE(std::unique_ptr<CControlUI>(window_->CreateControl(L"virtualsetcontrolui")), nullptr);
    // Each call builds a fresh, independent copy.
    std::unique_ptr<CControlUI> second(window_->CreateControl(L"VirtualSetControlUI"));
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
    first->SetName(L"changed");
    EXPECT_EQ(second->GetName(), L"virtual_set_layout");
}

TEST_F(ControlFactory, PendingNamesCreateNothingAndEveryOtherNameCreates) {
    std::set<std::wstring> seen;
    for (const ControlClassRow& row : MainWindowControlClasses()) {
        seen.insert(row.name);
        EXPECT_EQ(row.create == nullptr, IsPending(row.name)) << row.name;
        std::unique_ptr<CControlUI> control(window_->CreateControl(row.name));
        EXPECT_EQ(control == nullptr, IsPending(row.name)) << row.name;
    }
    for (const ControlTemplateRow& row : MainWindowControlTemplates()) {
        seen.insert(row.name);
        EXPECT_EQ(!TemplateFileExists(row), IsPending(row.name)) << row.name;
        std::unique_ptr<CControlUI> control(window_->CreateControl(row.name));
        EXPECT_EQ(control == nullptr, IsPending(row.name)) << row.name;
    }
    for (const ControlClassRow& row : FactoryControlClasses()) {
        seen.insert(row.name);
        EXPECT_EQ(row.create == nullptr, IsPending(row.name)) << row.name;
        std::unique_ptr<CControlUI> control(CControlFactory::GetInstance()->CreateControl(row.name));
        EXPECT_EQ(control == nullptr, IsPending(row.name)) << row.name;
    }
    // The pending list names only names of the tables.
    for (const wchar_t* name : PendingControlNames()) EXPECT_TRUE(seen.count(name)) << name;
    // The keyboard page and the lighting page template are there.
    EXPECT_FALSE(IsPending(L"CorvaneKeyboardDevice"));
    EXPECT_FALSE(IsPending(L"LightSetControlUI"));
}

TEST_F(ControlFactory, TablesHaveTheirSizes) {
    EXPECT_EQ(MainWindowControlClasses().size(), 18u);
    EXPECT_EQ(MainWindowControlTemplates().size(), 8u);
    EXPECT_EQ(FactoryControlClasses().size(), 24u);
    // The keyboard and mouse pages are reached only through the callback.
    for (const ControlClassRow& row : FactoryControlClasses()) {
        EXPECT_NE(std::wstring(row.name), L"CCorvaneKeyboardDevice");
        EXPECT_NE(std::wstring(row.name), L"CCorvaneMouseDevice");
    }
}

}  // namespace
}  // namespace mainwndtest
