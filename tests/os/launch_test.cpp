#include "platform/os/launch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "platform/os/clock.h"
#include "platform/files/folders.h"
#include "tests/support/temp_home.h"

namespace {

using namespace win;

std::string WaitForFile(const std::filesystem::path& path) {
    for (int i = 0; i < 500; ++i) {
        std::ifstream in(path);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!text.empty() && text.back() == '\n') {
            return text;
        }
        Sleep(10);
    }
    return {};
}

void WriteScript(const std::filesystem::path& path, const std::string& body) {
    std::ofstream(path) << "#!/bin/sh\n" << body;
    ::chmod(path.c_str(), 0755);
}

TEST(Launch, SplitParametersLikeACommandLine) {
    EXPECT_EQ(SplitParameters(L"On the upgrade"), (std::vector<std::string>{"On", "the", "upgrade"}));
    EXPECT_EQ(SplitParameters(L"  \"a b\"  c\\\"d \"\" "), (std::vector<std::string>{"a b", "c\"d", ""}));
    EXPECT_TRUE(SplitParameters(L"").empty());
}

TEST(Launch, ExecutableStartsDetachedWithArgumentsInItsFolder) {
    tavrik::test::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "Update");
    auto out = dir.Path() / "out.txt";
    WriteScript(dir.Path() / "Update" / "kb_updater", "pwd > '" + out.string() + ".tmp'; echo \"$1|$2|$3\" >> '" +
                                                          out.string() + ".tmp'; mv '" + out.string() + ".tmp' '" +
                                                          out.string() + "'\n");
    std::wstring folder = JoinPath(FromUtf8(dir.Path().string()), L"Update\\");
    HINSTANCE r = ShellExecuteW(nullptr, L"open", L"kb_updater", L"On the upgrade", folder.c_str(), 1);
    EXPECT_GT(ShellExecuteResult(r), 32);
    std::string text = WaitForFile(out);
    EXPECT_EQ(text, (dir.Path() / "Update").string() + "\nOn|the|upgrade\n");
}

TEST(Launch, OtherFilesGoToTheDesktopOpener) {
    tavrik::test::TempDir dir;
    auto out = dir.Path() / "opened.txt";
    WriteScript(dir.Path() / "opener",
                "echo \"$1\" > '" + out.string() + ".tmp'; mv '" + out.string() + ".tmp' '" + out.string() + "'\n");
    ::setenv("TAVRIK_OPENER", (dir.Path() / "opener").c_str(), 1);
    std::ofstream(dir.Path() / "manual.pdf") << "x";
    std::wstring doc = FromUtf8((dir.Path() / "manual.pdf").string());
    EXPECT_TRUE(OpenWithDesktop(doc));
    EXPECT_EQ(WaitForFile(out), (dir.Path() / "manual.pdf").string() + "\n");
    ::unsetenv("TAVRIK_OPENER");
}

TEST(Launch, FailuresAreReportedNotHidden) {
    tavrik::test::TempDir dir;
    std::wstring base = FromUtf8(dir.Path().string());
    EXPECT_EQ(ShellExecuteResult(ShellExecuteW(nullptr, L"open", L"rundll32.exe", L"shell32.dll", base.c_str(), 5)),
              SE_ERR_FNF);
    EXPECT_EQ(ShellExecuteResult(ShellExecuteW(nullptr, L"open", nullptr, nullptr, nullptr, 5)), SE_ERR_FNF);
    EXPECT_FALSE(OpenWithDesktop(JoinPath(base, L"missing.txt")));
    EXPECT_EQ(LaunchDetached((dir.Path() / "nothing").string(), {}, ""), 0);
    // An existing program whose exec fails (not a valid executable).
    auto broken = dir.Path() / "broken";
    std::ofstream(broken) << "\x7f"
                             "ELF garbage";
    ::chmod(broken.c_str(), 0755);
    EXPECT_EQ(LaunchDetached(broken.string(), {}, ""), 0);
}

}  // namespace
