#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <json/json.h>

#include "link/hs6533_profiledata.h"
#include "link/keyboard_profiledata.h"
#include "link/mouse_profiledata.h"
#include "tests/link/profile_test_files.h"
#include "tests/support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using namespace profile_test;

// A profile file holding `entry` as its device entry, loaded into `doc`.
class KindDocument : public ::testing::Test {
protected:
    void Load(CBasicProfiledata& doc, const std::string& entry, const std::string& defaultEntry = "{}") {
        WriteText(defaults_, R"({"Device": [)" + defaultEntry + "]}");
        WriteText(profile_, R"({"Device": [)" + entry + "]}");
        doc.SetDefaultProfilePath(Dui(defaults_));
        doc.SetProfilePath(Dui(profile_));
        doc.LoadProfile(doc.GetProfilePath());
    }
    Json::Value Saved(CBasicProfiledata& doc) {
        EXPECT_TRUE(doc.SaveProfile());
        return ReadJson(profile_)["Device"][0];
    }

    tavrik::test::TempDir dir_;
    fs::path defaults_ = dir_.Path() / "default.Json";
    fs::path profile_ = dir_.Path() / "profile.Json";
};

// ---- keyboard ----

TEST_F(KindDocument, KeyboardSystemStagesPackAndCutTo16Bits) {
    CKeyboardProfiledata doc;
    Load(doc, "{}");
    EXPECT_EQ(doc.GetSystemStages().ToWords(), (std::array<uint32_t, 4>{0, 0, 0, 0}));

    doc.SetSystemStages(3u << 16 | 5, 2u << 16 | 1, 1u << 16, 4);
    EXPECT_EQ(Saved(doc)["SystemStages"], Parse(R"({"Repeat": 5, "RepeatDelay": 3, "Key6Flag": 1,
        "PollingRate": 2, "WFlag": 0, "WinFlag": 1, "KeyShake": 4})"));

    CKeyboardProfiledata reloaded;
    reloaded.SetProfilePath(Dui(profile_));
    reloaded.LoadProfile(reloaded.GetProfilePath());
    EXPECT_EQ(reloaded.GetSystemStages().ToWords(), (std::array<uint32_t, 4>{3u << 16 | 5, 2u << 16 | 1, 1u << 16, 4}));

    CKeyboardProfiledata other;
    Load(other, R"({"SystemStages": {"Repeat": 70000, "KeyShake": "x", "PollingRate": 3}})");
    const KeyboardSystemStages read = other.GetSystemStages();
    EXPECT_EQ(read.repeat, 4464);
    EXPECT_EQ(read.keyShake, 0);
    EXPECT_EQ(read.ToWords()[0], 4464u);
    EXPECT_EQ(read.ToWords()[1], 3u << 16);
}

TEST_F(KindDocument, KeyboardFrameIntervalAndMainPage) {
    CKeyboardProfiledata doc;
    Load(doc, "{}");
    EXPECT_EQ(doc.GetFrameIntervalTime(), 0);
    doc.SetFrameIntervalTime(120);
    doc.SetDefaultMainPage(2);
    const Json::Value saved = Saved(doc);
    EXPECT_EQ(saved["FrameIntervalTime"], 120);
    EXPECT_EQ(saved["Default_Main_page"], 2);

    CKeyboardProfiledata again;
    Load(again, R"({"FrameIntervalTime": 80})");
    EXPECT_EQ(again.GetFrameIntervalTime(), 80);
}

