// The recoil files: the six steps of a bullet, reading and writing bullets in
// a document, what counts as a gun, and the steps the mouse is sent.

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <json/json.h>

#include "link/json_file_util.h"
#include "pages/shoot_file.h"
#include "pages/shoot_gun_steps.h"
#include "platform/files/utf8.h"
#include "tests/pages/shoot_bullet_print.h"
#include "tests/support/temp_home.h"

namespace {

Json::Value Parse(const std::string& text) {
    Json::Value value;
    Json::CharReaderBuilder builder;
    std::string errors;
    std::istringstream in(text);
    EXPECT_TRUE(Json::parseFromStream(builder, in, &value, &errors)) << text;
    return value;
}

struct Step {
    std::string action;
    int button;
    int delay;
    int type;
};

Step StepOf(const Json::Value& e) {
    return {e["Action"].asString(), e["Button"].asInt(), e["Delay"].asInt(), e["Type"].asInt()};
}

void ExpectStep(const Json::Value& e, const Step& want, const std::string& where) {
    const Step got = StepOf(e);
    EXPECT_EQ(got.action, want.action) << where;
    EXPECT_EQ(got.button, want.button) << where;
    EXPECT_EQ(got.delay, want.delay) << where;
    EXPECT_EQ(got.type, want.type) << where;
    EXPECT_TRUE(e["Button"].isInt() && e["Delay"].isInt() && e["Type"].isInt() && e["Action"].isString()) << where;
}

// The six steps a bullet must become: a left click (10 ms, 0 ms), the X move
// (5 ms), the Y move (the bullet's delay), then X and Y moves of 0.
std::vector<Step> ExpectedSteps(const ShootBullet& b) {
    const std::string x = b.left ? "down" : "up";
    const std::string y = b.up ? "down" : "up";
    return {{"down", 1, 10, 1}, {"up", 1, 0, 1}, {x, b.x, 5, 4}, {y, b.y, b.delay, 5}, {x, 0, 0, 4}, {y, 0, 0, 5}};
}

TEST(ShootFile, BulletStepsFollowTheClickMoveShapeForEveryDirection) {
    const ShootBullet cases[] = {
        {true, 7, false, 9, 120},  // left and down
        {false, 3, true, 11, 45},  // right and up
        {true, 0, true, 0, 0},
        {false, 255, false, 255, 65535},
    };
    for (const ShootBullet& b : cases) {
        const std::vector<Step> want = ExpectedSteps(b);
        for (int step = 0; step < kShootStepsPerBullet; ++step)
            ExpectStep(ShootBulletStep(step, b), want[size_t(step)],
                       "step " + std::to_string(step) + " x " + std::to_string(b.x));
    }
}

TEST(ShootFile, NumbersReadAsIntegersOrTheLeadingNumberOfText) {
    const struct {
        const char* json;
        int want;
    } cases[] = {
        {"42", 42},
        {"-7", -7},
        {R"("17")", 17},
        {R"("  -3abc")", -3},
        {R"("+12ms")", 12},
        {R"("abc")", 0},
        {R"("")", 0},
        {"true", 0},
        {"null", 0},
        {"[5]", 0},
        {R"({"a": 1})", 0},
        {"3.9", 3},
        {"-3.9", -3},
        {"1e12", INT_MAX},
        {"-1e12", INT_MIN},
        {"4294967295", INT_MAX},
        {R"("99999999999")", INT_MAX},
    };
    for (const auto& c : cases) {
        const Json::Value wrapped = Parse(std::string("{\"v\": ") + c.json + "}");
        EXPECT_EQ(ShootNumber(wrapped["v"]), c.want) << c.json;
    }
}

TEST(ShootFile, ReadingTakesDirectionsWithoutCaseAndNumbersFromText) {
    Json::Value doc = Parse(R"({"Events": [{}, {}, {"Action": "DOWN", "Button": "12", "Type": 4},
        {"Action": "Down", "Button": 30, "Delay": "250ms", "Type": 5}]})");
    const ShootBullet b = ReadShootBullet(doc, 0);
    EXPECT_TRUE(b.left);
    EXPECT_TRUE(b.up);
    EXPECT_EQ(b.x, 12);
    EXPECT_EQ(b.y, 30);
    EXPECT_EQ(b.delay, 250);

    doc["Events"][2]["Action"] = "left";
    doc["Events"][3]["Button"] = Json::Value(Json::arrayValue);
    EXPECT_FALSE(ReadShootBullet(doc, 0).left) << "only \"down\" is left";
    EXPECT_EQ(ReadShootBullet(doc, 0).y, 0) << "an array is no number";
    EXPECT_EQ(ReadShootBullet(doc, 1), ShootBullet{}) << "a missing bullet reads as zeros, right and down";
    EXPECT_EQ(ReadShootBullet(Json::Value(), 4), ShootBullet{});
    EXPECT_EQ(ReadShootBullet(Parse("[1, 2, 3]"), 0), ShootBullet{});
}

