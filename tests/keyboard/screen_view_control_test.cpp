// The frame control: its cells, colours, bitmap and thumbnail painting.

#include <gtest/gtest.h>

#include <cairo.h>

#include <memory>
#include <tuple>

#include "keyboard/screen_view_control_ui.h"

namespace {

using DuiLib::DWORD;

// A frame of the given size, pen and background set.
std::unique_ptr<CScreenViewControlUI> MakeFrame(int columns, int rows, DWORD pen = 0xFFFFFF, DWORD background = 0) {
    auto frame = std::make_unique<CScreenViewControlUI>();
    frame->SetColumns(columns);
    frame->SetRows(rows);
    frame->SetPenColor(pen);
    frame->SetBackgroundColor(background);
    return frame;
}

uint32_t Pos(int column, int row) { return (static_cast<uint32_t>(row) << 16) | static_cast<uint32_t>(column); }

// Paints a control onto a fresh surface (initially a colour no paint step
// uses) and reads its pixels back as 0xRRGGBB.
class Canvas {
public:
    Canvas(int width, int height) : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)) {
        cairo_t* cr = cairo_create(surface_);
        cairo_set_source_rgb(cr, 0.0, 0.0, 1.0);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    ~Canvas() { cairo_surface_destroy(surface_); }
    void Paint(CScreenViewControlUI& control) {
        cairo_t* cr = cairo_create(surface_);
        const DuiLib::RECT all{0, 0, cairo_image_surface_get_width(surface_), cairo_image_surface_get_height(surface_)};
        control.DoPaint(cr, all);
        cairo_destroy(cr);
        cairo_surface_flush(surface_);
    }
    uint32_t At(int x, int y) const {
        const unsigned char* data = cairo_image_surface_get_data(surface_);
        const int stride = cairo_image_surface_get_stride(surface_);
        return reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xFFFFFF;
    }

private:
    cairo_surface_t* surface_;
};

TEST(ScreenViewControl, StartsEmptyWithBlackGroundAndNoSize) {
    CScreenViewControlUI frame;
    EXPECT_EQ(frame.GetColumns(), 0);
    EXPECT_EQ(frame.GetRows(), 0);
    EXPECT_EQ(frame.GetBackgroundColor(), ScreenColor{});
    EXPECT_FALSE(frame.IsHot());
    for (const ScreenCell& cell : frame.Cells()) ASSERT_EQ(cell, ScreenCell{});
    EXPECT_STREQ(frame.GetClass(), L"ScreenViewControl");
    EXPECT_EQ(frame.GetInterface(L"ScreenViewControl"), &frame);
    EXPECT_NE(frame.GetInterface(L"Option"), nullptr);
    EXPECT_EQ(frame.GetControlFlags(), 3u);
    // Without columns or rows there is nothing to make a bitmap of.
    EXPECT_EQ(frame.GetBitmap(), nullptr);
}

TEST(ScreenViewControl, SizeIsHeldToTheGrid) {
    const std::tuple<int, int, int, int> cases[] = {
        {240, 135, 240, 135}, {255, 255, 240, 135}, {241, 136, 240, 135}, {128, 128, 128, 128}, {-3, -1, 0, 0}};
    for (auto [columns, rows, wantColumns, wantRows] : cases) {
        CScreenViewControlUI frame;
        frame.SetColumns(columns);
        frame.SetRows(rows);
        EXPECT_EQ(frame.GetColumns(), wantColumns) << columns;
        EXPECT_EQ(frame.GetRows(), wantRows) << rows;
    }
}

TEST(ScreenViewControl, SetCellOnTakesPenAndOffTakesTheBackgroundOfThatMoment) {
    auto frame = MakeFrame(240, 135, 0x123456, 0x000000);
    frame->SetCell(1, Pos(7, 3));
    EXPECT_EQ(frame->Cell(7, 3), (ScreenCell{0x12, 0x34, 0x56, 1}));
    EXPECT_EQ(frame->Cells()[3 * 240 + 7], frame->Cell(7, 3));

    frame->SetBackgroundColor(0xA0B0C0);
    frame->SetCell(0, Pos(7, 3));
    EXPECT_EQ(frame->Cell(7, 3), (ScreenCell{0xA0, 0xB0, 0xC0, 0}));

    // The last column and row of the largest screen are reachable.
    frame->SetCell(1, Pos(239, 134));
    EXPECT_EQ(frame->Cell(239, 134).flag, 1);
}

TEST(ScreenViewControl, SetCellReadsTheColumnFromTheLowByteOnly) {
    auto frame = MakeFrame(240, 135, 0xFF0000);
    frame->SetCell(1, (5u << 16) | 0x3F00u | 9u);
    EXPECT_EQ(frame->Cell(9, 5).flag, 1);
    int set = 0;
    for (const ScreenCell& cell : frame->Cells()) set += cell.flag;
    EXPECT_EQ(set, 1);
}