TEST_F(KindDocument, KeyboardCustomColoursAreCompletedToTheLedCount) {
    struct Case {
        const char* name;
        int stored;        // colours stored in group 1 (-1: no "CustomLightMode")
        int read;          // LED count asked for
        size_t afterRead;  // colours the group holds once saved
    };
    const Case cases[] = {
        {"missing", -1, 170, 170},
        {"short", 100, 170, 170},
        {"exact", 170, 170, 170},
        {"long", 200, 170, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Json::Value entry(Json::objectValue);
        if (c.stored >= 0) {
            Json::Value& group = entry["CustomLightMode"]["LightColorInfo"][1];
            group = Json::Value(Json::arrayValue);
            for (int i = 0; i < c.stored; ++i) {
                Json::Value color;
                color["Red"] = i % 256;
                color["Green"] = 1;
                color["Blue"] = 2;
                color["Alpha"] = 255;
                group.append(color);
            }
        }
        CKeyboardProfiledata doc;
        Load(doc, Json::writeString(Json::StreamWriterBuilder(), entry));
        const std::vector<LedColor> colors = doc.GetCustomLightColors(1, c.read);
        ASSERT_EQ(colors.size(), static_cast<size_t>(c.read));
        for (int i = 0; i < c.read; ++i) {
            const bool stored = i < c.stored;
            EXPECT_EQ(colors[i].r, stored ? i % 256 : 0) << i;
            EXPECT_EQ(colors[i].brightness, stored ? 255 : 0) << i;
        }
        const Json::Value saved = Saved(doc)["CustomLightMode"]["LightColorInfo"];
        EXPECT_TRUE(saved[0].isNull());
        ASSERT_EQ(saved[1].size(), c.afterRead);
        EXPECT_EQ(saved[1][static_cast<int>(c.read) - 1]["Alpha"], c.stored >= c.read ? 255 : 0);
    }
}

TEST_F(KindDocument, KeyboardCustomColoursOfAMissingGroupAreWrittenBlack) {
    CKeyboardProfiledata doc;
    Load(doc, "{}");
    EXPECT_EQ(doc.GetCustomLightColors(2, 3).size(), 3u);
    EXPECT_EQ(Saved(doc)["CustomLightMode"]["LightColorInfo"], Parse(R"([null, null, [
        {"Red": 0, "Green": 0, "Blue": 0, "Alpha": 0}, {"Red": 0, "Green": 0, "Blue": 0, "Alpha": 0},
        {"Red": 0, "Green": 0, "Blue": 0, "Alpha": 0}]])"));
}

TEST_F(KindDocument, KeyboardCustomColoursRoundTripAndKeepOtherMembers) {
    CKeyboardProfiledata doc;
    Load(doc, R"({"CustomLightMode": {"LightColorInfo": [[{"Red": 1, "Note": "kept"}, {}, {}, {}]]}})");
    doc.SetCustomLightColors({LedColor{9, 8, 7, 6}, LedColor{1, 2, 3, 4}}, 0);
    doc.SetCustomLightGroupIndex(0);
    const Json::Value saved = Saved(doc)["CustomLightMode"];
    EXPECT_EQ(saved["LightColorInfo"][0][0], Parse(R"({"Red": 9, "Green": 8, "Blue": 7, "Alpha": 6, "Note": "kept"})"));
    EXPECT_EQ(saved["LightColorInfo"][0].size(), 4u) << "longer arrays stay";

    CKeyboardProfiledata again;
    again.SetProfilePath(Dui(profile_));
    again.LoadProfile(again.GetProfilePath());
    const std::vector<LedColor> colors = again.GetCustomLightColors(0, 2);
    EXPECT_EQ(colors[1].g, 2);
    EXPECT_EQ(colors[1].brightness, 4);
    EXPECT_EQ(again.GetCustomLightGroupIndex(), 0);
}