TEST(ShootFile, WritingALateBulletFillsTheEarlierOnesWithZeroBulletsAndKeepsTheRest) {
    Json::Value doc =
        Parse(R"({"Name": "kept", "Events": [{"Action": "down", "Button": 1, "Delay": 10, "Type": 1}, null]})");
    const ShootBullet bullet{true, 8, true, 4, 300};
    WriteShootBullet(doc, 29, bullet);
    EXPECT_EQ(doc["Name"].asString(), "kept");
    ASSERT_EQ(doc["Events"].size(), 180u);
    EXPECT_EQ(StepOf(doc["Events"][0]).action, "down");
    const std::vector<Step> zero = ExpectedSteps(ShootBullet{});
    for (int i = 1; i < 174; ++i) {
        ASSERT_TRUE(doc["Events"][i].isObject()) << i;
        ExpectStep(doc["Events"][i], zero[size_t(i % 6)], "entry " + std::to_string(i));
    }
    const std::vector<Step> want = ExpectedSteps(bullet);
    for (int i = 174; i < 180; ++i) ExpectStep(doc["Events"][i], want[size_t(i - 174)], "entry " + std::to_string(i));
    EXPECT_EQ(ReadShootBullet(doc, 29), bullet);

    Json::Value notADocument = Parse("[1]");
    WriteShootBullet(notADocument, 0, bullet);
    ASSERT_TRUE(notADocument.isObject());
    EXPECT_EQ(notADocument["Events"].size(), 6u);
}

TEST(ShootFile, AmountsAndDelayAreHeldToWhatTheMouseTakes) {
    const struct {
        ShootBullet in;
        ShootBullet want;
    } cases[] = {
        {{true, 300, false, -5, 70000}, {true, 255, false, 0, 65535}},
        {{false, -1, true, 256, -20}, {false, 0, true, 255, 0}},
        {{true, 255, true, 0, 65535}, {true, 255, true, 0, 65535}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClampShootBullet(c.in), c.want);
        Json::Value doc;
        WriteShootBullet(doc, 3, c.in);
        EXPECT_EQ(ReadShootBullet(doc, 3), c.want);
    }
}

