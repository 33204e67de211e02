// The ring progress, the chart and the level trace, read back pixel by pixel.

#include <gtest/gtest.h>

#include <cmath>

#include "shell/controls/audio_record_ui.h"
#include "shell/controls/chart_color_table.h"
#include "shell/controls/chart_view_ui.h"
#include "shell/controls/circle_progress_ui.h"
#include "tests/shell/custom_controls_fixture.h"

namespace customtest {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF, kBlue = 0xFF0000FF, kRed = 0xFFFF0000, kGreen = 0xFF00FF00;
constexpr double kPi = 3.14159265358979323846;

// A point at `radius` from (cx, cy), `degrees` clockwise from +x with y down.
POINT At(int cx, int cy, double radius, double degrees) {
    const double a = degrees * kPi / 180;
    return POINT{static_cast<int>(std::lround(cx + radius * std::cos(a))),
                 static_cast<int>(std::lround(cy + radius * std::sin(a)))};
}

// ---- ring ---------------------------------------------------------------------

std::string RingSkin(int min, int max, int value) {
    return "<Window size=\"200,200\"><HorizontalLayout bkcolor=\"#FF808080\">"
           "<CircleProgress name=\"ring\" float=\"true\" pos=\"0,0,100,100\" bkcolor=\"#FF0000FF\" "
           "forecolor=\"#FFFF0000\" min=\"" +
           std::to_string(min) + "\" max=\"" + std::to_string(max) + "\" value=\"" + std::to_string(value) +
           "\"/></HorizontalLayout></Window>";
}

using DrawingControlsTest = CustomControlsTest;

TEST_F(DrawingControlsTest, RingAtAQuarterFillsTheBottomLeftQuarter) {
    SkinWindow* w = Open(RingSkin(0, 100, 25), 200, 200);
    // The ring lies between 40 and 50 pixels from the centre (50, 50).
    struct Probe {
        double degrees;
        uint32_t colour;
    };
    const Probe probes[] = {
        {100, kRed}, {135, kRed}, {170, kRed},  // from straight down, clockwise, a quarter turn
        {80, kBlue}, {45, kBlue}, {190, kBlue}, {270, kBlue}, {0, kBlue},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.degrees);
        POINT pt = At(50, 50, 45, p.degrees);
        EXPECT_EQ(PixelAt(w, pt.x, pt.y), p.colour);
    }
    EXPECT_EQ(PixelAt(w, 50, 50), kWhite);  // the centre
    POINT inside = At(50, 50, 30, 135);
    EXPECT_EQ(PixelAt(w, inside.x, inside.y), kWhite);
    EXPECT_EQ(PixelAt(w, 3, 3), 0xFF808080u);  // outside the disc: the window
}

struct RingCase {
    int min, max, value;
    int sweep;
};

TEST_F(DrawingControlsTest, RingSweepIsTheValueShareOfATurnWithinOneTurn) {
    const RingCase cases[] = {
        {0, 100, 25, 90},    {0, 100, 0, 0},  {0, 100, 100, 360},
        {0, 360, 180, 180},  {50, 50, 50, 0},  // max = min: drawn like value 0
        {50, 60, 60, 360},                     // 6 turns' worth: one turn
        {-100, 100, -50, 0},                   // a negative share: nothing
    };
    for (const RingCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " at " << c.value);
        SkinWindow* w = Open(RingSkin(c.min, c.max, c.value), 200, 200);
        auto* ring = w->Find<CCircleProgressUI>(L"ring");
        ASSERT_NE(ring, nullptr);
        EXPECT_EQ(ring->SweepDegrees(), c.sweep);
        POINT bottomLeft = At(50, 50, 45, 135);
        EXPECT_EQ(PixelAt(w, bottomLeft.x, bottomLeft.y), c.sweep >= 90 ? kRed : kBlue);
        EXPECT_EQ(PixelAt(w, 50, 50), kWhite);
    }
}

// ---- chart --------------------------------------------------------------------