TEST_F(KindDocument, KeyboardCustomGroupIsValidated) {
    const std::pair<const char*, int> cases[] = {
        {"5", 5}, {"127", 127}, {"128", 0}, {"-1", 0}, {"100000", 0}, {"\"3\"", 0}, {"[3]", 0},
    };
    for (const auto& [stored, expected] : cases) {
        SCOPED_TRACE(stored);
        CKeyboardProfiledata doc;
        Load(doc, std::string(R"({"CustomLightMode": {"CustomLightModeGroupIndex": )") + stored + "}}");
        EXPECT_EQ(doc.GetCustomLightGroupIndex(), expected);
    }
    CKeyboardProfiledata doc;
    Load(doc, "{}");
    // Groups outside 0..127 are neither written nor create huge arrays.
    doc.SetCustomLightGroupIndex(-4);
    doc.SetCustomLightColors({LedColor{1, 1, 1, 1}}, 1000000);
    EXPECT_EQ(doc.GetCustomLightColors(-1, 4).size(), 4u);
    EXPECT_FALSE(Saved(doc).isMember("CustomLightMode"));
}

// ---- mouse ----

std::string StagesJson(int active, const std::vector<int>& xs) {
    std::string list;
    for (size_t i = 0; i < xs.size(); ++i) {
        list += (i ? "," : "") + std::string(R"({"StageActive": 1, "StageXY": 0, "StageDPIX": )") +
                std::to_string(xs[i]) + R"(, "StageDPIY": )" + std::to_string(xs[i]) +
                R"(, "StageColorR": 255, "StageColorG": 0, "StageColorB": 0})";
    }
    return R"({"StageActive": )" + std::to_string(active) + R"(, "StageDPIs": [)" + list + "]}";
}

std::vector<int> Xs(const std::vector<DpiStage>& stages) {
    std::vector<int> xs;
    for (const DpiStage& s : stages) {
        xs.push_back(s.x);
    }
    return xs;
}

TEST_F(KindDocument, MouseDpiStagesOfOneProfileNeverLeakIntoTheNext) {
    const std::string defaults = R"({"DPIStages": )" + StagesJson(1, {400, 800, 1600, 3200, 6400}) + "}";
    CMouseProfiledata doc;
    Load(doc, R"({"DPIStages": )" + StagesJson(4, {100, 200, 300, 400, 500}) + "}", defaults);
    EXPECT_EQ(Xs(doc.GetDpiStages()), (std::vector<int>{100, 200, 300, 400, 500}));
    EXPECT_EQ(doc.GetActiveDpiStage(), 4);

    // A profile with three stages: the other two come from the defaults,
    // not from the profile loaded before.
    Load(doc, R"({"DPIStages": )" + StagesJson(2, {1000, 2000, 3000}) + "}", defaults);
    EXPECT_EQ(Xs(doc.GetDpiStages()), (std::vector<int>{1000, 2000, 3000, 3200, 6400}));
    EXPECT_EQ(doc.GetActiveDpiStage(), 2);

    // A profile without stages gets the default stages and active stage.
    Load(doc, "{}", defaults);
    EXPECT_EQ(Xs(doc.GetDpiStages()), (std::vector<int>{400, 800, 1600, 3200, 6400}));
    EXPECT_EQ(doc.GetActiveDpiStage(), 1);
}

TEST_F(KindDocument, MouseDpiStageValuesAreCutAndTheActiveStageValidated) {
    CMouseProfiledata doc;
    Load(doc, R"({"DPIStages": {"StageActive": 9, "StageDPIs": [{"StageDPIX": 70000, "StageXY": 1,
        "StageDPIY": "x", "StageColorG": 300}, 17]}})");
    const std::vector<DpiStage> stages = doc.GetDpiStages();
    ASSERT_EQ(stages.size(), 2u);
    EXPECT_EQ(stages[0].x, 4464);
    EXPECT_EQ(stages[0].y, 0);
    EXPECT_EQ(stages[0].green, 44);
    EXPECT_EQ(stages[0].separateXY, 1);
    EXPECT_EQ(stages[1], DpiStage{});
    EXPECT_EQ(doc.GetActiveDpiStage(), 0) << "stage 9 does not exist";
}

