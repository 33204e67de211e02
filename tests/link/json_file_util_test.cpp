#include "link/json_file_util.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "link/time_id.h"
#include "platform/os/owned_temp_file.h"
#include "tests/support/temp_home.h"

namespace fs = std::filesystem;
using DuiLib::CDuiString;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

CDuiString Dui(const fs::path& path) { return CDuiString(path.wstring()); }

std::vector<fs::path> FilesIn(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        files.push_back(entry.path().filename());
    }
    return files;
}

class JsonFileTest : public ::testing::Test {
protected:
    tavrik::test::TempDir dir_;
    fs::path File(const char* name) const { return dir_.Path() / name; }
};

}  // namespace

TEST_F(JsonFileTest, LoadGivesNullForEveryUnusableFile) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"empty", ""},
        {"open brace", "{"},
        {"truncated", "{\"a\": [1, 2"},
        {"garbage", "\x01\x02hello"},
        {"bom only", "\xEF\xBB\xBF"},
        {"zero first", std::string("\0{}", 3)},
        {"nested too deep", std::string(200000, '[')},
        {"comment never closed", "{\"a\": 1 /* no end"},
    };
    for (const Case& c : cases) {
        const fs::path path = File("doc.json");
        WriteAll(path, c.bytes);
        EXPECT_TRUE(CJsonFileUtil::LoadJson(Dui(path)).isNull()) << c.name;
    }
    EXPECT_TRUE(CJsonFileUtil::LoadJson(Dui(File("missing.json"))).isNull());
    EXPECT_TRUE(CJsonFileUtil::LoadJson(Dui(dir_.Path())).isNull()) << "a folder";
    EXPECT_TRUE(CJsonFileUtil::ReadFileText(Dui(dir_.Path())).empty());
}

TEST_F(JsonFileTest, LoadReadsAnyRootBomCommentsAndStopsAtZeroByte) {
    const fs::path path = File("doc.json");

    WriteAll(path, "5");
    EXPECT_EQ(CJsonFileUtil::LoadJson(Dui(path)), Json::Value(5));

    WriteAll(path, std::string("{\"a\": 1}\0 trailing junk {", 25));
    const Json::Value cut = CJsonFileUtil::LoadJson(Dui(path));
    ASSERT_TRUE(cut.isObject());
    EXPECT_EQ(cut["a"].asInt(), 1);

    WriteAll(path, "\xEF\xBB\xBF{\"Name\": \"Fn\xC3\xA9\"}");
    const Json::Value bom = CJsonFileUtil::LoadJson(Dui(path));
    ASSERT_TRUE(bom.isObject());
    EXPECT_EQ(bom["Name"].asString(), "Fn\xC3\xA9");

    WriteAll(path, "// profile list\n{\n  /* the active one */\n  \"SelectItem\": 2 // index\n}\n");
    const Json::Value commented = CJsonFileUtil::LoadJson(Dui(path));
    ASSERT_TRUE(commented.isObject());
    EXPECT_EQ(commented["SelectItem"].asInt(), 2);
}

TEST_F(JsonFileTest, ProgramPathsWithBackslashesReachTheFile) {
    fs::create_directories(File("keyboard"));
    WriteAll(File("keyboard") / "p.Json", "[1]");
    const CDuiString path = Dui(dir_.Path()) + L"\\keyboard\\p.Json";
    Json::Value expected(Json::arrayValue);
    expected.append(1);
    EXPECT_EQ(CJsonFileUtil::LoadJson(path), expected);
}