TEST(ShootFile, AGunIsAnObjectWithAtMost180ObjectEvents) {
    auto events = [](int count, const std::string& item) {
        std::string text = R"({"Events": [)";
        for (int i = 0; i < count; ++i) text += (i ? "," : "") + item;
        return text + "]}";
    };
    const struct {
        std::string json;
        bool gun;
    } cases[] = {
        {events(180, "{}"), true},
        {events(0, "{}"), true},
        {events(181, "{}"), false},
        {R"({"Events": [{}, null, {}]})", false},
        {R"({"Events": [{}, 5]})", false},
        {R"({"Events": {"0": {}}})", false},
        {R"({"events": []})", false},
        {R"([{"Events": []}])", false},
        {R"("Events")", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsShootDocument(Parse(c.json)), c.gun) << c.json.substr(0, 60);
    EXPECT_FALSE(IsShootDocument(Json::Value()));
}

TEST(ShootGunSteps, EachEventPacksAsItsClampedStepAndAGunStopsAt180) {
    Json::Value doc(Json::objectValue);
    Json::Value& events = doc["Events"] = Json::Value(Json::arrayValue);
    for (int i = 0; i < 200; ++i) {
        Json::Value e;
        e["Action"] = i % 2 ? "up" : "down";
        e["Button"] = i;
        e["Delay"] = i * 3;
        e["Type"] = 4 + i % 2;
        events.append(e);
    }
    events[7]["Button"] = "300";
    events[8]["Delay"] = "70000";
    events[9] = Json::Value();
    events[10]["Button"] = -4;

    const std::vector<DeviceMacroEvent> steps = PackShootGun(doc);
    ASSERT_EQ(steps.size(), 180u);
    for (int i = 0; i < 180; ++i) {
        if (i >= 7 && i <= 10) continue;
        EXPECT_EQ(steps[size_t(i)].code, i) << i;
        EXPECT_EQ(steps[size_t(i)].delayLow | steps[size_t(i)].delayHigh << 8, i * 3) << i;
        EXPECT_EQ(steps[size_t(i)].type, (4 + i % 2) | (i % 2 ? 0 : 0x80)) << i;
    }
    EXPECT_EQ(steps[7].code, 255) << "300 is held, not cut to 44";
    EXPECT_EQ(steps[8].delayLow | steps[8].delayHigh << 8, 65535) << "70000 is held, not cut to 4464";
    EXPECT_EQ(steps[9].code | steps[9].type | steps[9].delayLow | steps[9].delayHigh, 0);
    EXPECT_EQ(steps[10].code, 0);
}

TEST(ShootGunSteps, TheFourGunsComeFromTheFolderAndAMissingOneIsEmpty) {
    tavrik::test::TempDir dir("tavrik-shoot-steps");
    const DuiLib::CDuiString folder = win::FromUtf8(dir.Path().string() + "/").c_str();
    for (int gun : {0, 2, 3}) {
        Json::Value doc;
        for (int b = 0; b <= gun * 5; ++b)
            WriteShootBullet(doc, b, ShootBullet{gun % 2 == 0, gun + b, true, b, 50 + gun});
        ASSERT_TRUE(CJsonFileUtil::SaveJson(folder + ShootFileName(gun), doc));
    }
    {
        std::ofstream broken(dir.Path() / "ShootData_3.Shoot", std::ios::trunc);
        broken << "{\"Events\": [";
    }
    const auto guns = LoadShootGunSteps(folder);
    ASSERT_EQ(guns.size(), 4u);
    EXPECT_EQ(guns[0].size(), 6u);
    EXPECT_TRUE(guns[1].empty());
    ASSERT_EQ(guns[2].size(), 66u);
    EXPECT_TRUE(guns[3].empty());
    // Bullet 7 of gun 2: the Y move carries the amount 7 upwards and the delay.
    const DeviceMacroEvent& moveY = guns[2][7 * 6 + 3];
    EXPECT_EQ(moveY.code, 7);
    EXPECT_EQ(moveY.type, 0x85);
    EXPECT_EQ(moveY.delayLow, 52);
}

// The shipped defaults are full guns: 30 bullets, each in the six-step shape.
TEST(ShootDefaults, EveryShippedGunHas30BulletsInTheBulletShape) {
    for (int gun = 0; gun < kShootGunCount; ++gun) {
        const std::filesystem::path path =
            std::filesystem::path(TAVRIK_SOURCE_DIR) / "DefaultData" / win::ToUtf8(ShootFileName(gun).str());
        const Json::Value doc = CJsonFileUtil::LoadJson(win::FromUtf8(path.string()).c_str());
        ASSERT_TRUE(IsShootDocument(doc)) << path;
        ASSERT_EQ(doc["Events"].size(), 180u) << path;
        int moving = 0;
        for (int b = 0; b < kShootBulletCount; ++b) {
            const ShootBullet bullet = ReadShootBullet(doc, b);
            EXPECT_EQ(bullet, ClampShootBullet(bullet)) << gun << "/" << b;
            const std::vector<Step> want = ExpectedSteps(bullet);
            for (int s = 0; s < 6; ++s)
                ExpectStep(doc["Events"][b * 6 + s], want[size_t(s)], std::to_string(gun) + "/" + std::to_string(b));
            if (bullet.y > 0 && bullet.delay > 0) ++moving;
        }
        EXPECT_EQ(moving, kShootBulletCount) << "every default bullet pulls and waits: " << gun;
    }
}

}  // namespace
