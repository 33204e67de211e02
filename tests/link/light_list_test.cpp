#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/basic_profiledata.h"
#include "link/data_folders.h"
#include "link/light_list.h"
#include "platform/files/folders.h"
#include "tests/link/profile_test_files.h"
#include "tests/support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using namespace profile_test;

std::string EffectJson(int steps) {
    std::string list;
    for (int s = 0; s < steps; ++s) {
        list += std::string(s ? "," : "") + R"({"LEDREGMode": )" + std::to_string(s + 1) +
                R"(, "LEDBrightness": 5, "LEDSpeed": 1, "LEDDirection": 1, "LEDMultiColor": 0, "red": 255,
                    "green": )" +
                std::to_string(s) + R"(, "blue": 7, "Time": )" + std::to_string(100 * (s + 1)) + R"(, "Cyle": )" +
                std::to_string(s + 2) + "}";
    }
    return R"({"LEDEffectList": [)" + list + "]}";
}

class LightLists : public ::testing::Test {
protected:
    LightLists() { fs::create_directories(deviceFolder_); }

    // A profile whose current lighting mode is `mode`, and a light list in
    // the device folder naming `guids` as the custom modes of device 0.
    void Prepare(uint8_t mode, const std::string& lightInfo) {
        WriteText(deviceFolder_ / "plenta_light.config", lightInfo);
        doc_.SetLightListPath(Dui(deviceFolder_ / "plenta_light.config"));
        doc_.LoadLightList(doc_.GetLightListPath());
        LightSetting light;
        light.mode = mode;
        doc_.SetLightInfo(light);
    }
    static std::string LightInfo(const std::vector<std::string>& guids) {
        std::string modes;
        for (size_t i = 0; i < guids.size(); ++i) {
            modes += std::string(i ? "," : "") + R"({"LightName": "mode)" + std::to_string(i) + R"(", "Guid": ")" +
                     guids[i] + R"("})";
        }
        return R"({"LightInfo": [[)" + modes + "]]}";
    }

    tavrik::test::TempDir dir_;
    fs::path deviceFolder_ = dir_.Path() / "keyboard";
    CBasicProfiledata doc_;
};

TEST_F(LightLists, LightListGivesPresentAndAbsentEntries) {
    const fs::path profile = dir_.Path() / "p.Json";
    WriteText(profile, R"({"Device": [{"LightList": [null, {"LEDREGMode": 3, "LEDBrightness": 4, "LEDSpeed": 2,
        "LEDMultiColor": true, "LEDDirection": 0, "red": 255, "green": 0, "blue": 16},
        {"LEDREGMode": 259, "LEDBrightness": 9, "LEDSpeed": -1, "LEDDirection": 5, "red": "x"}, 7]}]})");
    doc_.LoadProfile(Dui(profile));
    const std::vector<LightSetting> list = doc_.GetLightList();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], LightSetting{});
    LightSetting second;
    second.present = 1;
    second.mode = 3;
    second.brightness = 4;
    second.speed = 2;
    second.colorful = 1;
    second.red = 255;
    second.blue = 16;
    EXPECT_EQ(list[1], second);
    // Out-of-range levels and wrong kinds read as missing.
    EXPECT_EQ(list[2].present, 1);
    EXPECT_EQ(list[2].mode, 3);
    EXPECT_EQ(list[2].brightness, 0);
    EXPECT_EQ(list[2].speed, 0);
    EXPECT_EQ(list[2].direction, 1);
    EXPECT_EQ(list[2].red, 0);
    EXPECT_EQ(list[3], LightSetting{}) << "an element that is no object is absent";

    WriteText(profile, R"({"Device": [{}]})");
    doc_.LoadProfile(Dui(profile));
    EXPECT_TRUE(doc_.GetLightList().empty());
}

TEST_F(LightLists, ParseLightListStaysWithinTheList) {
    const Json::Value array = Parse(R"([{"LEDREGMode": 1}, {"LEDREGMode": 2}, {"LEDREGMode": 3}])");
    std::vector<LightSetting> list(2);
    EXPECT_TRUE(ParseLightList(array, list, 5));
    EXPECT_EQ(list[1].mode, 2);
    std::vector<LightSetting> longer(4);
    longer[3].mode = 77;
    ParseLightList(array, longer, 4);
    EXPECT_EQ(longer[3], LightSetting{}) << "elements past the array are absent";
}

TEST_F(LightLists, EffectStepsComeFromTheModesGuidFile) {
    const std::string guid = UniqueGuid();
    Prepare(2, LightInfo({"", "", guid}));
    WriteText(deviceFolder_ / (guid + ".light"), EffectJson(4));
    const std::vector<LedEffectStep> steps = doc_.GetCustomEffect();
    ASSERT_EQ(steps.size(), 4u);
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(steps[s].setting.mode, s + 1);
        EXPECT_EQ(steps[s].setting.green, s);
        EXPECT_EQ(steps[s].setting.brightness, 5);
        EXPECT_EQ(steps[s].setting.present, 0);
        EXPECT_EQ(steps[s].time, 100 * (s + 1));
        EXPECT_EQ(steps[s].cycle, s + 2);
    }
}