TEST_F(KindDocument, MouseDpiStagesRoundTrip) {
    CMouseProfiledata doc;
    Load(doc, R"({"DPIStages": )" + StagesJson(0, {1, 2, 3, 4, 5, 6}) + "}");
    std::vector<DpiStage> stages(2);
    stages[0] = DpiStage{1, 1, 12000, 800, 1, 2, 3};
    stages[1] = DpiStage{0, 0, 65535, 65535, 255, 255, 255};
    doc.SetDpiStages(stages);
    doc.SetActiveDpiStage(1);
    const Json::Value saved = Saved(doc)["DPIStages"];
    EXPECT_EQ(saved["StageActive"], 1);
    EXPECT_EQ(saved["StageDPIs"].size(), 6u) << "elements past the list stay";
    EXPECT_EQ(saved["StageDPIs"][0], Parse(R"({"StageActive": 1, "StageXY": 1, "StageDPIX": 12000,
        "StageDPIY": 800, "StageColorR": 1, "StageColorG": 2, "StageColorB": 3})"));

    CMouseProfiledata again;
    again.SetProfilePath(Dui(profile_));
    again.LoadProfile(again.GetProfilePath());
    const std::vector<DpiStage> read = again.GetDpiStages();
    ASSERT_EQ(read.size(), 6u);
    EXPECT_EQ(read[0], stages[0]);
    EXPECT_EQ(read[1], stages[1]);
    EXPECT_EQ(again.GetActiveDpiStage(), 1);
}

TEST_F(KindDocument, MouseSystemStagesAndReportRate) {
    CMouseProfiledata doc;
    Load(doc, "{}");
    doc.SetSystemStages(10u << 16 | 500, 1, 3u << 16 | 3);
    const Json::Value saved = Saved(doc);
    EXPECT_EQ(saved["SystemStages"], Parse(R"({"DoubleClickTime": 500, "MouseSpeed": 10,
        "PointerPrecision": 1, "ScorllPage": 0, "WheelScorlllinse": 3})"));
    EXPECT_EQ(saved["ReportStages"], Parse(R"({"StageActive": 3})"));
    CMouseProfiledata reloaded;
    reloaded.SetProfilePath(Dui(profile_));
    reloaded.LoadProfile(reloaded.GetProfilePath());
    EXPECT_EQ(reloaded.GetSystemStages().ToWords(), (std::array<uint32_t, 3>{10u << 16 | 500, 1, 3u << 16 | 3}));

    const std::pair<const char*, std::array<uint32_t, 3>> cases[] = {
        {R"({"SystemStages": {"DoubleClickTime": 500, "MouseSpeed": 10, "WheelScorlllinse": 3},
             "ReportStages": {"StageActive": 2}})",
         {10u << 16 | 500, 0, 2u << 16 | 3}},
        {R"({"SystemStages": {"WheelScorlllinse": 3}})", {0, 0, 3}},
        {R"({"ReportStages": {"StageActive": 2}})", {0, 0, 0}},
        {R"({"SystemStages": {"ScorllPage": 65537}, "ReportStages": 4})", {0, 1u << 16, 0}},
    };
    for (const auto& [entry, words] : cases) {
        SCOPED_TRACE(entry);
        CMouseProfiledata read;
        Load(read, entry);
        EXPECT_EQ(read.GetSystemStages().ToWords(), words);
    }
}

TEST_F(KindDocument, MouseCorrectionEntries) {
    CMouseProfiledata doc;
    Load(doc, R"({"CorrectInfo": [
        {"CorrectPixThresh": 3, "CorrectMinSq": 4, "CorrectSelect": 0, "CorrectName": "Gun A"},
        {"CorrectPixThresh": 259, "CorrectMinSq": 6, "CorrectSelect": 1, "CorrectName": "Gewehr \u00fc\u4e2d"},
        "bad"]})");
    const std::vector<CorrectionEntry> entries = doc.GetCorrectInfo();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].select, 0);
    EXPECT_EQ(entries[1].select, 1);
    EXPECT_EQ(entries[1].pixThresh, 3);
    EXPECT_EQ(entries[1].minSq, 6);
    EXPECT_EQ(entries[1].name, DuiLib::CDuiString(L"Gewehr \u00fc\u4e2d"));
    EXPECT_EQ(entries[2], CorrectionEntry{});

    CMouseProfiledata none;
    Load(none, "{}");
    EXPECT_TRUE(none.GetCorrectInfo().empty());
}

