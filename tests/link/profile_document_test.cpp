#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "link/basic_profiledata.h"
#include "link/hs6533_profiledata.h"
#include "link/keyboard_profiledata.h"
#include "link/mouse_profiledata.h"
#include "tests/link/profile_test_files.h"
#include "tests/support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using namespace profile_test;

struct Kind {
    const char* name;  // the kind's folder name, and its default file's stem
    std::function<std::unique_ptr<CBasicProfiledata>()> make;
};

const Kind kKinds[] = {
    {"keyboard", [] { return std::make_unique<CKeyboardProfiledata>(); }},
    {"mouse", [] { return std::make_unique<CMouseProfiledata>(); }},
    {"MousePad", [] { return std::make_unique<CBasicProfiledata>(); }},
    {"HD", [] { return std::make_unique<CHs6533Profiledata>(); }},
};

const LightSetting kDefaultLight = [] {
    LightSetting s;
    s.mode = 3;
    s.brightness = 4;
    s.speed = 2;
    s.direction = 1;
    s.colorful = 1;
    s.red = 10;
    s.green = 20;
    s.blue = 30;
    return s;
}();

Json::Value DefaultEntry(const std::string& kind) {
    return Parse(R"({"LightInfo": {"SelectItem": 3, "Light": 4, "Speed": 2, "Fx": 1, "MultiColor": 1,
                     "Red": 10, "Green": 20, "Blue": 30}, "Marker": ")" +
                 kind + R"("})");
}

class ProfileDocument : public ::testing::Test {
protected:
    fs::path DefaultFile(const std::string& kind) {
        const fs::path path = dir_.Path() / "DefaultData" / (kind + ".Json");
        if (!fs::exists(path)) {
            fs::create_directories(path.parent_path());
            Json::Value root;
            root["Device"][0] = DefaultEntry(kind);
            WriteJson(path, root);
        }
        return path;
    }
    std::unique_ptr<CBasicProfiledata> Make(const Kind& kind) {
        auto doc = kind.make();
        doc->SetDefaultProfilePath(Dui(DefaultFile(kind.name)));
        doc->SetDeviceIndex(0);
        doc->SetProfilePath(Dui(profile_));
        return doc;
    }

    tavrik::test::TempDir dir_;
    fs::path profile_ = dir_.Path() / "2024_01_02_03_04_05_006.Json";
};

// What LoadProfile must make of the profile file it finds.
struct LoadCase {
    const char* name;
    std::optional<std::string> content;  // nullopt: no file
    bool damaged;                        // set aside as ".bad", never overwritten
    bool entryWritten;                   // the default entry is written into the file
    const char* keptRootMember;          // a root member that must survive, or null
};

const LoadCase kLoadCases[] = {
    {"missing", std::nullopt, false, true, nullptr},
    {"empty", std::string(""), true, false, nullptr},
    {"truncated", std::string(R"({"Device": [{"LightInfo": )"), true, false, nullptr},
    {"root_array", std::string("[1, 2]"), true, false, nullptr},
    {"device_not_array", std::string(R"({"Device": 5, "profilename": "p"})"), true, false, nullptr},
    {"entry_not_object", std::string(R"({"Device": ["text"], "profilename": "p"})"), true, false, nullptr},
    {"no_device", std::string(R"({"profilename": "Mine", "profileUUID": "u1"})"), false, true, "profilename"},
    {"empty_device", std::string(R"({"Device": [], "profileUUID": "u1"})"), false, true, "profileUUID"},
    {"null_entry", std::string(R"({"Device": [null], "profilename": "Mine"})"), false, true, "profilename"},
};

// Loading a profile also clears away the copies that killed saves of that
// file left beside it, and nothing of any other name.
TEST_F(ProfileDocument, LoadRemovesTheLeftCopiesOfKilledSavesOfThatFile) {
    Json::Value root;
    root["Device"][0] = DefaultEntry("keyboard");
    WriteJson(profile_, root);
    const fs::path stale = fs::path(profile_.string() + ".0123456789ab.tmp");
    const fs::path other = dir_.Path() / "2024_01_02_03_04_05_007.Json.0123456789ab.tmp";
    WriteJson(stale, root);
    WriteJson(other, root);
    auto doc = Make(kKinds[0]);
    doc->LoadProfile(doc->GetProfilePath());
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(other));
    EXPECT_TRUE(fs::exists(profile_));
}

