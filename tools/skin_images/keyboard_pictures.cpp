// The pictures of the keyboard page: the light of a key, which the key's LED
// colour tints, the mark of a key whose function was changed, and the legend
// of every key, drawn over the key's light.

#include <algorithm>
#include <string>

#include "tools/skin_images/key_legends.h"
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

// The legend, centred, in the largest size up to a third of the key's height
// that fits its width; the rest stays clear so the key's light shows.
void DrawKeyLegend(cairo_t* cr, int w, int h, int position) {
    const std::string legend = KeyLegend(position);
    if (legend.empty()) return;
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    double size = std::min(h * 0.36, 22.0);
    cairo_text_extents_t extents;
    for (;;) {
        cairo_set_font_size(cr, size);
        cairo_text_extents(cr, legend.c_str(), &extents);
        if (extents.width <= w * 0.84 || size <= 6) break;
        size -= 0.5;
    }
    const double x = (w - extents.width) / 2 - extents.x_bearing;
    const double y = (h - extents.height) / 2 - extents.y_bearing;
    // A dark outline keeps the white legend readable on a key lit white or
    // any bright colour; on an unlit key it merges with the dark cap.
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, legend.c_str());
    SetColor(cr, Hex(0x000000, 0.92));
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, std::max(3.5, size * 0.26));
    cairo_stroke_preserve(cr);
    SetColor(cr, kText);
    cairo_fill(cr);
}

// Pictures are drawn at twice the size the skin gives the key: sharp at
// the program's usual scales.
constexpr int kLegendScale = 2;
constexpr int kLastKeyPosition = 125;

}  // namespace

void AddKeyLegendPictures(std::vector<Picture>& pictures, const std::vector<KeyRect>& keys) {
    for (const KeyRect& key : keys) {
        if (key.position > kLastKeyPosition) continue;
        pictures.push_back({"keyboard/legend/key_" + std::to_string(key.position) + ".png", key.width * kLegendScale,
                            key.height * kLegendScale, &DrawKeyLegend, key.position});
    }
}

void AddKeyboardPictures(std::vector<Picture>& pictures) {
    pictures.push_back({"keyboard/key_light.png", 24, 24, &DrawKeyLight, 0});
    pictures.push_back({"keyboard/key_set_mark.png", 24, 24, &DrawKeySetMark, 0});
}

}  // namespace skinimages