TEST(ChartColorTable, EntriesBecomeOpaqueArgbAndWrapAtEighteen) {
    EXPECT_EQ(ChartColorTable[0], 0xF5963Fu);  // COLORREF: blue in the high byte
    EXPECT_EQ(ChartSliceColor(0), 0xFF3F96F5u);
    EXPECT_EQ(ChartSliceColor(1), 0xFFFF5A01u);
    EXPECT_EQ(ChartSliceColor(17), 0xFF882612u);
    EXPECT_EQ(ChartSliceColor(18), ChartSliceColor(0));
    EXPECT_EQ(ChartSliceColor(19), ChartSliceColor(1));
}

std::string ChartSkin(const std::string& attributes, int width = 300, int height = 200) {
    return "<Window size=\"400,300\"><HorizontalLayout bkcolor=\"#FFFFFFFF\"><ChartView name=\"chart\" float=\"true\" "
           "pos=\"0,0," +
           std::to_string(width) + "," + std::to_string(height) + "\" " + attributes + "/></HorizontalLayout></Window>";
}

TEST_F(DrawingControlsTest, ChartViewAttributeTakesOnlyTheSkinsSpelling) {
    SkinWindow* w = Open(ChartSkin(""), 400, 300);
    auto* chart = w->Find<CChartViewUI>(L"chart");
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->GetView(), CChartViewUI::kPie);
    const std::pair<const wchar_t*, int> steps[] = {
        {L"histpgram", CChartViewUI::kHistogram}, {L"pie", CChartViewUI::kPie},
        {L"histogram", CChartViewUI::kPie},       {L"Histpgram", CChartViewUI::kPie},
        {L"histpgram", CChartViewUI::kHistogram}, {L"PIE", CChartViewUI::kHistogram},
    };
    for (const auto& [value, view] : steps) {
        chart->SetAttribute(L"view", value);
        EXPECT_EQ(chart->GetView(), view) << win::ToUtf8(value);
    }
    chart->SetAttribute(L"VIEW", L"pie");  // the name is compared exactly too
    EXPECT_EQ(chart->GetView(), CChartViewUI::kHistogram);
}

TEST_F(DrawingControlsTest, PieSlicesTakeTheTableColoursWrappingAtEighteen) {
    SkinWindow* w = Open(ChartSkin(R"(showtext="false")", 200, 200), 400, 300);
    auto* chart = w->Find<CChartViewUI>(L"chart");
    ASSERT_NE(chart, nullptr);
    for (int i = 0; i < 20; ++i) chart->AddItem(L"item " + std::to_wstring(i), 1.0);
    Repaint(w);
    const RECT box = chart->PieBox();
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.right, 195);
    const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    // 20 slices of 18 degrees each, from +x clockwise.
    for (int slice : {0, 1, 5, 17, 18, 19}) {
        SCOPED_TRACE(slice);
        POINT p = At(cx, cy, 60, slice * 18 + 9);
        EXPECT_EQ(PixelAt(w, p.x, p.y), ChartSliceColor(static_cast<std::size_t>(slice)));
    }
    POINT p18 = At(cx, cy, 60, 18 * 18 + 9);
    EXPECT_EQ(PixelAt(w, p18.x, p18.y), ChartSliceColor(0));
}