TEST_F(JsonFileTest, SaveWritesStyledCrLfAndRoundTrips) {
    Json::Value doc;
    doc["ProfileName"] = "\xE9\xBB\x98\xE8\xAE\xA4";  // UTF-8 text stays as it is
    doc["LightInfo"]["Mode"] = 3;
    doc["Keys"].append(1);
    doc["Keys"].append(2);
    const fs::path path = File("profile.Json");

    ASSERT_TRUE(CJsonFileUtil::SaveJson(Dui(path), doc));
    const std::string bytes = ReadAll(path);
    EXPECT_NE(bytes.find("\"ProfileName\" : \"\xE9\xBB\x98\xE8\xAE\xA4\"\r\n"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.substr(bytes.size() - 5), "}\r\n\r\n") << "the styled text and one more line end";
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);
    for (std::size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1)) {
        ASSERT_EQ(bytes[i - 1], '\r') << "every line end is CR LF";
    }
    EXPECT_EQ(CJsonFileUtil::LoadJson(Dui(path)), doc);

    // Saving a shorter document replaces the whole content.
    ASSERT_TRUE(CJsonFileUtil::SaveJson(Dui(path), Json::Value(7)));
    EXPECT_EQ(ReadAll(path), "7\r\n\r\n");
    EXPECT_EQ(FilesIn(dir_.Path()), std::vector<fs::path>{"profile.Json"}) << "no temporary file is left";
}

TEST_F(JsonFileTest, CommentsSurviveALoadSaveCycle) {
    const fs::path path = File("light.config");
    WriteAll(path, "{\r\n  // brightness 0..5\r\n  \"Brightness\": 4,\r\n  /* speed */ \"Speed\": 1\r\n}");
    const Json::Value loaded = CJsonFileUtil::LoadJson(Dui(path));
    ASSERT_TRUE(CJsonFileUtil::SaveJson(Dui(path), loaded));
    const std::string once = ReadAll(path);
    EXPECT_NE(once.find("// brightness 0..5"), std::string::npos) << once;
    EXPECT_NE(once.find("/* speed */"), std::string::npos) << once;
    EXPECT_EQ(once.find("\r\r"), std::string::npos);

    ASSERT_TRUE(CJsonFileUtil::SaveJson(Dui(path), CJsonFileUtil::LoadJson(Dui(path))));
    EXPECT_EQ(ReadAll(path), once) << "saving again changes nothing";
}

TEST_F(JsonFileTest, SaveFailsCleanlyWhereItCannotWrite) {
    EXPECT_FALSE(CJsonFileUtil::SaveJson(Dui(File("no-such-folder") / "a.json"), Json::Value(1)));
    EXPECT_FALSE(fs::exists(File("no-such-folder")));
    EXPECT_FALSE(CJsonFileUtil::SaveJson(Dui(dir_.Path()), Json::Value(1))) << "the path is a folder";
    EXPECT_TRUE(FilesIn(dir_.Path()).empty());
}

TEST_F(JsonFileTest, SaveReplacesTheFileBehindALinkAndKeepsItsRights) {
    const fs::path real = File("real.json");
    const fs::path link = File("link.json");
    WriteAll(real, "1");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(real, link);

    ASSERT_TRUE(CJsonFileUtil::SaveJson(Dui(link), Json::Value(2)));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(CJsonFileUtil::LoadJson(Dui(real)), Json::Value(2));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

// A write that fails part way (here: the file-size limit is hit) leaves the old
// document whole and no temporary file behind.
TEST_F(JsonFileTest, FailedWriteLeavesTheOldFileWhole) {
    const fs::path path = File("profile.Json");
    const std::string old = "{\r\n   \"Old\" : true\r\n}\r\n\r\n";
    WriteAll(path, old);

    Json::Value big;
    for (int i = 0; i < 2000; ++i) {
        big["Keys"].append("some long text that makes the document far larger than the limit");
    }
    const auto saveUnderSizeLimit = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 4096;
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(CJsonFileUtil::SaveJson(Dui(path), big) ? 1 : 0);
    };
    EXPECT_EXIT(saveUnderSizeLimit(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(FilesIn(dir_.Path()), std::vector<fs::path>{"profile.Json"});
}

bool IsTempName(const fs::path& name) { return name.string().ends_with(".tmp"); }

// A save killed mid-way leaves its temporary copy; the next save of the same
// document removes it, and nothing else: not another document's copy, not
// other names, not the copy of a save that is still running.
TEST_F(JsonFileTest, NextSaveRemovesTheCopiesOfKilledSavesOnly) {
    const fs::path path = File("profile.Json");
    Json::Value big;
    for (int i = 0; i < 20000; ++i) big["Keys"].append("text enough to keep the writer busy for a while");
    bool stale = false;
    for (int attempt = 0; attempt < 50 && !stale; ++attempt) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) CJsonFileUtil::SaveJson(Dui(path), big);
        }
        for (int i = 0; i < 2000; ++i) {
            const auto files = FilesIn(dir_.Path());
            if (std::any_of(files.begin(), files.end(), IsTempName)) break;
            ::usleep(500);
        }
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const auto files = FilesIn(dir_.Path());
        stale = std::any_of(files.begin(), files.end(), IsTempName);
    }
    ASSERT_TRUE(stale) << "no save was caught mid-way";

    const std::vector<std::string> others = {"other.Json.0123456789ab.tmp", "profile.Json.tmp",
                                             "profile.Json.0123456789ab.tmp.bak", "profile.Json.0123456789AB.tmp",
                                             "xprofile.Json.0123456789ab.tmp"};
    for (const auto& name : others) WriteAll(File(name.c_str()), "keep");
    win::OwnedTempFile running(path);  // a save of the same document still at work
    ASSERT_NE(running.File(), nullptr);

    ASSERT_TRUE(CJsonFileUtil::SaveJson(Dui(path), Json::Value(5)));
    std::set<fs::path> expected{"profile.Json", running.Path().filename()};
    for (const auto& name : others) expected.insert(name);
    const auto files = FilesIn(dir_.Path());
    EXPECT_EQ(std::set<fs::path>(files.begin(), files.end()), expected);
    EXPECT_EQ(CJsonFileUtil::LoadJson(Dui(path)), Json::Value(5));
}