TEST_F(LightLists, EffectIsEmptyWhenAnythingIsMissing) {
    const std::string guid = UniqueGuid();
    WriteText(dir_.Path() / "x.light", EffectJson(1));
    struct Case {
        const char* name;
        uint8_t mode;
        std::string lightInfo;
    };
    const Case cases[] = {
        {"mode past the list", 7, LightInfo({guid, guid, guid})},
        {"no Guid member", 0, R"({"LightInfo": [[{"LightName": "a"}]]})"},
        {"no such file", 0, LightInfo({UniqueGuid()})},
        {"damaged light list", 0, "{"},
        {"wrong kinds", 0, R"({"LightInfo": {"0": [{"Guid": "1"}]}})"},
    };
    WriteText(deviceFolder_ / (guid + ".light"), EffectJson(3));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare(c.mode, c.lightInfo);
        EXPECT_TRUE(doc_.GetCustomEffect().empty());
    }
    // A light list that was never loaded gives no effect either.
    CBasicProfiledata fresh;
    EXPECT_TRUE(fresh.GetCustomEffect().empty());
}

TEST_F(LightLists, GuidMustConsistOfGuidCharacters) {
    // Files that a path-like "Guid" would reach.
    WriteText(dir_.Path() / "evil.light", EffectJson(2));
    WriteText(deviceFolder_.parent_path() / "keyboard" / "a.b.light", EffectJson(2));
    fs::create_directories(deviceFolder_ / "sub");
    WriteText(deviceFolder_ / "sub" / "ab.light", EffectJson(2));
    for (const std::string bad :
         {"../evil", "sub/ab", "sub\\ab", "a.b", "", "xyz", "0123456789abcdef0123456789abcdef01234567"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(IsGuidText(bad));
        Prepare(0, LightInfo({bad}));
        EXPECT_TRUE(doc_.GetCustomEffect().empty());
    }
    for (const std::string good : {"{6F9619FF-8B86-D011-B42D-00C04FC964FF}", "6f9619ff-8b86-d011", "AB"}) {
        EXPECT_TRUE(IsGuidText(good)) << good;
    }
    WriteText(deviceFolder_ / "{6F9619FF-8B86-D011-B42D-00C04FC964FF}.light", EffectJson(2));
    Prepare(0, LightInfo({"{6F9619FF-8B86-D011-B42D-00C04FC964FF}"}));
    EXPECT_EQ(doc_.GetCustomEffect().size(), 2u);
}

TEST_F(LightLists, EffectFileIsLookedUpInDeviceFolderThenDefaultDataThenProgramFolder) {
    const std::string guid = UniqueGuid();
    const fs::path defaultData = win::ToFsPath(GetDefaultDataPath().str());
    const fs::path programFolder = win::ToFsPath(win::GetProgramFolder());
    const std::string name = guid + ".light";
    Prepare(0, LightInfo({guid}));

    // Only in the current directory: never found there.
    const fs::path cwd = fs::current_path();
    fs::current_path(dir_.Path());
    {
        ScopedFile here(dir_.Path() / name, EffectJson(5));
        EXPECT_TRUE(doc_.GetCustomEffect().empty());
    }
    fs::current_path(cwd);

    ScopedFile inProgram(programFolder / name, EffectJson(1));
    EXPECT_EQ(doc_.GetCustomEffect().size(), 1u);
    {
        ScopedFile inDefaults(defaultData / name, EffectJson(2));
        EXPECT_EQ(doc_.GetCustomEffect().size(), 2u);
        {
            ScopedFile inDevice(deviceFolder_ / name, EffectJson(3));
            EXPECT_EQ(doc_.GetCustomEffect().size(), 3u);
        }
        EXPECT_EQ(doc_.GetCustomEffect().size(), 2u);
    }
    EXPECT_EQ(doc_.GetCustomEffect().size(), 1u);
}

TEST_F(LightLists, EffectsUseTheDevicesRowOfTheLightList) {
    const std::string row0 = UniqueGuid();
    const std::string row1 = UniqueGuid();
    WriteText(deviceFolder_ / (row0 + ".light"), EffectJson(1));
    Prepare(1, R"({"LightInfo": [[{"Guid": "00"}, {"Guid": ")" + row0 + R"("}],
        [{"Guid": "00"}, {"Guid": ")" +
                   row1 + R"("}]]})");
    WriteText(deviceFolder_ / (row1 + ".light"), EffectJson(4));
    EXPECT_EQ(doc_.GetCustomEffect().size(), 1u);
    doc_.SetLightListDeviceIndex(1);
    EXPECT_EQ(doc_.GetCustomEffect().size(), 4u);
    doc_.SetLightListDeviceIndex(2);
    EXPECT_TRUE(doc_.GetCustomEffect().empty());
}

TEST_F(LightLists, ShippedDefaultDocumentsHoldADeviceEntry) {
    for (const std::string kind : {"keyboard", "mouse", "MousePad", "HD"}) {
        SCOPED_TRACE(kind);
        CBasicProfiledata doc;
        const DuiLib::CDuiString path =
            GetDefaultDataPath() + std::wstring(kind.begin(), kind.end()).c_str() + L".Json";
        doc.SetDefaultProfilePath(path);
        const fs::path profile = dir_.Path() / (kind + ".Json");
        EXPECT_TRUE(doc.LoadProfile(Dui(profile)).isObject());
        EXPECT_TRUE(ReadJson(profile)["Device"][0].isObject());
    }
}

}  // namespace
