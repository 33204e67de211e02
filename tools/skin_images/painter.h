#pragma once

// Small drawing helpers for the skin's pictures (Cairo).

#include <cairo.h>

#include <cstdint>

namespace skinimages {

struct Rgba {
    double r, g, b, a;
};

// #RRGGBB with an opacity.
constexpr Rgba Hex(std::uint32_t rgb, double alpha = 1.0) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

// The theme's colours.
inline constexpr Rgba kWindow = Hex(0x15171C);
inline constexpr Rgba kWindowLight = Hex(0x1F232B);
inline constexpr Rgba kPanel = Hex(0x242933);
inline constexpr Rgba kPanelHot = Hex(0x2E3440);
inline constexpr Rgba kPanelPushed = Hex(0x1A1E25);
inline constexpr Rgba kAccent = Hex(0x00B4FF);
inline constexpr Rgba kAccentDark = Hex(0x0088C7);
inline constexpr Rgba kText = Hex(0xE6E8EC);
inline constexpr Rgba kTextDim = Hex(0x8A9099);
inline constexpr Rgba kDanger = Hex(0xE5484D);
inline constexpr Rgba kLine = Hex(0x3A404C);

void SetColor(cairo_t* cr, Rgba c);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
void FillRoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius, Rgba c);
void StrokeRoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius, double width, Rgba c);
void Line(cairo_t* cr, double x0, double y0, double x1, double y1, double width, Rgba c);

}  // namespace skinimages
