#include "platform/dialogs/file_dialog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/temp_home.h"

namespace tavrik::dialogs {
namespace {

using namespace std::string_literals;

TEST(FileFilterList, ReadsPairsUpToTheDoubleZero) {
    const std::wstring filter = L"Profile Files(*.json)\0*.json;\0Macro Files(*.mac)\0*.mac; *.txt\0\0ignored\0*.x\0"s;
    const auto filters = ParseFilterList(filter);
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].description, "Profile Files(*.json)");
    EXPECT_EQ(filters[0].patterns, std::vector<std::string>{"*.json"});
    EXPECT_EQ(filters[1].patterns, (std::vector<std::string>{"*.mac", "*.txt"}));
    // A description without a pattern, or nothing at all.
    EXPECT_TRUE(ParseFilterList(L"Lonely\0\0"s).empty());
    EXPECT_TRUE(ParseFilterList(L""s).empty());
    EXPECT_EQ(ParseFilterList(L"Unended\0*.u"s).size(), 1u);
}

// A stand-in dialog program: records its arguments and answers as told.
class FakeDialogProgram {
public:
    FakeDialogProgram(const std::string& name, const std::string& answer, int status) {
        program_ = dir_.Path() / name;
        args_ = dir_.Path() / "args.txt";
        std::ofstream script(program_);
        script << "#!/bin/sh\n"
               << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << args_.string() << "'\n";
        if (!answer.empty()) script << "printf '%s\\n' '" << answer << "'\n";
        script << "exit " << status << "\n";
        script.close();
        chmod(program_.c_str(), 0755);
    }
    std::string Path() const { return program_.string(); }
    std::vector<std::string> Args() const {
        std::ifstream in(args_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

private:
    test::TempDir dir_;
    std::filesystem::path program_;
    std::filesystem::path args_;
};

FileDialogRequest ProfileRequest(FileDialogKind kind) {
    FileDialogRequest r;
    r.kind = kind;
    r.filters = ParseFilterList(L"Profile Files(*.json)\0*.json;\0\0"s);
    r.default_extension = "*.*";
    return r;
}

TEST(ZenityProvider, OpenAndSaveCommandsAndAnswers) {
    FakeDialogProgram fake("zenity", "/home/u/My Profile.json", 0);
    auto zenity = MakeZenityProvider(fake.Path());
    FileDialogResult r = zenity->Run(ProfileRequest(FileDialogKind::Open), {});
    EXPECT_TRUE(r.chosen);
    EXPECT_EQ(r.path, "/home/u/My Profile.json");
    EXPECT_EQ(fake.Args(), (std::vector<std::string>{"--file-selection",
                                                     "--title=", "--file-filter=Profile Files(*.json) | *.json"}));

    FileDialogRequest save = ProfileRequest(FileDialogKind::Save);
    save.owner_window = 0x1200007;
    r = zenity->Run(save, {});
    EXPECT_TRUE(r.chosen);
    auto args = fake.Args();
    ASSERT_GE(args.size(), 3u);
    EXPECT_EQ(args[1], "--save");
    EXPECT_NE(args[2], "--confirm-overwrite");
    EXPECT_EQ(args.back(), "--attach=" + std::to_string(0x1200007));

    // The overwrite question only when the request asks for it.
    save.confirm_overwrite = true;
    zenity->Run(save, {});
    args = fake.Args();
    ASSERT_GE(args.size(), 3u);
    EXPECT_EQ(args[2], "--confirm-overwrite");
}

TEST(ZenityProvider, CancelFailureAndMissingProgram) {
    struct Case {
        std::string answer;
        int status;
        std::string reason_part;
    } cases[] = {
        {"", 1, "cancelled"},
        {"", 0, "cancelled"},                 // closed without a name
        {"", 5, "exit status 5"},             // e.g. no display for the dialog
        {"relative/name.json", 0, "failed"},  // not an absolute path: not trusted
    };
    for (const Case& c : cases) {
        FakeDialogProgram fake("zenity", c.answer, c.status);
        FileDialogResult r = MakeZenityProvider(fake.Path())->Run(ProfileRequest(FileDialogKind::Open), {});
        EXPECT_FALSE(r.chosen) << c.status;
        EXPECT_TRUE(r.path.empty());
        EXPECT_NE(r.reason.find(c.reason_part), std::string::npos) << r.reason;
    }
    test::TempDir empty;
    FileDialogResult r =
        MakeZenityProvider((empty.Path() / "zenity").string())->Run(ProfileRequest(FileDialogKind::Open), {});
    EXPECT_FALSE(r.chosen);
    EXPECT_NE(r.reason.find("cannot start"), std::string::npos) << r.reason;
}

TEST(KdialogProvider, SaveCommandCarriesFilterAndDefaultExtension) {
    FakeDialogProgram fake("kdialog", "/tmp/out/macro", 0);
    FileDialogRequest save;
    save.kind = FileDialogKind::Save;
    save.filters = ParseFilterList(L"Macro Files(*.mac)\0*.mac;\0\0"s);
    save.default_extension = "mac";
    save.title = "Export";
    FileDialogResult r = MakeKdialogProvider(fake.Path())->Run(save, {});
    EXPECT_TRUE(r.chosen);
    EXPECT_EQ(r.path, "/tmp/out/macro.mac");
    const auto args = fake.Args();
    ASSERT_EQ(args.size(), 5u);
    EXPECT_EQ(args[0], "--getsavefilename");
    EXPECT_EQ(args[2], "Macro Files(*.mac) (*.mac)");
    EXPECT_EQ(args[4], "Export");
}

TEST(FileDialogService, ScriptedProviderAndNoProvider) {
    auto script = std::make_shared<ScriptedFileDialogProvider>();
    script->Choose("/data/a.json");
    script->Cancel();
    SetFileDialogProvider(script);
    EXPECT_EQ(ShowFileDialog(ProfileRequest(FileDialogKind::Open)).path, "/data/a.json");
    EXPECT_FALSE(ShowFileDialog(ProfileRequest(FileDialogKind::Save)).chosen);
    EXPECT_FALSE(ShowFileDialog(ProfileRequest(FileDialogKind::Open)).chosen);  // script used up
    ASSERT_EQ(script->Requests().size(), 3u);
    EXPECT_EQ(script->Requests()[1].kind, FileDialogKind::Save);

    // No dialog program anywhere: every dialog is cancelled, said once.
    test::TempDir empty;
    const char* old_path = std::getenv("PATH");
    const std::string saved = old_path ? old_path : "";
    setenv("PATH", empty.Path().c_str(), 1);
    SetFileDialogProvider(nullptr);
    std::vector<std::string> log;
    SetFileDialogLog([&](const std::string& line) { log.push_back(line); });
    FileDialogResult r = ShowFileDialog(ProfileRequest(FileDialogKind::Open));
    ShowFileDialog(ProfileRequest(FileDialogKind::Open));
    setenv("PATH", saved.c_str(), 1);
    SetFileDialogLog(nullptr);
    EXPECT_FALSE(r.chosen);
    EXPECT_NE(r.reason.find("zenity"), std::string::npos);
    EXPECT_EQ(log.size(), 1u);
}

TEST(FileDialogService, WaitHookServesWhileTheDialogRuns) {
    FakeDialogProgram fake("zenity", "/x/y.shoot", 0);
    int waits = 0;
    FileDialogResult r = MakeZenityProvider(fake.Path())->Run(ProfileRequest(FileDialogKind::Open), [&](int fd) {
        ++waits;
        EXPECT_GE(fd, 0);
        return true;
    });
    EXPECT_TRUE(r.chosen);
    EXPECT_GE(waits, 1);
}

}  // namespace
}  // namespace tavrik::dialogs