// ---- headset ----

TEST_F(KindDocument, HeadsetSystemSettingsRoundTrip) {
    CHs6533Profiledata doc;
    Load(doc, R"({"CustomEQNameInfo": [{"Name": "a"}, {"Name": "b"}, {"Name": "c"}]})");
    EXPECT_EQ(doc.GetSystemSetStages(), HeadsetSystemSetStages{});
    const HeadsetSystemSetStages stages{1, 3, 13, 2, 1, 80, 0, -5};
    doc.SetSystemSetStages(stages);
    EXPECT_EQ(Saved(doc)["SystemSetStages"], Parse(R"({"MagicEnable": 1, "MagicType": 3, "EqType": 13,
        "CustomEqSeletIndex": 2, "MicInSelect": 1, "MicInValue": 80, "MicMoniterSelect": 0,
        "MicMoniterValue": -5})"));

    CHs6533Profiledata again;
    again.SetProfilePath(Dui(profile_));
    again.LoadProfile(again.GetProfilePath());
    EXPECT_EQ(again.GetSystemSetStages(), stages);
}

TEST_F(KindDocument, HeadsetSelectedCustomEqualiserMustExist) {
    struct Case {
        int names;
        const char* index;
        int expected;
    };
    const Case cases[] = {
        {3, "2", 2},    {3, "3", 0},   {0, "0", 0},  {0, "1", 0},
        {25, "19", 19}, {25, "20", 0}, {5, "-1", 0}, {5, "\"1\"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.names) + " names, index " + c.index);
        std::string names;
        for (int i = 0; i < c.names; ++i) {
            names += std::string(i ? "," : "") + R"({"Name": "eq)" + std::to_string(i) + R"("})";
        }
        CHs6533Profiledata doc;
        Load(doc, R"({"CustomEQNameInfo": [)" + names + R"(], "SystemSetStages": {"MagicType": 2,
            "CustomEqSeletIndex": )" +
                      c.index + "}}");
        const HeadsetSystemSetStages stages = doc.GetSystemSetStages();
        EXPECT_EQ(stages.customEqSelectIndex, c.expected);
        EXPECT_EQ(stages.magicType, 2);
    }
}

TEST_F(KindDocument, HeadsetPresetNumbersMapAndMissingPresetsAreWrittenAsZeros) {
    CHs6533Profiledata doc;
    Load(doc, "{}");
    EXPECT_EQ(doc.GetEqPreset(5), std::vector<int32_t>(10, 0));
    const Json::Value saved = Saved(doc)["EQHzValueInfo"];
    ASSERT_EQ(saved.size(), 6u);
    for (int p = 0; p < 5; ++p) {
        EXPECT_TRUE(saved[p].isNull()) << p;
    }
    ASSERT_EQ(saved[5].size(), 10u);
    EXPECT_EQ(saved[5][9], Parse(R"({"value": 0})"));

    const std::vector<int32_t> bands{1, -2, 3, -4, 5, -6, 7, -8, 9, -10, 99};
    doc.SetEqPreset(1, bands);
    const std::vector<int32_t> ten(bands.begin(), bands.begin() + 10);
    for (const int preset : {0, 1, 14, 20, -1}) {
        SCOPED_TRACE(preset);
        EXPECT_EQ(doc.GetEqPreset(preset), ten);
    }
    const Json::Value before = Saved(doc);
    EXPECT_TRUE(doc.GetEqPreset(13).empty());
    doc.SetEqPreset(13, bands);
    doc.SetEqPreset(2, {1, 2, 3});  // too short: nothing is written
    EXPECT_EQ(Saved(doc), before);
}