TEST(JsonFileTitle, NameWithoutFolderAndExtension) {
    const struct {
        const wchar_t* path;
        const wchar_t* title;
    } cases[] = {
        {L"C:\\a\\b.c\\macro.mac", L"macro"},
        {L"/home/u/.local/share/x/2023_07_04_09_05_03_007.Json", L"2023_07_04_09_05_03_007"},
        {L"mixed/sep\\name.tar.gz", L"name.tar"},
        {L"bare", L"bare"},
        {L"folder\\", L""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CJsonFileUtil::GetFileTitle(c.path), CDuiString(c.title)) << CDuiString(c.path).str().size();
    }
}

TEST(TimeId, FormatsLocalTimeFields) {
    win::SYSTEMTIME t{};
    t.wYear = 2023;
    t.wMonth = 7;
    t.wDay = 4;
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 3;
    t.wMilliseconds = 7;
    EXPECT_EQ(FormatTimeId(t), "2023_07_04_09_05_03_007");
}

TEST(TimeId, OneMillisecondLaterCarriesThroughTheCalendar) {
    const struct {
        win::SYSTEMTIME from;
        const char* next;
    } cases[] = {
        {{2023, 7, 2, 4, 9, 5, 3, 7}, "2023_07_04_09_05_03_008"},
        {{2023, 7, 2, 4, 9, 5, 59, 999}, "2023_07_04_09_06_00_000"},
        {{2023, 12, 0, 31, 23, 59, 59, 999}, "2024_01_01_00_00_00_000"},
        {{2024, 2, 0, 28, 23, 59, 59, 999}, "2024_02_29_00_00_00_000"},
        {{2023, 2, 0, 28, 23, 59, 59, 999}, "2023_03_01_00_00_00_000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTimeId(AddOneMillisecond(c.from)), c.next);
    }
}

TEST(TimeId, IdsAreUniqueAndWellFormedUnderABurstFromSeveralThreads) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 2000;
    std::vector<std::vector<std::string>> ids(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&ids, t] {
            CJsonFileUtil util;
            for (int i = 0; i < kPerThread; ++i) {
                ids[t].push_back(util.MakeTimeId());
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    std::set<std::string> all;
    for (const auto& list : ids) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            ASSERT_EQ(list[i].size(), 23u) << list[i];
            if (i > 0) {
                ASSERT_LT(list[i - 1], list[i]) << "ids of one thread rise";
            }
            all.insert(list[i]);
        }
    }
    EXPECT_EQ(all.size(), static_cast<std::size_t>(kThreads * kPerThread));
}
