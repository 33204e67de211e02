// The macro list and macro files on real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "pages/macro_files.h"
#include "platform/files/folders.h"
#include "tests/support/temp_home.h"

namespace {

namespace fs = std::filesystem;

class MacroFiles : public ::testing::Test {
protected:
    DuiLib::CDuiString Folder() const { return DuiLib::CDuiString(win::FromUtf8(dir_.Path().string() + "/").c_str()); }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(dir_.Path() / name, std::ios::binary) << text;
    }
    tavrik::test::TempDir dir_{"tavrik-macros"};
};

TEST_F(MacroFiles, ListRoundTripsAndKeepsAtMostFifty) {
    EXPECT_FALSE(LoadMacroList(Folder()).has_value());
    std::vector<MacroInfo> list;
    for (int i = 0; i < 52; ++i)
        list.push_back({"名前 " + std::to_string(i), "2025_03_02_09_05_07_" + std::to_string(i)});
    ASSERT_TRUE(SaveMacroList(Folder(), list));
    const auto read = LoadMacroList(Folder());
    ASSERT_TRUE(read.has_value());
    ASSERT_EQ(read->size(), kMaxMacroCount);
    EXPECT_EQ((*read)[49], list[49]);
}

TEST_F(MacroFiles, DamagedListsReadAsEmptyOrMissing) {
    Write("macro.config", "{ not json");
    EXPECT_FALSE(LoadMacroList(Folder()).has_value());
    Write("macro.config", R"({"MacroInfo": 5})");
    ASSERT_TRUE(LoadMacroList(Folder()).has_value());
    EXPECT_TRUE(LoadMacroList(Folder())->empty());
    Write("macro.config", R"({"MacroInfo": [{"MacroName": 3}, "x", {"Guid": "g"}]})");
    const auto list = LoadMacroList(Folder());
    ASSERT_EQ(list->size(), 3u);
    EXPECT_EQ((*list)[0].name, "3");  // a number reads as its text
    EXPECT_EQ((*list)[2].guid, "g");
}

TEST_F(MacroFiles, MacroFileRoundTrip) {
    MacroFile file;
    file.guid = "2025_01_01_00_00_00_001";
    file.name = "burst";
    file.events = {{true, 4, kMacroKey, 10},
                   {false, 4, kMacroKey, 0},
                   {true, 0x02, kMacroModifier, 65535},
                   {true, 10, kMacroMoveX, 70000}};
    file.events.resize(260, MacroEvent{false, 1, kMacroMouseButton, 5});
    const DuiLib::CDuiString path = MacroFilePath(Folder(), file.guid);
    ASSERT_TRUE(SaveMacroFile(path, file));
    const MacroFile read = LoadMacroFile(path);
    EXPECT_EQ(read.guid, file.guid);
    EXPECT_EQ(read.name, file.name);
    ASSERT_EQ(read.events.size(), kMaxMacroEvents);  // longer lists are cut
    EXPECT_EQ(std::vector<MacroEvent>(read.events.begin(), read.events.begin() + 4),
              std::vector<MacroEvent>(file.events.begin(), file.events.begin() + 4));
    const Json::Value events = LoadMacroEventsJson(path);
    EXPECT_TRUE(events[0]["Delay"].isString());
    EXPECT_EQ(events[0]["Action"].asString(), "down");
    EXPECT_TRUE(fs::exists(dir_.Path() / "2025_01_01_00_00_00_001.mac"));
}

TEST_F(MacroFiles, DelayIsReadAsTextNumberOrLeadingDigits) {
    const struct {
        const char* json;
        uint32_t delay;
        bool down;
    } cases[] = {
        {R"({"Delay": "120", "Action": "down"})", 120, true},
        {R"({"Delay": 45, "Action": "up"})", 45, false},
        {R"({"Delay": "30ms", "Action": "Down"})", 30, false},
        {R"({"Delay": "x30"})", 0, false},
        {R"({"Delay": ""})", 0, false},
        {R"({"Delay": 12.5})", 12, false},
        {R"({"Delay": "99999999999"})", 0xFFFFFFFFu, false},
        {R"({"Delay": -5})", 0, false},
        {R"({})", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        Write("m.mac", std::string(R"({"Events": [)") + c.json + "]}");
        const MacroFile file = LoadMacroFile(Folder() + L"m.mac");
        ASSERT_EQ(file.events.size(), 1u);
        EXPECT_EQ(file.events[0].delay, c.delay);
        EXPECT_EQ(file.events[0].down, c.down);
    }
}

TEST_F(MacroFiles, MissingOrDamagedMacroFileIsAMacroWithoutSteps) {
    EXPECT_TRUE(LoadMacroFile(Folder() + L"none.mac").events.empty());
    EXPECT_TRUE(LoadMacroEventsJson(Folder() + L"none.mac").empty());
    Write("bad.mac", R"({"Events": {"a": 1}, "Version": "x"})");
    EXPECT_TRUE(LoadMacroFile(Folder() + L"bad.mac").events.empty());
    Write("mixed.mac", R"({"Events": [1, {"Type": 10, "Button": 4}], "Version": 63})");
    const MacroFile mixed = LoadMacroFile(Folder() + L"mixed.mac");
    ASSERT_EQ(mixed.events.size(), 1u);
    EXPECT_EQ(mixed.events[0].type, 10);
}

}  // namespace