TEST_F(KindDocument, HeadsetPresetWithAMissingBandReadsZeroWithoutWriting) {
    CHs6533Profiledata doc;
    Load(doc, R"({"EQHzValueInfo": [null, null, [{"value": 1}, {"value": 2}, {"value": 3}, {"value": 4},
        {"value": 5}, {"value": 6}, {"value": 7}, {}, {"value": "9"}]]})");
    EXPECT_EQ(doc.GetEqPreset(2), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 0, 0, 0}));
    EXPECT_EQ(Saved(doc)["EQHzValueInfo"][2].size(), 9u);
}

TEST_F(KindDocument, HeadsetCustomEqualisersAndNames) {
    CHs6533Profiledata doc;
    Load(doc, "{}");
    const std::vector<int32_t> bands{10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    doc.SetCustomEq(3, bands);
    doc.SetCustomEq(20, bands);  // beyond the 20 custom equalisers
    doc.SetCustomEq(-1, bands);
    doc.SetCustomEqNames({DuiLib::CDuiString(L"Bass \u00e9\u4e2d\U0001F3B5"), DuiLib::CDuiString(L"Voice")});
    const Json::Value saved = Saved(doc);
    EXPECT_EQ(saved["CustomEQHzValueInfo"].size(), 4u);
    EXPECT_EQ(saved["CustomEQNameInfo"], Parse(R"([{"Name": "Bass \u00e9\u4e2d\ud83c\udfb5"}, {"Name": "Voice"}])"));

    CHs6533Profiledata again;
    again.SetProfilePath(Dui(profile_));
    again.LoadProfile(again.GetProfilePath());
    EXPECT_EQ(again.GetCustomEq(3), bands);
    EXPECT_EQ(again.GetCustomEq(20), std::vector<int32_t>(10, 0));
    const std::vector<DuiLib::CDuiString> names = again.GetCustomEqNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], DuiLib::CDuiString(L"Bass \u00e9\u4e2d\U0001F3B5"));

    again.SetCustomEqNames({});
    EXPECT_TRUE(again.GetCustomEqNames().empty());
    EXPECT_TRUE(Saved(again)["CustomEQNameInfo"].isNull());
}

}  // namespace

// ---- every kind, every member, every wrong shape ----

