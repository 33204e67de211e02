#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace tavrik::test {
namespace {

TEST(TempHome, PointsUserFoldersIntoAFreshDirectoryAndRestoresThem) {
    const std::string before = std::getenv("HOME");
    std::filesystem::path root;
    {
        TempHome home;
        root = home.Root();
        EXPECT_EQ(std::getenv("HOME"), home.Home().string());
        EXPECT_EQ(std::getenv("XDG_DATA_HOME"), home.DataHome().string());
        EXPECT_EQ(std::getenv("XDG_CONFIG_HOME"), home.ConfigHome().string());
        EXPECT_EQ(std::getenv("XDG_RUNTIME_DIR"), home.RuntimeDir().string());
        EXPECT_TRUE(std::filesystem::is_directory(home.DataHome()));
        std::ofstream(home.DataHome() / "file") << "x";
    }
    EXPECT_EQ(std::getenv("HOME"), before);
    EXPECT_FALSE(std::filesystem::exists(root));
}

TEST(TempHome, TestProcessNeverSeesTheRealHome) {
    // test_main wraps the whole run in a TempHome.
    const std::filesystem::path home = std::getenv("HOME");
    EXPECT_NE(home.string().find("tavrik-home-"), std::string::npos) << home;
}

}  // namespace
}  // namespace tavrik::test