TEST_F(ProfileDocument, LoadCompletesOrSetsAsideEveryKindOfFile) {
    for (const Kind& kind : kKinds) {
        for (const LoadCase& c : kLoadCases) {
            SCOPED_TRACE(std::string(kind.name) + " / " + c.name);
            fs::remove(profile_);
            fs::remove(fs::path(profile_) += ".bad");
            if (c.content) {
                WriteText(profile_, *c.content);
            }
            auto doc = Make(kind);
            const Json::Value loaded = doc->LoadProfile(doc->GetProfilePath());
            // The defaults serve in memory whatever the file held.
            EXPECT_EQ(loaded, DefaultEntry(kind.name));
            EXPECT_EQ(doc->GetLightInfo(), kDefaultLight);

            const fs::path bad = fs::path(profile_) += ".bad";
            if (c.damaged) {
                EXPECT_EQ(ReadText(bad), c.content) << "the damaged file is kept aside unchanged";
                EXPECT_FALSE(fs::exists(profile_)) << "loading writes no new file over it";
                ASSERT_TRUE(doc->SaveProfile());
                const Json::Value saved = ReadJson(profile_);
                EXPECT_EQ(saved["Device"][0], DefaultEntry(kind.name));
                EXPECT_EQ(ReadText(bad), c.content) << "saving leaves the set-aside file alone";
            } else {
                EXPECT_FALSE(fs::exists(bad));
                const Json::Value file = ReadJson(profile_);
                EXPECT_EQ(file["Device"][0], c.entryWritten ? DefaultEntry(kind.name) : Json::Value());
                if (c.keptRootMember != nullptr) {
                    EXPECT_EQ(file[c.keptRootMember], Parse(*c.content)[c.keptRootMember]);
                }
            }
        }
    }
}

TEST_F(ProfileDocument, PartiallyFilledFileIsReadAsItIsAndNotRewritten) {
    const std::string text = R"({"profilename": "Game", "Device": [{"LightInfo": {"SelectItem": 300, "Light": 5,
        "MultiColor": 7, "Red": 511}}, {"Other": 1}]})";
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        WriteText(profile_, text);
        auto doc = Make(kind);
        doc->LoadProfile(doc->GetProfilePath());
        EXPECT_EQ(ReadText(profile_), text) << "a complete entry needs no write";
        const LightSetting light = doc->GetLightInfo();
        EXPECT_EQ(light.mode, 44) << "low 8 bits of 300";
        EXPECT_EQ(light.brightness, 5);
        EXPECT_EQ(light.colorful, 1);
        EXPECT_EQ(light.red, 255);
        EXPECT_EQ(light.speed, 0) << "missing reads as 0";
        EXPECT_EQ(doc->GetAudioLightInfo(), AudioLightSetting{}) << "missing record is all zero";
        EXPECT_TRUE(doc->GetKeyList().empty());

        ASSERT_TRUE(doc->SaveProfile());
        const Json::Value file = ReadJson(profile_);
        EXPECT_EQ(file["profilename"], "Game");
        EXPECT_EQ(file["Device"][1], Parse(R"({"Other": 1})")) << "other entries stay";
        EXPECT_TRUE(file["Device"][0].isMember("AudioLightInfo")) << "a read member is kept as null";
        EXPECT_TRUE(file["Device"][0]["AudioLightInfo"].isNull());
    }
}

// A later failure never overwrites the copy of an earlier one.
TEST_F(ProfileDocument, EveryDamagedFileIsKeptAside) {
    auto doc = Make(kKinds[0]);
    WriteText(profile_, "first {");
    doc->LoadProfile(doc->GetProfilePath());
    WriteText(profile_, "second {");
    doc->LoadProfile(doc->GetProfilePath());
    EXPECT_EQ(ReadText(fs::path(profile_) += ".bad"), std::string("first {"));
    EXPECT_EQ(ReadText(fs::path(profile_) += ".bad.1"), std::string("second {"));
}

