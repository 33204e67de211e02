// The pictures of the settings window, its update rows and the background
// picker: the status marks, the rows' check box, and the backgrounds the
// picker offers besides the default one.

#include <cmath>

#include "tools/skin_images/painter.h"
#include "tools/skin_images/picture_list.h"

namespace skinimages {
namespace {

// variant 0: a finished check (a tick in a disc); 1: a ring that waits.
void DrawStatus(cairo_t* cr, int w, int h, int variant) {
    const double r = std::min(w, h) / 2.0 - 1;
    cairo_arc(cr, w / 2.0, h / 2.0, r, 0, 2 * M_PI);
    if (variant == 0) {
        SetColor(cr, kAccent);
        cairo_fill(cr);
        Line(cr, w * 0.28, h * 0.52, w * 0.45, h * 0.68, 2, kText);
        Line(cr, w * 0.45, h * 0.68, w * 0.74, h * 0.34, 2, kText);
    } else {
        SetColor(cr, kLine);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        cairo_arc(cr, w / 2.0, h / 2.0, r, -M_PI / 2, 0);
        SetColor(cr, kAccent);
        cairo_stroke(cr);
    }
}

// variant 0 normal, 1 selected, 2 disabled.
void DrawCheck(cairo_t* cr, int w, int h, int variant) {
    FillRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 3, variant == 1 ? kAccent : kPanel);
    StrokeRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 3, 1, variant == 2 ? kPanelHot : kLine);
    if (variant == 1) {
        Line(cr, w * 0.22, h * 0.52, w * 0.42, h * 0.72, 2, kText);
        Line(cr, w * 0.42, h * 0.72, w * 0.78, h * 0.3, 2, kText);
    }
}

void DrawRowHot(cairo_t* cr, int w, int h, int) { StrokeRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 2, 1, kAccent); }

// A background: a diagonal gradient between two tones of one hue.
void DrawBackgroundTone(cairo_t* cr, int w, int h, int variant) {
    static constexpr Rgba kTones[][2] = {
        {Hex(0x3A2A4A), Hex(0x15131C)},
        {Hex(0x1E3A2A), Hex(0x0F1712)},
        {Hex(0x4A2A1A), Hex(0x1A120E)},
        {Hex(0x34404E), Hex(0x14181E)},
    };
    const Rgba& a = kTones[variant][0];
    const Rgba& b = kTones[variant][1];
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, w, h);
    cairo_pattern_add_color_stop_rgb(fill, 0, a.r, a.g, a.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, b.r, b.g, b.b);
    cairo_set_source(cr, fill);
    cairo_paint(cr);
    cairo_pattern_destroy(fill);
}

}  // namespace

void AddSecondaryWindowPictures(std::vector<Picture>& pictures) {
    pictures.push_back({"update/status_ok.png", 20, 20, &DrawStatus, 0});
    pictures.push_back({"update/status_ring.png", 20, 20, &DrawStatus, 1});
    pictures.push_back({"update/check_normal.png", 16, 16, &DrawCheck, 0});
    pictures.push_back({"update/check_selected.png", 16, 16, &DrawCheck, 1});
    pictures.push_back({"update/check_disabled.png", 16, 16, &DrawCheck, 2});
    pictures.push_back({"update/row_hot.png", 32, 32, &DrawRowHot, 0});
    pictures.push_back({"skin/background_dusk.png", 1000, 640, &DrawBackgroundTone, 0});
    pictures.push_back({"skin/background_forest.png", 1000, 640, &DrawBackgroundTone, 1});
    pictures.push_back({"skin/background_ember.png", 1000, 640, &DrawBackgroundTone, 2});
    pictures.push_back({"skin/background_steel.png", 1000, 640, &DrawBackgroundTone, 3});
}

}  // namespace skinimages
