// The profile bar on real files: the index "ProfileList.ini" and the profile
// documents of a device folder in the temporary directory, the bar built from
// its shipped template on a headless display.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <json/json.h>

#include "link/text_encoding.h"
#include "pages/device_profile_ui.h"
#include "pages/profile_names.h"
#include "platform/files/utf8.h"
#include "platform/ui/button.h"
#include "platform/ui/combo.h"
#include "platform/ui/edit.h"
#include "tests/link/profile_test_files.h"
#include "tests/shell/device_ui_fixture.h"

namespace {

using namespace devtest;
using profile_test::ReadJson;
using profile_test::WriteJson;
namespace fs = std::filesystem;

std::vector<std::wstring> g_messages;

// The bar with its messages recorded instead of shown.
class RecordingBar : public CDeviceProfileUI {
public:
    static CControlUI* Create() { return new RecordingBar(); }

protected:
    void ShowMessage(const wchar_t* key) override { g_messages.push_back(key); }
};

class ProfileBarTest : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        g_messages.clear();
        CControlFactory::GetInstance()->RegistControl(CDeviceProfileUI::kClassName, &RecordingBar::Create);
        const fs::path target = dir_.Path() / "XML" / "CustomControlXML";
        fs::create_directories(target);
        fs::copy_file(fs::path(TAVRIK_SOURCE_DIR) / "skin" / "XML" / "CustomControlXML" / "DeviceProfile.xml",
                      target / "DeviceProfile.xml", fs::copy_options::overwrite_existing);
        fs::create_directories(Folder());
        Json::Value defaults;
        defaults["Device"][0]["LightInfo"]["SelectItem"] = 3;
        defaults["Device"][0]["CustomEQNameInfo"][0] = "default eq";
        defaults["Device"][0]["CustomEQHzValueInfo"][0] = 0;
        WriteJson(DefaultFile(), defaults);
    }

    fs::path Folder() const { return dir_.Path() / "profiles"; }
    fs::path DefaultFile() const { return dir_.Path() / "default.Json"; }
    fs::path IndexFile() const { return Folder() / "ProfileList.ini"; }
    Json::Value Index() const { return ReadJson(IndexFile()); }
    fs::path DocumentOf(const Json::Value& entry) const {
        return Folder() / (entry["profileUUID"].asString() + ".Json");
    }

    // The bar, built and loaded as a device page does it.
    CDeviceProfileUI* Open(int kind = 1) {
        window_ = DeviceUiTest::Open(R"(<Window size="900,80"><VerticalLayout>
            <Include source="XML\CustomControlXML\DeviceProfile.xml"/></VerticalLayout></Window>)",
                                     900, 80);
        bar_ = window_->Find<CDeviceProfileUI>(L"DeviceProfileItem");
        EXPECT_NE(bar_, nullptr);
        if (!bar_) return nullptr;
        bar_->SetDeviceKind(kind);
        bar_->SetProfilePaths(CDuiString(Folder().wstring().c_str()) + L"/",
                              CDuiString(DefaultFile().wstring().c_str()));
        bar_->LoadProfileList();
        return bar_;
    }

    // An index of profiles with these names (ids "id<i>"), each with a
    // document, and the stored choice.
    void WriteProfiles(const std::vector<std::string>& names, int selected = 0) {
        Json::Value index;
        for (size_t i = 0; i < names.size(); ++i) {
            Json::Value entry;
            entry["profilename"] = names[i];
            entry["profileUUID"] = "id" + std::to_string(i);
            entry["profileislink"] = 0;
            entry["profilelinkmame"] = "";
            index["profilelist"].append(entry);
            Json::Value document;
            document["profilename"] = names[i];
            document["profileUUID"] = entry["profileUUID"];
            document["Device"][0]["LightInfo"]["SelectItem"] = int(i) + 10;
            WriteJson(DocumentOf(entry), document);
        }
        index["profileselect"] = selected;
        WriteJson(IndexFile(), index);
    }

    std::vector<std::string> ListNames() {
        std::vector<std::string> out;
        auto* list = window_->Find<CComboUI>(L"device_profile_combo");
        for (int i = 0; i < list->GetCount(); ++i) out.push_back(win::ToUtf8(list->GetItemAt(i)->GetText().GetData()));
        return out;
    }
    std::vector<std::string> IndexNames() {
        std::vector<std::string> out;
        const Json::Value index = Index();
        for (const Json::Value& e : index["profilelist"]) out.push_back(e["profilename"].asString());
        return out;
    }
    std::string NameField() { return win::ToUtf8(bar_->GetNameEditText().GetData()); }
    std::string CurrentId() { return win::ToUtf8(bar_->GetCurrentProfileUUID().GetData()); }
    // Every ".Json" file of the folder.
    std::vector<std::string> Documents() {
        std::vector<std::string> out;
        for (const auto& f : fs::directory_iterator(Folder()))
            if (f.path().extension() == ".Json") out.push_back(f.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    // Each entry has its document and no other document lies in the folder.
    void ExpectIndexMatchesFolder() {
        std::vector<std::string> expected;
        const Json::Value index = Index();
        for (const Json::Value& e : index["profilelist"]) {
            expected.push_back(e["profileUUID"].asString() + ".Json");
            const Json::Value document = ReadJson(DocumentOf(e));
            EXPECT_EQ(document["profilename"], e["profilename"]);
            EXPECT_EQ(document["profileUUID"], e["profileUUID"]);
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Documents(), expected);
        EXPECT_EQ(IndexNames(), ListNames());
    }

    SkinWindow* window_ = nullptr;
    CDeviceProfileUI* bar_ = nullptr;
};

// --- Load ------------------------------------------------------------------------

TEST_F(ProfileBarTest, AMissingOrDamagedIndexBecomesOneFreshProfile) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"missing", nullptr},
        {"empty", ""},
        {"not JSON", "{\"profilelist\": ["},
        {"no entries", R"({"profilelist": [], "profileselect": 0})"},
        {"an array", "[1, 2]"},
    };
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        fs::remove_all(Folder());
        fs::create_directories(Folder());
        if (text) profile_test::WriteText(IndexFile(), text);
        ASSERT_TRUE(Open());
        const Json::Value index = Index();
        ASSERT_EQ(index["profilelist"].size(), 1u);
        EXPECT_EQ(index["profilelist"][0]["profilename"], "profile1");
        EXPECT_EQ(index["profilelist"][0]["profileislink"], 0);
        EXPECT_EQ(index["profilelist"][0]["profilelinkmame"], "");
        EXPECT_EQ(index["profileselect"], 0);
        const std::string id = index["profilelist"][0]["profileUUID"].asString();
        EXPECT_EQ(id.size(), 23u);
        EXPECT_EQ(CurrentId(), id);
        const Json::Value document = ReadJson(Folder() / (id + ".Json"));
        EXPECT_EQ(document["profilename"], "profile1");
        EXPECT_EQ(document["profileUUID"], id);
        EXPECT_EQ(document["Device"][0]["LightInfo"]["SelectItem"], 3);
        EXPECT_EQ(ListNames(), std::vector<std::string>{"profile1"});
        EXPECT_EQ(NameField(), "profile1");
    }
}