TEST_F(ProfileDocument, SaveSetsAsideAFileDamagedSinceLoading) {
    auto doc = Make(kKinds[2]);
    doc->LoadProfile(doc->GetProfilePath());
    WriteText(profile_, "garbage");
    ASSERT_TRUE(doc->SaveProfile());
    EXPECT_EQ(ReadText(fs::path(profile_) += ".bad"), std::string("garbage"));
    EXPECT_EQ(ReadJson(profile_)["Device"][0], DefaultEntry("MousePad"));
}

TEST_F(ProfileDocument, DefaultFileWithoutEntryGivesNullDocumentAndZeroRecords) {
    auto doc = std::make_unique<CBasicProfiledata>();
    const fs::path defaults = dir_.Path() / "empty_default.Json";
    WriteText(defaults, R"({"Device": []})");
    doc->SetDefaultProfilePath(Dui(defaults));
    EXPECT_TRUE(doc->LoadProfile(Dui(profile_)).isNull());
    EXPECT_EQ(doc->GetLightInfo(), LightSetting{});
    EXPECT_EQ(ReadJson(profile_), Parse(R"({"Device": [null]})"));
}

TEST_F(ProfileDocument, PathSettersIgnoreEmptyStrings) {
    CBasicProfiledata doc;
    doc.SetProfilePath(Dui(profile_));
    doc.SetProfilePath(DuiLib::CDuiString());
    EXPECT_EQ(doc.GetProfilePath(), Dui(profile_));
}

TEST_F(ProfileDocument, LightAndMusicLightingRoundTrip) {
    auto doc = Make(kKinds[0]);
    doc->LoadProfile(doc->GetProfilePath());
    LightSetting light;
    light.mode = 200;
    light.brightness = 5;
    light.speed = 4;
    light.direction = 2;
    light.colorful = 1;
    light.red = 255;
    light.green = 1;
    light.blue = 128;
    light.subMode = 9;
    light.customGroup = 3;
    light.previousMode = 17;
    doc->SetLightInfo(light);
    AudioLightSetting audio{4, 1, 2, 3, 250, 251, 252, 1, 0};
    doc->SetAudioLightInfo(audio);
    ASSERT_TRUE(doc->SaveProfile());

    auto again = Make(kKinds[0]);
    again->LoadProfile(again->GetProfilePath());
    EXPECT_EQ(again->GetLightInfo(), light);
    AudioLightSetting expected = audio;
    expected.colorType = 1;  // the page always starts on the foreground colour
    EXPECT_EQ(again->GetAudioLightInfo(), expected);
    // Every key of both objects, as the file holds them.
    const Json::Value entry = ReadJson(profile_)["Device"][0];
    EXPECT_EQ(entry["LightInfo"], Parse(R"({"SelectItem": 200, "Light": 5, "Speed": 4, "Fx": 2, "MultiColor": 1,
        "Red": 255, "Green": 1, "Blue": 128, "ZZCCLedMode": 9, "CustomGroup": 3, "OldLedmode": 17})"));
    EXPECT_EQ(entry["AudioLightInfo"], Parse(R"({"AudioMode": 4, "BkColorR": 1, "BkColorG": 2, "BkColorB": 3,
        "FgColorR": 250, "FgColorG": 251, "FgColorB": 252, "7ColorFlags": 1, "ColorTypeFlags": 0})"));
}

TEST_F(ProfileDocument, UnsavedChangeIsLostWhenAnotherProfileLoads) {
    auto doc = Make(kKinds[1]);
    doc->LoadProfile(doc->GetProfilePath());
    LightSetting light;
    light.mode = 99;
    doc->SetLightInfo(light);
    doc->LoadProfile(Dui(dir_.Path() / "other.Json"));
    EXPECT_EQ(doc->GetLightInfo(), kDefaultLight);
}

