#include "link/debug_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "platform/files/folders.h"
#include "tests/support/temp_home.h"

namespace fs = std::filesystem;

namespace {

class DebugLogTest : public ::testing::Test {
protected:
    tavrik::test::TempHome home_;
    fs::path Folder() const { return home_.DataHome() / "Halvord Q580RGB-PRO PT MECHANICAL GAMING KEYBOARD"; }
    fs::path File() const { return Folder() / "Tavrik.log"; }

    std::string Read() const {
        std::ifstream in(File(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

const std::regex kLine(R"(\d{4}-\d{2}-\d{2}-\d{2}-\d{2}-\d{2}:)");

bool IsLine(const std::string& line, const std::string& text) {
    constexpr std::size_t kStamp = 20;  // "2023-07-04-09-05-03:"
    return line.size() == kStamp + text.size() + 2 && std::regex_match(line.substr(0, kStamp), kLine) &&
           line.compare(kStamp, text.size(), text) == 0 && line.compare(line.size() - 2, 2, "\r\n") == 0;
}

}  // namespace

TEST_F(DebugLogTest, MissingFolderIsNotCreatedAndTheLineIsDropped) {
    testing::internal::CaptureStdout();
    WriteLog("OnLClick>closebtn>isFirst = true");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "unable to open log file\n");
    EXPECT_FALSE(fs::exists(Folder()));
}

TEST_F(DebugLogTest, LinesAreAppendedWithTimeStampAndCrLf) {
    fs::create_directories(Folder());
    EXPECT_EQ(win::ToFsPath(DebugLogPath()), File());
    WriteLog("message");
    const std::string first = Read();
    EXPECT_TRUE(IsLine(first, "message")) << first;

    WriteLog("OnSysCommand>SC_MINIMIZE>isFirst = true;");
    const std::string both = Read();
    ASSERT_GT(both.size(), first.size());
    EXPECT_EQ(both.substr(0, first.size()), first);
    EXPECT_TRUE(IsLine(both.substr(first.size()), "OnSysCommand>SC_MINIMIZE>isFirst = true;")) << both;
}

TEST_F(DebugLogTest, RestartsOnlyPastFourMebibytes) {
    fs::create_directories(Folder());
    for (const long size : {kDebugLogLimit, kDebugLogLimit + 1}) {
        {
            std::ofstream out(File(), std::ios::binary | std::ios::trunc);
            out << std::string(static_cast<std::size_t>(size), 'x');
        }
        WriteLog("after");
        const std::string content = Read();
        if (size == kDebugLogLimit) {
            ASSERT_GT(content.size(), static_cast<std::size_t>(size)) << "a file of exactly the limit grows";
            EXPECT_TRUE(IsLine(content.substr(static_cast<std::size_t>(size)), "after"));
        } else {
            EXPECT_TRUE(IsLine(content, "after")) << "emptied and holds only the new line";
        }
    }
}
