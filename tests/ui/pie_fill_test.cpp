// Filled ellipses and pie slices: angles are rays from the centre, clockwise
// from +x with y down, also on ellipses that are not circles.

#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>

#include "platform/ui/render_engine.h"

namespace uitest {
namespace {

using namespace DuiLib;

constexpr double kPi = 3.14159265358979323846;
constexpr DWORD kRed = 0xFFFF0000;

struct Canvas {
    Canvas() : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 200, 100)), cr(cairo_create(surface)) {}
    ~Canvas() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    uint32_t At(int x, int y) {
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        return reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(surface))[x];
    }
    // The pixel at `share` of the way from the centre of rc to its ellipse, along the ray at `degrees`.
    uint32_t OnRay(const RECT& rc, double degrees, double share = 0.6) {
        const double a = (rc.right - rc.left) / 2.0, b = (rc.bottom - rc.top) / 2.0, t = degrees * kPi / 180;
        const double r = 1 / std::sqrt(std::cos(t) * std::cos(t) / (a * a) + std::sin(t) * std::sin(t) / (b * b));
        return At(static_cast<int>(std::lround(rc.left + a + share * r * std::cos(t))),
                  static_cast<int>(std::lround(rc.top + b + share * r * std::sin(t))));
    }
    cairo_surface_t* surface;
    cairo_t* cr;
};

struct Slice {
    const char* what;
    RECT rc;
    float start, sweep;
    std::vector<double> inside, outside;  // rays, degrees
};

TEST(PieFill, SlicesCoverTheRaysOfTheirAngles) {
    const RECT wide{0, 0, 200, 100}, round{50, 0, 150, 100};
    const Slice cases[] = {
        {"wide, first 45 degrees", wide, 0, 45, {5, 40}, {50, 90, 300}},
        {"round, from straight down a quarter", round, 90, 90, {95, 135, 175}, {85, 185, 45}},
        {"anticlockwise", wide, 0, -45, {340, 320}, {20, 300}},
        {"across zero", round, 350, 20, {355, 5}, {340, 15}},
        {"start beyond a turn", round, 450, 90, {95, 175}, {85, 185}},
        {"a whole turn", wide, 30, 360, {0, 90, 180, 270}, {}},
        {"more than a turn", wide, 0, 720, {0, 90, 180, 270}, {}},
        {"nothing", wide, 0, 0, {}, {0, 90, 180, 270}},
    };
    for (const Slice& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas;
        CRenderEngine::FillPie(canvas.cr, c.rc, c.start, c.sweep, kRed);
        for (double ray : c.inside) EXPECT_EQ(canvas.OnRay(c.rc, ray), kRed) << ray;
        for (double ray : c.outside) EXPECT_EQ(canvas.OnRay(c.rc, ray), 0u) << ray;
        EXPECT_EQ(canvas.At(1, 1), 0u);  // outside the ellipse
    }
}

TEST(PieFill, EllipseFillsItsRectangleOnlyAndSkipsClearColours) {
    Canvas canvas;
    const RECT wide{0, 0, 200, 100};
    CRenderEngine::FillEllipse(canvas.cr, wide, 0x00FF0000);  // alpha 0: nothing
    EXPECT_EQ(canvas.At(100, 50), 0u);
    CRenderEngine::FillEllipse(canvas.cr, wide, kRed);
    EXPECT_EQ(canvas.At(100, 50), kRed);
    EXPECT_EQ(canvas.At(195, 50), kRed);
    EXPECT_EQ(canvas.At(100, 3), kRed);
    EXPECT_EQ(canvas.At(5, 5), 0u);
    EXPECT_EQ(canvas.At(195, 95), 0u);
    // Empty or inverted rectangles draw nothing.
    Canvas other;
    CRenderEngine::FillEllipse(other.cr, RECT{50, 50, 50, 90}, kRed);
    CRenderEngine::FillPie(other.cr, RECT{150, 90, 10, 10}, 0, 90, kRed);
    for (int x = 0; x < 200; x += 7)
        for (int y = 0; y < 100; y += 7) EXPECT_EQ(other.At(x, y), 0u) << x << "," << y;
}

TEST(PieFill, TheCallersTransformationApplies) {
    Canvas canvas;
    cairo_translate(canvas.cr, 100, 0);
    CRenderEngine::FillEllipse(canvas.cr, RECT{0, 0, 100, 100}, kRed);
    EXPECT_EQ(canvas.At(150, 50), kRed);
    EXPECT_EQ(canvas.At(50, 50), 0u);
}

}  // namespace
}  // namespace uitest