TEST_F(ProfileDocument, KeyListReadsPackedAssignmentsAndWritesByPosition) {
    WriteText(profile_, R"({"Device": [{"KeyList": [
        {"Assignment": 2097412, "DefaultAssignment": 2097413},
        {"Assignment": 1}, {"Assignment": 2}, {"Assignment": 3, "DefaultAssignment": 7}, {"Assignment": 4}]}]})");
    auto doc = Make(kKinds[0]);
    doc->LoadProfile(doc->GetProfilePath());
    std::vector<KeyListEntry> keys = doc->GetKeyList();
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys[0].current.function, (KeyFunction{0x20, 0x01, 0x04}));
    EXPECT_EQ(keys[0].defaults.function, (KeyFunction{0x20, 0x01, 0x05}));
    EXPECT_EQ(keys[3].current.keyIndex, 3);
    EXPECT_EQ(keys[3].defaults.keyIndex, 3);
    EXPECT_EQ(keys[1].defaults.function, KeyFunction{}) << "missing default reads as 0";

    // Three entries change elements 0 to 2 only; the key index field does
    // not select the element.
    std::vector<KeyListEntry> three(3);
    for (int i = 0; i < 3; ++i) {
        three[i].current.keyIndex = 40;
        three[i].current.function = KeyFunction{0x10, uint8_t(i), 0x0F};
    }
    doc->SetKeyList(three);
    ASSERT_TRUE(doc->SaveProfile());
    Json::Value list = ReadJson(profile_)["Device"][0]["KeyList"];
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0]["Assignment"], 0x10000F);
    EXPECT_EQ(list[0]["DefaultAssignment"], 2097413) << "defaults are never written";
    EXPECT_EQ(list[2]["Assignment"], 0x10020F);
    EXPECT_EQ(list[3]["Assignment"], 3);
    EXPECT_EQ(list[3]["DefaultAssignment"], 7);

    // Seven entries append elements 5 and 6 holding only "Assignment".
    std::vector<KeyListEntry> seven(7);
    seven[6].current.function = KeyFunction{1, 2, 3};
    doc->SetKeyList(seven);
    ASSERT_TRUE(doc->SaveProfile());
    list = ReadJson(profile_)["Device"][0]["KeyList"];
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[6], Parse(R"({"Assignment": 66051})"));
    EXPECT_EQ(list[3]["DefaultAssignment"], 7);
}

TEST_F(ProfileDocument, OtherProfileIsChangedWithoutTouchingTheActiveOne) {
    const fs::path other = dir_.Path() / "other.Json";
    WriteText(other,
              R"({"profilename": "Second", "Device": [{"KeyList": [{"Assignment": 5, "DefaultAssignment": 6}]}]})");
    WriteText(profile_, R"({"Device": [{"KeyList": [{"Assignment": 9}]}]})");
    auto doc = Make(kKinds[0]);
    doc->LoadProfile(doc->GetProfilePath());

    doc->LoadOtherProfile(Dui(other));
    std::vector<KeyListEntry> keys = doc->GetOtherKeyList();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].current.function, (KeyFunction{0, 0, 5}));
    keys[0].current.function = KeyFunction{};
    doc->SetOtherKeyList(keys);
    ASSERT_TRUE(doc->SaveOtherProfile(Dui(other)));

    EXPECT_EQ(ReadJson(other), Parse(R"({"profilename": "Second",
        "Device": [{"KeyList": [{"Assignment": 0, "DefaultAssignment": 6}]}]})"));
    ASSERT_EQ(doc->GetKeyList().size(), 1u);
    EXPECT_EQ(doc->GetKeyList()[0].current.function, (KeyFunction{0, 0, 9}));
    ASSERT_TRUE(doc->SaveProfile());
    EXPECT_EQ(ReadJson(profile_)["Device"][0]["KeyList"][0]["Assignment"], 9);
}

// Hostile values: out-of-range indexes and wrongly typed members read as the
// Part's default for a missing value.
struct LightValueCase {
    const char* lightInfo;
    LightSetting expected;
};

LightSetting Light(uint8_t mode, uint8_t brightness, uint8_t speed, uint8_t colorful = 0) {
    LightSetting s;
    s.mode = mode;
    s.brightness = brightness;
    s.speed = speed;
    s.colorful = colorful;
    return s;
}