TEST(ScreenViewControl, SetCellIgnoresPositionsOutsideTheFrame) {
    // A frame smaller than the grid, and positions the message or a larger
    // reported screen could carry.
    const std::pair<int, int> outside[] = {{100, 0}, {0, 50}, {240, 0}, {255, 0}, {0, 135}, {0, 0xFFFF}, {255, 0xFFFF}};
    for (auto [column, row] : outside) {
        auto frame = MakeFrame(100, 50, 0xFFFFFF);
        frame->SetCell(1, Pos(column, row));
        int set = 0;
        for (const ScreenCell& cell : frame->Cells()) set += cell.flag;
        EXPECT_EQ(set, 0) << column << "," << row;
    }
}

TEST(ScreenViewControl, ColoursAreReadAsRedGreenBlueBytes) {
    CScreenViewControlUI frame;
    frame.SetPenColor(0xFF102030);
    frame.SetBackgroundColor(0x00405060);
    EXPECT_EQ(frame.GetPenColor(), (ScreenColor{0x10, 0x20, 0x30}));
    EXPECT_EQ(frame.GetBackgroundColor(), (ScreenColor{0x40, 0x50, 0x60}));
    EXPECT_EQ(frame.GetPenColor().ToRgb(), 0x102030u);
}

TEST(ScreenViewControl, BitmapOfAFullScreenFrameIsTopDownBlueGreenRedOpaque) {
    auto frame = MakeFrame(240, 135);
    // A distinct colour in each corner and one inside.
    const std::tuple<int, int, ScreenCell> marks[] = {{0, 0, {1, 2, 3, 1}},
                                                      {239, 0, {10, 20, 30, 1}},
                                                      {0, 134, {40, 50, 60, 0}},
                                                      {239, 134, {70, 80, 90, 1}},
                                                      {17, 99, {200, 0, 255, 1}}};
    for (auto [column, row, cell] : marks) frame->Cell(column, row) = cell;
    const ScreenBitmap* bitmap = frame->GetBitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->width, 240);
    EXPECT_EQ(bitmap->height, -135);
    EXPECT_EQ(bitmap->bitsPerPixel, 32);
    EXPECT_EQ(bitmap->RowBytes(), 960);
    ASSERT_EQ(bitmap->pixels.size(), 129600u);
    for (auto [column, row, cell] : marks) {
        const size_t at = (static_cast<size_t>(row) * 240 + column) * 4;
        EXPECT_EQ(bitmap->pixels[at + 0], cell.blue);
        EXPECT_EQ(bitmap->pixels[at + 1], cell.green);
        EXPECT_EQ(bitmap->pixels[at + 2], cell.red);
        EXPECT_EQ(bitmap->pixels[at + 3], 255);
    }
    // An untouched cell is black and opaque.
    EXPECT_EQ(bitmap->pixels[(5 * 240 + 5) * 4 + 2], 0);
    EXPECT_EQ(bitmap->pixels[(5 * 240 + 5) * 4 + 3], 255);
}

TEST(ScreenViewControl, BitmapOfASmallFrameUsesItsOwnWidthForRows) {
    auto frame = MakeFrame(3, 2);
    frame->Cell(2, 1) = ScreenCell{9, 8, 7, 1};
    frame->Cell(0, 1) = ScreenCell{6, 5, 4, 1};
    const ScreenBitmap* bitmap = frame->GetBitmap();
    ASSERT_NE(bitmap, nullptr);
    ASSERT_EQ(bitmap->pixels.size(), 24u);
    // Pixel number row * columns + column.
    EXPECT_EQ(bitmap->pixels[(1 * 3 + 2) * 4 + 2], 9);
    EXPECT_EQ(bitmap->pixels[(1 * 3 + 0) * 4 + 2], 6);
}

TEST(ScreenViewControl, BitmapIsKeptUntilRebuilt) {
    auto frame = MakeFrame(4, 4);
    frame->Cell(1, 1) = ScreenCell{100, 0, 0, 1};
    ASSERT_EQ(frame->GetBitmap()->pixels[(1 * 4 + 1) * 4 + 2], 100);
    frame->Cell(1, 1).red = 200;
    EXPECT_EQ(frame->GetBitmap()->pixels[(1 * 4 + 1) * 4 + 2], 100);
    frame->RebuildBitmap();
    EXPECT_EQ(frame->GetBitmap()->pixels[(1 * 4 + 1) * 4 + 2], 200);
    frame->Cell(1, 1).red = 50;
    frame->UpdateBitmap();
    EXPECT_EQ(frame->GetBitmap()->pixels[(1 * 4 + 1) * 4 + 2], 50);
}

