// The DPI slider conversions of the mouse page, as tables: ordinary scales,
// a step of 0, the coarse sensor and the text of the DPI edit.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "devices/mouse_dpi.h"
#include "link/device_blocks.h"

namespace {

constexpr uint16_t kCoarse = MouseDpiScale::kCoarseSensor;

struct PositionCase {
    const char* name;
    int step, base, sliderMax;
    uint16_t sensor;
    int position;
    int dpi;
};

const PositionCase kToDpi[] = {
    {"Zero", 100, 200, 60, 0x3360, 0, 200},
    {"FineTop", 100, 200, 60, 0x3360, 48, 5000},
    {"PlainPastFineTop", 100, 200, 160, 0x3360, 60, 6200},
    {"CoarseAtFineTop", 100, 200, 60, kCoarse, 48, 5000},
    {"CoarseFirst", 100, 200, 60, kCoarse, 49, 5200},
    {"CoarseTop", 100, 200, 60, kCoarse, 60, 7400},
    {"CoarseBelowFineTop", 50, 100, 60, kCoarse, 10, 600},
    {"StepZeroTakenAsOne", 0, 200, 60, 0x3360, 30, 230},
    {"StepZeroCoarse", 0, 0, 60, kCoarse, 50, 48 + 400},
};

// Tests name the case in their messages, not its bytes.
void PrintTo(const PositionCase& c, std::ostream* out) { *out << c.name; }

class DpiFromPosition : public ::testing::TestWithParam<PositionCase> {};
INSTANTIATE_TEST_SUITE_P(Scales, DpiFromPosition, ::testing::ValuesIn(kToDpi),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(DpiFromPosition, ShowsTheStageValue) {
    const PositionCase& c = GetParam();
    const MouseDpiScale scale = MouseDpiScale::Make(c.step, c.base, c.sliderMax, c.sensor);
    EXPECT_EQ(MouseDpiFromPosition(c.position, scale), c.dpi);
}

struct TextCase {
    const char* name;
    int step, base, sliderMax;
    uint16_t sensor;
    const wchar_t* text;
    int position;
};

const TextCase kToPosition[] = {
    {"BelowBase", 100, 200, 60, 0x3360, L"150", 0},
    {"RoundsDown", 100, 200, 60, 0x3360, L"5030", 48},
    {"Empty", 100, 200, 60, 0x3360, L"", 0},
    {"NotANumber", 100, 200, 60, 0x3360, L"abc", 0},
    {"Negative", 100, 200, 60, 0x3360, L"-800", 0},
    {"LeadingNumber", 100, 200, 60, 0x3360, L" 1200dpi", 10},
    {"PastTheSlider", 100, 200, 60, 0x3360, L"99999", 60},
    {"HugeText", 100, 200, 60, 0x3360, L"123456789012345678901234567890", 60},
    {"UnknownMaximumNotClamped", 100, 200, 0, 0x3360, L"20200", 200},
    {"StepZero", 0, 200, 1000, 0x3360, L"700", 500},
    {"StepZeroNoInfo", 0, 0, 0, 0, L"42", 42},
    {"CoarseFineTop", 100, 200, 60, kCoarse, L"5000", 48},
    {"CoarseBetweenSteps", 100, 200, 60, kCoarse, L"5100", 48},
    {"CoarseFirst", 100, 200, 60, kCoarse, L"5200", 49},
    {"CoarseTop", 100, 200, 60, kCoarse, L"7400", 60},
    {"CoarsePastTheSlider", 100, 200, 60, kCoarse, L"12000", 60},
    {"CoarseBelowFineTop", 100, 200, 60, kCoarse, L"1250", 10},
};

// Tests name the case in their messages, not its bytes.
void PrintTo(const TextCase& c, std::ostream* out) { *out << c.name; }

class DpiPositionFromText : public ::testing::TestWithParam<TextCase> {};
INSTANTIATE_TEST_SUITE_P(Scales, DpiPositionFromText, ::testing::ValuesIn(kToPosition),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(DpiPositionFromText, GivesTheSliderPosition) {
    const TextCase& c = GetParam();
    const MouseDpiScale scale = MouseDpiScale::Make(c.step, c.base, c.sliderMax, c.sensor);
    EXPECT_EQ(MouseDpiPositionFromText(c.text, scale), c.position);
}

TEST(MouseDpi, EveryPositionOfTheCoarseSensorRoundTrips) {
    // The edit shows the slider's value; typing it back gives the same position.
    for (uint16_t sensor : {uint16_t(0x3360), kCoarse}) {
        const MouseDpiScale scale = MouseDpiScale::Make(100, 200, 60, sensor);
        for (int p = 0; p <= 60; ++p) {
            const std::wstring shown = std::to_wstring(MouseDpiFromPosition(p, scale));
            EXPECT_EQ(MouseDpiPositionFromText(shown.c_str(), scale), p) << "sensor " << sensor << " position " << p;
        }
    }
}

TEST(MouseDpi, ScaleFromTheInformationBlock) {
    DeviceInfoBlock info;
    info.bytes[9] = 0x25;
    info.bytes[10] = 0x33;
    info.bytes[11] = 0;  // no step reported
    info.bytes[12] = 60;
    info.bytes[13] = 1;  // 316 positions
    info.bytes[14] = 0x90;
    info.bytes[15] = 0x01;  // base 400
    const MouseDpiScale scale = MouseDpiScale::FromInfo(info);
    EXPECT_EQ(scale.sensor, kCoarse);
    EXPECT_EQ(scale.step, 1);
    EXPECT_EQ(scale.sliderMax, 316);
    EXPECT_EQ(scale.base, 400);
    EXPECT_EQ(MouseDpiFromPosition(10, scale), 410);
    EXPECT_EQ(MouseDpiPositionFromText(L"410", scale), 10);
}

TEST(MouseDpi, LeadingDecimal) {
    EXPECT_EQ(LeadingDecimal(nullptr), 0);
    EXPECT_EQ(LeadingDecimal(L"\t+17x"), 17);
    EXPECT_EQ(LeadingDecimal(L"-0042"), -42);
    EXPECT_EQ(LeadingDecimal(L"9223372036854775807"), 9223372036854775807LL);
    EXPECT_EQ(LeadingDecimal(L"99999999999999999999"), 9223372036854775807LL);
    EXPECT_EQ(LeadingDecimal(L"12 34"), 12);
}

}  // namespace