TEST_F(DrawingControlsTest, PieWithoutLegendUsesTheLegendsWidth) {
    for (bool legend : {true, false}) {
        SCOPED_TRACE(legend);
        SkinWindow* w = Open(ChartSkin(legend ? "" : R"(showtext="false")", 300, 150), 400, 300);
        auto* chart = w->Find<CChartViewUI>(L"chart");
        ASSERT_NE(chart, nullptr);
        chart->AddItem(L"one", 3);
        chart->AddItem(L"two", 1);
        Repaint(w);
        const RECT box = chart->PieBox();
        // 140 across; centred in 190 px beside a legend or in all 290.
        EXPECT_EQ(box.right - box.left, 140);
        EXPECT_EQ(box.left, legend ? 30 : 80);
        EXPECT_EQ(box.top, 5);
        // The first legend square, in the first slice's colour.
        const int legendTop = (140 - 2 * 18 - 2 * 4) / 2;
        EXPECT_EQ(PixelAt(w, box.right + 10 + 9, legendTop + 9), legend ? ChartSliceColor(0) : kWhite);
        // Three quarters in the first colour: the slice at 45 degrees and 225 degrees.
        const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
        POINT a = At(cx, cy, 40, 45), b = At(cx, cy, 40, 225), c = At(cx, cy, 40, 315);
        EXPECT_EQ(PixelAt(w, a.x, a.y), ChartSliceColor(0));
        EXPECT_EQ(PixelAt(w, b.x, b.y), ChartSliceColor(0));
        EXPECT_EQ(PixelAt(w, c.x, c.y), ChartSliceColor(1));
    }
}