TEST(ScreenViewControl, ThumbnailPutsOneDotPerCellAtThePitch) {
    // 8 columns on a 20-pixel-wide control: pitch 2.
    auto frame = MakeFrame(8, 4, 0xFFFFFF, 0x204060);
    frame->Cell(0, 0) = ScreenCell{0xFF, 0, 0, 1};
    frame->Cell(7, 3) = ScreenCell{0, 0xFF, 0, 1};
    frame->SetPos(DuiLib::RECT{10, 5, 30, 25}, false);
    Canvas canvas(40, 40);
    canvas.Paint(*frame);
    EXPECT_FLOAT_EQ(frame->GetDotPitch(), 2.0f);
    EXPECT_EQ(canvas.At(10 + 2, 5 + 2), 0xFF0000u);
    EXPECT_EQ(canvas.At(10 + 16, 5 + 8), 0x00FF00u);
    // An empty cell is drawn in the colour it holds.
    frame->Cell(3, 1).red = 0x20;
    frame->Cell(3, 1).green = 0x40;
    frame->Cell(3, 1).blue = 0x60;
    canvas.Paint(*frame);
    EXPECT_EQ(canvas.At(10 + 8, 5 + 4), 0x204060u);
    // Between dots the ground is black; outside the control nothing is drawn.
    EXPECT_EQ(canvas.At(10 + 3, 5 + 3), 0x000000u);
    EXPECT_EQ(canvas.At(35, 30), 0x0000FFu);
}

TEST(ScreenViewControl, BlackCellsShowAsOneOneOneButKeepTheirValue) {
    auto frame = MakeFrame(8, 4);
    frame->Cell(2, 2) = ScreenCell{0, 0, 0, 1};
    frame->SetPos(DuiLib::RECT{0, 0, 20, 20}, false);
    Canvas canvas(20, 20);
    canvas.Paint(*frame);
    EXPECT_EQ(canvas.At(6, 6), 0x010101u);
    // What is saved or uploaded does not depend on whether a thumbnail was drawn.
    EXPECT_EQ(frame->Cell(2, 2), (ScreenCell{0, 0, 0, 1}));
    frame->RebuildBitmap();
    const size_t at = (2 * 8 + 2) * 4;
    EXPECT_EQ(frame->GetBitmap()->pixels[at], 0);
    EXPECT_EQ(frame->GetBitmap()->pixels[at + 1], 0);
    EXPECT_EQ(frame->GetBitmap()->pixels[at + 2], 0);
}

TEST(ScreenViewControl, FrameWithoutColumnsPaintsGroundAndBorderOnly) {
    CScreenViewControlUI frame;
    frame.Cell(0, 0) = ScreenCell{0xFF, 0xFF, 0, 1};
    frame.SetPos(DuiLib::RECT{0, 0, 10, 6}, false);
    Canvas canvas(10, 6);
    canvas.Paint(frame);
    EXPECT_FLOAT_EQ(frame.GetDotPitch(), 5.0f);
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 9; ++x) ASSERT_EQ(canvas.At(x, y), 0u) << x << "," << y;
    EXPECT_EQ(canvas.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(9, 5), 0xFFFFFFu);
}

TEST(ScreenViewControl, BorderMarksTheSelectedOrHoveredFrame) {
    auto frame = MakeFrame(4, 4);
    frame->SetPos(DuiLib::RECT{0, 0, 12, 12}, false);
    Canvas canvas(12, 12);
    auto border = [&] {
        canvas.Paint(*frame);
        return canvas.At(0, 6);
    };
    EXPECT_EQ(border(), 0xFFFFFFu);

    DuiLib::TEventUI enter;
    enter.Type = DuiLib::UIEVENT_MOUSEENTER;
    frame->DoEvent(enter);
    EXPECT_TRUE(frame->IsHot());
    EXPECT_EQ(border(), 0xD20334u);

    DuiLib::TEventUI leave;
    leave.Type = DuiLib::UIEVENT_MOUSELEAVE;
    frame->DoEvent(leave);
    EXPECT_FALSE(frame->IsHot());
    EXPECT_EQ(border(), 0xFFFFFFu);

    frame->Selected(true, false);
    EXPECT_EQ(border(), 0xD20334u);
    frame->DoEvent(enter);
    frame->DoEvent(leave);
    EXPECT_EQ(border(), 0xD20334u);
}

TEST(ScreenViewControl, DisabledFrameDoesNotTurnHot) {
    auto frame = MakeFrame(4, 4);
    frame->SetEnabled(false);
    DuiLib::TEventUI enter;
    enter.Type = DuiLib::UIEVENT_MOUSEENTER;
    frame->DoEvent(enter);
    EXPECT_FALSE(frame->IsHot());
    EXPECT_NE(frame->GetControlFlags(), 3u);
}

TEST(ScreenViewControl, TextAndImageAttributesAreIgnored) {
    const wchar_t* ignored[] = {L"normalimage", L"HotImage", L"FOCUSEDIMAGE", L"disabledimage"};
    for (const wchar_t* name : ignored) {
        CScreenViewControlUI frame;
        frame.SetAttribute(name, L"file='x.png'");
        EXPECT_STREQ(frame.GetNormalImage(), L"") << name;
        EXPECT_STREQ(frame.GetHotImage(), L"") << name;
        EXPECT_STREQ(frame.GetFocusedImage(), L"") << name;
        EXPECT_STREQ(frame.GetDisabledImage(), L"") << name;
    }
    // Other attributes reach the option.
    CScreenViewControlUI frame;
    frame.SetAttribute(L"group", L"frames");
    frame.SetAttribute(L"selectedimage", L"sel.png");
    EXPECT_STREQ(frame.GetGroup(), L"frames");
    EXPECT_STREQ(frame.GetSelectedImage(), L"sel.png");
}

}  // namespace
