// The colour picker's pictures: the seven-colour preview.

#include "tools/skin_images/painter.h"
#include "tools/skin_images/picture_list.h"

namespace skinimages {
namespace {

// The seven colours of the rainbow side by side, blending into one another.
void DrawSevenColors(cairo_t* cr, int w, int h, int) {
    static const double kStops[7][3] = {{1, 0, 0}, {1, 0.5, 0}, {1, 1, 0},   {0, 1, 0},
                                        {0, 1, 1}, {0, 0, 1},   {0.55, 0, 1}};
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, w, 0);
    for (int i = 0; i < 7; ++i)
        cairo_pattern_add_color_stop_rgb(fill, i / 6.0, kStops[i][0], kStops[i][1], kStops[i][2]);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
}

}  // namespace

void AddPickerPictures(std::vector<Picture>& pictures) {
    pictures.push_back({"common/base1.png", 80, 40, &DrawSevenColors, 0});
}

}  // namespace skinimages