TEST_F(DrawingControlsTest, PieSummingToZeroOrEmptyDrawsOnlyTheBaseControl) {
    const std::vector<std::vector<double>> cases = {{}, {1, -1}, {0, 0, 0}};
    for (const auto& values : cases) {
        SCOPED_TRACE(values.size());
        SkinWindow* w = Open(ChartSkin(R"(bkcolor="#FF00FF00")", 300, 200), 400, 300);
        auto* chart = w->Find<CChartViewUI>(L"chart");
        ASSERT_NE(chart, nullptr);
        for (double v : values) chart->AddItem(L"x", v);
        Repaint(w);
        const RECT box = chart->PieBox();
        const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
        EXPECT_EQ(PixelAt(w, cx, cy), kGreen);
        EXPECT_EQ(PixelAt(w, box.left - 2, cy), kGreen);    // no shadow either
        EXPECT_EQ(PixelAt(w, box.right + 19, 80), kGreen);  // no legend
    }
}

class HistogramTest : public CustomControlsTest {
protected:
    void SetUp() override {
        CustomControlsTest::SetUp();
        WriteSolidPng("pillar.png", 10, 10, kBlue);
        WriteSolidPng("shadow.png", 10, 10, kRed);
    }
    CChartViewUI* OpenHistogram(const std::string& attributes, const std::vector<double>& values) {
        w_ = Open(ChartSkin(R"(view="histpgram" showtext="false" pillarimage="pillar.png" )" + attributes, 100, 100),
                  400, 300);
        auto* chart = w_->Find<CChartViewUI>(L"chart");
        EXPECT_NE(chart, nullptr);
        if (!chart) return nullptr;
        for (double v : values) chart->AddItem(L"x", v);
        Repaint(w_);
        return chart;
    }
    SkinWindow* w_ = nullptr;
};

TEST_F(HistogramTest, PillarsStandInProportionToTheLargest) {
    // 100 wide, pillars 10 wide: gaps of 20, pillars at 20 and 50.
    ASSERT_NE(OpenHistogram(R"(pillarimagewidth="10")", {50, 100}), nullptr);
    EXPECT_EQ(PixelAt(w_, 25, 99), kBlue);
    EXPECT_EQ(PixelAt(w_, 25, 52), kBlue);
    EXPECT_EQ(PixelAt(w_, 25, 48), kWhite);  // half height
    EXPECT_EQ(PixelAt(w_, 55, 1), kBlue);    // full height
    EXPECT_EQ(PixelAt(w_, 15, 99), kWhite);  // the gaps
    EXPECT_EQ(PixelAt(w_, 40, 99), kWhite);
}

TEST_F(HistogramTest, WithoutWidthOrPositiveValuesNoPillarStands) {
    const std::pair<const char*, std::vector<double>> cases[] = {
        {R"(pillarimagewidth="0")", {50, 100}},
        {R"(pillarimagewidth="-10")", {50, 100}},
        {R"(pillarimagewidth="10")", {0, 0}},
        {R"(pillarimagewidth="10")", {-5, -1}},
    };
    for (const auto& [attributes, values] : cases) {
        SCOPED_TRACE(attributes);
        CChartViewUI* chart = OpenHistogram(attributes, values);
        ASSERT_NE(chart, nullptr);
        for (int x = 0; x < 100; x += 3) EXPECT_EQ(PixelAt(w_, x, 99), kWhite) << x;
        EXPECT_EQ(chart->GetPillarImage(), L"pillar.png");
    }
}

TEST_F(HistogramTest, ShadowIsDrawnAboveTheLabelsAndForgottenWhenItCannotBe) {
    CChartViewUI* chart =
        OpenHistogram(R"(showtext="true" shadowimage="shadow.png" shadowimageheight="20" pillarimagewidth="10")", {});
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(PixelAt(w_, 50, 70), kRed);  // 55..75: above the 25 px of labels
    EXPECT_EQ(PixelAt(w_, 50, 50), kWhite);
    EXPECT_EQ(PixelAt(w_, 50, 85), kWhite);
    chart->SetAttribute(L"shadowimage", L"missing.png");
    Repaint(w_);
    EXPECT_TRUE(chart->GetShadowImage().IsEmpty());
}

// ---- trace --------------------------------------------------------------------

TEST_F(DrawingControlsTest, TraceDrawsABarInEverySecondColumnUpToFiveHundred) {
    for (int width : {300, 1100}) {
        SCOPED_TRACE(width);
        SkinWindow* w = Open(
            "<Window size=\"1200,100\"><HorizontalLayout bkcolor=\"#FF00FF00\"><AudioRecord name=\"t\" "
            "float=\"true\" pos=\"0,0," +
                std::to_string(width) + ",50\"/></HorizontalLayout></Window>",
            1200, 100);
        auto* trace = w->Find<CAudioRecordUI>(L"t");
        ASSERT_NE(trace, nullptr);
        trace->Samples().fill(CAudioRecordUI::kFullScale);
        Repaint(w);
        int bars = 0;
        for (int x = 0; x < width; ++x) {
            const uint32_t top = PixelAt(w, x, 0), bottom = PixelAt(w, x, 48);
            if (top == 0xFF000000 && bottom == 0xFF000000)
                ++bars;
            else
                EXPECT_EQ(top, kWhite) << x;
            EXPECT_EQ(PixelAt(w, x, 49), kWhite) << x;  // bars stop a pixel short of the bottom
        }
        EXPECT_EQ(bars, std::min(width / 2, 500));
        for (int x = width; x < width + 20; ++x) EXPECT_EQ(PixelAt(w, x, 0), kGreen) << x;  // nothing beside it
    }
}

TEST_F(DrawingControlsTest, TraceBarsRiseWithTheirSample) {
    SkinWindow* w = Open(R"(<Window size="100,100"><HorizontalLayout><AudioRecord name="t" float="true"
        pos="0,0,20,80"/></HorizontalLayout></Window>)",
                         100, 100);
    auto* trace = w->Find<CAudioRecordUI>(L"t");
    ASSERT_NE(trace, nullptr);
    EXPECT_EQ(trace->Samples()[0], 0);
    EXPECT_EQ(trace->Samples()[255], 255);
    EXPECT_EQ(trace->Samples()[256], 0);
    trace->Samples().fill(0);
    trace->Samples()[1] = CAudioRecordUI::kFullScale / 2;  // column 2: from 40 down
    trace->Samples()[2] = CAudioRecordUI::kFullScale * 4;  // above full scale: from the top, not above it
    trace->Samples()[3] = -100;                            // below 0: nothing
    Repaint(w);
    EXPECT_EQ(PixelAt(w, 0, 70), kWhite);
    EXPECT_EQ(PixelAt(w, 2, 39), kWhite);
    EXPECT_EQ(PixelAt(w, 2, 40), 0xFF000000u);
    EXPECT_EQ(PixelAt(w, 4, 0), 0xFF000000u);
    EXPECT_EQ(PixelAt(w, 6, 78), kWhite);
}

}  // namespace
}  // namespace customtest
