// The pictures of the keyboard page: the light of a key, which the key's LED
// colour tints, and the mark of a key whose function was changed.

#include "tools/skin_images/painter.h"
#include "tools/skin_images/picture_list.h"

namespace skinimages {
namespace {

// White, so the tint gives the LED's own colour; a soft edge reads as light
// under the key cap rather than as a painted square.
void DrawKeyLight(cairo_t* cr, int w, int h, int) {
    cairo_pattern_t* glow = cairo_pattern_create_radial(w / 2.0, h / 2.0, 0, w / 2.0, h / 2.0, w * 0.6);
    cairo_pattern_add_color_stop_rgba(glow, 0.0, 1, 1, 1, 0.95);
    cairo_pattern_add_color_stop_rgba(glow, 0.7, 1, 1, 1, 0.75);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, 1, 1, 1, 0.35);
    RoundedRect(cr, 1, 1, w - 2, h - 2, 4);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
}

// A small accent triangle in the top right corner.
void DrawKeySetMark(cairo_t* cr, int w, int, int) {
    SetColor(cr, kAccent);
    cairo_move_to(cr, w - 10, 1);
    cairo_line_to(cr, w - 1, 1);
    cairo_line_to(cr, w - 1, 10);
    cairo_close_path(cr);
    cairo_fill(cr);
}

}  // namespace

void AddKeyboardPictures(std::vector<Picture>& pictures) {
    pictures.push_back({"keyboard/key_light.png", 24, 24, &DrawKeyLight, 0});
    pictures.push_back({"keyboard/key_set_mark.png", 24, 24, &DrawKeySetMark, 0});
}

}  // namespace skinimages