TEST_F(ProfileBarTest, TheStoredChoiceIsSelectedAndAChoiceOutsideTheListBecomesEntryZero) {
    const std::vector<std::pair<Json::Value, int>> cases = {
        {2, 2}, {0, 0}, {3, 0}, {-1, 0}, {"1", 0}, {Json::Value(), 0},
    };
    for (const auto& [stored, expected] : cases) {
        SCOPED_TRACE(stored.toStyledString());
        WriteProfiles({"a", "b", "c"});
        Json::Value index = Index();
        if (stored.isNull())
            index.removeMember("profileselect");
        else
            index["profileselect"] = stored;
        WriteJson(IndexFile(), index);
        ASSERT_TRUE(Open());
        EXPECT_EQ(bar_->GetSelectedIndex(), expected);
        EXPECT_EQ(Index()["profileselect"], expected);
        EXPECT_EQ(CurrentId(), "id" + std::to_string(expected));
        EXPECT_EQ(NameField(), std::string(1, char('a' + expected)));
        // The documents of an index with entries are not looked at.
        EXPECT_EQ(Documents().size(), 3u);
    }
}

TEST_F(ProfileBarTest, TabsFollowTheDeviceKind) {
    struct Case {
        int kind;
        std::vector<const wchar_t*> hidden;
    };
    const std::vector<const wchar_t*> all = {L"deng_Op_tab",   L"key_Op_tab",        L"macro_Op_tab",
                                             L"system_Op_tab", L"cursor_Op_tab",     L"6533_voice_Op_tab",
                                             L"magic_Op_tab",  L"Virtual7.1_Op_tab", L"screen_Op_tab"};
    const std::vector<const wchar_t*> headsetTabs = {L"6533_voice_Op_tab", L"magic_Op_tab", L"Virtual7.1_Op_tab"};
    const std::vector<Case> cases = {
        {1, {L"cursor_Op_tab"}},
        {9, {}},
        {2, {}},
        {6, {}},
        {3, {L"cursor_Op_tab", L"macro_Op_tab", L"system_Op_tab", L"key_Op_tab"}},
        {5, {L"cursor_Op_tab", L"macro_Op_tab", L"system_Op_tab", L"key_Op_tab"}},
        {4, {L"cursor_Op_tab", L"macro_Op_tab", L"key_Op_tab"}},
        {7, {L"cursor_Op_tab", L"macro_Op_tab", L"system_Op_tab", L"key_Op_tab"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ASSERT_TRUE(Open(c.kind));
        for (const wchar_t* tab : all) {
            bool hidden = std::find(c.hidden.begin(), c.hidden.end(), std::wstring_view(tab)) != c.hidden.end();
            // The headset tabs start hidden in the skin; only a headset shows them.
            if (c.kind != 7 &&
                std::find(headsetTabs.begin(), headsetTabs.end(), std::wstring_view(tab)) != headsetTabs.end())
                hidden = true;
            // The screen tab as well: only a keyboard shows it.
            if (std::wstring_view(tab) == L"screen_Op_tab") hidden = c.kind != 1;
            EXPECT_EQ(window_->Find<CControlUI>(tab)->IsVisible(), !hidden) << win::ToUtf8(tab);
        }
    }
}

TEST_F(ProfileBarTest, SelectFunctionTabSelectsOneAndLeavesTheLastTwoForOtherNumbers) {
    ASSERT_TRUE(Open());
    auto selected = [&] {
        std::string out;
        for (const wchar_t* tab : {L"deng_Op_tab", L"key_Op_tab", L"macro_Op_tab", L"system_Op_tab", L"cursor_Op_tab",
                                   L"6533_voice_Op_tab", L"magic_Op_tab", L"Virtual7.1_Op_tab", L"screen_Op_tab"})
            out += window_->Find<COptionUI>(tab)->IsSelected() ? '1' : '0';
        return out;
    };
    bar_->SelectFunctionTab(9);
    EXPECT_EQ(selected(), "000000001");
    bar_->SelectFunctionTab(2);
    EXPECT_EQ(selected(), "010000000");
    window_->Find<COptionUI>(L"Virtual7.1_Op_tab")->Selected(true, false);
    bar_->SelectFunctionTab(0);
    EXPECT_EQ(selected().substr(0, 7), "0000000");
    EXPECT_EQ(selected().substr(7), "10");
    const int notes = window_->Count(L"selectchanged");
    bar_->SelectFunctionTab(4);
    EXPECT_EQ(window_->Count(L"selectchanged"), notes);
}

// --- Names -------------------------------------------------------------------------

TEST(ProfileNames, NewCopyAndImportNamesAreFreeIgnoringCase) {
    using V = std::vector<CDuiString>;
    auto utf8 = [](const CDuiString& s) { return win::ToUtf8(s.GetData()); };
    EXPECT_EQ(utf8(MakeNewProfileName(V{L"profile1", L"profile3"})), "profile2");
    EXPECT_EQ(utf8(MakeNewProfileName(V{L"PROFILE1", L"profile2"})), "profile3");
    EXPECT_EQ(utf8(MakeNewProfileName(V{})), "profile1");
    EXPECT_EQ(utf8(MakeCopyProfileName(V{L"A", L"A copy"}, L"A")), "A copy copy");
    EXPECT_EQ(utf8(MakeCopyProfileName(V{L"A", L"a COPY"}, L"A")), "A copy copy");
    EXPECT_EQ(utf8(MakeCopyProfileName(V{L"A"}, L"A")), "A copy");
    EXPECT_EQ(utf8(MakeImportProfileName(V{L"X", L"X(1)"}, L"X")), "X(1)(2)");
    EXPECT_EQ(utf8(MakeImportProfileName(V{L"Y"}, L"X")), "X");
    EXPECT_EQ(utf8(MakeImportProfileName(V{L"x"}, L"X")), "X(1)");
}

// --- New, copy, import, limits ------------------------------------------------------------

TEST_F(ProfileBarTest, NewAddsADefaultProfileAndSelectsIt) {
    WriteProfiles({"profile1", "profile3"}, 1);
    ASSERT_TRUE(Open());
    EXPECT_TRUE(bar_->NewProfile());
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"profile1", "profile3", "profile2"}));
    const Json::Value index = Index();
    ASSERT_EQ(index["profilelist"].size(), 3u);
    EXPECT_EQ(index["profileselect"], 2);
    EXPECT_EQ(bar_->GetSelectedIndex(), 2);
    EXPECT_EQ(CurrentId(), index["profilelist"][2]["profileUUID"].asString());
    EXPECT_EQ(bar_->GetNameEditText(), CDuiString(L"profile2"));
    const Json::Value document = ReadJson(DocumentOf(index["profilelist"][2]));
    EXPECT_EQ(document["Device"][0]["LightInfo"]["SelectItem"], 3);
    ExpectIndexMatchesFolder();
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(ProfileBarTest, CopyTakesTheSelectedDocumentUnderAFreeName) {
    WriteProfiles({"A", "A copy", "B"}, 0);
    ASSERT_TRUE(Open());
    bar_->CopySelectedProfile();
    EXPECT_EQ(IndexNames(), (std::vector<std::string>{"A", "A copy", "B", "A copy copy"}));
    const Json::Value index = Index();
    EXPECT_EQ(index["profileselect"], 0);
    const Json::Value document = ReadJson(DocumentOf(index["profilelist"][3]));
    EXPECT_EQ(document["Device"][0]["LightInfo"]["SelectItem"], 10);
    ExpectIndexMatchesFolder();
}