// A hand-edited or imported profile may put any value under any key, at any
// depth. Every getter must read such a document without throwing, give
// records of the sizes its callers index, and every setter and save must
// then work on it.
TEST_F(KindDocument, EveryMemberOfAnyShapeIsReadAndWrittenSafely) {
    const char* const keys[] = {
        "LightInfo",         "AudioLightInfo",    "KeyList",         "LightList",        "SystemStages",
        "FrameIntervalTime", "Default_Main_page", "CustomLightMode", "DPIStages",        "ReportStages",
        "CorrectInfo",       "SystemSetStages",   "EQHzValueInfo",   "CustomEQNameInfo", "CustomEQHzValueInfo"};
    const char* const values[] = {"5", "-1", "1e300", "true", "\"x\"", "null", "[1, \"a\", null]", "[[null, 7]]",
                                  "{\"a\": 1}",
                                  // the members the readers descend into, each of the wrong kind
                                  R"({"LightColorInfo": 3, "CustomLightModeGroupIndex": [1], "StageDPIs": {"0": 1},
                                      "StageActive": "2", "Repeat": {}, "MagicType": [2], "SelectItem": [],
                                      "Assignment": "1"})",
                                  R"([{"Assignment": [], "DefaultAssignment": {}, "Name": 4, "value": "v",
                                      "LEDREGMode": {}, "CorrectName": [1], "StageDPIX": "x"}, 8, "s"])",
                                  R"({"LightColorInfo": [5, [3, "a", {"Red": "r"}]], "StageDPIs": [[], 4]})"};
    for (const char* key : keys) {
        for (const char* value : values) {
            SCOPED_TRACE(std::string(key) + " = " + value);
            const std::string entry = std::string("{\"") + key + "\": " + value + "}";
            CKeyboardProfiledata keyboard;
            CMouseProfiledata mouse;
            CHs6533Profiledata headset;
            Load(keyboard, entry);
            Load(mouse, entry);
            Load(headset, entry);
            for (CBasicProfiledata* doc :
                 {static_cast<CBasicProfiledata*>(&keyboard), static_cast<CBasicProfiledata*>(&mouse),
                  static_cast<CBasicProfiledata*>(&headset)}) {
                EXPECT_NO_THROW({
                    const LightSetting light = doc->GetLightInfo();
                    EXPECT_LE(light.brightness, kMaxBrightnessLevel);
                    EXPECT_LE(light.speed, kMaxProfileSpeedLevel);
                    doc->GetAudioLightInfo();
                    doc->GetKeyList();
                    doc->GetLightList();
                    doc->GetCustomEffect();
                });
            }
            EXPECT_NO_THROW({
                keyboard.GetSystemStages();
                keyboard.GetFrameIntervalTime();
                const int group = keyboard.GetCustomLightGroupIndex();
                EXPECT_GE(group, 0);
                EXPECT_LT(group, CKeyboardProfiledata::kMaxCustomLightGroups);
                EXPECT_EQ(keyboard.GetCustomLightColors(group, 4).size(), 4u);
                mouse.GetDpiStages();
                mouse.GetSystemStages();
                mouse.GetCorrectInfo();
                const int active = mouse.GetActiveDpiStage();
                EXPECT_GE(active, 0);
                headset.GetSystemSetStages();
                EXPECT_EQ(headset.GetEqPreset(1).size(), 10u);
                EXPECT_EQ(headset.GetCustomEq(0).size(), 10u);
                headset.GetCustomEqNames();
            });

            // Writing over the wrong shapes gives the shapes the readers need.
            EXPECT_NO_THROW({
                keyboard.SetLightInfo(LightSetting{});
                keyboard.SetKeyList(std::vector<KeyListEntry>(2));
                keyboard.SetSystemStages(1, 2, 3, 4);
                keyboard.SetCustomLightColors({LedColor{1, 2, 3, 4}}, 1);
                keyboard.SetCustomLightGroupIndex(1);
                mouse.SetDpiStages(std::vector<DpiStage>(2, DpiStage{1, 0, 800, 800, 1, 2, 3}));
                mouse.SetActiveDpiStage(1);
                mouse.SetSystemStages(1, 2, 3);
                headset.SetSystemSetStages(HeadsetSystemSetStages{});
                headset.SetEqPreset(2, std::vector<int32_t>(10, 3));
                headset.SetCustomEq(1, std::vector<int32_t>(10, 4));
                headset.SetCustomEqNames({DuiLib::CDuiString(L"n")});
            });
            EXPECT_EQ(keyboard.GetCustomLightColors(1, 1)[0].brightness, 4);
            EXPECT_EQ(keyboard.GetCustomLightGroupIndex(), 1);
            EXPECT_GE(keyboard.GetKeyList().size(), 2u);
            ASSERT_GE(mouse.GetDpiStages().size(), 2u);
            EXPECT_EQ(mouse.GetDpiStages()[1].x, 800);
            EXPECT_EQ(mouse.GetSystemStages().ToWords(), (std::array<uint32_t, 3>{1, 2, 3}));
            EXPECT_EQ(headset.GetEqPreset(2), std::vector<int32_t>(10, 3));
            EXPECT_EQ(headset.GetCustomEq(1), std::vector<int32_t>(10, 4));
            ASSERT_EQ(headset.GetCustomEqNames().size(), 1u);
            EXPECT_TRUE(headset.SaveProfile());
        }
    }
}
