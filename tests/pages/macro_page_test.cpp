// The macro page on its template with real files: one table of the list and
// step edits' edge cases.
#include <ostream>
#include <fstream>
#include <functional>
#include <iterator>

#include "pages/macro_action_row.h"
#include "platform/files/utf8.h"
#include "tests/pages/macro_page_fixture.h"

namespace macrotest {
namespace {

CDuiString Wide(const std::string& s) { return CDuiString(win::FromUtf8(s)); }

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct PageCase {
    const char* name;
    std::function<void(MacroPageTest&)> run;
};

void NewMacroTakesTheLowestFreeNumber(MacroPageTest& t) {
    t.WriteList({{"macro_1", "g1"}, {"macro_3", "g3"}, {"Macro_2", "g2"}});
    CMacroControlUI* page = t.OpenPage();
    EXPECT_EQ(page->NewMacro().str(), L"macro_4");
    const Json::Value list = t.ReadList()["MacroInfo"];
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[3]["MacroName"].asString(), "macro_4");
    // Listed at once, its file comes with the first save.
    EXPECT_FALSE(std::filesystem::exists(t.folder_ / (list[3]["Guid"].asString() + ".mac")));
    EXPECT_EQ(page->GetSelectedMacroIndex(), 3);
    t.Macros()->SelectItem(2);
    EXPECT_EQ(page->DeleteSelectedMacro(), 2);
    EXPECT_EQ(page->NewMacro().str(), L"macro_2");
}

void ImportedNamesAreMadeUniqueAndLongFilesCut(MacroPageTest& t) {
    const std::filesystem::path source = t.Outside() / "import" / "abc.mac";
    std::filesystem::create_directories(source.parent_path());
    Json::Value root(Json::objectValue);
    root["Events"] = MacroPageTest::Steps(300);
    root["Guid"] = "elsewhere";
    ASSERT_TRUE(CJsonFileUtil::SaveJson(Wide(source.string()), root));
    CMacroControlUI* page = t.OpenPage();
    for (const wchar_t* expected : {L"abc", L"abc_1", L"abc_1_2"}) {
        EXPECT_EQ(page->ImportMacro(Wide(source.string())).str(), expected);
        const std::string guid = t.ReadList()["MacroInfo"][page->GetSelectedMacroIndex()]["Guid"].asString();
        EXPECT_EQ(t.ReadMacro(guid)["Events"].size(), 250u) << "the copy keeps the first 250 steps";
        EXPECT_EQ(t.ReadMacro(guid)["Guid"].asString(), "elsewhere") << "kept until saved";
        EXPECT_EQ(t.Actions()->GetCount(), 250);
    }
    EXPECT_TRUE(t.Messages().empty());
}

void RenamesAreRefused(MacroPageTest& t) {
    t.WriteList({{"macro_1", "g1"}, {"Macro_2", "g2"}});
    CMacroControlUI* page = t.OpenPage();
    int index = 7;
    EXPECT_TRUE(page->RenameSelectedMacro(index).IsEmpty());
    EXPECT_EQ(index, -1);
    t.Macros()->SelectItem(0);
    page->LoadSelectedMacro();
    const struct {
        const wchar_t* name;
        const wchar_t* result;
        int index;
    } refusals[] = {{L"macro_1", L"message_text_5", 0},
                    {L"MACRO_2", L"message_text_5", 0},
                    {L" x", L"message_text_5_2", -2},
                    {L"", L"IsEmpty", -2},
                    {L"a&b", L"message_text_5_3", 0}};
    for (const auto& r : refusals) {
        t.Edit(L"macro_edit_macroname")->SetText(r.name);
        EXPECT_EQ(page->RenameSelectedMacro(index).str(), r.result) << "name '" << win::ToUtf8(r.name) << "'";
        EXPECT_EQ(index, r.index);
        EXPECT_EQ(t.ReadList()["MacroInfo"][0]["MacroName"].asString(), "macro_1");
    }
    page->RevertNameEdit();
    EXPECT_EQ(t.Edit(L"macro_edit_macroname")->GetText().str(), L"macro_1");
    t.Edit(L"macro_edit_macroname")->SetText(L"fire");
    EXPECT_EQ(page->RenameSelectedMacro(index).str(), L"fire");
    EXPECT_EQ(t.ReadList()["MacroInfo"][0]["MacroName"].asString(), "fire");
}

void DelaysAreHeldToTheEditsBounds(MacroPageTest& t) {
    t.WriteList({{"m", "g1"}});
    Json::Value events = MacroPageTest::Steps(3);
    events[0]["Delay"] = "5";
    events[1]["Delay"] = "70000";
    t.WriteMacro("g1", events);
    CMacroControlUI* page = t.OpenPage();
    t.Macros()->SelectItem(0);
    page->LoadSelectedMacro();
    ASSERT_EQ(t.Actions()->GetCount(), 3);
    EXPECT_EQ(t.DelayText(0), L"10");
    EXPECT_EQ(t.DelayText(1), L"65535");
    EXPECT_EQ(t.Step(1)["Delay"].asString(), "70000") << "the row keeps the step as stored";
    StepDelayEdit(t.Actions()->GetItemAt(2))->SetText(L"");
    page->SaveSelectedMacro();
    const Json::Value saved = t.ReadMacro("g1");
    EXPECT_EQ(saved["Events"][0]["Delay"].asString(), "10");
    EXPECT_EQ(saved["Events"][1]["Delay"].asString(), "65535");
    EXPECT_EQ(saved["Events"][2]["Delay"].asString(), "0");
    EXPECT_EQ(t.DelayText(2), L"0");
    EXPECT_EQ(saved["Version"].asInt(), 64);
    EXPECT_EQ(saved["MacroName"].asString(), "m");
}

void MovesStopAtTheEnds(MacroPageTest& t) {
    t.WriteList({{"m", "g1"}});
    Json::Value events = MacroPageTest::Steps(3);
    for (int i = 0; i < 3; ++i) events[i]["Delay"] = std::to_string(100 + i);
    t.WriteMacro("g1", events);
    CMacroControlUI* page = t.OpenPage();
    t.Macros()->SelectItem(0);
    page->LoadSelectedMacro();
    auto order = [&] {
        std::string s;
        for (int i = 0; i < t.Actions()->GetCount(); ++i) s += t.Step(i)["Delay"].asString() + " ";
        return s;
    };
    t.Actions()->SelectItem(0);
    page->MoveActionUp();
    page->MoveActionToTop();
    EXPECT_EQ(order(), "100 101 102 ");
    t.Actions()->SelectItem(2);
    page->MoveActionDown();
    page->MoveActionToBottom();
    EXPECT_EQ(order(), "100 101 102 ");
    page->MoveActionToTop();
    EXPECT_EQ(order(), "102 100 101 ");
    EXPECT_EQ(t.Actions()->GetCurSel(), 0);
    page->MoveActionDown();
    EXPECT_EQ(order(), "100 102 101 ");
    EXPECT_EQ(t.Actions()->GetCurSel(), 1);
}

void AnInsertIntoAnEmptyListSelectsNothing(MacroPageTest& t) {
    t.WriteList({{"m", "g1"}});
    CMacroControlUI* page = t.OpenPage();
    t.Macros()->SelectItem(0);
    page->LoadSelectedMacro();
    page->InsertLeftDown();
    ASSERT_EQ(t.Actions()->GetCount(), 1);
    EXPECT_EQ(t.Actions()->GetCurSel(), -1);
    page->InsertLeftUp();
    ASSERT_EQ(t.Actions()->GetCount(), 2);
    EXPECT_EQ(t.Step(0)["Action"].asString(), "down");
    EXPECT_EQ(t.Step(1)["Action"].asString(), "up");
    EXPECT_EQ(t.Step(1)["Delay"].asString(), "50") << "the fixed delay";
    EXPECT_EQ(t.Actions()->GetCurSel(), 1);
    page->InsertBackDown();
    EXPECT_EQ(t.Step(2)["Button"].asInt(), 0x08);
    EXPECT_EQ(t.Step(2)["Type"].asInt(), 1);
}

void TheSaveCutsTo250Steps(MacroPageTest& t) {
    t.WriteList({{"m", "g1"}});
    t.WriteMacro("g1", MacroPageTest::Steps(250));
    CMacroControlUI* page = t.OpenPage();
    t.Macros()->SelectItem(0);
    page->LoadSelectedMacro();
    page->InsertLeftDown();
    ASSERT_EQ(t.Actions()->GetCount(), 251);
    EXPECT_TRUE(t.Actions()->GetItemAt(250)->GetUserData().IsEmpty()) << "only an empty row is left";
    page->SaveSelectedMacro();
    EXPECT_EQ(t.Actions()->GetCount(), 250);
    EXPECT_EQ(t.ReadMacro("g1")["Events"].size(), 250u);
    EXPECT_EQ(t.Messages(), std::vector<std::wstring>{L"message_text_17"});
}

void DeletingTheLastMacroDisablesTheEditors(MacroPageTest& t) {
    t.WriteList({{"m", "g1"}});
    t.WriteMacro("g1", MacroPageTest::Steps(2));
    CMacroControlUI* page = t.OpenPage();
    t.Macros()->SelectItem(0);
    page->LoadSelectedMacro();
    const wchar_t* editors[] = {L"macro_action_layout", L"mouse_move_layout", L"macro_btn_export",
                                L"macro_btn_name_sub", L"macro_btn_name_edit"};
    for (const wchar_t* name : editors) EXPECT_TRUE(t.window_->Find<CControlUI>(name)->IsEnabled());
    EXPECT_EQ(page->DeleteSelectedMacro(), 0);
    for (const wchar_t* name : editors) EXPECT_FALSE(t.window_->Find<CControlUI>(name)->IsEnabled());
    EXPECT_TRUE(t.Edit(L"macro_edit_macroname")->GetText().IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(t.folder_ / "g1.mac"));
    EXPECT_EQ(t.ReadList()["MacroInfo"].size(), 0u);
    EXPECT_EQ(page->DeleteSelectedMacro(), -1);
}

void APointerMoveOf300IsStoredAs255(MacroPageTest& t) {
    t.WriteList({{"m", "g1"}});
    CMacroControlUI* page = t.OpenPage();
    t.Macros()->SelectItem(0);
    page->LoadSelectedMacro();
    t.Edit(L"mouse_x_left_edit")->SetText(L"300");
    page->InsertMouseMoveX(true);
    EXPECT_EQ(t.Step(0)["Button"].asInt(), 255);
    EXPECT_EQ(t.Step(0)["Type"].asInt(), 4);
    EXPECT_EQ(t.Step(0)["Action"].asString(), "down");
    EXPECT_EQ(t.Edit(L"mouse_x_left_edit")->GetText().str(), L"255");
    EXPECT_EQ(StepDirectionLabel(t.Actions()->GetItemAt(0))->GetText().str(), L"255");
}

void AnUnsafeGuidTouchesNoFile(MacroPageTest& t) {
    t.WriteList({{"evil", "../x"}});
    const std::filesystem::path outside = t.Outside() / "x.mac";
    Json::Value root(Json::objectValue);
    root["Events"] = MacroPageTest::Steps(3);
    ASSERT_TRUE(CJsonFileUtil::SaveJson(Wide(outside.string()), root));
    const std::string before = FileBytes(outside);
    CMacroControlUI* page = t.OpenPage();
    t.Macros()->SelectItem(0);
    page->LoadSelectedMacro();
    EXPECT_EQ(t.Actions()->GetCount(), 0) << "nothing is read";
    page->InsertLeftDown();
    page->SaveSelectedMacro();
    const std::filesystem::path exported = t.Outside() / "exported.mac";
    page->ExportSelectedMacro(Wide(exported.string()));
    EXPECT_FALSE(std::filesystem::exists(exported));
    EXPECT_EQ(page->DeleteSelectedMacro(), 0);
    EXPECT_EQ(FileBytes(outside), before);
}

const PageCase kPageCases[] = {
    {"NewMacroTakesTheLowestFreeNumber", NewMacroTakesTheLowestFreeNumber},
    {"ImportedNamesAreMadeUniqueAndLongFilesCut", ImportedNamesAreMadeUniqueAndLongFilesCut},
    {"RenamesAreRefused", RenamesAreRefused},
    {"DelaysAreHeldToTheEditsBounds", DelaysAreHeldToTheEditsBounds},
    {"MovesStopAtTheEnds", MovesStopAtTheEnds},
    {"AnInsertIntoAnEmptyListSelectsNothing", AnInsertIntoAnEmptyListSelectsNothing},
    {"TheSaveCutsTo250Steps", TheSaveCutsTo250Steps},
    {"DeletingTheLastMacroDisablesTheEditors", DeletingTheLastMacroDisablesTheEditors},
    {"APointerMoveOf300IsStoredAs255", APointerMoveOf300IsStoredAs255},
    {"AnUnsafeGuidTouchesNoFile", AnUnsafeGuidTouchesNoFile},
};

// Tests name the case in their messages, not its bytes.
void PrintTo(const PageCase& c, std::ostream* out) { *out << c.name; }

class MacroPageCases : public MacroPageTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(MacroPageCases, Run) { GetParam().run(*this); }

INSTANTIATE_TEST_SUITE_P(Edges, MacroPageCases, ::testing::ValuesIn(kPageCases),
                         [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

TEST_F(MacroPageTest, TheTemplateBuildsWithEveryControlTheMainWindowNames) {
    ASSERT_NE(OpenPage(), nullptr);
    for (const wchar_t* name : {L"macro_name_list",
                                L"macro_action_list",
                                L"macro_edit_macroname",
                                L"macro_action_layout",
                                L"mouse_move_layout",
                                L"macro_btn_export",
                                L"macro_btn_name_sub",
                                L"macro_btn_name_edit",
                                L"macro_btn_name_add",
                                L"macro_btn_import",
                                L"macro_btn_save",
                                L"macro_btn_cancel",
                                L"macro_btn_up",
                                L"macro_btn_down",
                                L"macro_btn_uptop",
                                L"macro_btn_downbottom",
                                L"macro_btn_delete",
                                L"macro_btn_deleteall",
                                L"mouse_x_left_edit",
                                L"mouse_x_right_edit",
                                L"mouse_y_up_edit",
                                L"mouse_y_down_edit",
                                L"macro_inset_moveleftkey_btn",
                                L"macro_inset_moverightkey_btn",
                                L"macro_inset_moveupkey_btn",
                                L"macro_inset_movedownkey_btn",
                                L"macro_name_tab",
                                L"macro_tab_macroaction_edit",
                                L"macro_tab_macrodelay_edit",
                                L"macro_check_time",
                                L"macro_fixed_time_edit",
                                L"macro_btn_starredio",
                                L"macro_btn_stopredio"})
        EXPECT_NE(window_->Find<CControlUI>(name), nullptr) << win::ToUtf8(name);
    EXPECT_TRUE(TakeUIProblems().empty());
}

}  // namespace
}  // namespace macrotest