TEST_F(ProfileBarTest, ImportAddsTheFileUnderAFreeNameAndDeletesNothing) {
    WriteProfiles({"X", "X(1)"});
    profile_test::WriteText(Folder() / ".Json", "{}");
    Json::Value source;
    source["profilename"] = "someone else's";
    source["profileUUID"] = "foreign";
    source["Device"][0]["LightInfo"]["SelectItem"] = 7;
    WriteJson(dir_.Path() / "X.json", source);
    ASSERT_TRUE(Open());
    bar_->ImportProfile(CDuiString((dir_.Path() / "X.json").wstring().c_str()), L"X");
    const Json::Value index = Index();
    ASSERT_EQ(index["profilelist"].size(), 3u);
    EXPECT_EQ(index["profilelist"][2]["profilename"], "X(1)(2)");
    const Json::Value document = ReadJson(DocumentOf(index["profilelist"][2]));
    EXPECT_EQ(document["profilename"], "X(1)(2)");
    EXPECT_NE(document["profileUUID"], "foreign");
    EXPECT_EQ(document["Device"][0]["LightInfo"]["SelectItem"], 7);
    EXPECT_TRUE(fs::exists(Folder() / ".Json"));
}

TEST_F(ProfileBarTest, FiftyProfilesAreTheLimit) {
    std::vector<std::string> names;
    for (int i = 0; i < 49; ++i) names.push_back("p" + std::to_string(i));
    WriteProfiles(names);
    WriteJson(dir_.Path() / "in.json", Json::Value(Json::objectValue));
    ASSERT_TRUE(Open());
    bar_->NewProfile();
    EXPECT_EQ(Index()["profilelist"].size(), 50u);
    EXPECT_TRUE(g_messages.empty());
    const std::string before = *profile_test::ReadText(IndexFile());
    const size_t documents = Documents().size();

    struct Case {
        const char* name;
        std::function<void()> run;
        const wchar_t* message;
    };
    const std::vector<Case> cases = {
        {"new", [&] { bar_->NewProfile(); }, L"message_text_32"},
        {"copy", [&] { bar_->CopySelectedProfile(); }, L"message_text_32"},
        {"import", [&] { bar_->ImportProfile(CDuiString((dir_.Path() / "in.json").wstring().c_str()), L"in"); },
         L"message_text_30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_messages.clear();
        c.run();
        EXPECT_EQ(g_messages, std::vector<std::wstring>{c.message});
        EXPECT_EQ(*profile_test::ReadText(IndexFile()), before);
        EXPECT_EQ(Documents().size(), documents);
        EXPECT_EQ(ListNames().size(), 50u);
    }
}

// --- Delete --------------------------------------------------------------------------

TEST_F(ProfileBarTest, DeleteRemovesTheEntryAndItsDocumentAndSelectsTheOneBefore) {
    struct Case {
        int selected;
        int next;
    };
    for (const Case c : {Case{3, 2}, Case{0, 0}, Case{4, 3}}) {
        SCOPED_TRACE(c.selected);
        fs::remove_all(Folder());
        fs::create_directories(Folder());
        WriteProfiles({"a", "b", "c", "d", "e"}, c.selected);
        ASSERT_TRUE(Open());
        const std::string gone = "id" + std::to_string(c.selected);
        bar_->DeleteSelectedProfile();
        EXPECT_FALSE(fs::exists(Folder() / (gone + ".Json")));
        const Json::Value index = Index();
        ASSERT_EQ(index["profilelist"].size(), 4u);
        EXPECT_EQ(index["profileselect"], c.next);
        for (const Json::Value& e : index["profilelist"]) EXPECT_NE(e["profileUUID"], gone);
        EXPECT_EQ(bar_->GetSelectedIndex(), c.next);
        EXPECT_EQ(CurrentId(), index["profilelist"][c.next]["profileUUID"].asString());
        EXPECT_EQ(NameField(), index["profilelist"][c.next]["profilename"].asString());
        ExpectIndexMatchesFolder();
    }
}

TEST_F(ProfileBarTest, TheLastProfileIsNeverDeleted) {
    WriteProfiles({"only"});
    ASSERT_TRUE(Open());
    const std::string before = *profile_test::ReadText(IndexFile());
    bar_->DeleteSelectedProfile();
    EXPECT_EQ(*profile_test::ReadText(IndexFile()), before);
    EXPECT_TRUE(fs::exists(Folder() / "id0.Json"));
    EXPECT_EQ(ListNames(), std::vector<std::string>{"only"});
}

TEST_F(ProfileBarTest, AnIdThatLeavesTheFolderDeletesNothing) {
    WriteProfiles({"a", "b"}, 1);
    Json::Value index = Index();
    index["profilelist"][1]["profileUUID"] = "../victim";
    WriteJson(IndexFile(), index);
    profile_test::WriteText(dir_.Path() / "victim.Json", "{}");
    ASSERT_TRUE(Open());
    bar_->DeleteSelectedProfile();
    EXPECT_TRUE(fs::exists(dir_.Path() / "victim.Json"));
    EXPECT_EQ(Index()["profilelist"].size(), 1u);
}

// --- Rename, reset, export -----------------------------------------------------------------

TEST_F(ProfileBarTest, RenameChecksInOrderAndRewritesIndexAndDocument) {
    struct Case {
        std::vector<std::string> profiles;
        const wchar_t* name;
        int result;
    };
    const std::vector<Case> cases = {
        {{"Main", "Other"}, L"MAIN", 1},  {{"Main", "Other"}, L"Renamed", 1},
        {{"Main", "Other"}, L"a&b", 3},   {{"Main"}, L"&", 3},
        {{"Main", "Other"}, L"   ", 2},   {{"Main", "Other"}, L"", 2},
        {{"Main", "Other"}, L"oTHER", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(win::ToUtf8(c.name));
        fs::remove_all(Folder());
        fs::create_directories(Folder());
        WriteProfiles(c.profiles, 0);
        ASSERT_TRUE(Open());
        EXPECT_EQ(bar_->RenameSelectedProfile(c.name), c.result);
        const std::string expected = c.result == 1 ? win::ToUtf8(c.name) : "Main";
        EXPECT_EQ(IndexNames()[0], expected);
        EXPECT_EQ(ListNames()[0], expected);
        EXPECT_EQ(ReadJson(Folder() / "id0.Json")["profilename"], expected);
        if (c.result == 1) {
            EXPECT_EQ(NameField(), expected);
        }
    }
}

TEST_F(ProfileBarTest, RevertNameEditShowsTheSelectedName) {
    WriteProfiles({"a", "b"}, 1);
    ASSERT_TRUE(Open());
    bar_->SetNameEditText(L"typed");
    EXPECT_EQ(NameField(), "typed");
    bar_->RevertNameEdit();
    EXPECT_EQ(NameField(), "b");
}

TEST_F(ProfileBarTest, ResetRewritesFromTheDefaultAndAHeadsetKeepsItsEqualiser) {
    for (int kind : {7, 1}) {
        SCOPED_TRACE(kind);
        fs::remove_all(Folder());
        fs::create_directories(Folder());
        WriteProfiles({"mine"});
        Json::Value document = ReadJson(Folder() / "id0.Json");
        document["Device"][0]["CustomEQNameInfo"][0] = "my eq";
        document["Device"][0]["CustomEQHzValueInfo"][0] = 42;
        WriteJson(Folder() / "id0.Json", document);
        ASSERT_TRUE(Open(kind));
        bar_->ResetSelectedProfile();
        const Json::Value reset = ReadJson(Folder() / "id0.Json");
        EXPECT_EQ(reset["profilename"], "mine");
        EXPECT_EQ(reset["profileUUID"], "id0");
        EXPECT_EQ(reset["Device"][0]["LightInfo"]["SelectItem"], 3);
        EXPECT_EQ(reset["Device"][0]["CustomEQNameInfo"][0], kind == 7 ? "my eq" : "default eq");
        EXPECT_EQ(reset["Device"][0]["CustomEQHzValueInfo"][0], kind == 7 ? 42 : 0);
    }
}

TEST_F(ProfileBarTest, ExportWritesTheSelectedDocumentUnchanged) {
    WriteProfiles({"a", "b"}, 1);
    ASSERT_TRUE(Open());
    bar_->ExportSelectedProfile(CDuiString((dir_.Path() / "out.json").wstring().c_str()));
    EXPECT_EQ(ReadJson(dir_.Path() / "out.json"), ReadJson(Folder() / "id1.Json"));
}

TEST_F(ProfileBarTest, ProfileCountAndPathsWalkTheIndex) {
    WriteProfiles({"a", "b", "c"});
    ASSERT_TRUE(Open());
    ASSERT_EQ(bar_->GetProfileCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(fs::exists(win::ToFsPath(bar_->GetProfileFilePath(i).str()))) << i;
}

TEST_F(ProfileBarTest, AScriptedRunLeavesEveryEntryWithItsDocumentAndNoStrayFile) {
    ASSERT_TRUE(Open());
    Json::Value source;
    source["profilename"] = "n";
    source["profileUUID"] = "u";
    WriteJson(dir_.Path() / "imp.json", source);
    bar_->NewProfile();
    bar_->CopySelectedProfile();
    bar_->ImportProfile(CDuiString((dir_.Path() / "imp.json").wstring().c_str()), L"imp");
    bar_->SelectProfile(2, false);
    EXPECT_EQ(bar_->RenameSelectedProfile(L"renamed"), 1);
    bar_->DeleteSelectedProfile();
    bar_->NewProfile();
    bar_->SelectProfile(0, false);
    bar_->DeleteSelectedProfile();
    EXPECT_EQ(ListNames().size(), 3u);
    ExpectIndexMatchesFolder();
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(ProfileBarTest, ABarWithoutItsControlsDoesNothing) {
    window_ =
        DeviceUiTest::Open(R"(<Window size="200,40"><DeviceProfile name="DeviceProfileItem"/></Window>)", 200, 40);
    bar_ = window_->Find<CDeviceProfileUI>(L"DeviceProfileItem");
    ASSERT_TRUE(bar_);
    bar_->SetProfilePaths(CDuiString(Folder().wstring().c_str()) + L"/", CDuiString(DefaultFile().wstring().c_str()));
    bar_->LoadProfileList();
    EXPECT_EQ(bar_->GetSelectedIndex(), -1);
    EXPECT_EQ(bar_->GetNameEditText(), CDuiString());
    EXPECT_FALSE(bar_->IsProfileMenuVisible());
    EXPECT_EQ(bar_->RenameSelectedProfile(L"x"), 0);
    bar_->NewProfile();
    bar_->SelectFunctionTab(1);
    // The index was still created.
    EXPECT_EQ(Index()["profilelist"].size(), 1u);
}

TEST_F(ProfileBarTest, TheMenuGroupShowsAndHides) {
    ASSERT_TRUE(Open());
    EXPECT_FALSE(bar_->IsProfileMenuVisible());
    bar_->ShowProfileMenu(true);
    EXPECT_TRUE(bar_->IsProfileMenuVisible());
    bar_->ShowProfileMenu(false);
    EXPECT_FALSE(bar_->IsProfileMenuVisible());
}

}  // namespace
