#include "link/json_read.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "link/macro_event_pack.h"

namespace {

Json::Value Parse(const char* text) {
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value v;
    std::string errors;
    EXPECT_TRUE(reader->parse(text, text + std::strlen(text), &v, &errors)) << text;
    return v;
}

}  // namespace

// Every reading of a value that a hand-edited file may hold: the usual
// cross-kind readings convert, everything else gives the fallback, nothing
// throws.
TEST(JsonRead, ReadsAcrossKindsOrFallsBack) {
    const Json::Value doc = Parse(R"({
        "int": 5, "neg": -1, "big": 3000000000, "real": 3.7, "huge": 1e300,
        "yes": true, "text": "12", "arr": [1], "obj": {"a": 1}, "nul": null
    })");
    const struct {
        const char* key;
        int asInt;
        unsigned asUInt;
        bool asBool;
        const char* asString;
    } cases[] = {
        {"int", 5, 5u, true, "5"},
        {"neg", -1, 99u, true, "-1"},
        {"big", -9, 3000000000u, true, "3000000000"},
        {"real", 3, 3u, true, nullptr},
        {"huge", -9, 99u, true, nullptr},
        {"yes", 1, 1u, true, "true"},
        {"text", -9, 99u, false, "12"},
        {"arr", -9, 99u, false, "fallback"},
        {"obj", -9, 99u, false, "fallback"},
        {"nul", -9, 99u, false, "fallback"},
        {"missing", -9, 99u, false, "fallback"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JsonInt(doc, c.key, -9), c.asInt) << c.key;
        EXPECT_EQ(JsonUInt(doc, c.key, 99u), c.asUInt) << c.key;
        EXPECT_EQ(JsonBool(doc, c.key, false), c.asBool) << c.key;
        if (c.asString != nullptr) {
            EXPECT_EQ(JsonString(doc, c.key, "fallback"), c.asString) << c.key;
        }
    }
    EXPECT_DOUBLE_EQ(JsonDouble(doc, "real", 0.5), 3.7);
    EXPECT_DOUBLE_EQ(JsonDouble(doc, "text", 0.5), 0.5);
    EXPECT_FALSE(doc.isMember("missing")) << "reads never add members";
}

TEST(JsonRead, MembersAndElementsOfTheWrongShapeAreNull) {
    const Json::Value doc = Parse(R"({"list": [10, 20], "n": 4})");
    EXPECT_EQ(JsonAsInt(JsonElement(JsonMember(doc, "list"), 1)), 20);
    EXPECT_TRUE(JsonElement(JsonMember(doc, "list"), 2).isNull());
    EXPECT_TRUE(JsonElement(JsonMember(doc, "list"), -1).isNull());
    EXPECT_TRUE(JsonElement(doc, 0).isNull()) << "an object is not an array";
    EXPECT_TRUE(JsonMember(JsonMember(doc, "list"), "x").isNull()) << "an array is not an object";
    EXPECT_TRUE(JsonMember(JsonMember(doc, "n"), "x").isNull());
    EXPECT_TRUE(JsonMember(doc, nullptr).isNull());
    EXPECT_EQ(JsonInt(Json::Value(7), "any", 3), 3);
}

namespace {

std::array<int, 4> Pack(const char* json) {
    DeviceMacroEvent e;
    e.delayLow = e.delayHigh = e.type = e.code = 0xEE;
    EXPECT_TRUE(PackMacroEvent(Parse(json), e));
    return {e.delayLow, e.delayHigh, e.type, e.code};
}

}  // namespace

TEST(PackMacroEvent, PacksDelayTypePressAndCode) {
    using B = std::array<int, 4>;
    EXPECT_EQ(Pack(R"({"Action": "down", "Button": 4, "Type": 10, "Delay": "300"})"), (B{0x2C, 0x01, 0x8A, 0x04}));
    EXPECT_EQ(Pack(R"({"Action": "up", "Button": 4, "Type": 10, "Delay": "300"})"), (B{0x2C, 0x01, 0x0A, 0x04}));
    EXPECT_EQ(Pack(R"({"Action": "Down", "Button": 260, "Type": 266, "Delay": 300})"), (B{0x2C, 0x01, 0x0A, 0x04}))
        << "case-sensitive action; low 8 bits; a number delay reads as its text";
    EXPECT_EQ(Pack(R"({"Action": "down", "Button": 1, "Type": 1, "Delay": "65535"})"), (B{0xFF, 0xFF, 0x81, 0x01}));
    EXPECT_EQ(Pack(R"({"Action": "down", "Button": 1, "Type": 1, "Delay": " 25ms"})"), (B{25, 0, 0x81, 0x01}));
}

TEST(PackMacroEvent, LongOrNegativeDelaysAreHeldInRangeNotWrapped) {
    using B = std::array<int, 4>;
    EXPECT_EQ(Pack(R"({"Delay": "70000"})"), (B{0xFF, 0xFF, 0, 0})) << "70000 ms must not become 4464 ms";
    EXPECT_EQ(Pack(R"({"Delay": 99999999999})"), (B{0xFF, 0xFF, 0, 0}));
    EXPECT_EQ(Pack(R"({"Delay": "-5"})"), (B{0, 0, 0, 0}));
}

TEST(PackMacroEvent, WrongKindsAndShapesReadAsAbsent) {
    using B = std::array<int, 4>;
    EXPECT_EQ(Pack(R"({})"), (B{0, 0, 0, 0}));
    EXPECT_EQ(Pack(R"({"Action": ["down"], "Button": "4", "Type": {"a": 1}, "Delay": [300]})"), (B{0, 0, 0, 0}));
    EXPECT_EQ(Pack(R"({"Action": "down", "Button": true, "Type": 2.9, "Delay": true})"), (B{0, 0, 0x82, 1}));
    EXPECT_EQ(Pack(R"([1, 2, 3])"), (B{0, 0, 0, 0}));
    EXPECT_EQ(Pack(R"("down")"), (B{0, 0, 0, 0}));
}
