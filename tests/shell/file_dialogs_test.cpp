// The main window's file dialogs over the scripted dialog provider, the base
// name of a chosen file, and the number in a language text.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/dialogs/file_dialog.h"
#include "shell/controls/format_number.h"
#include "shell/main/file_base_name.h"
#include "platform/files/utf8.h"
#include "tests/shell/dispatch_fixture.h"

namespace dispatchtest {
namespace {

using namespace std::string_literals;
namespace dialogs = tavrik::dialogs;

const CDuiString kProfileFilter(L"Profile Files(*.json)\0*.json;\0\0"s);

class FileDialogTest : public DispatchTest {
protected:
    void SetUp() override {
        DispatchTest::SetUp();
        script_ = std::make_shared<dialogs::ScriptedFileDialogProvider>();
        dialogs::SetFileDialogProvider(script_);
    }
    void TearDown() override {
        dialogs::SetFileDialogProvider(nullptr);
        DispatchTest::TearDown();
    }
    std::shared_ptr<dialogs::ScriptedFileDialogProvider> script_;
};

TEST_F(FileDialogTest, OpenRemembersTheBaseNameAndCancelKeepsIt) {
    CDuiString path;
    script_->Choose("/home/u/profiles/Evening games.json");
    EXPECT_EQ(wnd_->ShowOpenFileDialog(kProfileFilter, wnd_->GetHWND(), path, 1), 1);
    EXPECT_EQ(path, L"/home/u/profiles/Evening games.json");
    EXPECT_EQ(wnd_->GetLastFileBaseName(), L"Evening games");

    script_->Cancel();
    EXPECT_EQ(wnd_->ShowOpenFileDialog(kProfileFilter, wnd_->GetHWND(), path, 1), 0);
    EXPECT_EQ(path, L"/home/u/profiles/Evening games.json");
    EXPECT_EQ(wnd_->GetLastFileBaseName(), L"Evening games");

    ASSERT_EQ(script_->Requests().size(), 2u);
    const dialogs::FileDialogRequest& open = script_->Requests()[0];
    EXPECT_EQ(open.kind, dialogs::FileDialogKind::Open);
    ASSERT_EQ(open.filters.size(), 1u);
    EXPECT_EQ(open.filters[0].description, "Profile Files(*.json)");
    EXPECT_EQ(open.filters[0].patterns, std::vector<std::string>{"*.json"});
    EXPECT_FALSE(open.confirm_overwrite);
}

TEST_F(FileDialogTest, SaveConfirmsReplacingAndAddsTheFilterExtension) {
    struct Case {
        CDuiString filter;
        std::string chosen;
        const wchar_t* saved;
        std::string extension;
    } cases[] = {
        {kProfileFilter, "/home/u/new profile", L"/home/u/new profile.json", "json"},
        {kProfileFilter, "/home/u/kept.name.json", L"/home/u/kept.name.json", "json"},
        {CDuiString(L"Macro Files(*.mac)\0*.mac;\0\0"s), "/tmp/m", L"/tmp/m.mac", "mac"},
        {CDuiString(L"Shoot Files(*.shoot)\0*.shoot;\0\0"s), "/tmp/s.shoot", L"/tmp/s.shoot", "shoot"},
        {CDuiString(L"All(*.*)\0*.*;\0\0"s), "/tmp/any", L"/tmp/any", "*.*"},
    };
    const CDuiString remembered = wnd_->GetLastFileBaseName();
    for (const Case& c : cases) {
        script_->Choose(c.chosen);
        CDuiString path;
        EXPECT_EQ(wnd_->ShowSaveFileDialog(c.filter, wnd_->GetHWND(), path, 1), 1);
        EXPECT_EQ(path, c.saved);
        const dialogs::FileDialogRequest& save = script_->Requests().back();
        EXPECT_EQ(save.kind, dialogs::FileDialogKind::Save);
        EXPECT_TRUE(save.confirm_overwrite);
        EXPECT_EQ(save.default_extension, c.extension);
    }
    EXPECT_EQ(wnd_->GetLastFileBaseName(), remembered);
    script_->Cancel();
    CDuiString path(L"before");
    EXPECT_EQ(wnd_->ShowSaveFileDialog(kProfileFilter, wnd_->GetHWND(), path, 1), 0);
    EXPECT_EQ(path, L"before");
}

TEST(FileBaseName, CutsFolderAndLastExtension) {
    struct Case {
        const wchar_t* path;
        const wchar_t* base;
    } cases[] = {
        {L"C:\\a\\b.c\\file.json", L"file"},
        {L"dir/readme", L"readme"},
        {L"C:\\x\\.json", L".json"},
        {L"a.b.c", L"a.b"},
        {L"/home/u/My Profile.json", L"My Profile"},
        {L"", L""},
        {L"/home/u/", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(GetFileBaseName(c.path), c.base) << win::ToUtf8(c.path);
}

TEST(FormatWithNumber, ReplacesOnlyTheFirstNumberMark) {
    struct Case {
        const wchar_t* text;
        const wchar_t* shown;
    } cases[] = {
        {L"at most %d frames", L"at most 40 frames"},
        {L"%s %d", L"%s 40"},
        {L"%d/%d", L"40/%d"},
        {L"no number", L"no number"},
        {L"100%", L"100%"},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatWithNumber(c.text, 40), c.shown) << win::ToUtf8(c.text);
    EXPECT_EQ(FormatWithNumber(L"%d", -7), L"-7");
}

}  // namespace
}  // namespace dispatchtest
