// The pictures of the progress window: the bar's track and its filling.

#include "tools/skin_images/painter.h"
#include "tools/skin_images/picture_list.h"

namespace skinimages {
namespace {

void DrawBarTrack(cairo_t* cr, int w, int h, int) {
    FillRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, (h - 1) / 2.0, kPanelPushed);
    StrokeRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, (h - 1) / 2.0, 1, kLine);
}

void DrawBarFill(cairo_t* cr, int w, int h, int) {
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, w, 0);
    cairo_pattern_add_color_stop_rgb(fill, 0, kAccentDark.r, kAccentDark.g, kAccentDark.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, kAccent.r, kAccent.g, kAccent.b);
    RoundedRect(cr, 1, 1, w - 2, h - 2, (h - 2) / 2.0);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
}

}  // namespace

void AddProgressWindowPictures(std::vector<Picture>& pictures) {
    pictures.push_back({"progress/bar_track.png", 320, 12, &DrawBarTrack, 0});
    pictures.push_back({"progress/bar_fill.png", 320, 12, &DrawBarFill, 0});
}

}  // namespace skinimages
