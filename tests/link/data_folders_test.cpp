#include "link/data_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files/folders.h"
#include "tests/support/temp_home.h"

namespace fs = std::filesystem;

TEST(DataFolders, UserDataFolderIsCreatedOnFirstUseUnderLocalAppData) {
    tavrik::test::TempHome home;
    fs::remove_all(home.DataHome());  // even the application-data folder is missing

    const DuiLib::CDuiString path = GetUserDataPath();
    const fs::path expected = home.DataHome() / "Halvord  Q580-RGB-PRO";
    EXPECT_EQ(path.str(), home.DataHome().wstring() + L"\\Halvord  Q580-RGB-PRO\\");
    EXPECT_TRUE(fs::is_directory(expected));
    EXPECT_TRUE(fs::is_directory(win::ToFsPath(path.str())));

    // A second call finds it and leaves its content alone.
    fs::create_directory(expected / "keep");
    EXPECT_EQ(GetUserDataPath(), path);
    EXPECT_TRUE(fs::exists(expected / "keep"));
}

TEST(DataFolders, DeviceDataFolderIsOneLevelBelow) {
    tavrik::test::TempHome home;
    const DuiLib::CDuiString path = GetDeviceDataPath(L"MousePad");
    EXPECT_EQ(path, GetUserDataPath() + L"MousePad\\");
    EXPECT_TRUE(fs::is_directory(home.DataHome() / "Halvord  Q580-RGB-PRO" / "MousePad"));
}

TEST(DataFolders, DefaultDataLiesBesideTheProgramAndIsNotCreated) {
    const DuiLib::CDuiString path = GetDefaultDataPath();
    EXPECT_EQ(path.str(), win::GetProgramFolder() + L"DefaultData\\");
    EXPECT_EQ(path.str().back(), L'\\');
}