#include "platform/dialogs/serve_while_waiting.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"

namespace tavrik::dialogs {
namespace {

int g_ticks = 0;
void Tick(win::HWND, win::UINT, win::UINT_PTR, win::DWORD) { ++g_ticks; }

TEST(FileDialogService, ModalWaitServesTimersAndKeepsAQuit) {
    test::TempDir dir;
    const auto program = dir.Path() / "zenity";
    {
        std::ofstream script(program);
        script << "#!/bin/sh\nsleep 0.3\necho /chosen/file.json\n";
    }
    chmod(program.c_str(), 0755);
    g_ticks = 0;
    const win::UINT_PTR timer = win::SetTimer(nullptr, 0, 20, Tick);
    win::PostQuitMessage(3);
    FileDialogResult r =
        MakeZenityProvider(program.string())->Run(ProfileRequest(FileDialogKind::Open), ServeMessagesUntilReadable);
    EXPECT_TRUE(r.chosen);
    EXPECT_EQ(r.path, "/chosen/file.json");
    // The quit came first: no timer was served after it, and it is still there.
    EXPECT_EQ(g_ticks, 0);
    win::MSG msg{};
    ASSERT_TRUE(win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE));
    EXPECT_EQ(msg.message, win::WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);

    r = MakeZenityProvider(program.string())->Run(ProfileRequest(FileDialogKind::Open), ServeMessagesUntilReadable);
    EXPECT_TRUE(r.chosen);
    // 300 ms of dialog at a 20 ms timer: the timer kept running.
    EXPECT_GE(g_ticks, 5);
    win::KillTimer(nullptr, timer);
}

}  // namespace
}  // namespace tavrik::dialogs
