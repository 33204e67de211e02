#include "platform/files/folders.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/os/profile_ini.h"
#include "tests/support/temp_home.h"

namespace {

using namespace win;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(Folders, JoinMapsBackslashesAndKeepsOneSeparator) {
    struct Case {
        const wchar_t* base;
        const wchar_t* rel;
        const wchar_t* expected;
    } cases[] = {
        {L"/opt/tavrik/", L"skin\\res.xml", L"/opt/tavrik/skin/res.xml"},
        {L"/opt/tavrik", L"\\Update\\kb.exe", L"/opt/tavrik/Update/kb.exe"},
        {L"/home/u/.local/share\\Halvord  Q580-RGB-PRO\\", L"keyboard\\",
         L"/home/u/.local/share/Halvord  Q580-RGB-PRO/keyboard/"},
        {L"", L"a\\b", L"a/b"},
        {L"/x//", L"", L"/x//"},
        {L"/", L"\\etc", L"/etc"},
        {L"rel", L"ative", L"rel/ative"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinPath(c.base, c.rel), c.expected) << ToUtf8(c.base) << " + " << ToUtf8(c.rel);
    }
    EXPECT_EQ(NativePath(L"a\\b\\c"), L"a/b/c");
}

TEST(Folders, KnownFoldersFollowTheEnvironment) {
    tavrik::test::TempHome home;
    std::wstring program = GetProgramFolder();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), L'/');
    EXPECT_TRUE(FileExists(program + L"os_tests"));
    EXPECT_EQ(GetLocalAppDataFolder(), FromUtf8(home.DataHome().string()));
    EXPECT_EQ(GetConfigFolder(), FromUtf8(home.ConfigHome().string()));
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(GetLocalAppDataFolder(), FromUtf8((home.Home() / ".local/share").string()));
    EXPECT_EQ(GetTempFolder().back(), L'/');
}

TEST(Folders, CreateOneLevelOrTheWholeTree) {
    tavrik::test::TempDir dir;
    std::wstring base = FromUtf8(dir.Path().string());
    std::wstring nested = JoinPath(base, L"a\\b\\c");
    EXPECT_FALSE(CreateDirectoryW(nested.c_str()));
    EXPECT_FALSE(DirectoryExists(nested));
    EXPECT_TRUE(CreateDirectoryW(JoinPath(base, L"a").c_str()));
    EXPECT_TRUE(CreateDirectoryW(JoinPath(base, L"a").c_str())) << "an existing folder is fine";
    EXPECT_TRUE(CreateDirectoryTree(nested));
    EXPECT_TRUE(DirectoryExists(nested));
    EXPECT_TRUE(PathFileExistsW(nested.c_str()));
    std::wstring file = JoinPath(base, L"a\\file.txt");
    std::ofstream(ToFsPath(file)) << "x";
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_FALSE(CreateDirectoryW(file.c_str())) << "a file is in the way";
    EXPECT_TRUE(DeleteFileW(file.c_str()));
    EXPECT_FALSE(FileExists(file));
}

TEST(Folders, Utf8RoundTripAndInvalidBytes) {
    const std::wstring text = L"Halvord \u00e9\u4e2d\U0001F600";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(FromUtf8("a\xff"
                       "b"),
              L"a\uFFFDb");
    EXPECT_EQ(FromUtf8("\xe4\xb8"), L"\uFFFD");
    EXPECT_EQ(FromUtf8("\xc0\xaf"), L"\uFFFD\uFFFD") << "overlong forms are refused";
}

TEST(ProfileIni, WriteCreatesUpdatesAndRemoves) {
    tavrik::test::TempDir dir;
    std::wstring file = JoinPath(FromUtf8(dir.Path().string()), L"main.ini");
    ASSERT_TRUE(WritePrivateProfileStringW(L"Skin", L"SkinIndex", L"2", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"Skin", L"Color", L"#ff0000", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"Other", L"a", L"b", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"skin", L"skinindex", L"3", file.c_str()));
    EXPECT_EQ(ReadFile(ToFsPath(file)), "[Skin]\nSkinIndex=3\nColor=#ff0000\n[Other]\na=b\n");
    EXPECT_EQ(GetPrivateProfileIntW(L"SKIN", L"SkinIndex", -1, file.c_str()), 3u);
    wchar_t buffer[8];
    EXPECT_EQ(GetPrivateProfileStringW(L"Skin", L"Color", L"", buffer, 4, file.c_str()), 3u);
    EXPECT_EQ(std::wstring(buffer), L"#ff");
    EXPECT_EQ(GetPrivateProfileStringW(L"Skin", L"none", L"dflt", buffer, 8, file.c_str()), 4u);
    EXPECT_EQ(std::wstring(buffer), L"dflt");

    ASSERT_TRUE(WritePrivateProfileStringW(L"Skin", L"Color", nullptr, file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"Other", nullptr, nullptr, file.c_str()));
    EXPECT_EQ(ReadFile(ToFsPath(file)), "[Skin]\nSkinIndex=3\n");

    // A value cannot smuggle in a section or key.
    EXPECT_FALSE(WritePrivateProfileStringW(L"Skin", L"k", L"v\n[Evil]\nx=1", file.c_str()));
    EXPECT_EQ(ReadFile(ToFsPath(file)), "[Skin]\nSkinIndex=3\n");
    // No folder, no file.
    std::wstring missing = JoinPath(FromUtf8(dir.Path().string()), L"nofolder\\main.ini");
    EXPECT_FALSE(WritePrivateProfileStringW(L"Skin", L"k", L"v", missing.c_str()));
}

}  // namespace
