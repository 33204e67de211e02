#include "tools/skin_images/painter.h"

#include <algorithm>
#include <cmath>

namespace skinimages {

void SetColor(cairo_t* cr, Rgba c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
    const double r = std::min({radius, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void FillRoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius, Rgba c) {
    RoundedRect(cr, x, y, w, h, radius);
    SetColor(cr, c);
    cairo_fill(cr);
}

void StrokeRoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius, double width, Rgba c) {
    RoundedRect(cr, x, y, w, h, radius);
    SetColor(cr, c);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void Line(cairo_t* cr, double x0, double y0, double x1, double y1, double width, Rgba c) {
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    SetColor(cr, c);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

}  // namespace skinimages
