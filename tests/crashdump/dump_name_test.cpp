// The dump file's name and its creation.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "crashdump/dump_file_name.h"
#include "tests/support/temp_home.h"

namespace fs = std::filesystem;

namespace {

const platform::dump::CivilTime kTime{2024, 1, 5, 9, 30, 15};

TEST(DumpFileName, FollowsTheNamingRule) {
    struct Case {
        const char* program;
        const char* tag;
        unsigned attempt;
        const char* expected;
    };
    const Case cases[] = {
        {"Tavrik", "45", 1, "[Tavrik][20240105093015][45].dmp"},
        {"Tavrik", "", 1, "[Tavrik][20240105093015][].dmp"},
        {"", "45", 1, "[20240105093015][45].dmp"},
        {"Tavrik", "45", 2, "[Tavrik][20240105093015][45]_2.dmp"},
        {"Tavrik", "45", 17, "[Tavrik][20240105093015][45]_17.dmp"},
    };
    for (const auto& c : cases) {
        char buffer[128];
        platform::dump::SafeText text(buffer, sizeof(buffer));
        corvane::FormatDumpFileName(text, c.program, kTime, c.tag, c.attempt);
        EXPECT_STREQ(text.Text(), c.expected);
    }
}

TEST(DumpFileName, CreatesTheFolderAndNeverReplacesAFile) {
    tavrik::test::TempDir dir;
    fs::path folder = dir.Path() / "program" / "Error";
    std::string expected[] = {"[Tavrik][20240105093015][45].dmp", "[Tavrik][20240105093015][45]_2.dmp",
                              "[Tavrik][20240105093015][45]_3.dmp"};
    for (const auto& name : expected) {
        char path[4096];
        int fd = corvane::CreateDumpFile(folder.c_str(), "Tavrik", kTime, "45", path, sizeof(path));
        ASSERT_GE(fd, 0);
        EXPECT_EQ(fs::path(path), folder / name);
        ASSERT_EQ(::write(fd, name.data(), name.size()), static_cast<ssize_t>(name.size()));
        ::close(fd);
    }
    for (const auto& name : expected) {
        std::ifstream in(folder / name);
        std::string content;
        std::getline(in, content);
        EXPECT_EQ(content, name);
    }
}

TEST(DumpFileName, FailsWhereNoFolderCanBe) {
    tavrik::test::TempDir dir;
    std::ofstream(dir.Path() / "Error") << "a file";
    char path[4096];
    EXPECT_EQ(corvane::CreateDumpFile((dir.Path() / "Error").c_str(), "Tavrik", kTime, "45", path, sizeof(path)), -1);
    EXPECT_EQ(corvane::CreateDumpFile("", "Tavrik", kTime, "45", path, sizeof(path)), -1);
    // A path that does not fit the buffer is not cut into another name.
    char small[16];
    EXPECT_EQ(corvane::CreateDumpFile(dir.Path().c_str(), "Tavrik", kTime, "45", small, sizeof(small)), -1);
}

}  // namespace