TEST_F(ProfileDocument, LightInfoValuesAreValidatedWhereTheyBecomeIndexes) {
    const LightValueCase cases[] = {
        {R"({"SelectItem": 1, "Light": 5, "Speed": 4})", Light(1, 5, 4)},
        {R"({"SelectItem": 1, "Light": 5, "Speed": 5})", Light(1, 5, 5)},  // a keyboard's fastest speed
        {R"({"SelectItem": 1, "Light": 6, "Speed": 6})", Light(1, 0, 0)},
        {R"({"SelectItem": 1, "Light": -1, "Speed": -3})", Light(1, 0, 0)},
        {R"({"SelectItem": 1, "Light": 300, "Speed": 260})", Light(1, 0, 0)},
        {R"({"SelectItem": "7", "Light": "3", "Speed": [1]})", Light(0, 0, 0)},
        {R"({"SelectItem": 2.9, "Light": true, "MultiColor": 0.5})", Light(2, 1, 0, 1)},
        {R"({"SelectItem": 1e30, "Light": {"a": 1}, "MultiColor": "yes"})", Light(0, 0, 0)},
        {R"([1, 2, 3])", Light(0, 0, 0)},
        {R"("LightInfo")", Light(0, 0, 0)},
    };
    for (const LightValueCase& c : cases) {
        SCOPED_TRACE(c.lightInfo);
        WriteText(profile_, std::string(R"({"Device": [{"LightInfo": )") + c.lightInfo + "}]}");
        auto doc = Make(kKinds[3]);
        doc->LoadProfile(doc->GetProfilePath());
        EXPECT_EQ(doc->GetLightInfo(), c.expected);
        EXPECT_NO_THROW(doc->GetAudioLightInfo());
        EXPECT_NO_THROW(doc->GetKeyList());
    }
}

TEST_F(ProfileDocument, WronglyTypedContainersReadAsMissingAndAreReplacedOnWrite) {
    WriteText(profile_, R"({"Device": [{"AudioLightInfo": 12, "KeyList": {"Assignment": 3},
        "LightList": "none"}]})");
    auto doc = Make(kKinds[0]);
    doc->LoadProfile(doc->GetProfilePath());
    EXPECT_EQ(doc->GetAudioLightInfo(), AudioLightSetting{});
    EXPECT_TRUE(doc->GetKeyList().empty());
    EXPECT_TRUE(doc->GetLightList().empty());
    std::vector<KeyListEntry> keys(1);
    keys[0].current.function = KeyFunction{0, 1, 2};
    doc->SetKeyList(keys);
    ASSERT_TRUE(doc->SaveProfile());
    EXPECT_EQ(ReadJson(profile_)["Device"][0]["KeyList"], Parse(R"([{"Assignment": 258}])"));
}

TEST_F(ProfileDocument, NegativeEntryIndexIsIgnored) {
    WriteText(profile_, R"({"Device": [{"LightInfo": {"SelectItem": 8}}]})");
    auto doc = Make(kKinds[2]);
    doc->SetDeviceIndex(-1);
    doc->LoadProfile(doc->GetProfilePath());
    EXPECT_EQ(doc->GetLightInfo().mode, 8);
}

// The light thread reads the lighting record while the UI thread changes and
// reloads the document; every read must see one whole record.
TEST_F(ProfileDocument, LightThreadReadsWholeRecordsWhileTheDocumentChanges) {
    auto doc = Make(kKinds[0]);
    doc->LoadProfile(doc->GetProfilePath());
    LightSetting a = Light(17, 5, 4, 1);
    a.red = 255;
    LightSetting b = Light(18, 1, 1, 0);
    b.blue = 255;

    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::atomic<int> reads{0};
    std::thread reader([&] {
        while (!stop.load() || reads.load() == 0) {
            const LightSetting seen = doc->GetLightInfo();
            if (!(seen == a || seen == b || seen == kDefaultLight)) {
                ++torn;
            }
            ++reads;
        }
    });
    for (int i = 0; i < 200; ++i) {
        doc->SetLightInfo(i % 2 == 0 ? a : b);
        if (i % 20 == 0) {
            doc->SaveProfile();
            doc->LoadProfile(doc->GetProfilePath());
        }
    }
    stop = true;
    reader.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(reads.load(), 0);
}

}  // namespace
